#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Messages.h"
#include "engine/Outcome.h"

namespace quantaro {

// What a run came to. The engine shows nothing; its callers decide how to
// tell the user. The place of a failure is the word that could not be read,
// the operator whose domain check failed or that faulted, else the whole
// equation; an empty formula has none.
struct RunOutcome : Outcome<ResultCode> {
    // The failing equation; after success, the number of equations found.
    int equationNumber = 0;
    // The word that could not be read, or the detail of a domain error.
    std::string errorItem;
    // Which fault ended the run, when the status is FloatingPointFault.
    FaultKind fault = FaultKind::Overflow;
};

// The outcome of a run that failed at an equation, with the message for it:
// the code's (ResultMessage), or a fault's own text.
RunOutcome FailedRun(ResultCode code, int equationNumber, std::string errorItem,
                     std::optional<TextPlace> place, FaultKind fault = FaultKind::Overflow);

// Where size bytes of an equation's text from `from` on stand in the text
// it was split from, offsets giving each of its bytes' place there (as
// EquationSplitter::next gives them); nothing for no bytes.
std::optional<TextPlace> PlaceOf(const std::vector<std::size_t>& offsets, int equationNumber,
                                 std::size_t from, std::size_t size);

// The same for a part of an equation that the splitter cut from the formula
// starting at `start` (its position() before it cut the equation); part is
// a view into equation, or empty for the whole equation: its bytes from the
// first to the last that is not a blank, nothing when all are blanks.
std::optional<TextPlace> PlaceInFormula(std::string_view formula, std::size_t start,
                                        int equationNumber, std::string_view equation,
                                        std::string_view part);

// The outcome of a run that failed at an equation the splitter cut from the
// formula at `start`: placed at `at`, a view into the equation, when the
// code is about one word (an unknown item, a domain error, a fault), else at
// the whole equation.
RunOutcome FailedEquation(ResultCode code, int equationNumber, std::string errorItem,
                          FaultKind fault, std::string_view formula, std::size_t start,
                          std::string_view equation, std::string_view at);

}  // namespace quantaro
