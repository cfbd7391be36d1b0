#include "engine/Engine.h"

#include <vector>

#include "engine/EquationSplitter.h"
#include "engine/Evaluator.h"
#include "engine/Tokeniser.h"

namespace quantaro {

RunOutcome Engine::ExecuteEquations(int selection) {
    RunOutcome outcome;
    if (sheet_.formula.empty()) outcome.code = ResultCode::EmptyFormula;
    EquationSplitter splitter(sheet_.formula);
    while (outcome.succeeded()) {
        const auto equation = splitter.next();
        if (!equation) break;
        ++outcome.equationNumber;
        if (selection == 0 || selection == outcome.equationNumber) {
            outcome.code = TokeniseEquation(*equation, outcome.errorItem);
        }
    }
    // Runs in a loop mostly succeed; only a failure needs its text.
    if (!outcome.succeeded()) {
        outcome.message = ResultMessage(outcome.code, outcome.equationNumber, outcome.errorItem);
    }
    return outcome;
}

ResultCode Engine::TokeniseEquation(std::string_view equation, std::string& errorItem) {
    errorItem.clear();
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    const EngineTables tables = sheet_.tables();
    if (!Tokeniser(tables).tokenise(equation, tokens, failedWord)) {
        errorItem = failedWord;
        return ResultCode::UnknownItem;
    }
    return Evaluator(tables, sheet_.angle, errorItem).EvaluateTokens(tokens);
}

}  // namespace quantaro
