#include "engine/EquationSplitter.h"

#include <algorithm>

namespace quantaro {
namespace {

// An "=" that ends an equation: not the first or last character, and not
// part of "==", "<=" or ">=".
template <typename Char>
bool IsTerminatingEquals(std::basic_string_view<Char> text, std::size_t i) {
    if (text[i] != Char('=')) return false;
    if (i == 0 || i + 1 >= text.size()) return false;
    if (text[i + 1] == Char('=')) return false;
    const Char previous = text[i - 1];
    return previous != Char('=') && previous != Char('<') && previous != Char('>');
}

// Where the equation the "=" at i ends: after the blanks and the result word
// that follow it.
template <typename Char>
std::size_t EndAfterEquals(std::basic_string_view<Char> text, std::size_t i) {
    std::size_t at = i + 1;
    while (at < text.size() && text[at] == Char(' ')) ++at;
    while (at < text.size() && text[at] != Char(' ') && text[at] != Char('\r') &&
           text[at] != Char('\n')) {
        ++at;
    }
    return at;
}

}  // namespace

bool EquationSplitter::isTerminatingEquals(std::size_t i) const {
    return IsTerminatingEquals(text_, i);
}

// An "=" inside a result word ends where that word ends, so every "=" that
// could end an equation gives a true end.
template <typename Char>
std::size_t EquationBoundaryAtOrBefore(std::basic_string_view<Char> text, std::size_t offset) {
    for (std::size_t i = std::min(offset, text.size()); i-- > 0;) {
        if (IsTerminatingEquals(text, i) && EndAfterEquals(text, i) <= offset) {
            return EndAfterEquals(text, i);
        }
    }
    return 0;
}

template <typename Char>
std::size_t EquationBoundaryAtOrAfter(std::basic_string_view<Char> text, std::size_t offset) {
    const std::size_t start = EquationBoundaryAtOrBefore(text, offset);
    if (start == offset) return offset;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (!IsTerminatingEquals(text, i)) continue;
        const std::size_t end = EndAfterEquals(text, i);
        if (end >= offset) return end;
        i = end - 1;
    }
    return text.size();
}

template <typename Char>
int CountEquationsEndingBy(std::basic_string_view<Char> text, std::size_t offset) {
    int count = 0;
    for (std::size_t i = 0; i < std::min(offset, text.size()); ++i) {
        if (!IsTerminatingEquals(text, i)) continue;
        const std::size_t end = EndAfterEquals(text, i);
        if (end > offset) break;
        ++count;
        i = end - 1;
    }
    return count;
}

template std::size_t EquationBoundaryAtOrBefore(std::string_view, std::size_t);
template std::size_t EquationBoundaryAtOrBefore(std::u16string_view, std::size_t);
template std::size_t EquationBoundaryAtOrAfter(std::string_view, std::size_t);
template std::size_t EquationBoundaryAtOrAfter(std::u16string_view, std::size_t);
template int CountEquationsEndingBy(std::string_view, std::size_t);
template int CountEquationsEndingBy(std::u16string_view, std::size_t);

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
