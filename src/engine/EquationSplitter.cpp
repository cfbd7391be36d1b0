#include "engine/EquationSplitter.h"

namespace quantaro {

bool EquationSplitter::isTerminatingEquals(std::size_t i) const {
    if (text_[i] != '=') return false;
    if (i == 0 || i + 1 >= text_.size()) return false;
    if (text_[i + 1] == '=') return false;
    const char previous = text_[i - 1];
    return previous != '=' && previous != '<' && previous != '>';
}

std::optional<std::string> EquationSplitter::next() {
    while (position_ < text_.size()) {
        std::string piece;
        // Formula part, up to and including the terminating "=".
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c != '\r' && c != '\n') piece += c;
            const bool terminates = isTerminatingEquals(position_);
            ++position_;
            if (terminates) break;
        }
        while (position_ < text_.size() && text_[position_] == ' ') piece += text_[position_++];
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == ' ' || c == '\r' || c == '\n') break;
            piece += c;
            ++position_;
        }
        if (!piece.empty()) return piece;
    }
    return std::nullopt;
}

int CountEquations(std::string_view text) {
    EquationSplitter splitter(text);
    int count = 0;
    while (splitter.next()) ++count;
    return count;
}

}  // namespace quantaro
