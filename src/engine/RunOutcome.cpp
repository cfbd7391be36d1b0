#include "engine/RunOutcome.h"

#include "engine/EquationSplitter.h"

namespace quantaro {

RunOutcome FailedRun(ResultCode code, int equationNumber, std::string errorItem,
                     std::optional<TextPlace> place, FaultKind fault) {
    RunOutcome outcome;
    outcome.status = code;
    outcome.message = code == ResultCode::FloatingPointFault
                          ? std::string(FaultText(fault))
                          : ResultMessage(code, equationNumber, errorItem);
    outcome.place = place;
    outcome.equationNumber = equationNumber;
    outcome.errorItem = std::move(errorItem);
    outcome.fault = fault;
    return outcome;
}

std::optional<TextPlace> PlaceOf(const std::vector<std::size_t>& offsets, int equationNumber,
                                 std::size_t from, std::size_t size) {
    if (size == 0) return std::nullopt;
    return TextPlace{equationNumber, offsets[from], offsets[from + size - 1] + 1};
}

std::optional<TextPlace> PlaceInFormula(std::string_view formula, std::size_t start,
                                        int equationNumber, std::string_view equation,
                                        std::string_view part) {
    std::vector<std::size_t> offsets;
    EquationSplitter(formula.substr(start)).next(offsets);
    for (std::size_t& offset : offsets) offset += start;
    if (!part.empty()) {
        return PlaceOf(offsets, equationNumber,
                       static_cast<std::size_t>(part.data() - equation.data()), part.size());
    }
    const std::size_t first = equation.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    return PlaceOf(offsets, equationNumber, first, equation.find_last_not_of(' ') - first + 1);
}

RunOutcome FailedEquation(ResultCode code, int equationNumber, std::string errorItem,
                          FaultKind fault, std::string_view formula, std::size_t start,
                          std::string_view equation, std::string_view at) {
    const bool atWord = code == ResultCode::UnknownItem || code == ResultCode::DomainError ||
                        code == ResultCode::FloatingPointFault;
    return FailedRun(
        code, equationNumber, std::move(errorItem),
        PlaceInFormula(formula, start, equationNumber, equation, atWord ? at : std::string_view()),
        fault);
}

}  // namespace quantaro
