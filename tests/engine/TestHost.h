#pragma once

#include <string>
#include <vector>

#include "engine/Engine.h"
#include "engine/EngineHost.h"
#include "engine/NameTable.h"

namespace quantaro::testing {

// A host that records every box the engine shows and answers the
// completion prompt as scripted.
class TestHost : public EngineHost {
  public:
    struct Message {
        MessageKind kind;
        std::string text;
    };

    std::string formula;
    AngleUnit angle = AngleUnit::Degrees;
    bool promptOption = false;
    int answer = 1;
    bool answerOk = true;
    bool timerEnabled = false;
    bool loopStopped = false;
    std::vector<Message> messages;
    std::vector<std::string> prompts;
    std::vector<bool> timerHistory;

    std::string formulaText() const override { return formula; }
    AngleUnit angleUnit() const override { return angle; }
    bool promptOnEveryLoop() const override { return promptOption; }
    int promptAnswer() const override { return answer; }
    void setPromptAnswer(int a) override { answer = a; }
    void setLoopTimerEnabled(bool enabled) override {
        timerEnabled = enabled;
        timerHistory.push_back(enabled);
    }
    void setLoopStopped() override { loopStopped = true; }
    void showMessage(MessageKind kind, const std::string& text) override {
        messages.push_back({kind, text});
    }
    bool confirmCompletion(const std::string& text) override {
        prompts.push_back(text);
        return answerOk;
    }
};

// Three tables and an engine over them, with helpers to fill rows.
struct Worksheet {
    NameTable operators = MakeOperatorTable();
    NameTable constants = MakeConstantTable();
    NameTable variables = MakeVariableTable();
    TestHost host;
    Engine engine{EngineTables{operators, constants, variables}, host};

    void constant(int row, const std::string& name, const std::string& value) {
        constants.setCell(NameColumn, row, name);
        constants.setCell(ValueColumn, row, value);
    }
    void variable(int row, const std::string& name, const std::string& value = "") {
        variables.setCell(NameColumn, row, name);
        variables.setCell(ValueColumn, row, value);
    }
    std::string valueOf(const std::string& name) const {
        return variables.value(variables.findRow(name));
    }
    // Runs the formula and returns the run's code.
    int run(const std::string& formula, int selection = 0) {
        host.formula = formula;
        engine.ExecuteEquations(selection);
        return engine.resultCode();
    }
    std::string lastMessage() const {
        return host.messages.empty() ? std::string() : host.messages.back().text;
    }
};

}  // namespace quantaro::testing
