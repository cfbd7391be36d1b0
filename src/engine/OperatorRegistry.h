#pragma once

#include <span>
#include <string_view>

#include "engine/OperatorFunction.h"

namespace quantaro {

struct OperatorDefinition {
    std::string_view name;   // as shown in the grid and inserted into formulas
    int operandCount;        // 0, 1 or 2
    OperatorFunction apply;  // null for "(" and ")", which the evaluator handles itself
};

// The 66 operators in table order (rows 1 to 66).
std::span<const OperatorDefinition> OperatorDefinitions();

// The function of the operator whose name folds to upperName; null for a
// name without an operator, for "(" and ")", and for a name not in upper case.
OperatorFunction FindOperator(std::string_view upperName);

}  // namespace quantaro
