#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quantaro {

// How many base units with a dimension (metre, kilogram, second, ..., a
// currency) a worksheet's units may be built from.
inline constexpr std::size_t kBaseDimensions = 24;

// One factor of a unit as the user wrote it: "km" to the power 1, "h" to -1.
struct UnitTerm {
    std::string symbol;
    double power = 1;
};

// A unit as the check follows it through an equation: the exponents of the
// base units with a dimension; the exponent of the radian, which has none
// but tells an angle from a plain number; and how a value in this unit
// becomes one in the base units, base = scale * value + offset. The terms
// keep the unit as written, so that a product reads km·h⁻¹·s rather than a
// factor of m.
struct Unit {
    std::array<double, kBaseDimensions> exponents{};
    double radians = 0;
    long double scale = 1;
    long double offset = 0;
    std::vector<UnitTerm> terms;

    bool dimensionless() const;
    // An angle: no dimension, the radian to the first power.
    bool angle() const;
    bool sameDimension(const Unit& other) const;
    // Same dimension, scale and offset: a value means the same in both.
    bool sameScale(const Unit& other) const;
};

// The unit of a number word: dimensionless, scale 1, no terms.
inline Unit PlainNumber() {
    return {};
}

Unit Multiplied(const Unit& left, const Unit& right);
Unit Divided(const Unit& left, const Unit& right);
Unit Raised(const Unit& unit, double power);

// The terms of a unit's text as written ("m/s^2" gives m, s⁻²; "kg m" gives
// kg, m); the whole text as one term when it is more than a plain product.
std::vector<UnitTerm> TermsOf(std::string_view text);

// The unit for the user: its terms joined by "·" with the powers written as
// superscripts ("m·s⁻¹"), "1" for none.
std::string ShownUnit(const Unit& unit);

// How a value in `from` is written in `to`, of the same dimension: "×1000",
// "+273.15" or "×1.8 +32"; empty when nothing changes.
std::string ConversionText(const Unit& from, const Unit& to);
// The factor alone: what one `from` is in `to`.
long double ConversionFactor(const Unit& from, const Unit& to);

}  // namespace quantaro
