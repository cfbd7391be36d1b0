#pragma once

#include <string>
#include <utility>

#include "engine/EngineHost.h"

namespace quantaro {

// A host for runs nobody watches (the batch runner, benchmarks): no loop
// window and no completion prompt; messages are kept instead of shown.
class UnattendedHost : public EngineHost {
  public:
    UnattendedHost() = default;
    UnattendedHost(std::string formula, AngleUnit angle) { setFormula(std::move(formula), angle); }

    void setFormula(std::string formula, AngleUnit angle) {
        formula_ = std::move(formula);
        angle_ = angle;
    }

    std::string formulaText() const override { return formula_; }
    AngleUnit angleUnit() const override { return angle_; }
    bool promptOnEveryLoop() const override { return false; }
    int promptAnswer() const override { return 1; }
    void setPromptAnswer(int) override {}
    void setLoopTimerEnabled(bool) override {}
    void setLoopStopped() override {}
    void showMessage(MessageKind, const std::string& text) override {
        lastMessage_ = text;
        ++messageCount_;
    }
    bool confirmCompletion(const std::string&) override { return true; }

    const std::string& lastMessage() const { return lastMessage_; }
    int messageCount() const { return messageCount_; }

  private:
    std::string formula_;
    AngleUnit angle_ = AngleUnit::Degrees;
    std::string lastMessage_;
    int messageCount_ = 0;
};

}  // namespace quantaro
