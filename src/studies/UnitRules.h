#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quantaro {

// What an operator does to the units of its operands. Every operator of the
// registry (Operators()) has one: a test holds the two tables together.
enum class UnitRule : std::uint8_t {
    Bracket,          // "(" and ")": no operand
    Assign,           // "=": the result against the result variable's units
    SameDimension,    // "+", "-": operands of one dimension, the left's unit
    Compare,          // "==", "<", ...: operands of one dimension, a plain number
    IntegerDivide,    // "DIV" (a plain number), "MOD" (the left's unit): one dimension
    Multiply,         // exponents add
    Divide,           // exponents subtract
    Reciprocal,       // "1/"
    Square,           // "^2"
    Cube,             // "^3"
    SquareRoot,       // "2ROOT"
    CubeRoot,         // "3ROOT"
    Power,            // L "^" R: R a known plain number scales the exponents
    Root,             // L "ROOT" R: the L-th root of R, L a known plain number
    Dimensionless,    // logarithms, exponentials, counting, hyperbolic, Boolean
    Circular,         // an angle or a plain number in, a plain number out
    InverseCircular,  // a plain number in, an angle in the worksheet's unit out
    KeepDimension,    // "ROUND", "TRUNC", "FRAC", "NEG"
};

// The rule of the operator named name (ASCII case folded), nothing for a
// name that is no operator.
std::optional<UnitRule> UnitRuleOf(std::string_view name);

}  // namespace quantaro
