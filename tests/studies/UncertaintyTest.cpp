#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "studies/MonteCarlo.h"
#include "studies/Uncertainty.h"

namespace quantaro {
namespace {

Worksheet Sheet(const std::string& formula,
                std::vector<std::pair<std::string, std::string>> constants,
                std::vector<std::pair<std::string, std::string>> variables) {
    Worksheet sheet;
    sheet.setFormula(formula);
    for (auto [table, rows] :
         {std::pair{&sheet.constants, &constants}, std::pair{&sheet.variables, &variables}}) {
        int row = 0;
        for (const auto& [name, value] : *rows) {
            table->setCell(NameColumn, ++row, name);
            table->setCell(ValueColumn, row, value);
        }
    }
    return sheet;
}

// Y = X1 + 2 X2 - X3, with the operators' left-to-right order.
Worksheet Linear() {
    return Sheet("X1 + ( 2 * X2 ) - X3 = Y", {{"X3", "-4"}},
                 {{"X1", "1.5"}, {"X2", "10"}, {"Y", "0"}});
}

// The projectile of the engineering example, in degrees.
Worksheet Projectile() {
    return Sheet("V0 * ( COS ANGLE ) = VX\r\nV0 * ( SIN ANGLE ) = VY\r\n2 * VX * VY / g = RANGE",
                 {{"g", "9.80665"}},
                 {{"V0", "25"}, {"ANGLE", "40"}, {"VX", "0"}, {"VY", "0"}, {"RANGE", "0"}});
}

UncertaintyPlan Plan(const Worksheet& sheet, std::vector<UncertainInput> inputs,
                     std::vector<std::string> results) {
    const UncertaintySetup setup{std::move(inputs), std::move(results), {}};
    EXPECT_EQ(UncertaintySetupError(sheet, setup), "");
    return UncertaintyPlan(sheet, setup);
}

// u(X1) = 0.1, u(X2) = 2 % of 10, X3 uniform with half-width 0.3: u(Y)^2 =
// 0.01 + 4 (0.2)^2 + 0.3^2 / 3 exactly, whatever the step; a million draws
// (normal, normal, uniform) land within 0.5 % of it, their mean on Y's value.
TEST(UncertaintyTest, LinearResultMatchesTheClosedFormAndItsDraws) {
    const Worksheet sheet = Linear();
    const UncertaintyPlan plan = Plan(
        sheet, {{"X1", 0.1L}, {"X2", 2, true}, {"X3", 0.3L, false, true, Distribution::Uniform}},
        {"Y"});
    const FirstOrderBudget budget = PropagateFirstOrder(sheet, plan);
    const FirstOrderLine& y = budget.results.at(0);
    ASSERT_EQ(y.failure, "");
    const long double expected = std::sqrt(0.01L + 4 * 0.04L + 0.03L);
    EXPECT_EQ(y.value, 25.5L);
    EXPECT_NEAR(y.uncertainty / expected, 1.0L, 1e-12L);
    const long double sensitivities[] = {1, 2, -1};
    long double shares = 0;
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(y.inputs[k].sensitivity, sensitivities[k], 1e-12L) << k;
        EXPECT_TRUE(y.inputs[k].stepAgrees);
        shares += y.inputs[k].share;
    }
    EXPECT_NEAR(shares, 100.0L, 1e-12L);
    EXPECT_NEAR(y.inputs[2].share, 100 * 0.03L / (expected * expected), 1e-10L);

