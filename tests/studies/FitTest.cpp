#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "NistProblem.h"
#include "engine/Numbers.h"
#include "studies/Fit.h"
#include "studies/RandomSource.h"

namespace quantaro {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Worksheet Sheet(const std::string& formula, const Rows& constants, const Rows& variables) {
    Worksheet sheet;
    sheet.setFormula(formula);
    for (std::size_t k = 0; k < constants.size(); ++k) {
        sheet.constants.setCell(NameColumn, static_cast<int>(k + 1), constants[k].first);
        sheet.constants.setCell(ValueColumn, static_cast<int>(k + 1), constants[k].second);
    }
    for (std::size_t k = 0; k < variables.size(); ++k) {
        sheet.variables.setCell(NameColumn, static_cast<int>(k + 1), variables[k].first);
        sheet.variables.setCell(ValueColumn, static_cast<int>(k + 1), variables[k].second);
    }
    return sheet;
}

DataTable Data(const std::string& csv) {
    DataReading reading = ReadDataCsv(csv);
    EXPECT_TRUE(reading.succeeded()) << reading.message;
    return reading.table;
}

// The parameters named, every column mapped by its name.
FitSetup MappedSetup(const Worksheet& sheet, const DataTable& data, std::vector<std::string> names,
                     bool byPass = false, std::string passColumn = {}) {
    FitSetup setup;
    for (std::string& name : names) setup.parameters.push_back({std::move(name), {}});
    setup.byPass = byPass;
    setup.passColumn = std::move(passColumn);
    MapColumnsByName(sheet, data, setup);
    return setup;
}

long double Digits(long double got, long double want) {
    return got == want ? 99.0L : -std::log10(std::fabs(got - want) / std::fabs(want));
}

TEST(FitDataTest, ReadsQuotedCrLfRowsAndNamesEachFaultsPlace) {
    const DataReading good = ReadDataCsv("\"x\",\"y \"\"m\"\"\"\r\n1.5,-2E3\r\n\" 3 \",4\r\n\r\n");
    ASSERT_TRUE(good.succeeded()) << good.message;
    EXPECT_EQ(good.table.columns(), (std::vector<std::string>{"x", "y \"m\""}));
    ASSERT_EQ(good.table.rowCount(), 2u);
    EXPECT_EQ(good.table.at(0, 1), -2000.0L);
    EXPECT_EQ(good.table.at(1, 0), 3.0L);
    EXPECT_EQ(good.table.findColumn("X"), 0);

    const std::pair<const char*, const char*> faults[] = {
        {"x,y\n1,2\n3,\"4,5\"\n", "Row 2, column 2 (y): \"4,5\" has a decimal comma"},
        {"x;y\n1,5;2\n", "separated by semicolons"},
        {"x,y\n1,2\n3,abc\n", "Row 2, column 2 (y): \"abc\" is not a number"},
        {"x,y\n1,2,5\n", "Row 1 has 3 fields; the header has 2 (a decimal comma?)"},
        {"x,y\n1,\n", "Row 1, column 2 (y): the field is empty"},
        {"x,X\n1,2\n", "Two columns are named \"X\""},
        {"x,y\n", "no rows of data"},
        {"x,y\n1,\"2\n", "not closed"},
    };
    for (const auto& [text, message] : faults) {
        const DataReading reading = ReadDataCsv(text);
        EXPECT_FALSE(reading.succeeded()) << text;
        EXPECT_NE(reading.message.find(message), std::string::npos) << reading.message;
    }
}

// Data the model fits exactly: a line and an exponential decay, the second
// through 15-digit texts of the data.
TEST(FitTest, ExactDataGiveTheParametersToThirteenDigits) {
    const Worksheet line =
        Sheet("A * X + B = Y", {{"A", "1"}, {"B", "0"}}, {{"X", "0"}, {"Y", ""}});
    const DataTable lineData = Data("x,y\n1,1.25\n2,3.75\n3,6.25\n4,8.75\n5,11.25\n");
    const FitResult fitted = Fit(line, lineData, MappedSetup(line, lineData, {"A", "B"}));
    ASSERT_TRUE(fitted.succeeded()) << fitted.message;
    EXPECT_GE(Digits(fitted.values[0], 2.5L), 13);
    EXPECT_GE(Digits(fitted.values[1], -1.25L), 13);
    EXPECT_EQ(fitted.degreesOfFreedom, 3);
    EXPECT_NEAR(static_cast<double>(fitted.rSquared), 1.0, 1e-20);

    const Worksheet decay = Sheet("0 - RATE * S e^ * START = TEMP",
                                  {{"RATE", "0.2"}, {"START", "50"}}, {{"S", "0"}, {"TEMP", ""}});
    std::string csv = "s,temp\n";
    for (int s = 0; s <= 60; s += 5)
        csv += std::to_string(s) + "," + FormatNumber(80 * std::exp(-0.05L * s)) + "\n";
    const DataTable decayData = Data(csv);
    const FitResult cooled =
        Fit(decay, decayData, MappedSetup(decay, decayData, {"RATE", "START"}));
    ASSERT_TRUE(cooled.succeeded()) << cooled.message;
    EXPECT_GE(Digits(cooled.values[0], 0.05L), 13);
    EXPECT_GE(Digits(cooled.values[1], 80.0L), 13);
}

// Each problem from both of its starting points: the parameters to at least
// 8 significant digits of the certified values, their standard errors to 4.
TEST(FitTest, NistProblemsAgreeWithTheCertifiedValuesFromBothStarts) {
    for (const NistCase& problem : kNistCases) {
        const NistProblem nist =
            NistProblem::Read(std::string(QUANTARO_NIST_DIR) + "/" + problem.file + ".dat");
        for (const auto* start : {&nist.start1, &nist.start2}) {
            SCOPED_TRACE(std::string(problem.file) +
                         (start == &nist.start1 ? " start 1" : " start 2"));
            Rows constants;
            std::vector<std::string> names;
            for (std::size_t j = 0; j < start->size(); ++j) {
                names.push_back(std::string(1, 'B') += std::to_string(j + 1));
                constants.push_back({names.back(), (*start)[j]});
            }
            const Worksheet sheet = Sheet(problem.formula, constants, {{"X", "0"}, {"Y", ""}});
            const DataTable data = Data(nist.data);
            const FitResult result = Fit(sheet, data, MappedSetup(sheet, data, names));
            ASSERT_TRUE(result.succeeded()) << result.message;
            for (std::size_t j = 0; j < names.size(); ++j) {
                EXPECT_GE(Digits(result.values[j], nist.certified[j]), 8) << names[j];
                EXPECT_GE(Digits(result.standardErrors[j], nist.deviations[j]), 4) << names[j];
            }
            EXPECT_GE(Digits(result.residualSumOfSquares, nist.residualSumOfSquares), 8);
            EXPECT_EQ(result.degreesOfFreedom, static_cast<int>(data.rowCount() - names.size()));
        }
    }
}

// A damped oscillator as a loop, x measured with noise every fifth pass:
// the true stiffness and damping lie within two standard errors.
TEST(FitTest, ALoopFittedByPassCoversTheTrueParametersWithinTwoStandardErrors) {
    const long double k = 4, c = 0.3L, dt = 0.01L, sigma = 0.02L;
    const Worksheet sheet =
        Sheet("0 - K * X - ( C * V ) = A\nA * DT + V = V\nV * DT + X = X",
              {{"K", "3.5"}, {"C", "0.5"}, {"DT", "0.01"}}, {{"A", "0"}, {"V", "0"}, {"X", "1"}});
    const PhiloxRandomSource random;
    int inside = 0;
    for (std::uint64_t seed = 1; seed <= 5; ++seed) {
        std::string csv = "pass,x\n";
        long double x = 1, v = 0;
        for (int pass = 1; pass <= 300; ++pass) {
            const long double a = (0 - k) * x - c * v;
            v = a * dt + v;
            x = v * dt + x;
            if (pass % 5 != 0) continue;
            const long double u1 = random.uniform(seed, pass, 0),
                              u2 = random.uniform(seed, pass, 1);
            const long double noise =
                std::sqrt(-2 * std::log(u1)) * std::cos(2 * std::numbers::pi_v<long double> * u2);
            csv += std::to_string(pass) + "," + FormatNumber(x + sigma * noise) + "\n";
        }
        const DataTable data = Data(csv);
        const FitSetup setup = MappedSetup(sheet, data, {"K", "C"}, true, "pass");
        ASSERT_EQ(setup.matches.size(), 1u);
        ASSERT_EQ(FitSetupError(sheet, data, setup), "");
        const FitResult result = Fit(sheet, data, setup);
        ASSERT_TRUE(result.succeeded()) << result.message;
        EXPECT_EQ(result.degreesOfFreedom, 58);
        EXPECT_NEAR(static_cast<double>(result.residualDeviation), 0.02, 0.006);
        inside += std::fabs(result.values[0] - k) <= 2 * result.standardErrors[0];
        inside += std::fabs(result.values[1] - c) <= 2 * result.standardErrors[1];
        EXPECT_LT(std::fabs(result.correlations[1]), 1.0L);
        EXPECT_EQ(result.correlations[0], 1.0L);
    }
    EXPECT_GE(inside, 9);
}

// A row whose run fails fails the fit, naming it, unless such rows are left
// out; and the faults a setup can have.
TEST(FitTest, FailingRowsAndSetupFaults) {
    const Worksheet sheet =
        Sheet("X LN * A + B = Y", {{"A", "1"}, {"B", "0"}}, {{"X", "0"}, {"Y", ""}});
    const DataTable data = Data("x,y\n1,1\n2,2.386\n-1,5\n4,3.77\n8,5.16\n");
    FitSetup setup = MappedSetup(sheet, data, {"A", "B"});
    ASSERT_EQ(FitSetupError(sheet, data, setup), "");
    const FitResult failed = Fit(sheet, data, setup);
    EXPECT_EQ(failed.status, FitStatus::RowsFail);
    EXPECT_NE(failed.message.find("1 of 5 rows at the start: row 3: Equation 1"), std::string::npos)
        << failed.message;

    setup.skipFailingRows = true;
    const FitResult skipped = Fit(sheet, data, setup);
    ASSERT_TRUE(skipped.succeeded()) << skipped.message;
    ASSERT_EQ(skipped.failures.size(), 1u);
    EXPECT_EQ(skipped.failures[0].row, 2u);
    EXPECT_EQ(skipped.degreesOfFreedom, 2);
    EXPECT_NEAR(static_cast<double>(skipped.values[0]), 2.0, 0.01);

    const auto fault = [&](FitSetup broken) { return FitSetupError(sheet, data, broken); };
    FitSetup three = setup;
    three.parameters.push_back({"X", {}});
    EXPECT_EQ(fault(three), "\"X\" is both a parameter and set from a column");
    FitSetup missing = setup;
    missing.matches[0].column = "z";
    EXPECT_EQ(fault(missing), "The data has no column \"z\"");
    FitSetup sigma = setup;
    sigma.weighting = FitWeighting::Sigmas;
    sigma.weightColumn = "x";
    EXPECT_EQ(fault(sigma), "The sigma at row 3 is -1; it must be above 0");
    const DataTable one = Data("x,y\n1,1\n");
    EXPECT_EQ(FitSetupError(sheet, one, MappedSetup(sheet, one, {"A", "B"})),
              "The data has fewer measured values (1) than parameters (2)");
}

// Weights 1/sigma^2 and sigmas are one weighting; scaling every sigma moves
// neither the values nor their standard errors; a bound holds.
TEST(FitTest, WeightsSigmasAndBounds) {
    const Worksheet sheet =
        Sheet("A * X + B = Y", {{"A", "1"}, {"B", "0"}}, {{"X", "0"}, {"Y", ""}});
    const DataTable data = Data(
        "x,y,s,w,s10\n1,1.3,0.1,100,1\n2,3.6,0.2,25,2\n3,6.4,0.5,4,5\n4,8.5,0.1,100,1\n5,11.9,1,1,"
        "10\n");
    FitSetup setup = MappedSetup(sheet, data, {"A", "B"});
    ASSERT_EQ(setup.matches.size(), 1u);
    ASSERT_EQ(setup.inputs.size(), 1u);  // x; the other columns name no row
    const FitResult plain = Fit(sheet, data, setup);
    setup.weighting = FitWeighting::Sigmas;
    setup.weightColumn = "s";
    const FitResult bySigma = Fit(sheet, data, setup);
    setup.weightColumn = "s10";
    const FitResult scaled = Fit(sheet, data, setup);
    setup.weighting = FitWeighting::Weights;
    setup.weightColumn = "w";
    const FitResult byWeight = Fit(sheet, data, setup);
    for (const FitResult* r : {&plain, &bySigma, &scaled, &byWeight})
        ASSERT_TRUE(r->succeeded()) << r->message;
    EXPECT_GT(std::fabs(plain.values[0] - bySigma.values[0]), 1e-3L);
    for (std::size_t j = 0; j < 2; ++j) {
        EXPECT_GE(Digits(byWeight.values[j], bySigma.values[j]), 12);
        EXPECT_GE(Digits(scaled.values[j], bySigma.values[j]), 12);
        EXPECT_GE(Digits(scaled.standardErrors[j], bySigma.standardErrors[j]), 8);
    }

    setup.weighting = FitWeighting::None;
    setup.parameters[0].bounds = std::pair{2.0L, 0.0L};
    const FitResult bounded = Fit(sheet, data, setup);
    ASSERT_TRUE(bounded.succeeded()) << bounded.message;
    EXPECT_LE(bounded.values[0], 2.0L);
    EXPECT_GT(bounded.values[0], 1.99L);
}

}  // namespace
}  // namespace quantaro
