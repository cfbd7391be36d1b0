#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "NistProblem.h"
#include "ReferenceWorksheet.h"
#include "documents/FileIo.h"
#include "engine/Numbers.h"
#include "studies/Fit.h"
#include "studies/RandomSource.h"

namespace quantaro::bench {
namespace {

// Significant digits of agreement: -log10 of the relative error.
double Digits(long double got, long double want) {
    if (got == want) return 20.0;
    return double(-std::log10(std::fabs(got - want) / std::fabs(want)));
}

Worksheet Sheet(const char* formula, const std::vector<std::string>& names,
                const std::vector<std::string>& values) {
    Worksheet sheet;
    sheet.setFormula(formula);
    for (std::size_t j = 0; j < names.size(); ++j) {
        sheet.constants.setCell(NameColumn, int(j + 1), names[j]);
        sheet.constants.setCell(ValueColumn, int(j + 1), values[j]);
    }
    sheet.variables.setCell(NameColumn, 1, "X");
    sheet.variables.setCell(NameColumn, 2, "Y");
    return sheet;
}

// A NIST StRD problem (first argument) from its first or second start: the
// time of the whole fit, and as counters the evaluations and the fewest
// significant digits any parameter, standard error and the residual sum of
// squares share with the certified values; the label has each parameter's.
void BM_FitNist(benchmark::State& state) {
    const NistCase& problem = kNistCases[state.range(0)];
    const NistProblem nist =
        NistProblem::Read(std::string(QUANTARO_NIST_DIR) + "/" + problem.file + ".dat");
    const std::vector<std::string>& start = state.range(1) == 1 ? nist.start1 : nist.start2;
    std::vector<std::string> names;
    for (std::size_t j = 0; j < start.size(); ++j) names.push_back("B" + std::to_string(j + 1));
    const Worksheet sheet = Sheet(problem.formula, names, start);
    const DataReading data = ReadDataCsv(nist.data);
    FitSetup setup;
    for (const std::string& name : names) setup.parameters.push_back({name, {}});
    MapColumnsByName(sheet, data.table, setup);
    FitResult result;
    for (auto _ : state) {
        result = Fit(sheet, data.table, setup);
        benchmark::DoNotOptimize(result.values.data());
    }
    if (!result.succeeded()) {
        state.SkipWithError(result.message.c_str());
        return;
    }
    double values = 99, errors = 99;
    std::string label = std::string(problem.file) + " start " + std::to_string(state.range(1));
    for (std::size_t j = 0; j < names.size(); ++j) {
        const double value = Digits(result.values[j], nist.certified[j]);
        const double error = Digits(result.standardErrors[j], nist.deviations[j]);
        values = std::min(values, value);
        errors = std::min(errors, error);
        char part[64];
        std::snprintf(part, sizeof part, " %s %.1f/%.1f", names[j].c_str(), value, error);
        label += part;
    }
    state.SetLabel(label);
    state.counters["evaluations"] = result.evaluations;
    state.counters["value_digits"] = values;
    state.counters["error_digits"] = errors;
    state.counters["rss_digits"] = Digits(result.residualSumOfSquares, nist.residualSumOfSquares);
}
BENCHMARK(BM_FitNist)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 2}})
    ->ArgNames({"problem", "start"})
    ->Unit(benchmark::kMillisecond);

// The example's drag constant fitted by pass to its flight: 30 rows, the
// loop run up to pass 6000 at each evaluation.
void BM_FitProjectileByPass(benchmark::State& state) {
    Worksheet sheet;
    if (const std::string error = LoadReferenceWorksheet(sheet, "../examples/projectile");
        !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const DataReading data =
        ReadDataCsv(ReadDocumentFile(ReferencePath("../examples/projectile-flight.csv")).bytes);
    FitSetup setup;
    setup.parameters = {{"K", {}}};
    setup.byPass = true;
    setup.passColumn = "pass";
    MapColumnsByName(sheet, data.table, setup);
    FitResult result;
    for (auto _ : state) result = Fit(sheet, data.table, setup);
    if (!result.succeeded()) state.SkipWithError(result.message.c_str());
    state.counters["evaluations"] = result.evaluations;
    state.SetLabel("K = " + FormatNumber(result.values.empty() ? 0 : result.values[0]));
}
BENCHMARK(BM_FitProjectileByPass)->Unit(benchmark::kMillisecond);

// A damped oscillator as a loop, x every fifth pass with Gaussian noise of
// sigma 0.02, fitted by pass for K and C in 20 seeded trials: the counters
// say in how many the true values lie within two standard errors.
void BM_FitOscillatorCoverage(benchmark::State& state) {
    const long double k = 4, c = 0.3L, dt = 0.01L, sigma = 0.02L;
    Worksheet sheet;
    sheet.setFormula("0 - K * X - ( C * V ) = A\nA * DT + V = V\nV * DT + X = X");
    const char* const constants[][2] = {{"K", "3.5"}, {"C", "0.5"}, {"DT", "0.01"}};
    for (int row = 1; row <= 3; ++row) {
        sheet.constants.setCell(NameColumn, row, constants[row - 1][0]);
        sheet.constants.setCell(ValueColumn, row, constants[row - 1][1]);
    }
    const char* const variables[][2] = {{"A", "0"}, {"V", "0"}, {"X", "1"}};
    for (int row = 1; row <= 3; ++row) {
        sheet.variables.setCell(NameColumn, row, variables[row - 1][0]);
        sheet.variables.setCell(ValueColumn, row, variables[row - 1][1]);
    }
    const PhiloxRandomSource random;
    int insideK = 0, insideC = 0, fitted = 0;
    for (auto _ : state) {
        insideK = insideC = fitted = 0;
        for (std::uint64_t seed = 1; seed <= 20; ++seed) {
            std::string csv = "pass,x\n";
            long double x = 1, v = 0;
            for (int pass = 1; pass <= 300; ++pass) {
                v = ((0 - k) * x - c * v) * dt + v;
                x = v * dt + x;
                if (pass % 5 != 0) continue;
                const long double u1 = random.uniform(seed, pass, 0);
                const long double u2 = random.uniform(seed, pass, 1);
                const long double noise = std::sqrt(-2 * std::log(u1)) *
                                          std::cos(2 * std::numbers::pi_v<long double> * u2);
                csv += std::to_string(pass) + "," + FormatNumber(x + sigma * noise) + "\n";
            }
            const DataReading data = ReadDataCsv(csv);
            FitSetup setup;
            setup.parameters = {{"K", {}}, {"C", {}}};
            setup.byPass = true;
            setup.passColumn = "pass";
            MapColumnsByName(sheet, data.table, setup);
            const FitResult result = Fit(sheet, data.table, setup);
            if (!result.succeeded()) continue;
            ++fitted;
            insideK += std::fabs(result.values[0] - k) <= 2 * result.standardErrors[0];
            insideC += std::fabs(result.values[1] - c) <= 2 * result.standardErrors[1];
        }
    }
    state.counters["fitted_of_20"] = fitted;
    state.counters["K_inside_2se"] = insideK;
    state.counters["C_inside_2se"] = insideC;
}
BENCHMARK(BM_FitOscillatorCoverage)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quantaro::bench
