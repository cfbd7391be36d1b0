#pragma once

// Names compare with ASCII case folding: only a-z and A-Z are folded.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quantaro {

constexpr char FoldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr bool NamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

// FNV-1a over the folded characters, so that names equal with folding hash
// alike.
constexpr std::uint64_t FoldedHash(std::string_view name) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(FoldAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace quantaro
