#pragma once

#include <optional>
#include <string>

#include "engine/Engine.h"
#include "engine/Worksheet.h"
#include "run/LoopRunner.h"
#include "run/OutcomeReport.h"
#include "run/RunHost.h"

class QWidget;

namespace quantaro {

class TFormSelectEquation;
class UserInteraction;

// The run commands of the main window and the engine they drive. Before each
// run the worksheet takes the formula and angle unit from the main window;
// after it the outcome is reported: boxes go through the user interaction,
// and the loop timer and stop flag belong to the continuous loop window.
class RunControl : public RunFeedback, public LoopPasses {
  public:
    RunControl(Worksheet& sheet, RunHost& host, UserInteraction& interaction);

    // The windows created after the main window.
    void setRunWindows(TFormSelectEquation* selectEquation, QWidget* loopWindow, LoopSwitch* loop);

    // LoopPasses. Runs the engine once with an equation number (0 = all),
    // reports the outcome and marks the variables changed, also when the run
    // failed. A floating-point fault ends the run; its text is returned,
    // nothing is shown. The loop's passes and the menu commands run alike.
    std::optional<std::string> runPass(int selection) override;

    // The variable table the runs store their results in.
    const NameTable& variables() const { return sheet_.variables; }

    // Redraws the variable grid with the values runs have stored.
    void showVariableValues() { host_.showVariableValues(); }

    // Whether the last run ended with an error; the loop stops on it. A run
    // ended by a floating-point fault does not count as one.
    bool lastRunFailed() const override { return lastRunFailed_; }
    void clearLastRunResult() override { lastRunFailed_ = false; }
    // How many boxes runs have shown so far; the loop ends a batch of passes
    // when a pass showed one.
    int boxesShown() const override { return boxesShown_; }

    // Handlers of the "&Run" menu.
    void ExecuteAllFormulas1Click();
    void TestOneEquation1Click();
    void ContinuousLoop1Click();

    // RunFeedback
    bool promptOnEveryLoop() const override { return host_.promptOnEveryLoop(); }
    int promptAnswer() const override { return host_.promptAnswer(); }
    void setPromptAnswer(int answer) override { host_.setPromptAnswer(answer); }
    void setLoopTimerEnabled(bool enabled) override;
    void setLoopStopped() override;
    void showMessage(MessageKind kind, const std::string& text) override;
    bool confirmCompletion(const std::string& text) override;

  private:
    // A menu command's run: a fault is shown in an error box, as the
    // platform's default handler would.
    void runCommand(int selection);

    Worksheet& sheet_;
    Engine engine_;
    RunHost& host_;
    UserInteraction& interaction_;
    TFormSelectEquation* selectEquation_ = nullptr;
    QWidget* loopWindow_ = nullptr;
    LoopSwitch* loop_ = nullptr;
    int boxesShown_ = 0;
    std::optional<std::uint64_t> formulaRevision_;  // of the formula the worksheet holds
    bool lastRunFailed_ = false;
};

}  // namespace quantaro
