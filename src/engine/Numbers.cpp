#include "engine/Numbers.h"

#include <locale.h>
#include <algorithm>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "engine/FloatingPointFault.h"
#include "engine/NumberRounding.h"

namespace quantaro {
namespace {

// States of the number recogniser. A text is a number when it is consumed
// completely and the recogniser ends in an accepting state.
enum class NumberState {
    Start,
    Sign,
    IntegerDigits,
    Point,
    FractionDigits,
    E,
    ExponentSign,
    ExponentDigits,
    Rejected
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAccepting(NumberState state) {
    return state == NumberState::IntegerDigits || state == NumberState::Point ||
           state == NumberState::FractionDigits || state == NumberState::ExponentDigits;
}

NumberState Step(NumberState state, char c) {
    using S = NumberState;
    const bool digit = IsDigit(c);
    const bool sign = c == '+' || c == '-';
    const bool exponent = c == 'E' || c == 'e';
    switch (state) {
        case S::Start:
            if (c == ' ') return S::Start;
            if (sign) return S::Sign;
            [[fallthrough]];
        case S::Sign:
        case S::IntegerDigits:
            if (digit) return S::IntegerDigits;
            if (c == '.') return S::Point;
            if (exponent) return S::E;
            return S::Rejected;
        case S::Point:
        case S::FractionDigits:
            if (digit) return S::FractionDigits;
            if (exponent) return S::E;
            return S::Rejected;
        case S::E:
            if (sign) return S::ExponentSign;
            [[fallthrough]];
        case S::ExponentSign:
        case S::ExponentDigits:
            return digit ? S::ExponentDigits : S::Rejected;
        case S::Rejected:
            break;
    }
    return S::Rejected;
}

locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return locale;
}

// The parts of a text that IsNumberText accepts.
struct NumberParts {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::string_view exponent;  // after the "E": optional sign and digits; empty if none
};

NumberParts SplitNumber(std::string_view text) {
    NumberParts parts;
    std::size_t i = text.find_first_not_of(' ');
    if (text[i] == '+' || text[i] == '-') parts.negative = text[i++] == '-';
    const std::size_t integerStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    parts.integerDigits = text.substr(integerStart, i - integerStart);
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i])) ++i;
        parts.fractionDigits = text.substr(fractionStart, i - fractionStart);
    }
    if (i < text.size()) parts.exponent = text.substr(i + 1);
    return parts;
}

// Digits that fit in 64 bits scaled by at most 10^27 convert with a single
// correctly rounded multiplication or division (ScaleByExactPowerOfTen). Most
// numbers met in formulas and tables take this path.
std::optional<long double> ConvertShortNumber(const NumberParts& parts) {
    std::uint64_t digits = 0;
    int significant = 0;
    for (std::string_view run : {parts.integerDigits, parts.fractionDigits}) {
        for (char c : run) {
            if (significant == 0 && c == '0') continue;
            if (++significant > 19) return std::nullopt;
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        }
    }
    int exponent = 0;
    if (!parts.exponent.empty()) {
        const bool negative = parts.exponent[0] == '-';
        const std::string_view exponentDigits =
            parts.exponent.substr(IsDigit(parts.exponent[0]) ? 0 : 1);
        if (exponentDigits.size() > 4) return std::nullopt;
        for (char c : exponentDigits) exponent = exponent * 10 + (c - '0');
        if (negative) exponent = -exponent;
    }
    const int scale = exponent - static_cast<int>(parts.fractionDigits.size());
    if (scale < -kMaxExactPowerOfTen || scale > kMaxExactPowerOfTen) return std::nullopt;

    const long double value = ScaleByExactPowerOfTen(digits, scale);
    return parts.negative ? -value : value;
}

// Any other number goes through the C library's exact conversion, with the
// decimal point of the "C" locale whatever the user's locale is.
long double ConvertLongNumber(const NumberParts& parts) {
    std::string canonical = parts.negative ? "-" : "";
    canonical.append(parts.integerDigits);
    canonical += '.';
    canonical.append(parts.fractionDigits);
    if (!parts.exponent.empty()) {
        canonical += 'e';
        canonical.append(parts.exponent);
    }
    return strtold_l(canonical.c_str(), nullptr, CLocale());
}

