#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quantaro {

// The one rule for which text is a number: optional leading blanks, an
// optional sign, digits with an optional "." and optional fraction digits, an
// optional exponent "E"/"e" with optional sign and at least one digit. The
// whole text must be consumed. Never depends on the C library's locale.
//
// Returns the value when the text is a number. A magnitude beyond the
// extended range throws FloatingPointFault (overflow); one below it gives 0
// or a subnormal value silently.
std::optional<long double> ParseNumber(std::string_view text);

// ParseNumber without a throw: the value when the text is a number within
// the extended range; else nothing, and whether the text is a number beyond
// that range.
struct NumberReading {
    std::optional<long double> value;
    bool overflows = false;
};
NumberReading ReadNumber(std::string_view text);

// Whether ParseNumber would accept the text, without computing its value.
bool IsNumberText(std::string_view text);

// Length of the longest prefix of text that ParseNumber accepts, 0 when no
// prefix is a number. Linear in the length of that prefix.
std::size_t LongestNumberPrefix(std::string_view text);

// The largest scale for which ScaleByExactPowerOfTen applies: 10^27 is the
// largest power of ten that is an exact extended value.
inline constexpr int kMaxExactPowerOfTen = 27;

// digits x 10^scale, correctly rounded in the current rounding mode, by the
// one multiplication or division through which ParseNumber reads texts of at
// most 19 significant digits and such a scale. |scale| <= kMaxExactPowerOfTen.
// Both operands are exact extended values: the digits have at most 64 bits
// and 5^27 < 2^64. Inline, for the rounding of every stored result.
// Up to 10^22 the powers are exact doubles too, and a double loads into the
// FPU in a third of the time an extended value takes.
inline long double ScaleByExactPowerOfTen(long double value, int scale) {
    static constexpr double kDoublePowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    static constexpr long double kExtendedPowers[] = {1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
    constexpr int kDoubles = sizeof kDoublePowers / sizeof kDoublePowers[0];
    static_assert(kDoubles + sizeof kExtendedPowers / sizeof kExtendedPowers[0] ==
                  kMaxExactPowerOfTen + 1);
    const int k = scale >= 0 ? scale : -scale;
    const long double power = k < kDoubles ? kDoublePowers[k] : kExtendedPowers[k - kDoubles];
    return scale >= 0 ? value * power : value / power;
}
inline long double ScaleByExactPowerOfTen(std::uint64_t digits, int scale) {
    return ScaleByExactPowerOfTen(static_cast<long double>(digits), scale);
}

// The general text form of a number: at most 15 significant digits rounded
// half away from zero, "." as decimal point, fixed notation for
// 0.0001 <= |value| < 1E15, otherwise forms such as 1E15 or 1.5E-7.
std::string FormatNumber(long double value);

// The longest text FormatNumber writes: "-", fifteen digits, ".", "E-4951".
inline constexpr std::size_t kNumberTextSize = 24;

// FormatNumber's text written from out on, where kNumberTextSize characters
// fit; returns its end. For writers of many numbers, without a string each.
char* WriteNumber(char* out, long double value);

// The shortest text that ParseNumber reads back as exactly this value, in the
// notation of FormatNumber: the value rounded to nearest with the fewest
// significant digits that read back, at most 21 (enough for every extended
// value). For values a run keeps unrounded, such as an operator's operands and
// result within an equation. Subnormal values are written too; zero,
// infinities and NaNs as FormatNumber writes them. Leaves the floating-point
// flags and the rounding mode as it found them.
std::string FormatNumberExactly(long double value);

}  // namespace quantaro
