#include "engine/Messages.h"

namespace quantaro {

const char* FaultText(FaultKind kind) {
    switch (kind) {
        case FaultKind::Overflow:
            return "Floating point overflow";
        case FaultKind::InvalidOperation:
            return "Invalid floating point operation";
        case FaultKind::DivisionByZero:
            return "Floating point division by zero";
    }
    return "Floating point fault";
}

std::string ResultMessage(ResultCode code, int equationNumber, std::string_view errorItem) {
    const std::string prefix = "Equation " + std::to_string(equationNumber) + ": ";
    switch (code) {
        case ResultCode::MissingEquals:
            return prefix + "Missing \"=\" sign";
        case ResultCode::ResultNotVariable:
            return prefix + "Item after \"=\" sign is not a variable";
        case ResultCode::UnknownItem:
            return prefix + "Unknown Item \"" + std::string(errorItem) + "\"";
        case ResultCode::TooFewCloseBrackets:
            return prefix + "Too few Close brackets";
        case ResultCode::TooManyCloseBrackets:
            return prefix + "Too many Close brackets";
        case ResultCode::TooFewOperands:
            return prefix + "Too few operands";
        case ResultCode::TooManyOperands:
            return prefix + "Too many operands";
        case ResultCode::EmptyFormula:
            return "Empty formula";
        case ResultCode::DomainError:
            return prefix + "Domain Error: " + std::string(errorItem);
        case ResultCode::FloatingPointFault:
        case ResultCode::Success:
            return {};
    }
    return {};
}

}  // namespace quantaro
