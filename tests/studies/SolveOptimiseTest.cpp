#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/Numbers.h"
#include "studies/Optimise.h"
#include "studies/Solve.h"

namespace quantaro {
namespace {

Worksheet Sheet(const std::string& formula,
                std::vector<std::pair<std::string, std::string>> variables) {
    Worksheet sheet;
    sheet.setFormula(formula);
    sheet.constants.setCell(NameColumn, 1, "PI");
    sheet.constants.setCell(ValueColumn, 1, "3.14159265358979");
    sheet.constants.setCell(NameColumn, 2, "g");
    sheet.constants.setCell(ValueColumn, 2, "9.80665");
    int row = 0;
    for (const auto& [name, value] : variables) {
        sheet.variables.setCell(NameColumn, ++row, name);
        sheet.variables.setCell(ValueColumn, row, value);
    }
    return sheet;
}

// The launch of the example worksheet, in degrees.
const char* const kLaunch =
    "V0 * ( COS ANGLE ) = VX\nV0 * ( SIN ANGLE ) = VY\n2 * VX * VY / g = RANGE\n"
    "VY ^2 / 2 / g = HMAX\n2 * VY / g = TFLIGHT";

Worksheet LaunchSheet() {
    return Sheet(kLaunch, {{"V0", "25"},
                           {"ANGLE", "40"},
                           {"VX", ""},
                           {"VY", ""},
                           {"RANGE", ""},
                           {"HMAX", ""},
                           {"TFLIGHT", ""}});
}

OptimiseSetup Goal(OptimiseSense sense, std::string objective, std::vector<OptimiseInput> inputs,
                   std::vector<OptimiseConstraint> constraints = {}, int starts = 1,
                   std::uint64_t seed = 1) {
    OptimiseSetup setup;
    setup.sense = sense;
    setup.objective = std::move(objective);
    setup.inputs = std::move(inputs);
    setup.constraints = std::move(constraints);
    setup.starts = starts;
    setup.seed = seed;
    return setup;
}

long double Value(const Worksheet& sheet, const char* name) {
    return sheet.variables.number(sheet.variables.findRow(name));
}

// Two targets by two inputs, checked by a plain run at the values found:
// tan(angle) = 4 HMAX / RANGE, and the speed from the range.
TEST(SolveTest, TheLaunchReachesBothTargetsInAPlainRunAtTheValuesFound) {
    Worksheet sheet = LaunchSheet();
    const SolveSetup setup{{{"RANGE", 50}, {"HMAX", 8}}, {{"V0", {}}, {"ANGLE", {}}}, {}};
    ASSERT_EQ(SolveSetupError(sheet, setup), "");
    StudyControl control;
    const SolveResult result = Solve(sheet, setup, &control);
    ASSERT_TRUE(result.succeeded()) << result.message;
    EXPECT_FALSE(result.leastSquares);
    const long double angle = std::atan(0.64L) * 180 / std::numbers::pi_v<long double>;
    EXPECT_NEAR(result.values[1], angle, 1e-12L);
    EXPECT_EQ(control.done(), static_cast<std::uint64_t>(result.trials));
    EXPECT_LE(result.trials, kMaxSolveTrials);

    sheet.variables.setCell(ValueColumn, 1, result.valueTexts[0]);
    sheet.variables.setCell(ValueColumn, 2, result.valueTexts[1]);
    Engine engine(sheet);
    ASSERT_TRUE(engine.ExecuteEquations(0).succeeded());
    EXPECT_NEAR(Value(sheet, "RANGE"), 50, 1e-12L);
    EXPECT_NEAR(Value(sheet, "HMAX"), 8, 1e-12L);
    EXPECT_EQ(sheet.variables.value(sheet.variables.findRow("RANGE")), result.resultTexts[0]);
}

// Rosenbrock's system from its usual start, a bounded input that must
// leave the start's root for the one within its bounds, and more targets
// than inputs: the least-squares fit of x - 1, y - 2 and x + y to 0 is
// (0, 1), with 3 as the sum of squares.
TEST(SolveTest, SquareBoundedAndLeastSquaresSystems) {
    const Worksheet rosenbrock = Sheet("10 * ( Y - ( X ^2 ) ) = F1\n1 - X = F2",
                                       {{"X", "-1.2"}, {"Y", "1"}, {"F1", ""}, {"F2", ""}});
    const SolveResult r = Solve(rosenbrock, {{{"F1", 0}, {"F2", 0}}, {{"X", {}}, {"Y", {}}}, {}});
    ASSERT_TRUE(r.succeeded()) << r.message;
    EXPECT_EQ(r.valueTexts, (std::vector<std::string>{"1", "1"}));

    const Worksheet square = Sheet("X * X = Y", {{"X", "5"}, {"Y", ""}});
    const SolveResult b = Solve(square, {{{"Y", 4}}, {{"X", std::pair{-1.0L, -5.0L}}}, {}});
    ASSERT_TRUE(b.succeeded()) << b.message;
    EXPECT_EQ(b.valueTexts[0], "-2");

    const Worksheet fit = Sheet("X - 1 = A\nY - 2 = B\nX + Y = C",
                                {{"X", "3"}, {"Y", "-4"}, {"A", ""}, {"B", ""}, {"C", ""}});
    const SolveResult f = Solve(fit, {{{"A", 0}, {"B", 0}, {"C", 0}}, {{"X", {}}, {"Y", {}}}, {}});
    ASSERT_TRUE(f.succeeded()) << f.message;
    EXPECT_TRUE(f.leastSquares);
    EXPECT_NEAR(f.values[0], 0, 1e-12L);
    EXPECT_NEAR(f.values[1], 1, 1e-12L);
    EXPECT_NEAR(f.sumOfSquares, 3, 1e-12L);
    EXPECT_EQ(
        (SolveReport(f, {{{"A", 0}, {"B", 0}, {"C", 0}}, {{"X", {}}, {"Y", {}}}, {}}).rowCount()),
        5u);
}

// No solution: the message names the targets and the inputs and says why,
// and a fault in the setup is named before anything runs.
TEST(SolveTest, NoSolutionAndFaultsAreNamed) {
    const Worksheet sheet =
        Sheet("X * X = Y\nX + Z = W\n2 * X + ( 2 * Z ) = V",
              {{"X", "0"}, {"Y", ""}, {"Z", "1"}, {"W", ""}, {"V", ""}, {"L", ""}});
    const auto message = [&](SolveSetup setup) {
        const SolveResult result = Solve(sheet, setup);
        EXPECT_FALSE(result.succeeded());
        return result.message;
    };
    EXPECT_EQ((message({{{"Y", 4}}, {{"X", {}}}, {}})),
              "No value of X makes Y = 4: no result changes with X at the start (the Jacobian is "
              "singular)");
    EXPECT_EQ((message({{{"W", 3}, {"V", 6}}, {{"X", {}}, {"Z", {}}}, {}})),
              "No values of X and Z make W = 3 and V = 6: the results do not change independently "
              "with the inputs at the start (the Jacobian is singular)");
    const Worksheet logarithm = Sheet("X LN = L", {{"X", "-1"}, {"L", ""}});
    EXPECT_EQ((Solve(logarithm, {{{"L", 1}}, {{"X", {}}}, {}}).message.substr(0, 55)),
              "No value of X makes L = 1: the formula fails at the sta");
    // From 5, Newton's first step lands at -3, where the run fails: the step
    // is shortened and the search goes on. Cancelled, it runs nothing.
    Worksheet fromFive = logarithm;
    fromFive.variables.setCell(ValueColumn, 1, "5");
    const SolveResult shortened = Solve(fromFive, {{{"L", 0}}, {{"X", {}}}, {}});
    ASSERT_TRUE(shortened.succeeded()) << shortened.message;
    EXPECT_EQ(shortened.valueTexts[0], "1");
    StudyControl cancelled;
    cancelled.cancel();
    const SolveResult stopped = Solve(fromFive, {{{"L", 0}}, {{"X", {}}}, {}}, &cancelled);
    EXPECT_EQ(stopped.message, "No value of X makes L = 0: the search was cancelled");
    EXPECT_EQ(stopped.trials, 0);
    Worksheet away = sheet;
    away.variables.setCell(ValueColumn, 1, "3");
    const SolveResult none = Solve(away, {{{"Y", -1}}, {{"X", {}}}, {}});
    EXPECT_FALSE(none.succeeded());
    EXPECT_EQ(none.message.substr(0, 28), "No value of X makes Y = -1: ");

    const std::vector<SolveTarget> many(21, SolveTarget{"Y", 1});
    EXPECT_EQ((SolveSetupError(sheet, {many, {{"X", {}}}, {}})), "Give 1 to 20 targets, not 21");
    EXPECT_EQ((SolveSetupError(sheet, {{{"Y", 1}}, {{"X", {}}, {"Z", {}}}, {}})),
              "Give at least as many targets as inputs: 1 target cannot fix 2 inputs");
    EXPECT_EQ((SolveSetupError(sheet, {{{"Y", 1}, {"W", 1}}, {{"X", {}}, {"x", {}}}, {}})),
              "\"x\" is given twice as an input");
    EXPECT_EQ((SolveSetupError(sheet, {{{"PI", 1}}, {{"X", {}}}, {}})),
              "\"PI\" is not a variable of the variable table");
}

// The can of least area that holds a litre (1000 cm^3): r = (V / 2 pi)^(1/3)
// and h = 2 r, to 12 digits; and the longest launch whose flight lasts no
// more than 3 s, where that constraint is active: sin(angle) = 3 g / 2 V0.
TEST(OptimiseTest, ConstrainedOptimaAreFoundToTwelveDigits) {
    const Worksheet can = Sheet("2 * PI * R * R + ( 2 * PI * R * H ) = AREA\nPI * R * R * H = VOL",
                                {{"R", "3"}, {"H", "10"}, {"AREA", ""}, {"VOL", ""}});
    const OptimiseSetup setup = Goal(OptimiseSense::Minimise, "AREA", {{"R", 1, 20}, {"H", 1, 40}},
                                     {{"VOL", ConstraintKind::Equal, 1000}});
    ASSERT_EQ(OptimiseSetupError(can, setup), "");
    const OptimiseResult c = Optimise(can, setup);
    ASSERT_TRUE(c.succeeded()) << c.message;
    const long double r = std::cbrt(1000 / (2 * 3.14159265358979L));
    EXPECT_NEAR(c.values[0], r, 1e-12L * r);
    EXPECT_NEAR(c.values[1], 2 * r, 2e-12L * r);
    EXPECT_TRUE(c.constraints[0].active);

    const Worksheet launch = LaunchSheet();
    const OptimiseSetup longest = Goal(OptimiseSense::Maximise, "RANGE", {{"ANGLE", 0, 90}},
                                       {{"TFLIGHT", ConstraintKind::AtMost, 3}});
    const OptimiseResult l = Optimise(launch, longest);
    ASSERT_TRUE(l.succeeded()) << l.message;
    const long double angle = std::asin(3 * 9.80665L / 50) * 180 / std::numbers::pi_v<long double>;
    EXPECT_NEAR(l.values[0], angle, 1e-9L);
    EXPECT_TRUE(l.constraints[0].active);
    EXPECT_EQ(OptimiseReport(l, longest).cell(2, 3), "active");

    const OptimiseResult none =
        Optimise(launch, Goal(OptimiseSense::Minimise, "RANGE", {{"ANGLE", 0, 90}},
                              {{"HMAX", ConstraintKind::AtLeast, 100}}));
    EXPECT_FALSE(none.succeeded());
    EXPECT_EQ(none.message.substr(0, 51), "No inputs within their bounds satisfy HMAX >= 100 (");
}

// Rosenbrock's valley with bounds only, and a many-humped function whose
// best hump only some starts find: the same seed gives the same answer on
// one worker and on two.
TEST(OptimiseTest, BoundsOnlyAndMultistartAlikeOnAnyNumberOfWorkers) {
    const Worksheet valley = Sheet("( 1 - X ) ^2 + ( 100 * ( ( Y - ( X ^2 ) ) ^2 ) ) = F",
                                   {{"X", "-1.2"}, {"Y", "1"}, {"F", ""}});
    const OptimiseResult v =
        Optimise(valley, Goal(OptimiseSense::Minimise, "F", {{"X", -2, 2}, {"Y", -2, 2}}));
    ASSERT_TRUE(v.succeeded()) << v.message;
    EXPECT_NEAR(v.values[0], 1, 1e-8L);
    EXPECT_NEAR(v.values[1], 1, 2e-8L);

    Worksheet humps = Sheet("X * 20 SIN * X = F", {{"X", "1"}, {"F", ""}});
    humps.angle = AngleUnit::Radians;
    const OptimiseSetup setup = Goal(OptimiseSense::Maximise, "F", {{"X", 0, 10}}, {}, 12, 7);
    const OptimiseResult one = Optimise(humps, setup, nullptr, 1);
    const OptimiseResult two = Optimise(humps, setup, nullptr, 2);
    ASSERT_TRUE(one.succeeded()) << one.message;
    EXPECT_EQ(one.valueTexts, two.valueTexts);
    EXPECT_EQ(one.objectiveText, two.objectiveText);
    EXPECT_EQ(one.evaluations, two.evaluations);
    EXPECT_GT(one.startsElsewhere, 0);
    EXPECT_GT(one.objective, 9.8L);  // near x = 9.82, a hump the table's start does not reach

    EXPECT_EQ((OptimiseSetupError(valley, Goal(OptimiseSense::Minimise, "F", {{"X", 2, -2}}))),
              "The lower bound of \"X\" must be below its upper");
}

}  // namespace
}  // namespace quantaro
