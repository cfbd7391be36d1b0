#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "studies/Jacobian.h"
#include "studies/RandomSource.h"

namespace quantaro {
namespace {

// Closed-form derivatives, at a point, at 0 (where a relative step is 0) and
// at 1e30 (where an absolute step vanishes in the rounding); then a run that
// fails below x1 = 2 and a residual that is not a number above x2 = 5.
TEST(StudyToolsTest, JacobianDiffersCentrallyAndNamesTheUnknownThatFails) {
    const auto f = [](auto x, auto r) {
        r[0] = x[0] * x[0] * x[1] + std::exp(x[2]);
        r[1] = std::sin(x[0]) + x[1] * x[1] * x[1];
        r[2] = x[3] * x[3];
        return true;
    };
    const std::vector x = {1.5L, -0.75L, 0.0L, 1e30L};
    const Jacobian j = FiniteDifferenceJacobian(f, x, 3).jacobian;
    const long double expected[3][4] = {{2 * x[0] * x[1], x[0] * x[0], 1.0L, 0.0L},
                                        {std::cos(x[0]), 3 * x[1] * x[1], 0.0L, 0.0L},
                                        {0.0L, 0.0L, 0.0L, 2.0L}};
    ASSERT_EQ(j.rows * j.columns, 12u);
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 4; ++column) {  // 1e-12: beyond a double's reach
            const long double scale = column == 3 ? x[3] : 1.0L;
            EXPECT_NEAR(j.at(row, column) / scale, expected[row][column], 1e-12L) << row << column;
        }
    }
    const auto edge = [](auto x, auto r) {
        r[0] = x[0] + x[1] + (x[2] > 5.0L ? std::nanl("") : x[2]);
        return x[1] >= 2.0L;
    };
    EXPECT_EQ(FiniteDifferenceJacobian(edge, std::vector{1.0L, 2.0L, 4.0L}, 1).failedColumn, 1u);
    EXPECT_EQ(FiniteDifferenceJacobian(edge, std::vector{1.0L, 3.0L, 5.0L}, 1).failedColumn, 2u);
}

// Philox2x64-10's published answers (the second with every word different)
// pin the mapping, so a saved seed repeats a study on any build.
TEST(StudyToolsTest, RandomDrawsFollowPhiloxOnSeedStreamAndCounter) {
    const PhiloxRandomSource source;
    const auto u = [](std::uint64_t bits) { return ((bits >> 1) + 0.5L) * 0x1p-63L; };
    EXPECT_EQ(source.uniform(0, 0, 0), u(0xca00a0459843d731ULL));
    EXPECT_EQ(source.uniform(0xa4093822299f31d0ULL, 0x13198a2e03707344ULL, 0x243f6a8885a308d3ULL),
              u(0x0a5e742c2997341cULL));
}

}  // namespace
}  // namespace quantaro