    const MonteCarloRunner runner(sheet, plan, 2);
    const MonteCarloDraws draws = runner.run(7, 1, 1'000'000);
    ASSERT_EQ(draws.size(), 1'000'000u);
    const DrawSummary summary = SummarizeDraws(draws.result(0));
    EXPECT_EQ(summary.failed, 0u);
    EXPECT_NEAR(summary.deviation / expected, 1.0L, 0.005L);
    EXPECT_NEAR(summary.mean, 25.5L, 0.002L);
    const DrawSummary x3 = SummarizeDraws(draws.input(2));
    EXPECT_NEAR(x3.deviation * std::sqrt(3.0L) / 0.3L, 1.0L, 0.005L);
    const auto [lowest, highest] =
        std::minmax_element(draws.input(2).begin(), draws.input(2).end());
    EXPECT_GE(*lowest, -4.3L);
    EXPECT_LE(*highest, -3.7L);
}

// RANGE = V0^2 sin(2 ANGLE) / g with the angle in degrees: dR/dANGLE is the
// derivative in radians times pi / 180.
TEST(UncertaintyTest, ProjectileRangeMatchesTheClosedFormsDerivatives) {
    const Worksheet sheet = Projectile();
    const UncertaintyPlan plan = Plan(sheet, {{"V0", 0.5L}, {"ANGLE", 1}}, {"RANGE"});
    const FirstOrderLine range = PropagateFirstOrder(sheet, plan).results.at(0);
    ASSERT_EQ(range.failure, "");
    const long double g = 9.80665L, v0 = 25, angle = 40 * std::numbers::pi_v<long double> / 180;
    const long double byV0 = 2 * v0 * std::sin(2 * angle) / g;
    const long double byAngle =
        v0 * v0 * 2 * std::cos(2 * angle) / g * std::numbers::pi_v<long double> / 180;
    const long double u = std::hypot(byV0 * 0.5L, byAngle * 1);
    EXPECT_NEAR(range.uncertainty / u, 1.0L, 1e-9L);
    EXPECT_NEAR(range.inputs[0].sensitivity / byV0, 1.0L, 1e-9L);
    EXPECT_NEAR(range.inputs[1].sensitivity / byAngle, 1.0L, 1e-9L);
}

std::string Csv(const MonteCarloDraws& draws) {
    std::string rows;
    AppendDrawsCsvRows(rows, draws);
    return rows;
}

// Draws on 1 and 2 workers and in 1, 2 or 5 pieces give the same file, byte
// for byte; read back, it gives the summary of the draws held.
TEST(UncertaintyTest, DrawsDependOnlyOnSeedDrawAndInput) {
    const Worksheet sheet = Projectile();
    const UncertaintyPlan plan =
        Plan(sheet, {{"V0", 2, true, false, Distribution::Triangular}, {"ANGLE", 1}}, {});
    const std::uint64_t n = 1003;
    const std::string whole = Csv(MonteCarloRunner(sheet, plan, 1).run(99, 1, n));
    const MonteCarloRunner two(sheet, plan, 2);
    EXPECT_EQ(Csv(two.run(99, 1, n)), whole);
    EXPECT_NE(Csv(two.run(98, 1, n)), whole);
    for (const std::uint64_t pieces : {2u, 5u}) {
        std::string joined;
        for (std::uint64_t i = 0; i < pieces; ++i) {
            joined += Csv(two.run(99, i * n / pieces + 1, (i + 1) * n / pieces));
        }
        EXPECT_EQ(joined, whole) << pieces;
    }
    const MonteCarloDraws draws = two.run(99, 1, n);
    DrawFile file;
    ASSERT_EQ(ReadDrawsCsv(DrawsCsvHeader(plan) + whole, "draws.csv", file), "");
    ASSERT_EQ(FinishDrawFile(file), "");
    ASSERT_EQ(file.names.size(), 2 + plan.resultCount());
    const DrawSummary held = SummarizeDraws(draws.result(2));
    EXPECT_EQ(SummaryLine("RANGE", "m", SummarizeDraws(file.columns[4])),
              SummaryLine("RANGE", "m", held));
    EXPECT_EQ(ReadDrawsCsv(DrawsCsvHeader(plan) + whole, "again.csv", file), "");
    EXPECT_EQ(FinishDrawFile(file), "draw 1 comes twice in the files");
}

// A square root below 0 fails its draw: counted, the first messages kept in
// draw order; the summary's order statistics on a set of known values.
TEST(UncertaintyTest, FailuresAndOrderStatistics) {
    const Worksheet sheet = Sheet("X 2ROOT = Y", {}, {{"X", "0"}, {"Y", "0"}});
    const UncertaintyPlan plan = Plan(sheet, {{"X", 1}}, {"Y"});
    const MonteCarloDraws draws = MonteCarloRunner(sheet, plan, 2).run(1, 1, 2000);
    EXPECT_GT(draws.failedCount(), 900u);
    EXPECT_LT(draws.failedCount(), 1100u);
    ASSERT_EQ(draws.firstFailures().size(), kKeptFailures);
    EXPECT_LT(draws.firstFailures()[0].draw, draws.firstFailures()[1].draw);
    EXPECT_NE(draws.firstFailures()[0].message.find("Equation 1"), std::string::npos);
    EXPECT_EQ(SummarizeDraws(draws.result(0)).failed, draws.failedCount());
    EXPECT_NE(PropagateFirstOrder(sheet, plan).results[0].failure.find("fails near X = 0"),
              std::string::npos);

    std::vector<long double> values;
    for (int k = 40; k >= 1; --k) values.push_back(k == 40 ? 1000 : k);
    values.push_back(std::nanl(""));
    const DrawSummary s = SummarizeDraws(values);
    EXPECT_EQ(s.count, 40u);
    EXPECT_EQ(s.failed, 1u);
    EXPECT_EQ(s.median, 20.5L);
    EXPECT_NEAR(s.low, 1.975L, 1e-15L);  // 1 + 0.975 (2 - 1)
    EXPECT_EQ(s.shortestLow, 1);         // 38 of the 40 values: 1 to 38, not 2 to 1000
    EXPECT_EQ(s.shortestHigh, 38);
}

TEST(UncertaintyTest, SetupFaultsNameTheInput) {
    const Worksheet sheet = Linear();
    const auto error = [&](std::vector<UncertainInput> inputs,
                           std::vector<std::string> results = {}) {
        return UncertaintySetupError(sheet, {std::move(inputs), std::move(results), {}});
    };
    EXPECT_EQ(error({{"Z", 1}}), "\"Z\" is neither a constant nor a variable");
    EXPECT_EQ(error({{"x1", -1}}), "The uncertainty of X1 must be a number of 0 or more");
    EXPECT_EQ(error({{"X1", 1, false, true}}),
              "The half-width of X1 needs a uniform or triangular distribution: a normal one has "
              "none");
    EXPECT_EQ(error({{"X1", 1}, {"x1", 2}}), "X1 is given twice");
    EXPECT_EQ(error({{"X3", 1}}, {"X3"}), "\"X3\" is not a variable of the variable table");
    EXPECT_EQ(error({}), "Give at least one input and its uncertainty");
}

}  // namespace
}  // namespace quantaro
