#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "OperatorTesting.h"
#include "engine/ApplyOperator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

using testing::ExpectShown;
using testing::Shown;

constexpr AngleUnit kDeg = AngleUnit::Degrees;
constexpr AngleUnit kRad = AngleUnit::Radians;

long double ValueOf(const char* name, long double l, AngleUnit unit) {
    std::string item;
    return ApplyOperator(name, l, 0, unit, item).value;
}

// clang-format off
TEST(CircularOperators, FunctionsAndInversesInBothUnits) {
    ExpectShown({{"SIN", 30, 0, "0.5", kDeg}, {"COS", 60, 0, "0.5", kDeg},
                 {"TAN", -45, 0, "-1", kDeg},
                 {"COSEC", 30, 0, "2", kDeg}, {"SEC", 60, 0, "2", kDeg}, {"COT", 45, 0, "1", kDeg},
                 {"SIN", 30, 0, "-0.988031624092862", kRad}, {"ARCSIN", 1, 0, "90", kDeg},
                 {"ARCSIN", 1, 0, "1.5707963267949", kRad}, {"ARCSIN", 0.5L, 0, "30", kDeg},
                 {"ARCCOS", 0.5L, 0, "60", kDeg}, {"ARCCOS", 0, 0, "90", kDeg},
                 {"ARCTAN", 1, 0, "45", kDeg},
                 {"ARCTAN", 1, 0, "0.785398163397448", kRad}, {"ARCCOSEC", 2, 0, "30", kDeg},
                 {"ARCSEC", 2, 0, "60", kDeg}, {"ARCCOT", -1, 0, "-45", kDeg},
                 {"ARCCOT", 1, 0, "45", kDeg}});
    // The converted right angle is not exactly pi/2, so nothing is exactly 0.
    const long double cos90 = ValueOf("COS", 90, kDeg);
    EXPECT_NE(cos90, 0.0L);
    EXPECT_LT(std::fabs(cos90), 1e-18L);
    EXPECT_GT(std::fabs(ValueOf("COSEC", 180, kDeg)), 1e18L);
    EXPECT_GT(std::fabs(ValueOf("SEC", 90, kDeg)), 1e18L);
    // Near pi/2 but off the exact test: a very large value, not the guard.
    EXPECT_GT(ValueOf("TAN", 1.5707963267948966L, kRad), 5e16L);
}

TEST(CircularOperators, GuardsCompareExactly) {
    const char* tan = "TAN 90 or 270 degrees invalid (0.5Pi or 1.5Pi radians).";
    const char* cot = "COT 0 degrees invalid (0Pi radians).";
    const char* cosec = "COSEC 0 or 180 degrees invalid (0Pi or 1Pi radians).";
    const char* invalid = "Invalid floating point operation";
    ExpectShown({{"TAN", 90, 0, tan, kDeg}, {"TAN", -90, 0, tan, kDeg}, {"COT", 0, 0, cot, kDeg},
                 {"COT", 360, 0, cot, kDeg}, {"COT", -360, 0, cot, kDeg},
                 {"COSEC", 0, 0, cosec, kDeg},
                 {"COSEC", 1e19L, 0, cosec, kRad},
                 {"SEC", 1e19L, 0, "SEC 90 or 270 degrees invalid (0.5Pi or 1.5Pi radians).", kRad},
                 // The guards' quotients leave the 32-bit range near 6.75e9 and 1.35e10.
                 {"TAN", 6.7e9L, 0, "4.56785284210109", kRad}, {"TAN", 6.8e9L, 0, invalid, kRad},
                 {"COT", 1.34e10L, 0, "-2.17446580196238", kRad},
                 {"COT", 1.36e10L, 0, invalid, kRad},
                 {"TAN", 1e19L, 0, invalid, kRad}});
}
// clang-format on

TEST(CircularOperators, SineAndCosineVanishFrom2To63) {
    const long double twoTo63 = 9223372036854775808.0L;
    for (long double x : {twoTo63, -twoTo63, 1e19L, 1e4000L}) {
        EXPECT_EQ(ValueOf("SIN", x, kRad), 0.0L) << x;
        EXPECT_EQ(ValueOf("COS", x, kRad), 0.0L) << x;
    }
    EXPECT_EQ(ValueOf("SIN", 1e30L, kDeg), 0.0L);
    EXPECT_NE(ValueOf("SIN", twoTo63 - 1, kRad), 0.0L);
    EXPECT_NE(ValueOf("COS", twoTo63 - 1, kRad), 0.0L);
}

