#pragma once

#include <cfenv>
#include <stdexcept>

namespace quantaro {

// The three arithmetic faults that are never turned into result codes. They are
// detected from the floating-point status flags after a computation and leave
// the engine as this exception.
enum class FaultKind { Overflow, InvalidOperation, DivisionByZero };

class FloatingPointFault : public std::runtime_error {
  public:
    explicit FloatingPointFault(FaultKind kind);
    FaultKind kind() const { return kind_; }

  private:
    FaultKind kind_;
};

// The standard text shown for a fault, e.g. "Floating point overflow".
const char* FaultText(FaultKind kind);

[[noreturn]] void RaiseFault(FaultKind kind);

// Clears the sticky fault flags on construction; check() throws when a
// computation since then raised overflow, an invalid operation or a division
// by zero. Underflow and inexact results pass silently.
class FaultFlagScope {
  public:
    FaultFlagScope();
    void check() const;
};

// For a run of many computations, the sticky flags are cleared once and
// tested after each computation, so that a fault is still found at the
// computation that raised it; a test costs a fraction of a clear.
inline bool FaultFlagRaised() {
    return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
}

// Throws the fault whose flag is raised.
[[noreturn]] void RaiseRaisedFault();

// Throws when a fault flag has been raised since the flags were last cleared.
inline void CheckFaultFlags() {
    if (FaultFlagRaised()) RaiseRaisedFault();
}

// Only the fault flags are ever tested, so they need clearing only when one
// of them is raised.
inline void ClearFaultFlags() {
    if (FaultFlagRaised()) std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace quantaro
