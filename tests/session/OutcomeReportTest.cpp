#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/OutcomeReport.h"

namespace quantaro {
namespace {

// Records every step of a report in the order it happens.
class RecordingFeedback : public RunFeedback {
  public:
    int answer = 1;
    bool answerOk = true;
    std::vector<std::string> steps;

    int promptAnswer() const override { return answer; }
    void setPromptAnswer(int a) override { answer = a; }
    void setLoopTimerEnabled(bool enabled) override {
        steps.push_back(enabled ? "timer on" : "timer off");
    }
    void setLoopStopped() override { steps.push_back("stopped"); }
    void showMessage(MessageKind kind, const std::string& text) override {
        steps.push_back((kind == MessageKind::Error ? "error: " : "information: ") + text);
    }
    bool confirmCompletion(const std::string& text) override {
        steps.push_back("prompt: " + text);
        return answerOk;
    }
};

RunOutcome Failed(ResultCode code, const char* message) {
    RunOutcome outcome;
    outcome.status = code;
    outcome.message = message;
    outcome.equationNumber = 1;
    return outcome;
}

TEST(ReportOutcome, AFailureStopsTheLoopBeforeItsBoxAndKeepsTheTimerOff) {
    struct Case {
        RunOutcome outcome;
        std::string box;
    };
    for (const Case& c :
         {Case{Failed(ResultCode::UnknownItem, "Equation 1: Unknown Item \"Q\""),
               "error: Equation 1: Unknown Item \"Q\""},
          Case{Failed(ResultCode::EmptyFormula, "Empty formula"), "information: Empty formula"}}) {
        RecordingFeedback feedback;
        ReportFailure(c.outcome, feedback);
        EXPECT_EQ(feedback.steps,
                  (std::vector<std::string>{"timer off", "stopped", c.box, "timer off"}));
    }
}

TEST(ReportOutcome, TheCompletionPromptShowsOnlyWhileTheAnswerAllows) {
    RecordingFeedback feedback;
    AskCompletion(feedback);
    EXPECT_EQ(feedback.steps,
              (std::vector<std::string>{"timer off", std::string("prompt: ") + kCompletionPrompt,
                                        "timer on"}));
    EXPECT_EQ(feedback.answer, 1);

    feedback.answerOk = false;  // Cancel switches prompting off
    AskCompletion(feedback);
    EXPECT_EQ(feedback.answer, 2);
    feedback.steps.clear();
    AskCompletion(feedback);
    // Enabled again even without a loop.
    EXPECT_EQ(feedback.steps, (std::vector<std::string>{"timer off", "timer on"}));
}

}  // namespace
}  // namespace quantaro
