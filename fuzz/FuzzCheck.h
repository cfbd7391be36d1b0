#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Stops the fuzzer with a message when an invariant does not hold; libFuzzer
// then saves the input that broke it.
#define FUZZ_CHECK(condition, what)                                                             \
    do {                                                                                        \
        if (!(condition)) {                                                                     \
            std::fprintf(stderr, "invariant failed at %s:%d: %s\n  (%s)\n", __FILE__, __LINE__, \
                         what, #condition);                                                     \
            std::abort();                                                                       \
        }                                                                                       \
    } while (false)

namespace quantaro::fuzz {

// Whether a value is far enough from the ends of the extended range that
// its 15-digit text reads back to a value of the same magnitude.
inline bool WellInsideRange(long double value) {
    const long double magnitude = std::fabs(value);
    return magnitude == 0.0L || (magnitude > 1e-4900L && magnitude < 1e4900L);
}

// Prints a text with its control characters escaped, for failure reports.
inline void PrintEscaped(const char* label, std::string_view text) {
    std::fprintf(stderr, "%s: \"", label);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\')
            std::fprintf(stderr, "\\%c", c);
        else if (byte >= 0x20 && byte < 0x7F)
            std::fputc(c, stderr);
        else
            std::fprintf(stderr, "\\x%02X", byte);
    }
    std::fprintf(stderr, "\"\n");
}

}  // namespace quantaro::fuzz
