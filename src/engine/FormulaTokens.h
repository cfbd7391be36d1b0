#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"
#include "engine/RunOutcome.h"

namespace quantaro {

// One token of a formula text as a run would cut it with the current tables,
// or one word that no run could cut.
struct TokenSpan {
    enum Kind { Number, Operator, Constant, Variable, Equals, Result, Unknown };
    Kind kind = Unknown;
    // Offsets into the formula text. A token glued across a line break spans
    // the break too.
    std::size_t begin = 0;
    std::size_t end = 0;
    // For an unknown word, the outcome a run would give for it: its message
    // and, as the place, the word's bytes.
    std::optional<RunOutcome> failure;
};

// The tokens of every equation of a formula text, in text order. Unlike a
// run, cutting goes on past a word that cannot be cut, so that every such
// word is found. The result name is the token a run would store into: the
// first from the right that is neither a number nor a constant, when it is a
// variable. No value is read, so no floating-point fault can arise. The
// text may be a part of a formula that begins where an equation begins; its
// first equation is then numbered firstEquation in the messages.
std::vector<TokenSpan> ClassifyFormula(std::string_view text, const EngineTables& tables,
                                       int firstEquation = 1);

}  // namespace quantaro
