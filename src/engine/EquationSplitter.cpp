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
    return nextPiece(nullptr);
}

std::optional<std::string> EquationSplitter::next(std::vector<std::size_t>& sourceOffsets) {
    return nextPiece(&sourceOffsets);
}

std::optional<std::string> EquationSplitter::nextPiece(std::vector<std::size_t>* sourceOffsets) {
    while (position_ < text_.size()) {
        std::string piece;
        if (sourceOffsets) sourceOffsets->clear();
        const auto take = [&](std::size_t at) {
            piece += text_[at];
            if (sourceOffsets) sourceOffsets->push_back(at);
        };
        // Formula part, up to and including the terminating "=".
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c != '\r' && c != '\n') take(position_);
            const bool terminates = isTerminatingEquals(position_);
            ++position_;
            if (terminates) break;
        }
        while (position_ < text_.size() && text_[position_] == ' ') take(position_++);
        while (position_ < text_.size()) {
            const char c = text_[position_];
            if (c == ' ' || c == '\r' || c == '\n') break;
            take(position_++);
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
