#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/Engine.h"
#include "engine/Worksheet.h"
#include "session/LoopRunner.h"

namespace quantaro {

class Session;

// Runs the session's formula with the engine: the Run menu's runs and the
// continuous loop's passes alike. Before each run the worksheet takes the
// formula text (compiled again only when it has changed) and the angle unit;
// after it the session signals the box the outcome calls for, and the
// variables are marked changed, also when the run failed.
class FormulaRuns : public LoopPasses {
  public:
    FormulaRuns(Session& session, Worksheet& sheet);

    // LoopPasses. Runs the engine once with an equation number (0 = all)
    // and signals what the outcome calls for. A floating-point fault ends
    // the run; its text is returned and nothing is signalled. The windows
    // are not told of the values: a loop tells them once for a batch of
    // passes.
    std::optional<std::string> runPass(int selection) override;
    // A menu command's run: the windows are told of the values, and a fault
    // is signalled for an error box, as the platform's default handler
    // would show it.
    void runCommand(int selection);

    // Whether the last run ended with an equation's error; the loop stops on
    // it. A run ended by a floating-point fault does not count as one.
    bool lastRunFailed() const override { return lastRunFailed_; }
    void clearLastRunResult() override { lastRunFailed_ = false; }
    // How many boxes have shown over runs so far; the loop ends a batch of
    // passes when a pass showed one. Whoever shows a box tells of it here.
    int boxesShown() const override { return boxesShown_; }
    void boxShown() { ++boxesShown_; }

  private:
    void report(const RunOutcome& outcome);

    Session& session_;
    Worksheet& sheet_;
    Engine engine_;
    int boxesShown_ = 0;
    std::optional<std::uint64_t> formulaRevision_;  // of the formula the worksheet holds
    bool lastRunFailed_ = false;
};

}  // namespace quantaro
