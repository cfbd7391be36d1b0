#include "Numbers.h"

#include <locale.h>
#include <cfenv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "FloatingPointFault.h"

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
            if (c == ' ')
                return S::Start;
            if (sign)
                return S::Sign;
            [[fallthrough]];
        case S::Sign:
        case S::IntegerDigits:
            if (digit)
                return S::IntegerDigits;
            if (c == '.')
                return S::Point;
            if (exponent)
                return S::E;
            return S::Rejected;
        case S::Point:
        case S::FractionDigits:
            if (digit)
                return S::FractionDigits;
            if (exponent)
                return S::E;
            return S::Rejected;
        case S::E:
            if (sign)
                return S::ExponentSign;
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

// Builds a canonical text "[-]digits[.digits]e<exp>" for strtold_l. The
// mantissa digits are kept whole, so the conversion is exact to the last bit.
long double ConvertNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string canonical;
    canonical.reserve(text.size() + 4);
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            canonical += '-';
        ++i;
    }
    bool anyDigit = false;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == '.'); ++i) {
        anyDigit = anyDigit || IsDigit(text[i]);
        canonical += text[i];
    }
    // Mantissa without digits, such as "." or "E5", is the number 0.
    if (!anyDigit)
        return canonical.starts_with('-') ? -0.0L : 0.0L;
    if (canonical.back() == '.')
        canonical.pop_back();
    if (i < text.size()) {
        canonical += 'e';
        canonical.append(text.substr(i + 1));
    }
    const long double value = strtold_l(canonical.c_str(), nullptr, CLocale());
    if (std::isinf(value))
        RaiseFault(FaultKind::Overflow);
    return value;
}

// Formats |value| with 16 significant digits truncated toward zero, which
// gives the exact first sixteen digits of the value's decimal expansion.
struct DecimalDigits {
    std::string digits;  // d1 d2 ... d16
    int exponent = 0;    // |value| = d1.d2... x 10^exponent
};

DecimalDigits TruncatedDigits(long double magnitude) {
    const int previousRounding = std::fegetround();
    std::fesetround(FE_TOWARDZERO);
    const locale_t previousLocale = uselocale(CLocale());
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15Le", magnitude);
    uselocale(previousLocale);
    std::fesetround(previousRounding);

    DecimalDigits result;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (IsDigit(*p))
            result.digits += *p;
    }
    result.exponent = std::atoi(p + 1);
    return result;
}

}  // namespace

std::size_t LongestNumberPrefix(std::string_view text) {
    NumberState state = NumberState::Start;
    std::size_t longest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        state = Step(state, text[i]);
        if (state == NumberState::Rejected)
            break;
        if (IsAccepting(state))
            longest = i + 1;
    }
    return longest;
}

bool IsNumberText(std::string_view text) {
    NumberState state = NumberState::Start;
    for (char c : text) {
        state = Step(state, c);
        if (state == NumberState::Rejected)
            return false;
    }
    return IsAccepting(state);
}

std::optional<long double> ParseNumber(std::string_view text) {
    if (!IsNumberText(text))
        return std::nullopt;
    return ConvertNumber(text);
}

std::string FormatNumber(long double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return "INF";
    if (std::fpclassify(value) != FP_NORMAL)
        return "0";  // zero and subnormals

    DecimalDigits decimal = TruncatedDigits(std::fabs(value));
    // Fifteen significant digits, rounded half away from zero on the sixteenth.
    std::string digits = decimal.digits.substr(0, 15);
    int exponent = decimal.exponent + 1;  // |value| = 0.d1d2... x 10^exponent
    if (decimal.digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++exponent;
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int n = static_cast<int>(digits.size());

    std::string text = value < 0 ? "-" : "";
    if (exponent >= -3 && exponent <= 15) {
        if (exponent > 0) {
            text += digits.substr(0, std::min(n, exponent));
            if (n < exponent)
                text.append(exponent - n, '0');
            if (n > exponent)
                text += "." + digits.substr(exponent);
        } else {
            text += "0.";
            text.append(-exponent, '0');
            text += digits;
        }
    } else {
        text += digits[0];
        if (n > 1)
            text += "." + digits.substr(1);
        text += "E" + std::to_string(exponent - 1);
    }
    return text;
}

}  // namespace quantaro
