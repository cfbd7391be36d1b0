// Powers, roots, logarithms, factorials and the counting operators, with the
// power and factorial routines the hyperbolic functions share.

#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "engine/ApplyOperator.h"
#include "engine/OperatorBodies.h"
#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro {
namespace {

// The largest whole number whose factorial is within the extended range.
constexpr long double kFactorialLimit = 1754.0L;

// The extended value nearest to one third.
constexpr long double kOneThird = 1.0L / 3.0L;

// The texts of the checks nPr and nCr share.
struct CountingTexts {
    const char* name;  // between the operands, with its blanks
    const char* negative;
    const char* tooGreat;
    const char* nonInteger;
};

constexpr CountingTexts kPermutationTexts{" nPr ", "Permutation of negative number.",
                                          "First operand too great for permutation.",
                                          "Permutation of non-integer."};
constexpr CountingTexts kCombinationTexts{" nCr ", "Combination of negative number.",
                                          "First operand too great for combination.",
                                          "Combination of non-integer."};

// The first failing check of nPr or nCr, as its detail text.
std::optional<std::string> CountingCheck(const OperatorArgs& a, const CountingTexts& texts) {
    const long double n = a.left;
    const long double r = a.right;
    const char* failure = nullptr;
    if (n < 0 || r < 0) {
        failure = texts.negative;
    } else if (n > kFactorialLimit) {
        failure = texts.tooGreat;
    } else if (n < r) {
        failure = "Second operand exceeds first.";
    } else if (!IsWholeByRounding(n) || !IsWholeByRounding(r)) {
        failure = texts.nonInteger;
    }
    if (failure == nullptr) return std::nullopt;
    return Detail({n, texts.name, r, kCrLf, failure});
}

}  // namespace

