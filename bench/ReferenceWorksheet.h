#pragma once

#include <QString>

#include <string>

#include "EngineHost.h"
#include "NameTable.h"

namespace quantaro::bench {

// The path of one of the reference worksheet's files, e.g. "reference.VAR".
QString ReferencePath(const char* fileName);

// A run without a loop window or prompts, as the continuous loop runs it
// with "Prompt on every loop" unticked. Messages are counted, not shown.
class QuietHost : public EngineHost {
  public:
    std::string formula;
    AngleUnit angle = AngleUnit::Degrees;
    int messageCount = 0;

    std::string formulaText() const override { return formula; }
    AngleUnit angleUnit() const override { return angle; }
    bool promptOnEveryLoop() const override { return false; }
    int promptAnswer() const override { return 1; }
    void setPromptAnswer(int) override {}
    void setLoopTimerEnabled(bool) override {}
    void setLoopStopped() override {}
    void showMessage(MessageKind, const std::string&) override { ++messageCount; }
    bool confirmCompletion(const std::string&) override { return true; }
};

// The reference worksheet loaded from its three files. ok is false, with the
// reason in error, when a file could not be read.
struct ReferenceWorksheet {
    NameTable operators = MakeOperatorTable();
    NameTable constants = MakeConstantTable();
    NameTable variables = MakeVariableTable();
    QuietHost host;
    bool ok = false;
    std::string error;
};

void LoadReferenceWorksheet(ReferenceWorksheet& sheet);

}  // namespace quantaro::bench
