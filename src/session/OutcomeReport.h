#pragma once

#include <string>

#include "engine/Engine.h"

namespace quantaro {

enum class MessageKind { Error, Information };

inline constexpr const char* kCompletionPrompt =
    "Execution complete\r\nAnswers appear in the Variables table.\r\n"
    "Answers may change if equations are executed again.";

// What telling the user about a run touches: the completion prompt's
// answer, the continuous loop's timer and stop flag, and the boxes.
class RunFeedback {
  public:
    virtual ~RunFeedback() = default;

    // 1: the completion prompt may be shown; 2: the user cancelled it.
    virtual int promptAnswer() const = 0;
    virtual void setPromptAnswer(int answer) = 0;

    virtual void setLoopTimerEnabled(bool enabled) = 0;
    virtual void setLoopStopped() = 0;

    // A modal box with one OK button.
    virtual void showMessage(MessageKind kind, const std::string& text) = 0;
    // The completion prompt, an information box with OK and Cancel; true for OK.
    virtual bool confirmCompletion(const std::string& text) = 0;
};

// Telling the user what a run came to keeps the loop's timer off while any
// box is up, so that no loop tick can start a run from the box's modal loop.
//
// A failed run: the loop's timer is switched off and the loop stopped before
// the box, and the timer is off again after it.
void ReportFailure(const RunOutcome& outcome, RunFeedback& feedback);
// A successful run while "&Prompt on every loop" is ticked: the completion
// prompt, unless the user cancelled it before; the timer is on again after.
void AskCompletion(RunFeedback& feedback);

}  // namespace quantaro
