#include "session/LoopRunner.h"

#include <algorithm>
#include <chrono>

#include "session/LoopNumbers.h"

namespace quantaro {
namespace {

// How long one tick runs passes before it returns to the event loop, so that
// Stop, Cancel, redraws and edits are served between batches.
constexpr std::chrono::milliseconds kBatch{10};
// How long the passes between two readings of the clock should take: a pass
// of one equation is far shorter than reading the clock.
constexpr std::chrono::microseconds kClockReadInterval{1000};

std::string NotAnInteger(const std::string& text) {
    return "'" + text + "' is not a valid integer value";
}

}  // namespace

void LoopRunner::setLimitText(std::string text) {
    limitText_ = std::move(text);
    limit_ = ReadInteger32(limitText_);
}

LoopStart LoopRunner::start() {
    if (!limit_) return LoopStart::LimitNotAnInteger;
    if (*limit_ <= 0) return LoopStart::NothingToRun;
    passes_.clearLastRunResult();
    stopped_ = false;
    setTimerEnabled(true);
    return LoopStart::Started;
}

void LoopRunner::reset() {
    counter_ = 1;
    completedLoops_ = 0;
}

LoopReport LoopRunner::step() {
    setTimerEnabled(true);
    LoopReport report{.showProgress = true, .error = passes_.runPass(equation_)};
    if (!report.error) countPass();
    stopIdle();
    return report;
}

void LoopRunner::cancel() {
    stopIdle();
    reset();
    equation_ = 0;
}

// The clock is read after runs of passes that grow to about a millisecond's
// worth, and at most double the passes of the tick so far, so that a tick
// ends soon after its time even when the passes have become slower since
// the last one.
LoopReport LoopRunner::tick() {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point batchStart = Clock::now();
    const int boxesBefore = passes_.boxesShown();
    LoopReport report;
    std::int64_t passes = 0;
    for (;;) {
        const std::int64_t run = std::min(passesPerClockRead_, std::max<std::int64_t>(1, passes));
        for (std::int64_t i = 0; i < run; ++i, ++passes) {
            // A pass whose run showed a box ends the batch: the box's own
            // event loop has served the events already, and the user may
            // have changed anything.
            if (!tickPass(report) || !timer_.active() || passes_.boxesShown() != boxesBefore) {
                return report;
            }
        }
        const auto elapsed = Clock::now() - batchStart;
        if (elapsed >= kBatch) return report;
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
        passesPerClockRead_ =
            micros == 0 ? 2 * passesPerClockRead_
                        : std::max<std::int64_t>(1, passes * kClockReadInterval.count() / micros);
    }
}

bool LoopRunner::tickPass(LoopReport& report) {
    if (stopped_) return false;
    if (passes_.lastRunFailed()) {
        stopIdle();
        return false;
    }
    const std::optional<std::int32_t> limit = limit_;
    if (!limit) {
        // Reported once: the loop stops rather than meet the same text again.
        stopIdle();
        report.error = NotAnInteger(limitText_);
        return false;
    }
    if (*limit < counter_) {
        stopIdle();
        counter_ = 1;
        return false;
    }
    report.showProgress = true;
    if (passes_.runPass(equation_)) {
        // A fault ends the loop without counting the pass, and silently.
        stopIdle();
        return false;
    }
    // A pass whose equation failed counts too; the run has already stopped
    // the loop.
    countPass();
    return true;
}

void LoopRunner::countPass() {
    completedLoops_ = counter_;
    ++counter_;
    if (recorder_) recorder_->passCounted(completedLoops_);
}

void LoopRunner::stopIdle() {
    setTimerEnabled(false);
    stopped_ = true;
}

}  // namespace quantaro
