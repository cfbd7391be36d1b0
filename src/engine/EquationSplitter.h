#pragma once

#include <optional>
#include <string>
#include <string_view>

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

  private:
    bool isTerminatingEquals(std::size_t i) const;

    std::string_view text_;
    std::size_t position_ = 0;
};

// How many equations the formula text holds, as the splitter cuts them.
int CountEquations(std::string_view text);

}  // namespace quantaro
