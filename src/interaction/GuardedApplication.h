#pragma once

#include <QApplication>

namespace quantaro {

class UserInteraction;

// The application object. Whatever a handler throws ends that handler with an
// error box holding the failure's text instead of unwinding through the event
// loop, which Qt does not survive. Tab leaves every table (TabLeavesTables).
class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);

    // Where failures are shown; without one they are only swallowed.
    void setInteraction(UserInteraction* interaction) { interaction_ = interaction; }

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    void report(const QString& text);

    UserInteraction* interaction_ = nullptr;
};

}  // namespace quantaro
