#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// Result codes of a run.
enum ResultCode {
    kSuccess = 0,
    kMissingEquals = 1,
    kResultNotVariable = 2,
    kUnknownItem = 3,
    kTooFewCloseBrackets = 4,
    kTooManyCloseBrackets = 5,
    kTooFewOperands = 6,
    kTooManyOperands = 7,
    kEmptyFormula = 8,
    kDomainError = 9,
};

inline constexpr const char* kCompletionPrompt =
    "Execution complete\r\nAnswers appear in the Variables table.\r\n"
    "Answers may change if equations are executed again.";

// The text shown for a failed run: "Equation N: " and the code's message,
// or "Empty formula" for code 8. Empty for code 0 and unknown codes.
std::string ResultMessage(int code, int equationNumber, std::string_view errorItem);

}  // namespace quantaro