long double ConvertNumber(std::string_view text) {
    const NumberParts parts = SplitNumber(text);
    // A mantissa without digits, such as "." or "E5", is the number 0.
    if (parts.integerDigits.empty() && parts.fractionDigits.empty()) {
        return parts.negative ? -0.0L : 0.0L;
    }
    if (const auto value = ConvertShortNumber(parts)) return *value;
    const long double value = ConvertLongNumber(parts);
    if (std::isinf(value)) RaiseFault(FaultKind::Overflow);
    return value;
}

// A magnitude as d1.d2d3... x 10^exponent.
struct DecimalDigits {
    std::string digits;  // d1 d2 ...
    int exponent = 0;
};

// The first count significant digits of a magnitude, rounded in the given
// rounding mode; the C library converts exactly.
DecimalDigits SignificantDigits(long double magnitude, int count, int rounding) {
    const int previousRounding = std::fegetround();
    std::fesetround(rounding);
    const locale_t previousLocale = uselocale(CLocale());
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*Le", count - 1, magnitude);
    uselocale(previousLocale);
    std::fesetround(previousRounding);

    DecimalDigits result;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (IsDigit(*p)) result.digits += *p;
    }
    result.exponent = std::atoi(p + 1);
    return result;
}

void DropTrailingZeros(DecimalDigits& decimal) {
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0') decimal.digits.pop_back();
}

// The digits of |value| to 15 significant digits, rounded half away from
// zero on the sixteenth, without trailing zeros. Sixteen digits truncated
// toward zero are the exact first sixteen of the decimal expansion. For the
// values the binary scaling cannot round.
DecimalDigits FifteenDigitsByText(long double magnitude) {
    DecimalDigits decimal = SignificantDigits(magnitude, 16, FE_TOWARDZERO);
    const bool roundUp = decimal.digits[15] >= '5';
    decimal.digits.resize(15);
    if (roundUp) {
        int i = 14;
        while (i >= 0 && decimal.digits[i] == '9') decimal.digits[i--] = '0';
        if (i >= 0) {
            ++decimal.digits[i];
        } else {  // 999... carries into a new leading digit
            decimal.digits.insert(decimal.digits.begin(), '1');
            decimal.digits.pop_back();
            ++decimal.exponent;
        }
    }
    DropTrailingZeros(decimal);
    return decimal;
}

// 21 significant digits tell every two extended values apart: 10^20 > 2^64.
constexpr int kMostExactDigits = 21;

}  // namespace

NumberReading ReadNumber(std::string_view text) {
    try {
        return {ParseNumber(text), false};
    } catch (const FloatingPointFault&) {
        return {std::nullopt, true};
    }
}

namespace {

// Whether ParseNumber, rounding to nearest, reads the digits back as magnitude.
bool ReadsBackAs(const DecimalDigits& decimal, long double magnitude) {
    const int scale = decimal.exponent - static_cast<int>(decimal.digits.size()) + 1;
    // Nothing when the digits rounded up past the largest value.
    const std::optional<long double> value =
        ReadNumber(decimal.digits + 'E' + std::to_string(scale)).value;
    return value && *value == magnitude;
}

bool IsPowerOfTwo(long double magnitude) {
    int exponent = 0;
    return std::frexp(magnitude, &exponent) == 0.5L;
}

// The fewest digits of a finite, non-zero magnitude that read back as it.
DecimalDigits ShortestExactDigits(long double magnitude) {
    // Texts that read back as a normal value lie within 2^-64 of it
    // relatively, so one with fewer than fifteen digits is also what
    // rounding to fifteen digits gives, trailing zeros aside.
    const int fewest = std::fpclassify(magnitude) == FP_NORMAL ? 15 : 1;
    for (int count = fewest;; ++count) {
        const DecimalDigits nearest = SignificantDigits(magnitude, count, FE_TONEAREST);
        if (ReadsBackAs(nearest, magnitude) || count == kMostExactDigits) return nearest;
        // Below a power of two values lie half as far apart as above it, so
        // the text above may read back where the nearest, below it, does not.
        if (IsPowerOfTwo(magnitude)) {
            const DecimalDigits above = SignificantDigits(magnitude, count, FE_UPWARD);
            if (ReadsBackAs(above, magnitude)) return above;
        }
    }
}

char* WriteExponent(char* out, int exponent) {
    if (exponent < 0) *out++ = '-';
    unsigned magnitude =
        exponent < 0 ? 0u - static_cast<unsigned>(exponent) : static_cast<unsigned>(exponent);
    char reversed[8];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (n > 0) *out++ = reversed[--n];
    return out;
}

// The general form of a finite value with the significant digits d1 d2 ...
// dn, |value| = 0.d1d2... x 10^exponent, written from out on; returns the end.
char* WriteGeneralForm(char* out, bool negative, const char* digits, int n, int exponent) {
    if (negative) *out++ = '-';
    if (exponent > 0 && exponent <= 15) {
        const int whole = std::min(n, exponent);
        out = std::copy_n(digits, whole, out);
        if (n < exponent) out = std::fill_n(out, exponent - n, '0');
        if (n > exponent) {
            *out++ = '.';
            out = std::copy_n(digits + exponent, n - exponent, out);
        }
    } else if (exponent <= 0 && exponent >= -3) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent, '0');
        out = std::copy_n(digits, n, out);
    } else {
        *out++ = digits[0];
        if (n > 1) {
            *out++ = '.';
            out = std::copy_n(digits + 1, n - 1, out);
        }
        *out++ = 'E';
        out = WriteExponent(out, exponent - 1);
    }
    return out;
}

