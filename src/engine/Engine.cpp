#include "engine/Engine.h"

#include <vector>

#include "engine/EquationSplitter.h"
#include "engine/Evaluator.h"
#include "engine/Messages.h"
#include "engine/Tokeniser.h"

namespace quantaro {

void Engine::ExecuteEquations(int selection) {
    const std::string text = host_.formulaText();
    resultCode_ = text.empty() ? kEmptyFormula : kSuccess;
    errorItem_.clear();
    int equationNumber = 0;
    EquationSplitter splitter(text);
    while (resultCode_ == kSuccess) {
        const auto equation = splitter.next();
        if (!equation) break;
        ++equationNumber;
        if (selection == 0 || selection == equationNumber) {
            resultCode_ = TokeniseEquation(*equation);
        }
    }
    endRun(equationNumber);
}

int Engine::TokeniseEquation(std::string_view equation) {
    errorItem_.clear();
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    if (!Tokeniser(tables_).tokenise(equation, tokens, failedWord)) {
        errorItem_ = failedWord;
        return kUnknownItem;
    }
    return Evaluator(tables_, host_, errorItem_).EvaluateTokens(tokens);
}

// The loop timer is switched off before every box, so that no loop tick can
// re-enter the engine from the box's modal loop.
void Engine::endRun(int equationNumber) {
    if (resultCode_ != kSuccess) {
        host_.setLoopTimerEnabled(false);
        host_.setLoopStopped();
        ReportResult(resultCode_, equationNumber);
    } else if (host_.promptOnEveryLoop()) {
        host_.setLoopTimerEnabled(false);
        ReportResult(kSuccess, equationNumber);
        host_.setLoopTimerEnabled(true);
    }
}

void Engine::ReportResult(int code, int equationNumber) {
    if (code == kSuccess) {
        if (host_.promptOnEveryLoop() && host_.promptAnswer() == 1) {
            host_.setPromptAnswer(host_.confirmCompletion(kCompletionPrompt) ? 1 : 2);
        }
        return;
    }
    const std::string message = ResultMessage(code, equationNumber, errorItem_);
    if (!message.empty()) {
        host_.showMessage(code == kEmptyFormula ? MessageKind::Information : MessageKind::Error,
                          message);
    }
    host_.setLoopTimerEnabled(false);
}

}  // namespace quantaro
