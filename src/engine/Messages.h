#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// Result codes of a run; the numbers are also quantaro-cli's exit codes.
enum class ResultCode {
    Success = 0,
    MissingEquals = 1,
    ResultNotVariable = 2,
    UnknownItem = 3,
    TooFewCloseBrackets = 4,
    TooManyCloseBrackets = 5,
    TooFewOperands = 6,
    TooManyOperands = 7,
    EmptyFormula = 8,
    DomainError = 9,
    // Overflow, an invalid operation or a division by zero, found from the
    // floating-point status flags; its kind says which.
    FloatingPointFault = 10,
};

// The arithmetic faults that end a run. They are detected from the
// floating-point status flags after a computation.
enum class FaultKind { Overflow, InvalidOperation, DivisionByZero };

// The standard text shown for a fault, e.g. "Floating point overflow".
const char* FaultText(FaultKind kind);

// The text shown for a failed run: "Equation N: " and the code's message,
// or "Empty formula" for code 8. Empty for success; a floating-point
// fault's text is its kind's (FaultText).
std::string ResultMessage(ResultCode code, int equationNumber, std::string_view errorItem);

}  // namespace quantaro
