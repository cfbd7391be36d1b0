#include "engine/FloatingPointFault.h"

#include <cfenv>

namespace quantaro {

FloatingPointFault::FloatingPointFault(FaultKind kind)
    : std::runtime_error(FaultText(kind)), kind_(kind) {}

void RaiseFault(FaultKind kind) {
    throw FloatingPointFault(kind);
}

void RaiseRaisedFault() {
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (raised & FE_INVALID) RaiseFault(FaultKind::InvalidOperation);
    if (raised & FE_DIVBYZERO) RaiseFault(FaultKind::DivisionByZero);
    RaiseFault(FaultKind::Overflow);
}

FaultFlagScope::FaultFlagScope() {
    std::feclearexcept(FE_ALL_EXCEPT);
}

void FaultFlagScope::check() const {
    CheckFaultFlags();
}

}  // namespace quantaro
