#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace quantaro {

// The continuous loop's timer and stop flag, which every run may switch.
class LoopSwitch {
  public:
    virtual ~LoopSwitch() = default;
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual void setLoopStopped() = 0;
};

// What the continuous loop runs on each pass.
class LoopPasses {
  public:
    virtual ~LoopPasses() = default;
    // Runs the formula once, equation 0 meaning all of them. Returns the
    // floating-point fault's text when a fault ended the run.
    virtual std::optional<std::string> runPass(int equation) = 0;
    // The last run ended with an equation's error.
    virtual bool lastRunFailed() const = 0;
    virtual void clearLastRunResult() = 0;
    // How many boxes runs have shown so far.
    virtual int boxesShown() const = 0;
};

// Told of every pass the loop counts, with its number.
class PassRecorder {
  public:
    virtual ~PassRecorder() = default;
    virtual void passCounted(std::int64_t pass) = 0;
};

// The repeating timer whose ticks drive the loop.
class LoopTimer {
  public:
    virtual ~LoopTimer() = default;
    // Switching on a timer that runs leaves it running as it was.
    virtual void setActive(bool active) = 0;
    virtual bool active() const = 0;
};

// What Start did: the loop runs, or the limit is zero or less, or its text is
// no 32-bit integer.
enum class LoopStart { Started, NothingToRun, LimitNotAnInteger };

// What the view shows after a tick or a step.
struct LoopReport {
    // Passes ran: show the completed loops and the variables' values.
    bool showProgress = false;
    // The text of an error box.
    std::optional<std::string> error;
};

// The continuous loop: runs passes up to a limit of loops, with start, stop,
// reset and single step.
//
// States: idle (stopped, timer off), running (not stopped, timer on) and
// paused (stopped, timer on: ticks do nothing until Start). Each tick runs
// passes back to back for up to a few milliseconds, so that the loop is not
// held to one pass per timer interval; a pass that stops the loop or shows a
// box ends the tick's batch.
//
// Runs switch the timer and stop the loop through LoopSwitch, also while a
// tick's pass runs, so the state is read afresh after every pass.
class LoopRunner : public LoopSwitch {
  public:
    LoopRunner(LoopPasses& passes, LoopTimer& timer) : passes_(passes), timer_(timer) {}

    // LoopSwitch
    void setTimerEnabled(bool enabled) override { timer_.setActive(enabled); }
    void setLoopStopped() override { stopped_ = true; }

    // The number of loops as the user typed it; it is read again for every
    // pass, so changing it changes the running loop.
    // The limit is read here, once per change of its text, not on every pass.
    void setLimitText(std::string text);
    void selectEquation(std::int32_t equation) { equation_ = equation; }
    // Told of every pass counted from now on; nullptr tells no one.
    void setRecorder(PassRecorder* recorder) { recorder_ = recorder; }

    LoopStart start();
    void stop() { stopped_ = true; }
    void reset();
    LoopReport step();
    void cancel();
    LoopReport tick();

    bool stopped() const { return stopped_; }
    bool timerEnabled() const { return timer_.active(); }
    std::int64_t counter() const { return counter_; }
    std::int64_t completedLoops() const { return completedLoops_; }
    std::int32_t equation() const { return equation_; }

  private:
    // One pass of a tick; false when the batch must end.
    bool tickPass(LoopReport& report);
    void countPass();
    void stopIdle();

    LoopPasses& passes_;
    LoopTimer& timer_;
    PassRecorder* recorder_ = nullptr;
    std::string limitText_ = "0";
    std::optional<std::int32_t> limit_ = 0;  // limitText_ read as an integer
    // Wider than the 32-bit limit, so that the pass after the highest limit
    // still ends the loop.
    std::int64_t counter_ = 1;
    bool stopped_ = true;
    std::int32_t equation_ = 0;
    // The pass last counted.
    std::int64_t completedLoops_ = 0;
    // How many passes a tick runs between readings of the clock: as many as
    // took about a millisecond in the ticks so far.
    std::int64_t passesPerClockRead_ = 1;
};

}  // namespace quantaro
