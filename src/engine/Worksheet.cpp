#include "engine/Worksheet.h"

namespace quantaro {

std::shared_ptr<const NameTable> SharedOperatorTable() {
    static const std::shared_ptr<const NameTable> table =
        std::make_shared<const NameTable>(MakeOperatorTable());
    return table;
}

void Worksheet::setFormula(std::string text) {
    formula_ = std::move(text);
    formulaStamp_ = NextStamp();
}

}  // namespace quantaro
