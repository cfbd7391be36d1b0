#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ReferenceWorksheet.h"
#include "documents/CsvFormat.h"
#include "studies/CsvWriter.h"
#include "engine/Engine.h"
#include "studies/Sweep.h"

namespace quantaro::bench {
namespace {

constexpr std::int64_t kProjectilePoints = 100'000;

// The projectile worksheet (11 equations), or nothing with the benchmark
// marked as skipped.
bool LoadProjectile(Worksheet& sheet, benchmark::State& state) {
    const std::string error = LoadReferenceWorksheet(sheet, "projectile/projectile");
    if (!error.empty()) state.SkipWithError(error.c_str());
    return error.empty();
}

// A sweep of the projectile worksheet (one pass a point) over 100,000 launch
// speeds, collecting every other variable, on 1 and 2 workers: the runner's
// copies, the points and their texts, as a sweep window or quantaro-cli
// --sweep runs them; with a second argument of 1, the CSV rows of the
// results are written as well, as quantaro-cli --sweep --csv writes them.
// Items are points, so that the time of one compares with a pass's below.
void BM_SweepProjectile(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadProjectile(sheet, state)) return;
    SweepSetup setup;
    setup.axes = {{"VX", 1, 100, kProjectilePoints, SweepSpacing::Linear}};
    setup.outputs = DefaultSweepOutputs(sheet, setup.axes);
    if (const std::string error = SweepSetupError(sheet, setup); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const SweepPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    const bool csv = state.range(1) != 0;
    std::size_t failed = 0;
    std::string rows;
    for (auto _ : state) {
        SweepRunner runner(sheet, plan, workers);
        const SweepResults results = runner.runAll();
        failed += results.failedCount();
        if (csv) {
            rows.clear();
            AppendSweepCsvRows(rows, results);
            benchmark::DoNotOptimize(rows.data());
        }
        benchmark::DoNotOptimize(results.size());
    }
    if (failed != 0) state.SkipWithError("a point failed");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(plan.pointCount()));
    state.SetLabel("items = points");
}
// The CPU time is the whole process's, every worker's: on 2 workers it stays
// that of 1 when the workers share nothing, and the real time halves on two
// free cores.
BENCHMARK(BM_SweepProjectile)
    ->ArgsProduct({{1, 2}, {0, 1}})
    ->ArgNames({"workers", "csv"})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// The yardstick for a point: 100,000 passes of the same worksheet on one
// thread, as quantaro-cli --passes runs them; with an argument of 1, each
// pass's CSV row of the same variables as the sweep collects, as
// quantaro-cli --passes --csv writes it.
void BM_PassesProjectile(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadProjectile(sheet, state)) return;
    const std::vector<std::string> names = DefaultSweepOutputs(sheet, {});
    std::vector<int> rows;
    for (const std::string& name : names) rows.push_back(sheet.variables.findRow(name));
    const bool csv = state.range(0) != 0;
    std::size_t failed = 0;
    std::string text;
    for (auto _ : state) {
        Worksheet copy = sheet;
        Engine engine(copy);
        text.clear();
        for (std::int64_t pass = 1; pass <= kProjectilePoints; ++pass) {
            if (!engine.ExecuteEquations(0).succeeded()) ++failed;
            if (csv) AppendTrajectoryCsvRow(text, pass, copy.variables, rows);
        }
        benchmark::DoNotOptimize(text.data());
    }
    if (failed != 0) state.SkipWithError("a pass failed");
    state.SetItemsProcessed(state.iterations() * kProjectilePoints);
    state.SetLabel("items = passes");
}
BENCHMARK(BM_PassesProjectile)
    ->ArgsProduct({{0, 1}})
    ->ArgNames({"csv"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace quantaro::bench
