#include "engine/Messages.h"

namespace quantaro {

std::string ResultMessage(int code, int equationNumber, std::string_view errorItem) {
    const std::string prefix = "Equation " + std::to_string(equationNumber) + ": ";
    switch (code) {
        case kMissingEquals:
            return prefix + "Missing \"=\" sign";
        case kResultNotVariable:
            return prefix + "Item after \"=\" sign is not a variable";
        case kUnknownItem:
            return prefix + "Unknown Item \"" + std::string(errorItem) + "\"";
        case kTooFewCloseBrackets:
            return prefix + "Too few Close brackets";
        case kTooManyCloseBrackets:
            return prefix + "Too many Close brackets";
        case kTooFewOperands:
            return prefix + "Too few operands";
        case kTooManyOperands:
            return prefix + "Too many operands";
        case kEmptyFormula:
            return "Empty formula";
        case kDomainError:
            return prefix + "Domain Error: " + std::string(errorItem);
        default:
            return {};
    }
}

}  // namespace quantaro
