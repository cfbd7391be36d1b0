#pragma once

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
// that a fault is found at the computation that raised it.
void ClearFaultFlags();
// Throws when overflow, an invalid operation or a division by zero has been
// raised since the flags were last cleared.
void CheckFaultFlags();

// Clears the sticky fault flags on construction; check() throws when a
// computation since then raised overflow, an invalid operation or a division
// by zero. Underflow and inexact results pass silently.
class FaultFlagScope {
  public:
    FaultFlagScope();
    void check() const;
};

}  // namespace quantaro
