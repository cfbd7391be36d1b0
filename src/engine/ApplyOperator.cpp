#include "engine/ApplyOperator.h"

#include <cmath>
#include <unordered_map>

#include "engine/FloatingPointFault.h"
#include "engine/OperatorSupport.h"

namespace quantaro {
namespace {

class OperatorDispatch {
  public:
    OperatorDispatch() {
        for (auto group : {BasicOperators(), PowerOperators(), CircularOperators(),
                           IntegerAndLogicOperators()}) {
            for (const OperatorEntry& entry : group) byName_.emplace(entry.name, entry.apply);
        }
    }

    OperatorFunction find(std::string_view name) const {
        const auto it = byName_.find(name);
        return it == byName_.end() ? nullptr : it->second;
    }

  private:
    std::unordered_map<std::string_view, OperatorFunction> byName_;
};

const OperatorDispatch& Dispatch() {
    static const OperatorDispatch dispatch;
    return dispatch;
}

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

OperatorOutcome ApplyOperator(std::string_view name, long double left, long double right,
                              AngleUnit angle, std::string& errorItem) {
    const OperatorFunction apply = Dispatch().find(name);
    if (apply == nullptr) return {};

    const FaultFlagScope faults;
    OperatorResult result = apply(OperatorArgs{left, right, angle});
    faults.check();

    if (result.detail) {
        errorItem = std::move(*result.detail);
        return {0.0L, ResultCode::DomainError};
    }
    return {result.value, ResultCode::Success};
}

}  // namespace quantaro