namespace operators {

OperatorResult Square(const OperatorArgs& a) {
    return Value(bodies::Square(a.left));
}
OperatorResult Cube(const OperatorArgs& a) {
    return Value(PowerOf(a.left, 3.0L));
}
OperatorResult ExpOf(const OperatorArgs& a) {
    return Value(Exp(a.left));
}
OperatorResult TwoToThe(const OperatorArgs& a) {
    return Value(PowerOf(2.0L, a.left));
}
OperatorResult TenToThe(const OperatorArgs& a) {
    return Value(PowerOf(10.0L, a.left));
}

OperatorResult Power(const OperatorArgs& a) {
    const long double base = a.left;
    const long double exponent = a.right;
    if (base > 0) return Value(PowerOf(base, exponent));
    if (base == 0) {
        if (exponent > 0) return Value(0.0L);
        return DomainError(Detail({base, " ^ ", exponent, kCrLf, "Nonpositive power of 0."}));
    }
    if (!IsWholeByTruncation(exponent)) {
        return DomainError(
            Detail({base, " ^ ", exponent, kCrLf, "Fractional power of a negative number."}));
    }
    const long double magnitude = PowerOf(-base, exponent);
    return Value(RoundToInteger(exponent) % 2 != 0 ? -magnitude : magnitude);
}

OperatorResult SquareRoot(const OperatorArgs& a) {
    if (bodies::RadicandFails(a.left))
        return DomainError(Detail({"2ROOT ", a.left, kCrLf, " Invalid square root."}));
    return Value(bodies::SquareRoot(a.left));
}

OperatorResult CubeRoot(const OperatorArgs& a) {
    if (a.left >= 0) return Value(PowerOf(a.left, kOneThird));
    return Value(-PowerOf(-a.left, kOneThird));
}

// L is the index, R the radicand.
OperatorResult Root(const OperatorArgs& a) {
    const long double index = a.left;
    const long double radicand = a.right;
    if (index == 0)
        return DomainError(Detail({"0 ROOT ", radicand, kCrLf, "0 Root does not exist"}));
    if (radicand > 0) return Value(PowerOf(radicand, 1.0L / index));
    if (radicand < 0) {
        const bool oddPositiveWhole =
            IsWholeByTruncation(index) && TruncateToInteger(index) % 2 != 0 && index > 0;
        if (!oddPositiveWhole) {
            return DomainError(
                Detail({index, " ROOT ", radicand, kCrLf, "Invalid root of negative number."}));
        }
        return Value(-PowerOf(-radicand, 1.0L / index));
    }
    if (index > 0) return Value(0.0L);
    return DomainError(Detail({index, " ROOT 0", kCrLf, "Nonpositive root of 0."}));
}

OperatorResult NaturalLog(const OperatorArgs& a) {
    if (a.left > 0) return Value(std::log(a.left));
    return DomainError(Detail({"Ln ", a.left, kCrLf, " Invalid Logarithm."}));
}

OperatorResult BinaryLog(const OperatorArgs& a) {
    if (a.left > 0) return Value(std::log2(a.left));
    return DomainError(Detail({"LOG2 ", a.left, kCrLf, " Invalid Logarithm."}));
}

OperatorResult DecimalLog(const OperatorArgs& a) {
    if (a.left > 0) return Value(std::log10(a.left));
    return DomainError(Detail({"LOG10 ", a.left, kCrLf, " Invalid Logarithm."}));
}

// Logarithm of R to the base L.
OperatorResult LogToBase(const OperatorArgs& a) {
    if (a.left > 1 && a.right > 0) return Value(std::log2(a.right) / std::log2(a.left));
    return DomainError(Detail({a.left, " LOG ", a.right, kCrLf, "Invalid Logarithm."}));
}

OperatorResult Factorial(const OperatorArgs& a) {
    const long double x = a.left;
    // A negative operand is reported, but the later checks still run and
    // may replace the text.
    std::optional<std::string> negative;
    if (x < 0) negative = Detail({x, " !", kCrLf, "Factorial of a negative number."});
    if (x > kFactorialLimit) {
        return DomainError(Detail({x, " !", kCrLf, "Number too large for factorial"}));
    }
    if (!IsWholeByRounding(x)) {
        return DomainError(Detail({x, " !", kLfCr, "Factorial of a non-integer."}));
    }
    if (negative) return DomainError(std::move(*negative));
    return Value(FactorialOf(x));
}

OperatorResult Permutations(const OperatorArgs& a) {
    if (auto detail = CountingCheck(a, kPermutationTexts)) return DomainError(std::move(*detail));
    return Value(FactorialOf(a.left) / FactorialOf(a.left - a.right));
}

OperatorResult Combinations(const OperatorArgs& a) {
    if (auto detail = CountingCheck(a, kCombinationTexts)) return DomainError(std::move(*detail));
    return Value(FactorialOf(a.left) / (FactorialOf(a.right) * FactorialOf(a.left - a.right)));
}

}  // namespace operators

long double Exp(long double x) {
    return std::exp(x);
}

long double PowerOf(long double base, long double exponent) {
    if (exponent == 0) return 1.0L;
    if (base == 0 && exponent > 0) return 0.0L;
    if (exponent == std::trunc(exponent) && std::fabs(exponent) <= 2147483647.0L) {
        return IntegerPowerOf(base, static_cast<int>(exponent));
    }
    return Exp(exponent * std::log(base));
}

long double IntegerPowerOf(long double base, int n) {
    // The magnitude as unsigned, so that the most negative int is safe too.
    unsigned int bits = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
    long double result = 1.0L;
    long double x = base;
    while (bits != 0) {
        if (bits & 1u) result *= x;
        bits >>= 1;
        if (bits != 0) x *= x;
    }
    // The positive power is formed first, so a reciprocal of a power beyond
    // the range overflows rather than quietly becoming 0.
    if (n < 0) result = 1.0L / result;
    return result;
}

long double FactorialOf(long double x) {
    long double product = 1.0L;
    for (int n = RoundToInteger(x); n > 0; --n) product *= n;
    return product;
}

}  // namespace quantaro
