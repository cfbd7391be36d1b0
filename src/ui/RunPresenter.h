#pragma once

#include <QObject>

#include "session/OutcomeReport.h"

class QWidget;

namespace quantaro {

class Session;
class UserInteraction;

// The boxes the session's runs call for, shown over the main window: the
// failure of a run, the completion prompt and a menu command's fault. While
// a box is up the loop's timer is off, for the box's own event loop serves
// the timer too and no tick may start a run from it; after a failure's box
// the loop stays paused, after the prompt it goes on. A pass that showed a
// box ends its batch of passes.
class RunPresenter : public QObject, private RunFeedback {
  public:
    RunPresenter(Session& session, UserInteraction& interaction, QWidget* window);

  private:
    // RunFeedback
    int promptAnswer() const override;
    void setPromptAnswer(int answer) override;
    void setLoopTimerEnabled(bool enabled) override;
    void setLoopStopped() override;
    void showMessage(MessageKind kind, const std::string& text) override;
    bool confirmCompletion(const std::string& text) override;

    // The values stored before the box's run show behind it.
    void beforeBox();

    Session& session_;
    UserInteraction& interaction_;
    QWidget* window_;
};

}  // namespace quantaro
