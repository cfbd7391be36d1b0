#include "session/ContinuousLoop.h"

#include "session/Session.h"

namespace quantaro {
namespace {

constexpr int kTimerIntervalMs = 1;

}  // namespace

ContinuousLoop::ContinuousLoop(Session& session, LoopPasses& passes)
    : session_(session), runner_(passes, *this), recorder_(session.variables()) {
    runner_.setRecorder(&recorder_);
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(kTimerIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &ContinuousLoop::tick);
    toldRevision_ = recorder_.trajectory().revision();
}

void ContinuousLoop::setActive(bool active) {
    if (!active) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

void ContinuousLoop::tick() {
    const LoopReport report = runner_.tick();
    // The error ended the batch, so its box comes before the batch's progress.
    if (report.error) emit failed(QString::fromStdString(*report.error));
    if (report.showProgress) showProgress();
}

void ContinuousLoop::step() {
    const LoopReport report = runner_.step();
    showProgress();
    // A step is a command of its own, so a fault is shown as the menu
    // commands show it.
    if (report.error) emit failed(QString::fromStdString(*report.error));
}

void ContinuousLoop::shown() {
    session_.documents().setChanged(Document::Variables);
}

void ContinuousLoop::reset() {
    runner_.reset();
    recorder_.clear();
    recorder_.takeChoice();
    tellTrajectory();
}

std::vector<RecordChoice> ContinuousLoop::recordChoices() {
    recorder_.takeChoice();
    tellTrajectory();
    return recorder_.choices();
}

void ContinuousLoop::setRecorded(const std::string& name, bool recorded) {
    recorder_.setRecorded(name, recorded);
    tellTrajectory();
}

// The windows are told of the values once for a batch of passes, not after
// each pass: a pass takes a fraction of a microsecond.
void ContinuousLoop::showProgress() {
    session_.tableWritten(Document::Variables);
    tellTrajectory();
    emit progressed();
}

void ContinuousLoop::tellTrajectory() {
    const std::uint64_t revision = recorder_.trajectory().revision();
    if (revision == toldRevision_) return;
    toldRevision_ = revision;
    emit trajectoryChanged();
}

}  // namespace quantaro
