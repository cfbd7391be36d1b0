#include "engine/Worksheet.h"

namespace quantaro {

std::shared_ptr<const NameTable> SharedOperatorTable() {
    static const std::shared_ptr<const NameTable> table =
        std::make_shared<const NameTable>(MakeOperatorTable());
    return table;
}

}  // namespace quantaro
