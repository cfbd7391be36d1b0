#include <benchmark/benchmark.h>

#include <string>

#include "ReferenceWorksheet.h"
#include "studies/MonteCarlo.h"
#include "studies/Sweep.h"

namespace quantaro::bench {
namespace {

constexpr std::int64_t kPoints = 100'000;

// The worksheet named, or nothing with the benchmark marked as skipped.
bool Load(Worksheet& sheet, const QString& base, benchmark::State& state) {
    const std::string error = testing::LoadWorksheetFiles(sheet, base);
    if (!error.empty()) state.SkipWithError(error.c_str());
    return error.empty();
}

QString Projectile() {
    return ReferencePath("projectile/projectile");
}

QString Engineering() {
    return QStringLiteral(QUANTARO_EXAMPLES_DIR "/engineering");
}

// Monte Carlo draws beside a sweep's points on the same worksheet, on 1 and
// 2 workers, collecting the same results: a draw is a point whose inputs are
// random, so its time should be a point's and the drawing's (for a pair of
// normal inputs, 4/pi Philox blocks and one logarithm). Items are draws.
void RunDraws(benchmark::State& state, const QString& base, std::vector<UncertainInput> inputs,
              std::uint64_t draws) {
    Worksheet sheet;
    if (!Load(sheet, base, state)) return;
    const UncertaintySetup setup{std::move(inputs), {}, {}};
    if (const std::string error = UncertaintySetupError(sheet, setup); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const UncertaintyPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    std::uint64_t failed = 0;
    for (auto _ : state) {
        const MonteCarloRunner runner(sheet, plan, workers);
        const MonteCarloDraws results = runner.run(1, 1, draws);
        failed += results.failedCount();
        benchmark::DoNotOptimize(results.size());
    }
    if (failed != 0) state.SkipWithError("a draw failed");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(draws));
    state.SetLabel("items = draws");
}

void BM_MonteCarloProjectile(benchmark::State& state) {
    RunDraws(state, Projectile(), {{"VX", 1}, {"VY", 1}}, kPoints);
}

// The sweep of BM_SweepProjectile, here beside the draws in the same run.
void BM_SweepProjectileBeside(benchmark::State& state) {
    Worksheet sheet;
    if (!Load(sheet, Projectile(), state)) return;
    SweepSetup setup;
    setup.axes = {{"VX", 1, 100, kPoints, SweepSpacing::Linear}};
    setup.outputs = DefaultUncertaintyResults(sheet, {{"VX", 1}, {"VY", 1}});
    const SweepPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        SweepRunner runner(sheet, plan, workers);
        benchmark::DoNotOptimize(runner.runAll().size());
    }
    state.SetItemsProcessed(state.iterations() * kPoints);
    state.SetLabel("items = points");
}

// The like of a draw with two uncertain inputs: a sweep that types two
// inputs at each point, 317 x 316 of them (100,172 points).
void BM_SweepProjectileTwoInputsBeside(benchmark::State& state) {
    Worksheet sheet;
    if (!Load(sheet, Projectile(), state)) return;
    SweepSetup setup;
    setup.axes = {{"VX", 1, 100, 317, SweepSpacing::Linear},
                  {"VY", 1, 100, 316, SweepSpacing::Linear}};
    setup.outputs = DefaultUncertaintyResults(sheet, {{"VX", 1}, {"VY", 1}});
    const SweepPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        SweepRunner runner(sheet, plan, workers);
        benchmark::DoNotOptimize(runner.runAll().size());
    }
    state.SetItemsProcessed(state.iterations() * 317 * 316);
    state.SetLabel("items = points");
}

// A million draws of the engineering example, V0 and ANGLE uncertain, every
// variable but those reported.
void BM_MonteCarloEngineeringMillion(benchmark::State& state) {
    RunDraws(state, Engineering(), {{"V0", 0.5L}, {"ANGLE", 1}}, 1'000'000);
}

void BM_SweepEngineeringBeside(benchmark::State& state) {
    Worksheet sheet;
    if (!Load(sheet, Engineering(), state)) return;
    SweepSetup setup;
    setup.axes = {{"V0", 20, 30, 1'000'000, SweepSpacing::Linear}};
    setup.outputs = DefaultUncertaintyResults(sheet, {{"V0", 0.5L}, {"ANGLE", 1}});
    const SweepPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    for (auto _ : state) {
        SweepRunner runner(sheet, plan, workers);
        benchmark::DoNotOptimize(runner.runAll().size());
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
    state.SetLabel("items = points");
}

// The CPU time is the whole process's; the real time halves on two free cores.
BENCHMARK(BM_SweepProjectileBeside)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SweepProjectileTwoInputsBeside)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_MonteCarloProjectile)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SweepEngineeringBeside)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_MonteCarloEngineeringMillion)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("workers")
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
}  // namespace quantaro::bench
