#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "ReferenceWorksheet.h"
#include "engine/Engine.h"

namespace quantaro::bench {
namespace {

int CountEquations(const std::string& formula) {
    return static_cast<int>(std::count(formula.begin(), formula.end(), '\n'));
}

// Loads a worksheet of bench/, or marks the benchmark as skipped.
bool LoadOrSkip(ReferenceWorksheet& sheet, benchmark::State& state,
                const char* base = "reference") {
    LoadReferenceWorksheet(sheet, base);
    if (!sheet.ok()) state.SkipWithError(sheet.error.c_str());
    return sheet.ok();
}

// One Execute All Equations pass over the reference worksheet, as one tick
// of the continuous loop performs it.
void BM_ExecuteReferenceWorksheet(benchmark::State& state) {
    ReferenceWorksheet sheet;
    if (!LoadOrSkip(sheet, state)) return;
    Engine engine(sheet);
    if (!engine.ExecuteEquations(0).succeeded()) {
        state.SkipWithError("the reference worksheet does not run cleanly");
        return;
    }
    RunOutcome outcome;
    for (auto _ : state) {
        outcome = engine.ExecuteEquations(0);
        benchmark::DoNotOptimize(outcome.code);
    }
    if (!outcome.succeeded()) state.SkipWithError("a pass failed");
    state.SetItemsProcessed(state.iterations() * CountEquations(sheet.formula()));
    state.SetLabel("items = equations");
}
BENCHMARK(BM_ExecuteReferenceWorksheet);

// One pass of the projectile worksheet that quantaro-cli is timed with
// against a Python script (bench/projectile/compare-with-python.sh).
void BM_ExecuteProjectileWorksheet(benchmark::State& state) {
    ReferenceWorksheet sheet;
    if (!LoadOrSkip(sheet, state, "projectile/projectile")) return;
    Engine engine(sheet);
    RunOutcome outcome;
    for (auto _ : state) {
        outcome = engine.ExecuteEquations(0);
        benchmark::DoNotOptimize(outcome.code);
    }
    if (!outcome.succeeded()) state.SkipWithError("a pass failed");
    state.SetItemsProcessed(state.iterations() * CountEquations(sheet.formula()));
    state.SetLabel("items = equations");
}
BENCHMARK(BM_ExecuteProjectileWorksheet);

// Test One Equation on the longest equation of the worksheet (number 27).
void BM_ExecuteOneEquation(benchmark::State& state) {
    ReferenceWorksheet sheet;
    if (!LoadOrSkip(sheet, state)) return;
    Engine engine(sheet);
    RunOutcome outcome;
    for (auto _ : state) {
        outcome = engine.ExecuteEquations(27);
        benchmark::DoNotOptimize(outcome.code);
    }
    if (!outcome.succeeded()) state.SkipWithError("the equation failed");
}
BENCHMARK(BM_ExecuteOneEquation);

}  // namespace
}  // namespace quantaro::bench
