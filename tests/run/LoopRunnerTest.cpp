#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "run/LoopRunner.h"

namespace quantaro {
namespace {

enum class Pass { Fails, Faults, ShowsBox, SwitchesTimerOff, EditsLimit };

// Passes that do what a script says at given runs, counted from 1.
struct ScriptedPasses : LoopPasses {
    std::optional<std::string> runPass(int equation) override {
        ++runs;
        lastEquation = equation;
        const auto scripted = script.find(runs);
        if (scripted == script.end()) return std::nullopt;
        switch (scripted->second) {
            case Pass::Fails:
                failed = true;
                break;
            case Pass::Faults:
                return "Overflow";
            case Pass::ShowsBox:
                ++boxes;
                break;
            case Pass::SwitchesTimerOff:
                runner->setTimerEnabled(false);
                break;
            case Pass::EditsLimit:
                runner->setLimitText(editedLimit);
                break;
        }
        return std::nullopt;
    }
    bool lastRunFailed() const override { return failed; }
    void clearLastRunResult() override { failed = false; }
    int boxesShown() const override { return boxes; }

    std::map<int, Pass> script;
    std::string editedLimit;
    LoopRunner* runner = nullptr;
    int runs = 0, lastEquation = -1, boxes = 0;
    bool failed = false;
};

struct SwitchTimer : LoopTimer {
    void setActive(bool active) override { on = active; }
    bool active() const override { return on; }
    bool on = false;
};

struct Loop {
    Loop() { passes.runner = &runner; }
    bool idle() const { return runner.stopped() && !timer.on; }
    // Ticks until the loop is idle; returns the error texts the ticks reported.
    std::vector<std::string> tickUntilIdle() {
        std::vector<std::string> errors;
        for (int tick = 0; tick < 100 && !idle(); ++tick) {
            if (auto error = runner.tick().error) errors.push_back(*error);
        }
        return errors;
    }
    ScriptedPasses passes;
    SwitchTimer timer;
    LoopRunner runner{passes, timer};
};

TEST(LoopRunner, StartRunsToTheLimitOrUntilAPassFailsFaultsOrMakesTheLimitText) {
    struct Case {
        const char* limit;
        std::map<int, Pass> script;
        const char* editedLimit;
        LoopStart start;
        int runs;
        std::int64_t completed, counter;
        std::vector<std::string> errors;
    };
    using enum LoopStart;
    using enum Pass;
    const Case cases[] = {
        {"5", {}, "", Started, 5, 5, 1, {}},
        {"ten", {}, "", LimitNotAnInteger, 0, 0, 1, {}},
        {"0", {}, "", NothingToRun, 0, 0, 1, {}},
        {"-4", {}, "", NothingToRun, 0, 0, 1, {}},
        {"10", {{3, Fails}}, "", Started, 3, 3, 4, {}},
        {"10", {{4, Faults}}, "", Started, 4, 3, 4, {}},
        {"10", {{3, EditsLimit}}, "2", Started, 3, 3, 1, {}},
        {"10", {{2, EditsLimit}}, "ten", Started, 2, 2, 3, {"'ten' is not a valid integer value"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Loop loop;
        loop.passes.script = c.script;
        loop.passes.editedLimit = c.editedLimit;
        loop.runner.setLimitText(c.limit);
        EXPECT_EQ(loop.runner.start(), c.start);
        EXPECT_EQ(loop.tickUntilIdle(), c.errors);
        EXPECT_TRUE(loop.idle());
        EXPECT_EQ(loop.passes.runs, c.runs);
        EXPECT_EQ(loop.runner.completedLoops(), c.completed);
        EXPECT_EQ(loop.runner.counter(), c.counter);
    }
}

TEST(LoopRunner, ATickEndsItsBatchAtABoxAtTheTimerSwitchedOffOrAfterItsTime) {
    for (Pass pass : {Pass::ShowsBox, Pass::SwitchesTimerOff}) {
        Loop loop;
        loop.passes.script = {{2, pass}};
        loop.runner.setLimitText("10");
        loop.runner.start();
        EXPECT_TRUE(loop.runner.tick().showProgress);
        EXPECT_EQ(loop.passes.runs, 2);
        EXPECT_FALSE(loop.runner.stopped());
    }
    Loop loop;
    loop.runner.setLimitText("2147483647");
    loop.runner.start();
    loop.runner.tick();
    EXPECT_GT(loop.passes.runs, 2);
    EXPECT_FALSE(loop.runner.stopped());
}

TEST(LoopRunner, StopPausesStartResumesAndStartClearsTheLastFailure) {
    Loop loop;
    auto& [passes, timer, runner] = loop;
    runner.setLimitText("10");
    passes.failed = true;
    ASSERT_EQ(runner.start(), LoopStart::Started);
    passes.script = {{3, Pass::ShowsBox}};
    runner.tick();
    runner.stop();
    EXPECT_TRUE(runner.stopped() && timer.on);
    EXPECT_FALSE(runner.tick().showProgress);
    EXPECT_EQ(passes.runs, 3);
    runner.start();
    loop.tickUntilIdle();
    EXPECT_EQ(runner.completedLoops(), 10);
}

TEST(LoopRunner, StepRunsOnePassAnywayResetAndCancelStartTheCountAgain) {
    Loop loop;
    auto& [passes, timer, runner] = loop;
    runner.selectEquation(2);
    EXPECT_EQ(runner.step().error, std::nullopt);
    passes.script = {{2, Pass::Faults}};
    const LoopReport faulted = runner.step();
    EXPECT_EQ(faulted.error, "Overflow");
    EXPECT_TRUE(faulted.showProgress);
    EXPECT_EQ(passes.lastEquation, 2);
    EXPECT_EQ(runner.completedLoops(), 1);
    EXPECT_TRUE(loop.idle());
    runner.reset();
    EXPECT_EQ(runner.counter(), 1);
    EXPECT_EQ(runner.completedLoops(), 0);
    runner.step();
    runner.setLimitText("5");
    runner.start();
    runner.cancel();
    EXPECT_TRUE(loop.idle());
    EXPECT_EQ(runner.counter(), 1);
    EXPECT_EQ(runner.completedLoops(), 0);
    EXPECT_EQ(runner.equation(), 0);
}

}  // namespace
}  // namespace quantaro