std::string GeneralForm(bool negative, const DecimalDigits& decimal) {
    char text[kNumberTextSize + 8];  // up to 21 digits when written exactly
    const char* end =
        WriteGeneralForm(text, negative, decimal.digits.data(),
                         static_cast<int>(decimal.digits.size()), decimal.exponent + 1);
    return std::string(text, static_cast<std::size_t>(end - text));
}

// Fifteen digits written two at a time, without trailing zeros.
char* WriteGeneralForm(char* out, bool negative, const FifteenDigits& decimal) {
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char digits[16];
    std::uint64_t rest = decimal.digits;
    digits[14] = static_cast<char>('0' + rest % 10);
    rest /= 10;
    for (int i = 12; i >= 0; i -= 2) {
        const auto pair = static_cast<std::size_t>(rest % 100) * 2;
        rest /= 100;
        digits[i] = kPairs[pair];
        digits[i + 1] = kPairs[pair + 1];
    }
    int n = 15;
    while (n > 1 && digits[n - 1] == '0') --n;
    return WriteGeneralForm(out, negative, digits, n, decimal.exponent + 15);
}

}  // namespace

std::size_t LongestNumberPrefix(std::string_view text) {
    NumberState state = NumberState::Start;
    std::size_t longest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = Step(state, text[i]);
        if (state == NumberState::Rejected) break;
        if (IsAccepting(state)) longest = i + 1;
    }
    return longest;
}

bool IsNumberText(std::string_view text) {
    NumberState state = NumberState::Start;
    for (char c : text) {
        state = Step(state, c);
        if (state == NumberState::Rejected) return false;
    }
    return IsAccepting(state);
}

std::optional<long double> ParseNumber(std::string_view text) {
    if (!IsNumberText(text)) return std::nullopt;
    return ConvertNumber(text);
}

char* WriteNumber(char* out, long double value) {
    if (const std::optional<FifteenDigits> decimal = RoundToFifteenDigits(value)) {
        return WriteGeneralForm(out, std::signbit(value), *decimal);
    }
    const auto literal = [out](std::string_view text) {
        return std::copy(text.begin(), text.end(), out);
    };
    if (std::isnan(value)) return literal("NAN");
    if (std::isinf(value)) return literal("INF");
    if (std::fpclassify(value) != FP_NORMAL) return literal("0");  // zero and subnormals
    const DecimalDigits decimal = FifteenDigitsByText(std::fabs(value));
    return WriteGeneralForm(out, value < 0, decimal.digits.data(),
                            static_cast<int>(decimal.digits.size()), decimal.exponent + 1);
}

std::string FormatNumber(long double value) {
    char text[kNumberTextSize];
    const char* end = WriteNumber(text, value);
    return std::string(text, static_cast<std::size_t>(end - text));
}

std::string FormatNumberExactly(long double value) {
    if (!std::isfinite(value) || value == 0) return FormatNumber(value);
    std::fexcept_t flags{};
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const int previousRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);
    DecimalDigits decimal = ShortestExactDigits(std::fabs(value));
    std::fesetround(previousRounding);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    DropTrailingZeros(decimal);
    return GeneralForm(value < 0, decimal);
}

}  // namespace quantaro
