#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "ApplyOperator.h"
#include "FloatingPointFault.h"
#include "Numbers.h"
#include "OperatorTesting.h"

namespace quantaro {
namespace {

using testing::Shown;

constexpr AngleUnit kDeg = AngleUnit::Degrees;
constexpr AngleUnit kRad = AngleUnit::Radians;

long double ValueOf(const char* name, long double l, AngleUnit unit) {
    std::string item;
    return ApplyOperator(name, l, 0, unit, item).value;
}

struct Case {
    const char* name;
    long double l;
    AngleUnit unit;
    const char* shown;
};

void ExpectShown(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(Shown(c.name, c.l, 0, c.unit), c.shown)
            << c.name << '(' << c.l << (c.unit == kDeg ? " deg)" : " rad)");
    }
}

// clang-format off
TEST(CircularOperators, FunctionsAndInversesInBothUnits) {
    ExpectShown({{"SIN", 30, kDeg, "0.5"}, {"COS", 60, kDeg, "0.5"}, {"TAN", -45, kDeg, "-1"},
                 {"COSEC", 30, kDeg, "2"}, {"SEC", 60, kDeg, "2"}, {"COT", 45, kDeg, "1"},
                 {"SIN", 30, kRad, "-0.988031624092862"}, {"ARCSIN", 1, kDeg, "90"},
                 {"ARCSIN", 1, kRad, "1.5707963267949"}, {"ARCSIN", 0.5L, kDeg, "30"},
                 {"ARCCOS", 0.5L, kDeg, "60"}, {"ARCCOS", 0, kDeg, "90"}, {"ARCTAN", 1, kDeg, "45"},
                 {"ARCTAN", 1, kRad, "0.785398163397448"}, {"ARCCOSEC", 2, kDeg, "30"},
                 {"ARCSEC", 2, kDeg, "60"}, {"ARCCOT", -1, kDeg, "-45"},
                 {"ARCCOT", 1, kDeg, "45"}});
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
    ExpectShown({{"TAN", 90, kDeg, tan}, {"TAN", -90, kDeg, tan}, {"COT", 0, kDeg, cot},
                 {"COT", 360, kDeg, cot}, {"COT", -360, kDeg, cot}, {"COSEC", 0, kDeg, cosec},
                 {"COSEC", 1e19L, kRad, cosec},
                 {"SEC", 1e19L, kRad, "SEC 90 or 270 degrees invalid (0.5Pi or 1.5Pi radians)."},
                 // The guards' quotients leave the 32-bit range near 6.75e9 and 1.35e10.
                 {"TAN", 6.7e9L, kRad, "4.56785284210109"}, {"TAN", 6.8e9L, kRad, invalid},
                 {"COT", 1.34e10L, kRad, "-2.17446580196238"}, {"COT", 1.36e10L, kRad, invalid},
                 {"TAN", 1e19L, kRad, invalid}});
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
    ExpectShown({{"ARCSIN", -0.5L, kDeg, "Invalid ARCSIN (-0.5)"},
                 {"ARCSIN", -0.5L, kRad, "Invalid ARCSIN (-0.5)"},
                 {"ARCSIN", 1.5L, kDeg, "Invalid ARCSIN (1.5)"},
                 {"ARCCOS", 2, kDeg, "Invalid ARCCOS (2)"},
                 {"ARCCOSEC", 0.5L, kDeg, "Invalid ARCCOSEC (0.5)"},
                 {"ARCSEC", -3, kDeg, "Invalid ARCSEC (-3)"},
                 {"ARCCOT", 0, kDeg, "Invalid ARCCOT (0)"},
                 {"ARCCOSH", 0.5L, kRad, "Invalid ARCCOSH (0.5)"},
                 {"ARCTANH", 1, kRad, "Invalid ARCTANH (1)"},
                 {"ARCTANH", -1, kRad, "Invalid ARCTANH (-1)"},
                 {"ARCCOSECH", 0, kRad, "Invalid ARCCOSECH (0)"},
                 {"ARCSECH", 0, kRad, "Invalid ARCSECH (0)"},
                 {"ARCSECH", 1.5L, kRad, "Invalid ARCSECH (1.5)"},
                 {"ARCCOTH", 1, kRad, "Invalid ARCCOTH (1)"},
                 {"ARCCOTH", -1, kRad, "Invalid ARCCOTH (-1)"}});
}

TEST(HyperbolicOperators, FunctionsAndInverses) {
    ExpectShown({{"SINH", 1, kRad, "1.1752011936438"}, {"COSH", 1, kRad, "1.54308063481524"},
                 {"TANH", 1, kRad, "0.761594155955765"}, {"COSECH", 1, kRad, "0.850918128239322"},
                 {"SECH", 0, kRad, "1"}, {"COTH", 1, kRad, "1.31303528549933"},
                 {"SINH", 1, kDeg, "0.0174541786295951"}, {"ARCSINH", 1, kRad, "0.881373587019543"},
                 {"ARCSINH", 1e-30L, kRad, "1E-30"}, {"ARCSINH", -1e12L, kRad, "-28.3241682964885"},
                 {"ARCCOSH", 1, kRad, "0"}, {"ARCCOSH", 2, kRad, "1.31695789692482"},
                 {"ARCCOSH", 1e12L, kRad, "28.3241682964885"},
                 {"ARCTANH", -0.5L, kRad, "-0.549306144334055"},
                 {"ARCTANH", 1e-30L, kRad, "1E-30"}, {"ARCCOSECH", -1, kRad, "-0.881373587019543"},
                 {"ARCSECH", 1, kRad, "0"}, {"ARCSECH", 0.5L, kRad, "1.31695789692482"},
                 {"ARCCOTH", -2, kRad, "-0.549306144334055"},
                 {"ARCTANH", 0.5L, kDeg, "31.4729237309454"}});
    EXPECT_NEAR(static_cast<double>(ValueOf("ARCSINH", 0.0174541787L, kDeg)), 1.0, 1e-7);
}

TEST(HyperbolicOperators, LimitsZeroAndFaults) {
    const char* overflow = "Floating point overflow";
    const char* byZero = "Floating point division by zero";
    // Beyond the limit tanh is 1 or -1 without forming e^x, which would overflow.
    ExpectShown({{"TANH", 6000, kRad, "1"}, {"TANH", -6000, kRad, "-1"}, {"TANH", 12000, kRad, "1"},
                 {"COTH", 12000, kRad, "1"}, {"COSECH", 0, kDeg, "Invalid COSECH 0 Degrees (0Pi)"},
                 {"COTH", 0, kDeg, "Invalid COTH 0 dgrees (0Pi)"},
                 // e^x rounds to 1, so sinh and tanh lose all significance.
                 {"SINH", 1e-21L, kRad, "0"}, {"TANH", 1e-21L, kRad, "0"},
                 {"COSECH", 1e-21L, kRad, byZero}, {"COTH", -1e-21L, kRad, byZero},
                 {"SINH", 11356, kRad, "3.52457289999283E4931"}, {"SINH", 11357, kRad, overflow},
                 {"COSH", -11380, kRad, overflow}, {"SECH", 11357, kRad, overflow},
                 {"COSECH", 11357, kRad, overflow}, {"COSH", 651000, kDeg, overflow},
                 {"COSH", 650000, kDeg, "4.10753336529221E4926"}});
}
// clang-format on

}  // namespace
}  // namespace quantaro
