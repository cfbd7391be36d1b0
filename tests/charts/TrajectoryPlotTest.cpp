#include "charts/TrajectoryPlot.h"

#include <cfloat>
#include <cmath>

#include <gtest/gtest.h>

#include "TrajectoryVariables.h"
#include "engine/Trajectory.h"

namespace quantaro {
namespace {

// The value texts of X (units m) and Y (no units) after one pass; "" is an
// empty cell.
struct Pass {
    std::int64_t number;
    std::string x;
    std::string y;
};

class TrajectoryPlotTest : public ::testing::Test {
  protected:
    void record(const Pass& pass) {
        variables.setCell(ValueColumn, 1, pass.x);
        variables.setCell(ValueColumn, 2, pass.y);
        trajectory.record(pass.number, variables);
    }

    NameTable variables = testing::TrajectoryVariables();
    Trajectory trajectory{{"X", "Y"}};
};

// Titles carry the units the table has, or say "Value" for lines of
// different units; an empty cell drops its point; every point lies within
// the ranges, a flat line with room above and below.
TEST_F(TrajectoryPlotTest, DrawsChosenColumnsAgainstPassesOrAVariableWithTitles) {
    const std::vector<Pass> parabola = {{1, "2", "1"}, {2, "4", "4"}, {3, "6", "9"}};
    const std::vector<Pass> gaps = {{1, "2", ""}, {2, "", "4"}, {3, "6", "9"}};
    const std::vector<Pass> flat = {{1, "5", "0"}, {2, "5", "0"}};
    const auto check = [&](const std::vector<Pass>& passes, const PlotChoice& choice,
                           const QString& across, const QString& up,
                           const QList<QPointF>& firstSeries) {
        trajectory.clear();
        for (const Pass& pass : passes) record(pass);
        const Plot plot = MakePlot(trajectory, variables, choice);
        ASSERT_EQ(plot.series.size(), choice.vertical.size());
        EXPECT_EQ(plot.series[0].points, firstSeries);
        EXPECT_EQ(plot.horizontalTitle, across);
        EXPECT_EQ(plot.verticalTitle, up);
        for (const QPointF& p : firstSeries) {
            EXPECT_TRUE(plot.horizontal.low <= p.x() && p.x() <= plot.horizontal.high);
            EXPECT_TRUE(plot.vertical.low < p.y() && p.y() < plot.vertical.high);
        }
    };
    check(parabola, {kPassAxis, {0}}, "Pass", "X (m)", {{1, 2}, {2, 4}, {3, 6}});
    check(parabola, {0, {1}}, "X (m)", "Y", {{2, 1}, {4, 4}, {6, 9}});
    check(parabola, {kPassAxis, {0, 1}}, "Pass", "Value", {{1, 2}, {2, 4}, {3, 6}});
    check(gaps, {0, {1}}, "X (m)", "Y", {{6, 9}});
    check(flat, {kPassAxis, {0}}, "Pass", "X (m)", {{1, 5}, {2, 5}});
    variables.setCell(UnitsColumn, 2, "m");
    EXPECT_EQ(VerticalTitle({"X", "Y"}, variables), "m");
}

// A long series keeps its ends, its order and a spike of one row, within the
// cap.
TEST_F(TrajectoryPlotTest, ThinsLongSeriesToTheCap) {
    constexpr int kRows = 50'000;
    constexpr int kSpike = 31'337;
    for (int pass = 1; pass <= kRows; ++pass) {
        variables.setResult(2, pass == kSpike ? 1e6 : std::sin(pass / 500.0));
        trajectory.record(pass, variables);
    }
    const QPointF spike(kSpike, 1e6);
    for (const qsizetype cap : {qsizetype{4}, qsizetype{501}, kMaxPlotPoints}) {
        SCOPED_TRACE(cap);
        const QList<QPointF> points =
            MakePlot(trajectory, variables, {kPassAxis, {1}}, cap).series[0].points;
        EXPECT_LE(points.size(), cap);
        EXPECT_GE(points.size(), cap - 1);
        EXPECT_EQ(points.front(), QPointF(1, std::sin(1 / 500.0)));
        EXPECT_EQ(points.back(), QPointF(kRows, std::sin(kRows / 500.0)));
        EXPECT_TRUE(points.contains(spike));
        for (qsizetype i = 1; i < points.size(); ++i) EXPECT_LT(points[i - 1].x(), points[i].x());
    }
}

TEST(AxisTest, ZoomKeepsThePointUnderThePointerAndTicksFallOnRoundNumbers) {
    const AxisRange zoomed = ZoomAbout({0, 10}, 2, 0.5);
    EXPECT_EQ(zoomed, (AxisRange{1, 6}));
    EXPECT_EQ(ZoomAbout(zoomed, 2, 2), (AxisRange{0, 10}));
    EXPECT_EQ(ZoomAbout({1, 1 + 1e-11}, 1, 0.01), (AxisRange{1, 1 + 1e-11}));
    EXPECT_EQ(ZoomAbout({-1e308, 1e308}, 0, 10), (AxisRange{-1e308, 1e308}));

    EXPECT_EQ(RoundTicks({1, 3000}), (AxisTicks{0, 500}));
    EXPECT_EQ(RoundTicks({-20.5, 210.5}), (AxisTicks{0, 50}));
    EXPECT_EQ(RoundTicks({1e6, 1e6 + 0.5}), (AxisTicks{1e6, 0.1}));
    EXPECT_EQ(RoundTicks({1, 3, true}), (AxisTicks{1, 1}));         // whole passes
    EXPECT_GT(1e16 + RoundTicks({1e16, 1e16 + 2}).interval, 1e16);  // steps that move

    // Ranges an axis cannot show are made drawable (a narrow one in the window test).
    EXPECT_EQ(DrawableRange({std::nan(""), 1}), AxisRange{});
    EXPECT_EQ(DrawableRange({HUGE_VAL, -HUGE_VAL}), (AxisRange{-DBL_MAX, DBL_MAX}));
    const AxisRange large = DrawableRange({1e6, 1e6 + 1e-7});  // too close for its digits
    EXPECT_TRUE(large.high - large.low >= 1e-4 && DrawableRange(large) == large);
}

}  // namespace
}  // namespace quantaro
