#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "engine/Engine.h"
#include "engine/Numbers.h"
#include "studies/GoalSeek.h"
#include "studies/InputUse.h"
#include "studies/StudyPoint.h"
#include "studies/Sweep.h"

namespace quantaro {
namespace {

// A worksheet of the given formula, constants and variables (name, value).
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

// Every field of every point: inputs, outputs, message.
std::vector<std::string> Fields(const SweepResults& results) {
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < results.size(); ++i) {
        fields.push_back(std::to_string(results.pointNumber(i)));
        for (std::size_t a = 0; a < results.inputNames().size(); ++a)
            fields.emplace_back(results.input(i, a));
        for (std::size_t c = 0; c < results.outputNames().size(); ++c)
            fields.emplace_back(results.output(i, c));
        fields.emplace_back(results.message(i));
    }
    return fields;
}

// The texts written for every point: both ends exact, the first input
// slowest, logarithmic steps in equal ratios, one point at From.
TEST(SweepPlanTest, PointsRunThroughTheGridFirstInputSlowest) {
    const Worksheet sheet = Sheet("K * X = Y", {{"K", "2"}}, {{"X", ""}, {"Y", ""}});
    const std::tuple<std::vector<SweepAxis>, std::vector<std::string>> cases[] = {
        {{{"K", 1, 1000, 4, SweepSpacing::Logarithmic}, {"x", -1, 0.5, 3}},
         {"1 -1", "1 -0.25", "1 0.5", "10 -1", "10 -0.25", "10 0.5", "100 -1", "100 -0.25",
          "100 0.5", "1000 -1", "1000 -0.25", "1000 0.5"}},
        {{{"X", 0.1, 0.3, 3}}, {"0.1", "0.2", "0.3"}},
        {{{"X", 7, 9, 1}}, {"7"}},
        {{{"X", 1E-300L, 1E300L, 3, SweepSpacing::Logarithmic}}, {"1E-300", "1", "1E300"}},
        {{{"X", -1E4000L, 1E4000L, 3}}, {"-1E4000", "0", "1E4000"}},
    };
    for (const auto& [axes, expected] : cases) {
        const SweepSetup setup{axes, {"Y"}, {}};
        ASSERT_EQ(SweepSetupError(sheet, setup), "");
        const SweepPlan plan(sheet, setup);
        std::vector<std::string> texts;
        for (std::uint64_t point = 1; point <= plan.pointCount(); ++point) {
            std::string text = plan.inputText(point, 0);
            if (axes.size() == 2) text += " " + plan.inputText(point, 1);
            texts.push_back(text);
        }
        EXPECT_EQ(texts, expected) << axes[0].name;
    }
}

// Each point starts from the tables as they were: an accumulating variable
// takes the same value at every point, whatever worker ran it before. A
// failing point keeps the texts after its failing pass and the run's own
// message; the texts are the same on one worker and on two, and a cancel
// leaves the points before the first unfinished one.
TEST(SweepRunnerTest, PointsStartAfreshAndTheResultsDoNotDependOnTheWorkers) {
    const Worksheet sheet = Sheet("N + 1 = N\r\nK / X = Y\r\nX * 1E4932 = Z", {{"K", "3"}},
                                  {{"X", "9"}, {"N", "0"}, {"Y", ""}, {"Z", "old"}});
    const SweepSetup setup{{{"X", -2, 2, 401}, {"K", 1, 0, 3}}, {"N", "Y", "Z"}, {0, 2}};
    ASSERT_EQ(SweepSetupError(sheet, setup), "");
    const SweepPlan plan(sheet, setup);

    SweepRunner one(sheet, plan, 1);
    StudyControl control;
    const SweepResults results = one.runAll(&control);
    ASSERT_EQ(results.size(), 1203u);
    EXPECT_EQ(control.done(), 1203u);
    const std::tuple<std::uint64_t, const char*, const char*, const char*, const char*> rows[] = {
        {1, "1", "-0.5", "old", "Floating point overflow"},               // X = -2, K = 1
        {601, "1", "", "old", "Equation 2: Domain Error: Divide by 0."},  // X = 0
        {902, "2", "0.5", "1E4932", ""},                                  // X = 1, K = 0.5
    };
    for (const auto& [point, n, y, z, message] : rows) {
        const std::size_t i = point - 1;
        EXPECT_EQ(results.output(i, 0), n) << point;
        EXPECT_EQ(results.output(i, 1), y) << point;
        EXPECT_EQ(results.output(i, 2), z) << point;
        EXPECT_EQ(results.message(i), message) << point;
    }
    EXPECT_EQ(results.failedCount(), 495u);  // |X| >= 1.19 overflows, X = 0 divides by 0

    SweepRunner two(sheet, plan, 2);
    EXPECT_EQ(Fields(two.run(5, 1203)), Fields(one.run(5, 1203)));

    StudyControl cancelled;
    cancelled.cancel();
    EXPECT_EQ(two.runAll(&cancelled).size(), 0u);
}

// A value cell bit for bit: its text, the number it reads as, any result.
std::string CellBits(const NameTable& table, int row) {
    const long double number = table.overflows(row) ? 0.0L : table.number(row);
    const long double* result = table.storedResult(row);
    return table.value(row) + std::string(reinterpret_cast<const char*>(&number), 10) +
           (result ? std::string(reinterpret_cast<const char*>(result), 10) : "typed");
}

// A point leaves the tables and the outcome as typing the value's text into
// a copy of the start and running it would, whatever points ran before: one
// that fails, one whose input the formula writes, a constant input, a value
// beyond 15 digits, a selected equation.
TEST(PointRunnerTest, APointEqualsAPlainRunOnACopyOfTheStart) {
    const Worksheet start = Sheet("X + 1 = X\r\nK / X = Y\r\nY * 1E4930 = Z\r\nW + X = W",
                                  {{"K", "3"}}, {{"X", "5"}, {"Y", "y?"}, {"Z", ""}, {"W", "1"}});
    // -3 divides by 0 in the third pass, -0.99 overflows in the first.
    const std::tuple<const char*, StudyRun, std::vector<long double>> cases[] = {
        {"X", {0, 3}, {1, -3, 1 / 3.0L, -0.99L, 7}},
        {"K", {0, 2}, {2, 1E4932L, 1 / 7.0L, 0}},
        {"X", {2, 1}, {0, 1 / 3.0L}}};
    for (const auto& [name, run, values] : cases) {
        const InputCell cell = *FindInputCell(start, name);
        PointRunner runner(start, run);
        for (const long double value : values) {
            Worksheet plain = start;
            TableOf(plain, cell.table).setCell(ValueColumn, cell.row, FormatNumber(value));
            Engine engine(plain);
            RunOutcome expected;
            for (int pass = 0; pass < run.passes && expected.succeeded(); ++pass)
                expected = engine.ExecuteEquations(run.equation);
            const std::optional<RunOutcome> outcome = runner.run({&cell, 1}, {&value, 1});
            ASSERT_TRUE(outcome);
            EXPECT_EQ(outcome->message, expected.message) << name << " = " << value;
            EXPECT_EQ(CellBits(runner.sheet().constants, 1), CellBits(plain.constants, 1));
            for (int row = 1; row <= 4; ++row) {
                EXPECT_EQ(CellBits(runner.sheet().variables, row), CellBits(plain.variables, row))
                    << name << " = " << value << ", row " << row;
            }
        }
    }
}

// Results that would outgrow their budget end the run with the points before
// it, the same as a run without one, and the reason: the numbers of more
// points than fit, or messages that differ from point to point.
TEST(SweepRunnerTest, ResultsBeyondTheirBudgetEndTheRunKeepingThePointsBefore) {
    const Worksheet sheet = Sheet("X LN = Y\r\nX * 2 = Z", {}, {{"X", ""}, {"Y", ""}, {"Z", ""}});
    const std::size_t points = 2001;
    const std::tuple<SweepAxis, std::size_t, const char*> cases[] = {
        {{"X", 1, 2001, points},
         SweepResults::BytesFor(100, 2),
         "the results of more than 100 points would take more than the 3 KiB"},
        // Each failing point's own message ("Ln -1000") takes room.
        {{"X", -1000, 1000, points},
         SweepResults::BytesFor(points, 2) + 4000,
         "the results' texts (messages, and values that are no numbers) outgrew"},
    };
    for (const auto& [axis, bytes, reason] : cases) {
        const SweepPlan plan(sheet, {{axis}, {"Y", "Z"}, {}});
        const SweepResults whole = SweepRunner(sheet, plan, 2).runAll();
        ASSERT_EQ(whole.size(), points);
        EXPECT_EQ(whole.shortfall(), "");
        const SweepResults held = SweepRunner(sheet, plan, 2, bytes).runAll();
        EXPECT_NE(held.shortfall().find(reason), std::string::npos) << held.shortfall();
        EXPECT_GT(held.size(), 10u);
        EXPECT_LE(held.size(), 100u);
        std::vector<std::string> first = Fields(whole);
        first.resize(Fields(held).size());
        EXPECT_EQ(Fields(held), first);
    }
}

// An input the run writes before it reads it, or never reads, changes
// nothing: the study says so. One it reads first, in any equation run, is
// fine.
TEST(InputUseTest, AnInputTheRunOverwritesOrNeverReadsIsNamed) {
    const Worksheet sheet = Sheet("3 = X\r\nX + K = Y\r\nY * 2 = Y\r\nW + 1 = W", {{"K", "1"}},
                                  {{"X", ""}, {"Y", ""}, {"W", "0"}, {"V", ""}});
    const std::tuple<const char*, int, std::string> cases[] = {
        {"X", 0,
         "X is written by equation 1 before the formula reads it, so its value does not change "
         "the results"},
        {"X", 2, ""},
        {"Y", 0,
         "Y is written by equation 2 before the formula reads it, so its value does not change "
         "the results"},
        {"Y", 3, ""},
        {"W", 0, ""},
        {"K", 0, ""},
        {"K", 4, "K is not read by equation 4, so its value does not change the results"},
        {"V", 0, "V is not read by the formula, so its value does not change the results"},
    };
    for (const auto& [name, equation, warning] : cases) {
        EXPECT_EQ(IgnoredInputWarning(sheet, *FindInputCell(sheet, name), {equation, 1}), warning)
            << name << " " << equation;
    }
}

TEST(SweepSetupTest, FaultsAreNamed) {
    const Worksheet sheet = Sheet("K * X = Y", {{"K", "2"}}, {{"X", ""}, {"Y", ""}});
    const SweepAxis x{"X", 0, 1, 3};
    const std::tuple<SweepSetup, const char*> cases[] = {
        {{{}, {}, {}}, "A sweep takes one or two inputs, not 0"},
        {{{x, x, x}, {}, {}}, "A sweep takes one or two inputs, not 3"},
        {{{{"Q", 0, 1, 3}}, {}, {}}, "\"Q\" is neither a constant nor a variable"},
        {{{x, {"x", 0, 1, 3}}, {}, {}}, "X is swept twice"},
        {{{{"k", 0, 1, 0}}, {}, {}}, "The number of points of K must be at least 1, not 0"},
        {{{{"X", 0, 1, 3, SweepSpacing::Logarithmic}}, {}, {}},
         "A logarithmic sweep of X needs From and To above 0"},
        {{{{"X", 1, NAN, 3}}, {}, {}}, "From and To of X must be numbers"},
        {{{x}, {"Y", "K"}, {}}, "\"K\" is not a variable of the variable table"},
        {{{x}, {}, {0, 0}}, "The number of passes must be at least 1"},
        {{{{"X", 0, 1, 1LL << 40}, {"K", 0, 1, 1LL << 40}}, {}, {}},
         "The sweep has too many points"},
        // A point writes the 15-digit text, which is 0 for so small a bound.
        {{{{"X", 1E-4950L, 1, 3, SweepSpacing::Logarithmic}}, {}, {}},
         "A logarithmic sweep of X needs From and To above 0, and 1E-4950 is 0 in the 15 "
         "digits a cell holds"},
        {{{{"caf\xE9", 0, 1, 3}}, {}, {}}, "\"caf\\xE9\" is neither a constant nor a variable"},
    };
    for (const auto& [setup, fault] : cases) EXPECT_EQ(SweepSetupError(sheet, setup), fault);
}

// Goal seek on the 15-digit values a cell can hold: roots found exactly or
// to the last digit, inside an interval or outward from the input's value,
// around values where the run fails, through a constant and over several
// passes; and the messages when there is no solution.
TEST(GoalSeekTest, FindsTheValueOrSaysWhyNot) {
    struct Case {
        const char* formula;
        SeekSetup setup;
        long double value;    // to the 15th digit; NaN when none is found
        const char* outcome;  // the result's text, or the message
    };
    const auto seek = [](const char* result, long double target, const char* input,
                         std::optional<std::pair<long double, long double>> interval = {},
                         int passes = 1) {
        return SeekSetup{result, target, input, interval, {0, passes}};
    };
    const Case cases[] = {
        {"X * 3 - 1 = Y", seek("Y", 0, "X", {{0, 1}}), 1 / 3.0L, "-9.99959663683381E-16"},
        {"X * 3 - 1 = Y", seek("y", 0, "x"), 1 / 3.0L, "-9.99959663683381E-16"},  // outward from 5
        {"X ^ 3 = Y", seek("Y", 8, "X", {{-100, 100}}), 2, "8"},
        {"X 2ROOT = Y", seek("Y", 3, "X", {{-50, 50}}), 9, "3"},  // fails below 0
        {"1 / X = Y", seek("Y", 0.5, "X", {{-5, 5}}), 2, "0.5"},  // fails at 0
        {"K * K = Y", seek("Y", 3, "K", {{0, 2}}), 1.73205080756888L, "3.00000000000001"},
        // Newton's method for the square root of X, settled after 8 passes.
        {"( R + ( X / R ) ) / 2 = R", seek("R", 3, "X", {{1, 20}}, 8), 9, "3"},
        {"X * X = Y", seek("Y", -1, "X", {{-3, 3}}), NAN,
         "No value of X between -3 and 3 sets Y to -1: Y stays above -1 at every value tried"},
        {"X LN = Y", seek("Y", 1, "X", {{-3, -1}}), NAN,
         "No value of X between -3 and -1 sets Y to 1: the formula fails at every value tried "
         "(Equation 1: Domain Error: Ln -1.03125\r\n Invalid Logarithm.)"},
        {"1 / ( X - 0.3 ) = Y", seek("Y", 0.5, "X", {{0, 1}}), NAN,
         "No value of X between 0 and 1 sets Y to 0.5: Y crosses 0.5 only where the formula "
         "fails (Equation 1: Domain Error: Divide by 0.)"},
        {"1 / ( X - 0.3000000000000004 ) = Y", seek("Y", 0.5, "X", {{0, 1}}), NAN,
         "No value of X between 0 and 1 sets Y to 0.5: Y jumps from -2.50006696126713E15 at "
         "X = 0.3 to 1.66667366043635E15 at X = 0.300000000000001 without reaching 0.5"},
        // The interval given is named, and the step in order of X.
        {"X > 0.7 - 0.5 = Y", seek("Y", 0, "X", {{1, 0}}), NAN,
         "No value of X between 0 and 1 sets Y to 0: Y jumps from -0.5 at X = 0.7 to 0.5 at "
         "X = 0.700000000000001 without reaching 0"},
        {"0.5 - ( X > 0.7 ) = Y", seek("Y", 0, "X", {{0, 1}}), NAN,
         "No value of X between 0 and 1 sets Y to 0: Y jumps from 0.5 at X = 0.7 to -0.5 at "
         "X = 0.700000000000001 without reaching 0"},
    };
    for (const Case& c : cases) {
        const Worksheet sheet = Sheet(c.formula, {{"K", "1"}}, {{"X", "5"}, {"Y", ""}, {"R", "1"}});
        ASSERT_EQ(SeekSetupError(sheet, c.setup), "") << c.formula;
        StudyControl control;
        const SeekResult result = GoalSeek(sheet, c.setup, &control);
        EXPECT_EQ(result.succeeded(), !std::isnan(c.value)) << c.formula;
        EXPECT_EQ(result.succeeded() ? result.resultText : result.message, c.outcome) << c.formula;
        if (result.succeeded()) {
            EXPECT_NEAR(result.value, c.value, 3E-14L * c.value) << c.formula;
            EXPECT_EQ(result.valueText, FormatNumber(result.value));
        }
        EXPECT_LE(result.trials, kMaxSeekTrials);
        EXPECT_EQ(control.done(), static_cast<std::uint64_t>(result.trials));
    }
}

// The study windows' threads: a goal seek on a thread of its own, and a
// sweep runner made here and run on another, while this thread runs the
// formula on the worksheet they were copied from, as the window thread may.
// Each comes to what it comes to alone. Under ThreadSanitizer this is the
// harness of the race between them.
TEST(StudyThreadsTest, StudiesOnOtherThreadsShareNothingTheFormulaWrites) {
    const Worksheet sheet =
        Sheet("V * ( COS A ) = VX V * ( SIN A ) = VY 2 * VX * VY / g = RANGE", {{"g", "9.81"}},
              {{"V", "20"}, {"A", "40"}, {"VX", ""}, {"VY", ""}, {"RANGE", ""}});
    const SeekSetup seek{"RANGE", 30, "A", {{0, 45}}, {}};
    const SweepSetup sweep{{{"A", 0, 90, 91}}, {"RANGE"}, {}};
    const auto runs = [](Worksheet worksheet, int passes) {
        Engine engine(worksheet);
        for (int pass = 0; pass < passes; ++pass) engine.ExecuteEquations(0);
        return worksheet.variables.value(5);
    };

    Worksheet running = sheet;
    SeekResult sought;
    SweepRunner sweeper(sheet, SweepPlan(sheet, sweep), 2);
    SweepResults swept;
    std::atomic<int> studiesLeft{2};
    std::thread seeker([&, copy = sheet] {
        sought = GoalSeek(copy, seek);
        --studiesLeft;
    });
    std::thread sweeperThread([&] {
        swept = sweeper.runAll();
        --studiesLeft;
    });
    Engine engine(running);
    int passes = 0;
    do {
        ASSERT_TRUE(engine.ExecuteEquations(0).succeeded());
        ++passes;
    } while (studiesLeft > 0);
    seeker.join();
    sweeperThread.join();

    EXPECT_EQ(running.variables.value(5), runs(sheet, passes));
    const SeekResult alone = GoalSeek(sheet, seek);
    ASSERT_TRUE(sought.succeeded());
    EXPECT_EQ(sought.valueText, alone.valueText);
    EXPECT_EQ(sought.resultText, alone.resultText);
    EXPECT_EQ(Fields(swept), Fields(SweepRunner(sheet, SweepPlan(sheet, sweep), 1).runAll()));
}

}  // namespace
}  // namespace quantaro
