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
    RunOutcome outcome;
    if (sheet_.formula().empty()) outcome.code = ResultCode::EmptyFormula;
    const std::size_t count = prepareEquations();
    // Cleared once: an equation leaves them clear unless it faults.
    ClearFaultFlags();
    for (std::size_t k = 0; outcome.succeeded() && k < count; ++k) {
        ++outcome.equationNumber;
        if (selection == 0 || selection == outcome.equationNumber) {
            outcome.code = runEquation(k, outcome.errorItem);
        }
    }
    // Runs in a loop mostly succeed; only a failure needs its text.
    if (!outcome.succeeded()) {
        outcome.message = ResultMessage(outcome.code, outcome.equationNumber, outcome.errorItem);
    }
    return outcome;
}

Engine::Stamps Engine::currentStamps() const {
    return {sheet_.formulaStamp(), sheet_.constants.namesStamp(), sheet_.variables.namesStamp()};
}

// Splitting has no effect on the tables, so the whole formula may be split
// before the first equation runs.
std::size_t Engine::prepareEquations() {
    if (mode_ == EngineMode::Interpreted) {
        texts_.clear();
        EquationSplitter splitter(sheet_.formula());
        while (auto equation = splitter.next()) texts_.push_back(std::move(*equation));
        return texts_.size();
    }
    const Stamps current = currentStamps();
    if (current != compiledFrom_) {
        programs_.clear();
        const EngineTables tables = this->tables();
        EquationSplitter splitter(sheet_.formula());
        while (auto equation = splitter.next())
            programs_.emplace_back(std::move(*equation), tables);
        compiledFrom_ = current;
    }
    return programs_.size();
}

// A failed domain check or a fault is rare; evaluating the equation afresh
// then gives its detail text or its first fault, and whatever the machine
// does after it, exactly. Operators are pure, so it meets the same ones.
ResultCode Engine::runEquation(std::size_t index, std::string& errorItem) {
    if (mode_ == EngineMode::Interpreted) return TokeniseEquation(texts_[index], errorItem);
    EquationProgram& program = programs_[index];
    if (const auto code = program.run(sheet_.variables, sheet_.angle, errorItem)) return *code;
    ClearFaultFlags();
    return TokeniseEquation(program.text(), errorItem);
}

ResultCode Engine::TokeniseEquation(std::string_view equation, std::string& errorItem) {
    errorItem.clear();
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    const EngineTables tables = this->tables();
    if (!Tokeniser(tables).tokenise(equation, tokens, failedWord)) {
        errorItem = failedWord;
        return ResultCode::UnknownItem;
    }
    return EvaluateTokens(tokens, tables, sheet_.variables, sheet_.angle, errorItem);
}

}  // namespace quantaro
