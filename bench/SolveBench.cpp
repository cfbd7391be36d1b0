#include <benchmark/benchmark.h>

#include <string>

#include "ReferenceWorksheet.h"
#include "studies/GoalSeek.h"
#include "studies/Optimise.h"
#include "studies/Solve.h"

namespace quantaro::bench {
namespace {

// The engineering example, whose launch the studies below solve, or nothing
// with the benchmark marked as skipped.
bool LoadEngineering(Worksheet& sheet, benchmark::State& state) {
    const std::string error = LoadReferenceWorksheet(sheet, "../examples/engineering");
    if (!error.empty()) state.SkipWithError(error.c_str());
    return error.empty();
}

// The time to solve the launch for a range of 50 m and a peak of 8 m by
// its speed and angle; items are trials, so that trials per second compare
// with a goal seek's on the same worksheet below: the same engine cost per
// trial, whatever the solver does between trials.
void BM_SolveLaunch(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadEngineering(sheet, state)) return;
    const SolveSetup setup{{{"RANGE", 50}, {"HMAX", 8}}, {{"V0", {}}, {"ANGLE", {}}}, {}};
    std::int64_t trials = 0;
    for (auto _ : state) {
        const SolveResult result = Solve(sheet, setup);
        if (!result.succeeded()) state.SkipWithError(result.message.c_str());
        trials += result.trials;
    }
    state.SetItemsProcessed(trials);
    state.SetLabel("items = trials");
}
BENCHMARK(BM_SolveLaunch)->Unit(benchmark::kMicrosecond);

// The yardstick: a goal seek of the range alone by the angle.
void BM_GoalSeekLaunch(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadEngineering(sheet, state)) return;
    const SeekSetup setup{"RANGE", 50, "ANGLE", std::pair(0.0L, 45.0L), {}};
    std::int64_t trials = 0;
    for (auto _ : state) {
        const SeekResult result = GoalSeek(sheet, setup);
        if (!result.succeeded()) state.SkipWithError(result.message.c_str());
        trials += result.trials;
    }
    state.SetItemsProcessed(trials);
    state.SetLabel("items = trials");
}
BENCHMARK(BM_GoalSeekLaunch)->Unit(benchmark::kMicrosecond);

// The longest range whose flight lasts at most 3 s, with its polish.
void BM_OptimiseLaunch(benchmark::State& state) {
    Worksheet sheet;
    if (!LoadEngineering(sheet, state)) return;
    OptimiseSetup setup;
    setup.sense = OptimiseSense::Maximise;
    setup.objective = "RANGE";
    setup.inputs = {{"ANGLE", 0, 90}};
    setup.constraints = {{"TFLIGHT", ConstraintKind::AtMost, 3}};
    std::int64_t trials = 0;
    for (auto _ : state) {
        const OptimiseResult result = Optimise(sheet, setup);
        if (!result.succeeded()) state.SkipWithError(result.message.c_str());
        trials += result.evaluations;
    }
    state.SetItemsProcessed(trials);
    state.SetLabel("items = trials");
}
BENCHMARK(BM_OptimiseLaunch)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quantaro::bench
