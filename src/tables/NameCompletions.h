#pragma once

#include <QString>

#include <vector>

#include "engine/NameTable.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

// A name that may complete the word being typed, with what the grids show
// of it.
struct NameCompletion {
    QString name;
    QString value;  // a constant's or variable's value; empty for an operator
    QString units;
    QString kind;  // "Constant", "Variable" or "Operator, N operands"
};

// The names that begin with prefix, ASCII case folded as names are looked
// up: the constants, the variables, then the operators, each in table order.
std::vector<NameCompletion> CompletionsFor(const QString& prefix, const NameTable& constants,
                                           const NameTable& variables,
                                           const OperatorRegistry& operators);

}  // namespace quantaro
