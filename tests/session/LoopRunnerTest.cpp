#include <gtest/gtest.h>

#include <map>
#include <string>

#include "session/LoopRunner.h"

namespace quantaro {
namespace {

enum class Pass { Counts, Fails, Faults, ShowsBox, SwitchesTimerOff, EditsLimit };

// Passes that do what a script says at given runs, counted from 1, and a timer
// that is only switched.
struct Loop : LoopPasses, LoopTimer {
    std::optional<std::string> runPass(int equation) override {
        lastEquation = equation;
        const Pass pass = script.count(++runs) ? script.at(runs) : Pass::Counts;
        failed = failed || pass == Pass::Fails;
        boxes += pass == Pass::ShowsBox;
        if (pass == Pass::SwitchesTimerOff) runner.setTimerEnabled(false);
        if (pass == Pass::EditsLimit) runner.setLimitText(editedLimit);
        if (pass == Pass::Faults) return "Overflow";
        return std::nullopt;
    }
    bool lastRunFailed() const override { return failed; }
    void clearLastRunResult() override { failed = false; }
    int boxesShown() const override { return boxes; }
    void setActive(bool active) override { timerOn = active; }
    bool active() const override { return timerOn; }

    bool idle() const { return runner.stopped() && !timerOn; }
    // Ticks until the loop is idle; returns the error texts the ticks reported.
    std::string tickUntilIdle() {
        std::string errors;
        for (int i = 0; i < 100 && !idle(); ++i) errors += runner.tick().error.value_or("");
        return errors;
    }

    std::map<int, Pass> script;
    std::string editedLimit;
    int runs = 0, lastEquation = -1, boxes = 0;
    bool failed = false, timerOn = false;
    LoopRunner runner{*this, *this};
};

TEST(LoopRunner, StartRunsToTheLimitOrUntilAPassFailsFaultsOrMakesTheLimitText) {
    // firstBatch: the passes of the first tick, whose batch a box or the timer off ends.
    struct Case {
        const char *limit, *editedLimit;
        std::map<int, Pass> script;
        LoopStart start;
        int firstBatch, runs, completed, counter;
        const char* errors;
    };
    using enum LoopStart;
    using enum Pass;
    const char* const notAnInteger = "'ten' is not a valid integer value";
    for (const Case& c : {
             Case{"5", "", {}, Started, 5, 5, 5, 1, ""},
             Case{"ten", "", {}, LimitNotAnInteger, 0, 0, 0, 1, ""},
             Case{"0", "", {}, NothingToRun, 0, 0, 0, 1, ""},
             Case{"-4", "", {}, NothingToRun, 0, 0, 0, 1, ""},
             Case{"10", "", {{3, Fails}}, Started, 3, 3, 3, 4, ""},
             Case{"10", "", {{4, Faults}}, Started, 4, 4, 3, 4, ""},
             Case{"10", "", {{2, ShowsBox}}, Started, 2, 10, 10, 1, ""},
             Case{"10", "", {{2, SwitchesTimerOff}}, Started, 2, 10, 10, 1, ""},
             Case{"10", "2", {{3, EditsLimit}}, Started, 3, 3, 3, 1, ""},
             Case{"10", "ten", {{2, EditsLimit}}, Started, 2, 2, 2, 3, notAnInteger},
         }) {
        SCOPED_TRACE(std::string(c.limit) + " then " + c.editedLimit);
        Loop loop;
        loop.script = c.script;
        loop.editedLimit = c.editedLimit;
        loop.runner.setLimitText(c.limit);
        EXPECT_EQ(loop.runner.start(), c.start);
        const LoopReport first = loop.runner.tick();
        EXPECT_EQ(first.showProgress, c.firstBatch > 0);
        EXPECT_EQ(loop.runs, c.firstBatch);
        EXPECT_EQ(first.error.value_or("") + loop.tickUntilIdle(), c.errors);
        EXPECT_TRUE(loop.idle());
        EXPECT_EQ(loop.runs, c.runs);
        EXPECT_EQ(loop.runner.completedLoops(), c.completed);
        EXPECT_EQ(loop.runner.counter(), c.counter);
    }
}

TEST(LoopRunner, StopPausesStartResumesStepRunsOnePassResetAndCancelStartAgain) {
    Loop loop;
    LoopRunner& runner = loop.runner;
    runner.setLimitText("2147483647");
    loop.failed = true;  // cleared by Start, or the first tick would stop the loop
    ASSERT_EQ(runner.start(), LoopStart::Started);
    runner.tick();  // only its time ends this batch
    EXPECT_TRUE(loop.runs > 2 && !runner.stopped());
    runner.stop();
    const int paused = loop.runs;
    EXPECT_FALSE(runner.tick().showProgress);
    EXPECT_TRUE(runner.stopped() && loop.timerOn && loop.runs == paused);
    runner.setLimitText(std::to_string(paused + 5));
    runner.start();
    loop.tickUntilIdle();
    EXPECT_EQ(runner.completedLoops(), paused + 5);
    // A step ignores the limit and runs the selected equation; a fault is
    // reported and not counted.
    runner.setLimitText("0");
    runner.selectEquation(2);
    runner.step();
    loop.script = {{loop.runs + 1, Pass::Faults}};
    const LoopReport faulted = runner.step();
    EXPECT_EQ(faulted.error, "Overflow");
    EXPECT_TRUE(faulted.showProgress && loop.idle() && loop.lastEquation == 2);
    EXPECT_EQ(runner.completedLoops(), 1);
    runner.reset();
    EXPECT_TRUE(runner.counter() == 1 && runner.completedLoops() == 0);
    runner.step();
    runner.setLimitText("5");
    runner.start();
    runner.cancel();
    EXPECT_TRUE(loop.idle() && runner.equation() == 0 && runner.counter() == 1);
    EXPECT_EQ(runner.completedLoops(), 0);
}

}  // namespace
}  // namespace quantaro
