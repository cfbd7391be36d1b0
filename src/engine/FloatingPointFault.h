#pragma once

#include <cfenv>
#include <stdexcept>

#include "engine/Messages.h"

namespace quantaro {

// A fault found in the middle of a computation, thrown to where the engine
// ends the run with it: a run's outcome carries it as its own result code.
class FloatingPointFault : public std::runtime_error {
  public:
    explicit FloatingPointFault(FaultKind kind);
    FaultKind kind() const { return kind_; }

  private:
    FaultKind kind_;
};

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
