#pragma once

// The calling convention of one operator.

#include <optional>
#include <string>

#include "engine/AngleUnit.h"

namespace quantaro {

struct OperatorArgs {
    long double left;
    long double right;
    AngleUnit angle;
};

struct OperatorResult {
    long double value = 0.0L;
    std::optional<std::string> detail;  // set: a domain check failed (code 9)
};

using OperatorFunction = OperatorResult (*)(const OperatorArgs&);

}  // namespace quantaro
