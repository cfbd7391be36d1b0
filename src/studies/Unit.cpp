#include "studies/Unit.h"

#include <cctype>
#include <cmath>
#include <optional>

#include "engine/Numbers.h"

namespace quantaro {
namespace {

// Scales come from udunits2 in double precision.
bool Close(long double a, long double b) {
    return std::fabs(a - b) <= 1e-12L * std::fmax(std::fabs(a), std::fabs(b));
}

bool SameExponent(double a, double b) {
    return std::fabs(a - b) < 1e-9;
}

void AddTerm(std::vector<UnitTerm>& terms, const UnitTerm& term) {
    for (auto it = terms.begin(); it != terms.end(); ++it) {
        if (it->symbol != term.symbol) continue;
        it->power += term.power;
        if (SameExponent(it->power, 0)) terms.erase(it);
        return;
    }
    if (!SameExponent(term.power, 0)) terms.push_back(term);
}

std::string Superscript(double power) {
    if (power != std::round(power)) return std::string("^").append(FormatNumber(power));
    static const char* const kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string text = power < 0 ? "⁻" : "";
    for (const char digit : std::to_string(static_cast<long long>(std::fabs(power))))
        text += kDigits[digit - '0'];
    return text;
}

bool IsSeparator(std::string_view text, std::size_t at) {
    const char c = text[at];
    return c == ' ' || c == '.' || c == '*' || text.substr(at).starts_with("·");
}

std::size_t SeparatorLength(std::string_view text, std::size_t at) {
    return text.substr(at).starts_with("·") ? std::string_view("·").size() : 1;
}

// Reads "^-2" or "^3" at `at`; nothing when there is no whole power there.
std::optional<double> ReadPower(std::string_view text, std::size_t& at) {
    std::size_t end = at + 1;
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
    const std::size_t digits = end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digits) return std::nullopt;
    const double power = std::stod(std::string(text.substr(at + 1, end - at - 1)));
    at = end;
    return power;
}

}  // namespace

bool Unit::dimensionless() const {
    for (const double exponent : exponents) {
        if (!SameExponent(exponent, 0)) return false;
    }
    return true;
}

bool Unit::angle() const {
    return dimensionless() && SameExponent(radians, 1);
}

bool Unit::sameDimension(const Unit& other) const {
    for (std::size_t k = 0; k < kBaseDimensions; ++k) {
        if (!SameExponent(exponents[k], other.exponents[k])) return false;
    }
    return true;
}

bool Unit::sameScale(const Unit& other) const {
    return sameDimension(other) && Close(scale, other.scale) &&
           Close(offset / scale, other.offset / other.scale);
}

Unit Multiplied(const Unit& left, const Unit& right) {
    Unit product = left;
    for (std::size_t k = 0; k < kBaseDimensions; ++k) product.exponents[k] += right.exponents[k];
    product.radians += right.radians;
    product.scale *= right.scale;
    // A product of temperatures is one of differences: no origin.
    product.offset = 0;
    for (const UnitTerm& term : right.terms) AddTerm(product.terms, term);
    return product;
}

Unit Divided(const Unit& left, const Unit& right) {
    return Multiplied(left, Raised(right, -1));
}

Unit Raised(const Unit& unit, double power) {
    Unit raised;
    for (std::size_t k = 0; k < kBaseDimensions; ++k)
        raised.exponents[k] = unit.exponents[k] * power;
    raised.radians = unit.radians * power;
    raised.scale = std::pow(unit.scale, static_cast<long double>(power));
    for (const UnitTerm& term : unit.terms)
        AddTerm(raised.terms, {term.symbol, term.power * power});
    return raised;
}

std::vector<UnitTerm> TermsOf(std::string_view text) {
    const std::vector<UnitTerm> whole{{std::string(text), 1}};
    std::vector<UnitTerm> terms;
    double sign = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        if (IsSeparator(text, at)) {
            at += SeparatorLength(text, at);
            continue;
        }
        if (text[at] == '/') {
            sign = -1;
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !IsSeparator(text, end) && text[end] != '/' && text[end] != '^')
            ++end;
        std::string symbol(text.substr(at, end - at));
        if (symbol == "per") {
            sign = -1;
            at = end;
            continue;
        }
        const unsigned char first = static_cast<unsigned char>(symbol.front());
        if (std::isdigit(first) || symbol.find_first_of("()") != std::string::npos) return whole;
        double power = 1;
        at = end;
        if (at < text.size() && text[at] == '^') {
            const std::optional<double> read = ReadPower(text, at);
            if (!read) return whole;
            power = *read;
        } else {
            // "m2" is m squared.
            std::size_t digits = symbol.size();
            while (digits > 0 && std::isdigit(static_cast<unsigned char>(symbol[digits - 1])))
                --digits;
            if (digits < symbol.size()) {
                power = std::stod(symbol.substr(digits));
                symbol.resize(digits);
            }
        }
        AddTerm(terms, {symbol, sign * power});
        sign = 1;
    }
    return terms;
}

std::string ShownUnit(const Unit& unit) {
    if (unit.terms.empty()) return "1";
    std::string text;
    for (const UnitTerm& term : unit.terms) {
        if (!text.empty()) text += "·";
        text += term.symbol;
        if (!SameExponent(term.power, 1)) text += Superscript(term.power);
    }
    return text;
}

long double ConversionFactor(const Unit& from, const Unit& to) {
    return from.scale / to.scale;
}

std::string ConversionText(const Unit& from, const Unit& to) {
    const long double factor = ConversionFactor(from, to);
    const long double shift = (from.offset - to.offset) / to.scale;
    std::string text;
    if (!Close(factor, 1)) text = std::string("×").append(FormatNumber(factor));
    if (std::fabs(shift) > 1e-12L) {
        if (!text.empty()) text += ' ';
        if (shift > 0) text += '+';
        text += FormatNumber(shift);
    }
    return text;
}

}  // namespace quantaro
