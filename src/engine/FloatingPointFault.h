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

// The sticky flags: cleared once, then tested after each computation, so
// that a fault is found at the computation that raised it. Only the three
// fault flags are tested, so the flags are cleared only when one of those
// is raised: a clear costs many times what a test does.
inline void ClearFaultFlags();
// Throws when overflow, an invalid operation or a division by zero has been
// raised since the flags were last cleared.
inline void CheckFaultFlags();

// Clears the sticky fault flags on construction; check() throws when a
// computation since then raised overflow, an invalid operation or a division
// by zero. Underflow and inexact results pass silently.
class FaultFlagScope {
  public:
    FaultFlagScope();
    void check() const;
};

// Whether overflow, an invalid operation or a division by zero has been
// raised since the flags were last cleared.
inline bool FaultFlagRaised() {
    return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
}

// Throws the fault whose flag is raised.
[[noreturn]] void RaiseRaisedFault();

inline void CheckFaultFlags() {
    if (FaultFlagRaised()) RaiseRaisedFault();
}

inline void ClearFaultFlags() {
    if (FaultFlagRaised()) std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace quantaro
