#include "engine/Engine.h"

#include "engine/EquationProgram.h"
#include "engine/EquationSplitter.h"
#include "engine/Evaluator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Tokeniser.h"

namespace quantaro {

Engine::Engine(Worksheet& sheet, EngineMode mode) : sheet_(sheet), mode_(mode) {}

Engine::~Engine() = default;

RunOutcome Engine::ExecuteEquations(int selection) {
    if (mode_ == EngineMode::Interpreted) return interpretEquations(selection);
    RunOutcome outcome;
    if (sheet_.formula().empty()) outcome.code = ResultCode::EmptyFormula;
    std::vector<EquationProgram>& equations = programs();
    // Cleared once: each operator tests the flags after it has run.
    ClearFaultFlags();
    for (auto equation = equations.begin(); outcome.succeeded() && equation != equations.end();
         ++equation) {
        ++outcome.equationNumber;
        if (selection == 0 || selection == outcome.equationNumber) {
            outcome.code = runProgram(*equation, outcome.errorItem);
        }
    }
    // Runs in a loop mostly succeed; only a failure needs its text.
    if (!outcome.succeeded()) {
        outcome.message = ResultMessage(outcome.code, outcome.equationNumber, outcome.errorItem);
    }
    return outcome;
}

Engine::Stamps Engine::currentStamps() const {
    return {sheet_.formulaStamp(), sheet_.constants.namesStamp(), sheet_.variables.namesStamp(),
            sheet_.operators.get()};
}

std::vector<EquationProgram>& Engine::programs() {
    const Stamps current = currentStamps();
    if (current == compiledFrom_) return programs_;
    programs_.clear();
    const EngineTables tables = sheet_.tables();
    EquationSplitter splitter(sheet_.formula());
    while (auto equation = splitter.next()) programs_.emplace_back(std::move(*equation), tables);
    compiledFrom_ = current;
    return programs_;
}

// A failed domain check is rare; evaluating the equation afresh then gives
// its detail text and whatever the machine does after it, exactly.
ResultCode Engine::runProgram(EquationProgram& program, std::string& errorItem) {
    if (const auto code = program.run(sheet_.variables, sheet_.angle, errorItem)) return *code;
    return TokeniseEquation(program.text(), errorItem);
}

RunOutcome Engine::interpretEquations(int selection) {
    RunOutcome outcome;
    if (sheet_.formula().empty()) outcome.code = ResultCode::EmptyFormula;
    EquationSplitter splitter(sheet_.formula());
    while (outcome.succeeded()) {
        const auto equation = splitter.next();
        if (!equation) break;
        ++outcome.equationNumber;
        if (selection == 0 || selection == outcome.equationNumber) {
            outcome.code = TokeniseEquation(*equation, outcome.errorItem);
        }
    }
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
    return EvaluateTokens(tokens, tables, sheet_.angle, errorItem);
}

}  // namespace quantaro
