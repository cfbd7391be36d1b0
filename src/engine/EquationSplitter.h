#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quantaro {

// Cuts a formula text into equations: each is the text up to and including a
// terminating "=", the blanks after it and the result word. CR and LF are
// dropped, so an expression may run over several lines.
class EquationSplitter {
  public:
    explicit EquationSplitter(std::string_view text) : text_(text) {}

    // The next equation, or nothing at the end of the text. Pieces that hold
    // no character at all (only line breaks) are no equations and skipped.
    std::optional<std::string> next();
    // The same, and for each character of the equation the offset in the
    // text it came from, for showing where each token stands.
    std::optional<std::string> next(std::vector<std::size_t>& sourceOffsets);

    // Where the next equation is looked for: splitting the text from here
    // on gives the same equations as splitting on from the start.
    std::size_t position() const { return position_; }

  private:
    bool isTerminatingEquals(std::size_t i) const;
    std::optional<std::string> nextPiece(std::vector<std::size_t>* sourceOffsets);

    std::string_view text_;
    std::size_t position_ = 0;
};

// How many equations the formula text holds, as the splitter cuts them.
int CountEquations(std::string_view text);

// The places where the splitter ends an equation, just after its result
// word, so that a part of a long text can be cut on its own: the last at or
// before offset (0 when there is none), the first at or after it (the text's
// end when there is none), and how many equations end at or before offset.
// The cut looks only at ASCII characters, so the text may be a run's UTF-8
// or an editor's UTF-16 alike.
template <typename Char>
std::size_t EquationBoundaryAtOrBefore(std::basic_string_view<Char> text, std::size_t offset);
template <typename Char>
std::size_t EquationBoundaryAtOrAfter(std::basic_string_view<Char> text, std::size_t offset);
template <typename Char>
int CountEquationsEndingBy(std::basic_string_view<Char> text, std::size_t offset);

}  // namespace quantaro
