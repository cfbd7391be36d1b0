#include "run/RunControl.h"

#include <QString>
#include <QWidget>

#include "engine/FloatingPointFault.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "run/TFormSelectEquation.h"

namespace quantaro {

RunControl::RunControl(Worksheet& sheet, RunHost& host, UserInteraction& interaction)
    : sheet_(sheet), engine_(sheet), host_(host), interaction_(interaction) {}

void RunControl::setRunWindows(TFormSelectEquation* selectEquation, QWidget* loopWindow,
                               LoopSwitch* loop) {
    selectEquation_ = selectEquation;
    loopWindow_ = loopWindow;
    loop_ = loop;
}

std::optional<std::string> RunControl::runPass(int selection) {
    // Setting the formula compiles it again: set it only when it has changed.
    if (const std::uint64_t revision = host_.formulaRevision(); revision != formulaRevision_) {
        sheet_.setFormula(host_.runFormulaText());
        formulaRevision_ = revision;
    }
    sheet_.angle = host_.angleUnit();
    lastRunFailed_ = false;
    std::optional<std::string> fault;
    try {
        const RunOutcome outcome = engine_.ExecuteEquations(selection);
        lastRunFailed_ = !outcome.succeeded();
        ReportOutcome(outcome, *this);
    } catch (const FloatingPointFault& error) {
        fault = error.what();
    }
    // Equations before a failing or faulting one have stored their results,
    // so the table differs from its file in every case.
    host_.markVariablesChanged();
    return fault;
}

void RunControl::runCommand(int selection) {
    const std::optional<std::string> fault = runPass(selection);
    host_.showVariableValues();
    if (fault) interaction_.showError(host_.messageOwner(), QString::fromStdString(*fault));
}

void RunControl::ExecuteAllFormulas1Click() {
    runCommand(0);
    if (host_.showVariablesAfterExecuting()) host_.showVariableScreen();
}

void RunControl::TestOneEquation1Click() {
    if (!selectEquation_ || !selectEquation_->choose()) return;
    runCommand(selectEquation_->equationNumber());
}

void RunControl::ContinuousLoop1Click() {
    // A window opened again goes beside the main window wherever that is now.
    if (loopWindow_ && loopWindow_->isHidden()) PlaceBeside(loopWindow_, host_.messageOwner());
    ShowWithoutModality(loopWindow_);
    host_.markVariablesChanged();
}

void RunControl::setLoopTimerEnabled(bool enabled) {
    if (loop_) loop_->setTimerEnabled(enabled);
}

void RunControl::setLoopStopped() {
    if (loop_) loop_->setLoopStopped();
}

void RunControl::showMessage(MessageKind kind, const std::string& text) {
    ++boxesShown_;
    // The values stored before the failing equation show behind the box.
    host_.showVariableValues();
    interaction_.showBox(host_.messageOwner(),
                         kind == MessageKind::Error ? BoxKind::Error : BoxKind::Information,
                         QString::fromStdString(text), BoxButtons::Ok);
}

bool RunControl::confirmCompletion(const std::string& text) {
    ++boxesShown_;
    host_.showVariableValues();
    return interaction_.showBox(host_.messageOwner(), BoxKind::Information,
                                QString::fromStdString(text),
                                BoxButtons::OkCancel) == BoxAnswer::Ok;
}

}  // namespace quantaro
