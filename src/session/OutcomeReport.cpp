#include "session/OutcomeReport.h"

namespace quantaro {

void ReportFailure(const RunOutcome& outcome, RunFeedback& feedback) {
    feedback.setLoopTimerEnabled(false);
    feedback.setLoopStopped();
    feedback.showMessage(
        outcome.status == ResultCode::EmptyFormula ? MessageKind::Information : MessageKind::Error,
        outcome.message);
    // Off again: the box's modal loop may have served a Start.
    feedback.setLoopTimerEnabled(false);
}

// Cancel on the prompt switches it off until the option is ticked again.
void AskCompletion(RunFeedback& feedback) {
    feedback.setLoopTimerEnabled(false);
    if (feedback.promptAnswer() == 1) {
        feedback.setPromptAnswer(feedback.confirmCompletion(kCompletionPrompt) ? 1 : 2);
    }
    feedback.setLoopTimerEnabled(true);
}

}  // namespace quantaro