// clang-format off
TEST(CircularOperators, InverseDomainErrors) {
    ExpectShown({{"ARCSIN", -0.5L, 0, "Invalid ARCSIN (-0.5)", kDeg},
                 {"ARCSIN", -0.5L, 0, "Invalid ARCSIN (-0.5)", kRad},
                 {"ARCSIN", 1.5L, 0, "Invalid ARCSIN (1.5)", kDeg},
                 {"ARCCOS", 2, 0, "Invalid ARCCOS (2)", kDeg},
                 {"ARCCOSEC", 0.5L, 0, "Invalid ARCCOSEC (0.5)", kDeg},
                 {"ARCSEC", -3, 0, "Invalid ARCSEC (-3)", kDeg},
                 {"ARCCOT", 0, 0, "Invalid ARCCOT (0)", kDeg},
                 {"ARCCOSH", 0.5L, 0, "Invalid ARCCOSH (0.5)", kRad},
                 {"ARCTANH", 1, 0, "Invalid ARCTANH (1)", kRad},
                 {"ARCTANH", -1, 0, "Invalid ARCTANH (-1)", kRad},
                 {"ARCCOSECH", 0, 0, "Invalid ARCCOSECH (0)", kRad},
                 {"ARCSECH", 0, 0, "Invalid ARCSECH (0)", kRad},
                 {"ARCSECH", 1.5L, 0, "Invalid ARCSECH (1.5)", kRad},
                 {"ARCCOTH", 1, 0, "Invalid ARCCOTH (1)", kRad},
                 {"ARCCOTH", -1, 0, "Invalid ARCCOTH (-1)", kRad}});
}

TEST(HyperbolicOperators, FunctionsAndInverses) {
    ExpectShown({{"SINH", 1, 0, "1.1752011936438", kRad}, {"COSH", 1, 0, "1.54308063481524", kRad},
                 {"TANH", 1, 0, "0.761594155955765", kRad},
                 {"COSECH", 1, 0, "0.850918128239322", kRad},
                 {"SECH", 0, 0, "1", kRad}, {"COTH", 1, 0, "1.31303528549933", kRad},
                 {"SINH", 1, 0, "0.0174541786295951", kDeg},
                 {"ARCSINH", 1, 0, "0.881373587019543", kRad},
                 {"ARCSINH", 1e-30L, 0, "1E-30", kRad},
                 {"ARCSINH", -1e12L, 0, "-28.3241682964885", kRad},
                 {"ARCCOSH", 1, 0, "0", kRad}, {"ARCCOSH", 2, 0, "1.31695789692482", kRad},
                 {"ARCCOSH", 1e12L, 0, "28.3241682964885", kRad},
                 {"ARCTANH", -0.5L, 0, "-0.549306144334055", kRad},
                 {"ARCTANH", 1e-30L, 0, "1E-30", kRad},
                 {"ARCCOSECH", -1, 0, "-0.881373587019543", kRad},
                 {"ARCSECH", 1, 0, "0", kRad}, {"ARCSECH", 0.5L, 0, "1.31695789692482", kRad},
                 {"ARCCOTH", -2, 0, "-0.549306144334055", kRad},
                 {"ARCTANH", 0.5L, 0, "31.4729237309454", kDeg}});
    EXPECT_NEAR(static_cast<double>(ValueOf("ARCSINH", 0.0174541787L, kDeg)), 1.0, 1e-7);
}

TEST(HyperbolicOperators, LimitsZeroAndFaults) {
    const char* overflow = "Floating point overflow";
    const char* byZero = "Floating point division by zero";
    // Beyond the limit tanh is 1 or -1 without forming e^x, which would overflow.
    ExpectShown({{"TANH", 6000, 0, "1", kRad}, {"TANH", -6000, 0, "-1", kRad},
                 {"TANH", 12000, 0, "1", kRad},
                 {"COTH", 12000, 0, "1", kRad},
                 {"COSECH", 0, 0, "Invalid COSECH 0 Degrees (0Pi)", kDeg},
                 {"COTH", 0, 0, "Invalid COTH 0 dgrees (0Pi)", kDeg},
                 // e^x rounds to 1, so sinh and tanh lose all significance.
                 {"SINH", 1e-21L, 0, "0", kRad}, {"TANH", 1e-21L, 0, "0", kRad},
                 {"COSECH", 1e-21L, 0, byZero, kRad}, {"COTH", -1e-21L, 0, byZero, kRad},
                 {"SINH", 11356, 0, "3.52457289999283E4931", kRad},
                 {"SINH", 11357, 0, overflow, kRad},
                 {"COSH", -11380, 0, overflow, kRad}, {"SECH", 11357, 0, overflow, kRad},
                 {"COSECH", 11357, 0, overflow, kRad}, {"COSH", 651000, 0, overflow, kDeg},
                 {"COSH", 650000, 0, "4.10753336529221E4926", kDeg}});
}
// clang-format on

}  // namespace
}  // namespace quantaro
