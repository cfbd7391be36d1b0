#include <gtest/gtest.h>

#include <string>

#include "OperatorTesting.h"
#include "engine/ApplyOperator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"
#include "engine/OperatorSupport.h"

namespace quantaro {
namespace {

using testing::ExpectShown;
using testing::OperatorCase;
using testing::Shown;

// clang-format off
TEST(PowerOperators, Powers) {
    ExpectShown({{"^2", -1.5L, 0, "2.25"}, {"^3", -2, 0, "-8"}, {"E^", 1, 0, "2.71828182845905"},
                 {"2^", 0.5L, 0, "1.4142135623731"}, {"2^", -1, 0, "0.5"}, {"10^", -2, 0, "0.01"},
                 {"^", 5, 0, "1"}, {"^", 0, 3, "0"}, {"^", -2, 3, "-8"}, {"^", -2, 2, "4"},
                 {"^", -2, -1, "-0.5"}, {"^", -1, 2147483647.0L, "-1"}});
    // Whole exponents multiply, each product rounded to extended.
    const long double l = 1.1L;
    std::string item;
    EXPECT_EQ(ApplyOperator("2^", 10, 0, AngleUnit::Radians, item).value, 1024.0L);
    EXPECT_EQ(ApplyOperator("^2", l, 0, AngleUnit::Radians, item).value, l * l);
    EXPECT_EQ(ApplyOperator("^3", l, 0, AngleUnit::Radians, item).value, l * (l * l));
    EXPECT_EQ(IntegerPowerOf(3, 5), 243.0L);
    EXPECT_EQ(IntegerPowerOf(2, -3), 0.125L);
    EXPECT_EQ(PowerOf(0, 0), 1.0L);
    EXPECT_EQ(FactorialOf(-3), 1.0L);
}

TEST(PowerOperators, RootsLogarithmsAndCounting) {
    ExpectShown({{"2ROOT", 0, 0, "0"}, {"2ROOT", 2, 0, "1.4142135623731"}, {"3ROOT", -27, 0, "-3"},
                 {"3ROOT", 8, 0, "2"}, {"ROOT", -2, 4, "0.5"}, {"ROOT", 3, -8, "-2"},
                 {"ROOT", 0.5L, 3, "9"}, {"ROOT", 3, 0, "0"}, {"LN", 1, 0, "0"},
                 {"LOG2", 1024, 0, "10"}, {"LOG10", 1e-300L, 0, "-300"}, {"LOG", 2, 8, "3"},
                 {"!", 0, 0, "1"}, {"!", 1, 0, "1"}, {"!", 5, 0, "120"},
                 {"NPR", 5, 2, "20"}, {"NPR", 5, 0, "1"},
                 {"NCR", 5, 2, "10"}, {"NCR", 5, 0, "1"}, {"NCR", 5, 5, "1"},
                 {"NCR", 52, 5, "2598960"}});
}

TEST(PowerOperators, DomainErrors) {
    ExpectShown({
        {"^", 0, 0, "0 ^ 0\r\nNonpositive power of 0."},
        {"^", 0, -2, "0 ^ -2\r\nNonpositive power of 0."},
        {"^", -8, 0.5L, "-8 ^ 0.5\r\nFractional power of a negative number."},
        {"2ROOT", -4, 0, "2ROOT -4\r\n Invalid square root."},
        {"ROOT", 0, 5, "0 ROOT 5\r\n0 Root does not exist"},
        {"ROOT", 0, -5, "0 ROOT -5\r\n0 Root does not exist"},
        {"ROOT", 2, -8, "2 ROOT -8\r\nInvalid root of negative number."},
        {"ROOT", 2.5L, -8, "2.5 ROOT -8\r\nInvalid root of negative number."},
        {"ROOT", -3, -8, "-3 ROOT -8\r\nInvalid root of negative number."},
        {"ROOT", -2, 0, "-2 ROOT 0\r\nNonpositive root of 0."},
        {"LN", 0, 0, "Ln 0\r\n Invalid Logarithm."},
        {"LOG2", -1, 0, "LOG2 -1\r\n Invalid Logarithm."},
        {"LOG10", 0, 0, "LOG10 0\r\n Invalid Logarithm."},
        {"LOG", 1, 8, "1 LOG 8\r\nInvalid Logarithm."},
        {"LOG", 0.5L, 8, "0.5 LOG 8\r\nInvalid Logarithm."},
        {"LOG", 2, 0, "2 LOG 0\r\nInvalid Logarithm."},
        {"!", 2.5L, 0, "2.5 !\n\rFactorial of a non-integer."},
        {"!", -3, 0, "-3 !\r\nFactorial of a negative number."},
        {"!", -2.5L, 0, "-2.5 !\n\rFactorial of a non-integer."},
        {"!", -2147483648.0L, 0, "-2147483648 !\r\nFactorial of a negative number."},
        {"NPR", 5, -1, "5 nPr -1\r\nPermutation of negative number."},
        {"NPR", 2, 5, "2 nPr 5\r\nSecond operand exceeds first."},
        {"NPR", 2.5L, 3, "2.5 nPr 3\r\nSecond operand exceeds first."},
        {"NPR", 5.5L, 2, "5.5 nPr 2\r\nPermutation of non-integer."},
        {"NCR", -1, 2000, "-1 nCr 2000\r\nCombination of negative number."},
        {"NCR", 5, 2.5L, "5 nCr 2.5\r\nCombination of non-integer."}});
}

// 1754! is the largest factorial within the extended range: every counting
// operator takes 1754 as its first operand and refuses 1755.
TEST(PowerOperators, CountingStopsAtTheFactorialLimit) {
    ExpectShown({{"!", 1754, 0, "1.97926189010501E4930"},
                 {"!", 1755, 0, "1755 !\r\nNumber too large for factorial"},
                 {"NPR", 1754, 1, "1754"}, {"NPR", 1754, 1754, "1.97926189010501E4930"},
                 {"NPR", 1755, 2, "1755 nPr 2\r\nFirst operand too great for permutation."},
                 {"NCR", 1754, 2, "1537381"}, {"NCR", 1754, 1754, "1"},
                 {"NCR", 1755, 2, "1755 nCr 2\r\nFirst operand too great for combination."}});
}

TEST(PowerOperators, FaultsAndSilentUnderflow) {
    const char* overflow = "Floating point overflow";
    const char* invalid = "Invalid floating point operation";
    ExpectShown({{"^2", 1e3000L, 0, overflow}, {"^3", -1e2000L, 0, overflow},
                 {"E^", 11357, 0, overflow}, {"2^", 16384, 0, overflow},
                 {"2^", -16384, 0, overflow}, {"10^", -5000, 0, overflow},
                 {"^", 10, -5000, overflow}, {"^", 2, 3e9L, overflow},
                 {"ROOT", 0.5L, 1e3000L, overflow}, {"^", -1, 2147483648.0L, invalid},
                 {"ROOT", 3e9L, -8, invalid}, {"!", -2147483649.0L, 0, invalid},
                 {"E^", -20000, 0, "0"}, {"2^", -20000.5L, 0, "0"}, {"^", 0.5L, 3e9L, "0"},
                 {"E^", 11356, 0, "7.04914579998566E4931"}});
}
// clang-format on

}  // namespace
}  // namespace quantaro
