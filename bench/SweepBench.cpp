#include <benchmark/benchmark.h>

#include "ReferenceWorksheet.h"
#include "studies/Sweep.h"

namespace quantaro::bench {
namespace {

// A sweep of the projectile worksheet (11 equations, one pass a point) over
// 100,000 launch speeds, collecting every other variable, on 1 and 2
// workers: the runner's copies, the points and their texts, as a sweep
// window or quantaro-cli --sweep runs them.
void BM_SweepProjectile(benchmark::State& state) {
    Worksheet sheet;
    if (const std::string error = LoadReferenceWorksheet(sheet, "projectile/projectile");
        !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    SweepSetup setup;
    setup.axes = {{"VX", 1, 100, 100'000, SweepSpacing::Linear}};
    setup.outputs = DefaultSweepOutputs(sheet, setup.axes);
    if (const std::string error = SweepSetupError(sheet, setup); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const SweepPlan plan(sheet, setup);
    const auto workers = static_cast<unsigned>(state.range(0));
    std::size_t failed = 0;
    for (auto _ : state) {
        SweepRunner runner(sheet, plan, workers);
        const SweepResults results = runner.runAll();
        failed += results.failedCount();
        benchmark::DoNotOptimize(results.size());
    }
    if (failed != 0) state.SkipWithError("a point failed");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(plan.pointCount()));
    state.SetLabel("items = points");
}
BENCHMARK(BM_SweepProjectile)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quantaro::bench
