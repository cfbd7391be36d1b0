#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Engine.h"
#include "engine/Worksheet.h"
#include "session/LoopRunner.h"
#include "session/OutcomeReport.h"

namespace quantaro {

class Session;

// Runs the session's formula with the engine: the Run menu's runs and the
// continuous loop's passes alike. Before each run the worksheet takes the
// formula text (compiled again only when it has changed) and the angle unit;
// after it the outcome is reported, boxes over the session's message owner,
// and the variables are marked changed, also when the run failed.
class FormulaRuns : public RunFeedback, public LoopPasses {
  public:
    FormulaRuns(Session& session, Worksheet& sheet);

    // The loop's timer and stop flag, which every run may switch.
    void setLoopSwitch(LoopSwitch* loop) { loop_ = loop; }

    // LoopPasses. Runs the engine once with an equation number (0 = all)
    // and reports the outcome. A floating-point fault ends the run; its text
    // is returned and nothing is shown. The windows are not told of the
    // values: a loop tells them once for a batch of passes.
    std::optional<std::string> runPass(int selection) override;
    // A menu command's run: the windows are told of the values, and a fault
    // is shown in an error box, as the platform's default handler would.
    void runCommand(int selection);

    // Whether the last run ended with an equation's error; the loop stops on
    // it. A run ended by a floating-point fault does not count as one.
    bool lastRunFailed() const override { return lastRunFailed_; }
    void clearLastRunResult() override { lastRunFailed_ = false; }
    // How many boxes runs have shown so far; the loop ends a batch of passes
    // when a pass showed one.
    int boxesShown() const override { return boxesShown_; }

    // RunFeedback
    bool promptOnEveryLoop() const override;
    int promptAnswer() const override;
    void setPromptAnswer(int answer) override;
    void setLoopTimerEnabled(bool enabled) override;
    void setLoopStopped() override;
    void showMessage(MessageKind kind, const std::string& text) override;
    bool confirmCompletion(const std::string& text) override;

  private:
    Session& session_;
    Worksheet& sheet_;
    Engine engine_;
    LoopSwitch* loop_ = nullptr;
    int boxesShown_ = 0;
    std::optional<std::uint64_t> formulaRevision_;  // of the formula the worksheet holds
    bool lastRunFailed_ = false;
};

}  // namespace quantaro
