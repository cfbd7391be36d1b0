#include "engine/ApplyOperator.h"

#include <cmath>

#include "engine/FloatingPointFault.h"
#include "engine/NameTable.h"

namespace quantaro {
namespace {

// x87-style conversion: the rounded value must fit in a signed 32-bit integer.
int ToInt32(long double rounded) {
    if (!(rounded >= -2147483648.0L && rounded <= 2147483647.0L)) {
        RaiseFault(FaultKind::InvalidOperation);
    }
    return static_cast<int>(rounded);
}

}  // namespace

int TruncateToInteger(long double x) {
    return ToInt32(std::trunc(x));
}

int RoundToInteger(long double x) {
    // nearbyint follows the current rounding mode, which is to nearest, ties to even.
    return ToInt32(std::nearbyint(x));
}

bool IsWholeByTruncation(long double x) {
    return x == TruncateToInteger(x);
}

bool IsWholeByRounding(long double x) {
    return x == RoundToInteger(x);
}

OperatorOutcome ApplyOperator(const OperatorDefinition& op, long double left, long double right,
                              AngleUnit angle, std::string& errorItem) {
    if (op.apply == nullptr) return {};

    const FaultFlagScope faults;
    OperatorResult result = op.apply(OperatorArgs{left, right, angle});
    faults.check();

    if (result.detail) {
        errorItem = std::move(*result.detail);
        return {0.0L, ResultCode::DomainError};
    }
    return {result.value, ResultCode::Success};
}

OperatorOutcome ApplyOperator(std::string_view name, long double left, long double right,
                              AngleUnit angle, std::string& errorItem) {
    const OperatorDefinition* op = Operators().find(name);
    if (op == nullptr || FoldToUpper(op->name) != name) return {};
    return ApplyOperator(*op, left, right, angle, errorItem);
}

}  // namespace quantaro
