#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <string>
#include <vector>

#include "session/LoopRunner.h"
#include "session/TrajectoryRecorder.h"

namespace quantaro {

class Session;

// The continuous loop of a session: a LoopRunner driven by its timer Timer1,
// which runs the formula pass after pass up to a number of loops, and the
// recorder that keeps the chosen variables after every pass counted. The
// loop window shows it and passes the user's commands on.
class ContinuousLoop : public QObject, private LoopTimer {
    Q_OBJECT

  public:
    ContinuousLoop(Session& session, LoopPasses& passes);

    // What runs switch: the loop's timer and stop flag.
    LoopSwitch& loopSwitch() { return runner_; }

    // The number of loops as the user typed it, and the equation to run
    // (0: all); both may change while the loop runs.
    void setLimitText(std::string text) { runner_.setLimitText(std::move(text)); }
    void selectEquation(std::int32_t equation) { runner_.selectEquation(equation); }

    LoopStart start() { return runner_.start(); }
    void stop() { runner_.stop(); }
    // Counts from 1 again and drops the recorded history.
    void reset();
    // One pass, whatever the limit; the loop is idle afterwards.
    void step();
    // Idle, counting from 1 again, all equations.
    void cancel() { runner_.cancel(); }
    // The loop's window was shown: its passes are about to write the
    // variables, so the variable table is marked changed now.
    void shown();

    bool stopped() const { return runner_.stopped(); }
    bool timerEnabled() const { return runner_.timerEnabled(); }
    std::int64_t counter() const { return runner_.counter(); }
    std::int64_t completedLoops() const { return runner_.completedLoops(); }
    std::int32_t equation() const { return runner_.equation(); }

    // The named variables and whether each is recorded, as the table's names
    // are now; a history of other names starts here rather than at the next
    // pass, so that a view shows what will be recorded.
    std::vector<RecordChoice> recordChoices();
    void setRecorded(const std::string& name, bool recorded);
    // The history of the recorded variables; the same object all along.
    const Trajectory& trajectory() const { return recorder_.trajectory(); }

  signals:
    // Passes ran: the completed loops and the recording have changed.
    void progressed();
    // The text of an error box: a fault of a single step, or a number of
    // loops that became no integer while the loop ran.
    void failed(const QString& text);
    // The history grew, was dropped or started again with other names.
    void trajectoryChanged();

  private:
    // LoopTimer: Timer1.
    void setActive(bool active) override;
    bool active() const override { return timer_.isActive(); }

    void tick();
    void showProgress();
    void tellTrajectory();

    Session& session_;
    QTimer timer_;
    LoopRunner runner_;
    TrajectoryRecorder recorder_;
    std::uint64_t toldRevision_ = 0;  // of the history the windows were told of
};

}  // namespace quantaro
