#pragma once

#include <span>
#include <string_view>

namespace quantaro {

struct OperatorDefinition {
    std::string_view text;  // as shown in the grid and inserted into formulas
    int operandCount;       // 0, 1 or 2
};

// The 66 operators in table order (rows 1 to 66).
std::span<const OperatorDefinition> OperatorDefinitions();

}  // namespace quantaro
