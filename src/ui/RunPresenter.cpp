#include "ui/RunPresenter.h"

#include <QString>
#include <QWidget>

#include "interaction/UserInteraction.h"
#include "session/ContinuousLoop.h"
#include "session/FormulaRuns.h"
#include "session/Session.h"

namespace quantaro {

RunPresenter::RunPresenter(Session& session, UserInteraction& interaction, QWidget* window)
    : QObject(window), session_(session), interaction_(interaction), window_(window) {
    connect(&session, &Session::runFailed, this,
            [this](const RunOutcome& outcome) { ReportFailure(outcome, *this); });
    connect(&session, &Session::completionPromptDue, this, [this] { AskCompletion(*this); });
    connect(&session, &Session::runFaulted, this,
            [this](const QString& text) { interaction_.showError(window_, text); });
}

int RunPresenter::promptAnswer() const {
    return session_.promptAnswer();
}

void RunPresenter::setPromptAnswer(int answer) {
    session_.setPromptAnswer(answer);
}

void RunPresenter::setLoopTimerEnabled(bool enabled) {
    session_.loop().loopSwitch().setTimerEnabled(enabled);
}

void RunPresenter::setLoopStopped() {
    session_.loop().loopSwitch().setLoopStopped();
}

void RunPresenter::beforeBox() {
    session_.runs().boxShown();
    session_.tableWritten(Document::Variables);
}

void RunPresenter::showMessage(MessageKind kind, const std::string& text) {
    beforeBox();
    interaction_.showBox(window_,
                         kind == MessageKind::Error ? BoxKind::Error : BoxKind::Information,
                         QString::fromStdString(text), BoxButtons::Ok);
}

bool RunPresenter::confirmCompletion(const std::string& text) {
    beforeBox();
    return interaction_.showBox(window_, BoxKind::Information, QString::fromStdString(text),
                                BoxButtons::OkCancel) == BoxAnswer::Ok;
}

}  // namespace quantaro
