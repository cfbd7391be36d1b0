#include "engine/Worksheet.h"

namespace quantaro {

void Worksheet::setFormula(std::string text) {
    formula_ = std::move(text);
    formulaStamp_ = NextStamp();
}

}  // namespace quantaro
