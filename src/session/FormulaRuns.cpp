#include "session/FormulaRuns.h"

#include <QString>

#include "interaction/UserInteraction.h"
#include "session/Session.h"

namespace quantaro {

FormulaRuns::FormulaRuns(Session& session, Worksheet& sheet)
    : session_(session), sheet_(sheet), engine_(sheet) {}

std::optional<std::string> FormulaRuns::runPass(int selection) {
    // Setting the formula compiles it again: set it only when it has changed.
    if (const std::uint64_t revision = session_.formulaRevision(); revision != formulaRevision_) {
        sheet_.setFormula(session_.formulaText().toStdString());
        formulaRevision_ = revision;
    }
    const RunOutcome outcome = engine_.ExecuteEquations(selection);
    std::optional<std::string> fault;
    lastRunFailed_ = false;
    if (outcome.status == ResultCode::FloatingPointFault) {
        fault = outcome.message;
    } else {
        lastRunFailed_ = !outcome.succeeded();
        ReportOutcome(outcome, *this);
    }
    // Equations before a failing or faulting one have stored their results,
    // so the table differs from its file in every case.
    session_.documents().setChanged(Document::Variables);
    return fault;
}

void FormulaRuns::runCommand(int selection) {
    const std::optional<std::string> fault = runPass(selection);
    session_.tableWritten(Document::Variables);
    if (fault) {
        session_.interaction().showError(session_.messageOwner(), QString::fromStdString(*fault));
    }
}

bool FormulaRuns::promptOnEveryLoop() const {
    return session_.options().promptOnEveryLoop;
}

int FormulaRuns::promptAnswer() const {
    return session_.promptAnswer();
}

void FormulaRuns::setPromptAnswer(int answer) {
    session_.setPromptAnswer(answer);
}

void FormulaRuns::setLoopTimerEnabled(bool enabled) {
    if (loop_) loop_->setTimerEnabled(enabled);
}

void FormulaRuns::setLoopStopped() {
    if (loop_) loop_->setLoopStopped();
}

void FormulaRuns::showMessage(MessageKind kind, const std::string& text) {
    ++boxesShown_;
    // The values stored before the failing equation show behind the box.
    session_.tableWritten(Document::Variables);
    session_.interaction().showBox(
        session_.messageOwner(), kind == MessageKind::Error ? BoxKind::Error : BoxKind::Information,
        QString::fromStdString(text), BoxButtons::Ok);
}

bool FormulaRuns::confirmCompletion(const std::string& text) {
    ++boxesShown_;
    session_.tableWritten(Document::Variables);
    return session_.interaction().showBox(session_.messageOwner(), BoxKind::Information,
                                          QString::fromStdString(text),
                                          BoxButtons::OkCancel) == BoxAnswer::Ok;
}

}  // namespace quantaro
