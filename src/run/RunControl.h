#pragma once

class QWidget;

namespace quantaro {

class Session;
class TFormSelectEquation;

// The commands of the "&Run" menu on the runs of a session: Execute All,
// Test One with its Select Equation dialog, and the continuous loop window.
class RunControl {
  public:
    // The loop window opens beside mainWindow.
    RunControl(Session& session, QWidget* mainWindow)
        : session_(session), mainWindow_(mainWindow) {}

    // The windows created after the main window; the variable entry screen
    // shows after Execute All when "Show entire &variable table after
    // executing" is ticked.
    void setRunWindows(TFormSelectEquation* selectEquation, QWidget* loopWindow,
                       QWidget* variableScreen);

    void ExecuteAllFormulas1Click();
    void TestOneEquation1Click();
    void ContinuousLoop1Click();

  private:
    Session& session_;
    QWidget* mainWindow_;
    TFormSelectEquation* selectEquation_ = nullptr;
    QWidget* loopWindow_ = nullptr;
    QWidget* variableScreen_ = nullptr;
};

}  // namespace quantaro
