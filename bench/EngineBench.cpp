#include <benchmark/benchmark.h>

#include "ReferenceWorksheet.h"
#include "TableRows.h"
#include "engine/Engine.h"
#include "engine/EquationSplitter.h"
#include "engine/NameTable.h"
#include "engine/Trajectory.h"

namespace quantaro::bench {
namespace {

// Loads a worksheet of bench/, or marks the benchmark as skipped.
bool LoadOrSkip(Worksheet& sheet, benchmark::State& state, const char* base = "reference") {
    const std::string failure = LoadReferenceWorksheet(sheet, base);
    if (!failure.empty()) state.SkipWithError(failure.c_str());
    return failure.empty();
}

// One Execute All Equations pass over a worksheet of bench/, as one tick of
// the continuous loop performs it: the reference worksheet, and the
// projectile worksheet that quantaro-cli is timed with against a Python
// script (bench/projectile/compare-with-python.sh).
void BM_ExecuteWorksheet(benchmark::State& state, const char* base) {
    Worksheet sheet;
    if (!LoadOrSkip(sheet, state, base)) return;
    Engine engine(sheet);
    if (!engine.ExecuteEquations(0).succeeded()) {
        state.SkipWithError("the worksheet does not run cleanly");
        return;
    }
    RunOutcome outcome;
    for (auto _ : state) {
        outcome = engine.ExecuteEquations(0);
        benchmark::DoNotOptimize(outcome.status);
    }
    if (!outcome.succeeded()) state.SkipWithError("a pass failed");
    state.SetItemsProcessed(state.iterations() * CountEquations(sheet.formula()));
    state.SetLabel("items = equations");
}
BENCHMARK_CAPTURE(BM_ExecuteWorksheet, Reference, "reference");
BENCHMARK_CAPTURE(BM_ExecuteWorksheet, Projectile, "projectile/projectile");
// The engine's share of a pass of the loop window on the iteration example.
BENCHMARK_CAPTURE(BM_ExecuteWorksheet, Iteration, "../examples/iteration");

// Test One Equation on the longest equation of the worksheet (number 27).
void BM_ExecuteOneEquation(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadOrSkip(sheet, state)) return;
    Engine engine(sheet);
    RunOutcome outcome;
    for (auto _ : state) {
        outcome = engine.ExecuteEquations(27);
        benchmark::DoNotOptimize(outcome.status);
    }
    if (!outcome.succeeded()) state.SkipWithError("the equation failed");
}
BENCHMARK(BM_ExecuteOneEquation);

// One recorded pass of a loop whose variables all hold stored results, by the
// number of variables; the history starts afresh every million passes.
void BM_TrajectoryRecord(benchmark::State& state) {
    const auto columns = static_cast<int>(state.range(0));
    NameTable variables = MakeVariableTable();
    std::vector<std::string> names;
    for (int row = 1; row <= columns; ++row) {
        names.push_back("V" + std::to_string(row));
        testing::SetRow(variables, row, {names.back()});
        variables.setResult(row, row / 3.0L);
    }
    Trajectory trajectory(names);
    std::int64_t pass = 0;
    for (auto _ : state) {
        if (++pass % 1'000'000 == 0) trajectory.clear();
        trajectory.record(pass, variables);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrajectoryRecord)->Arg(1)->Arg(8);

}  // namespace
}  // namespace quantaro::bench
