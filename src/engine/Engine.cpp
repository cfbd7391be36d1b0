#include "engine/Engine.h"

#include <algorithm>

#include "engine/EquationProgram.h"
#include "engine/EquationSplitter.h"
#include "engine/Evaluator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Tokeniser.h"

namespace quantaro {

Engine::Engine(Worksheet& sheet, EngineMode mode) : sheet_(sheet), mode_(mode) {}

Engine::~Engine() = default;

RunOutcome Engine::ExecuteEquations(int selection) {
    const std::size_t count = prepareEquations();
    // The unchecked pass does not clear the flags first: one raised before it
    // only sends the pass to the checked run, which clears them, and a
    // pass then costs one test of the flags rather than two.
    if (mode_ == EngineMode::Compiled && !sheet_.formula().empty() && runPassUnchecked(selection)) {
        RunOutcome outcome;
        outcome.equationNumber = static_cast<int>(count);
        return outcome;
    }
    // Cleared once: an equation leaves them clear unless it faults.
    ClearFaultFlags();
    if (sheet_.formula().empty()) return FailedRun(ResultCode::EmptyFormula, 0, {}, std::nullopt);
    return runPassChecked(selection, count);
}

// The flags are sticky, so a pass that ends with none raised has raised none
// on the way; testing them once costs what testing them after each equation
// cost per equation.
bool Engine::runPassUnchecked(int selection) {
    storeLog_.clear();
    bool clean = true;
    try {
        for (std::size_t k = 0; k < programs_.size() && clean; ++k) {
            if (selection != 0 && selection != static_cast<int>(k) + 1) continue;
            clean = programs_[k].runUnchecked(sheet_.variables, sheet_.angle, storeLog_);
        }
    } catch (const FloatingPointFault&) {
        clean = false;
    }
    if (clean && !FaultFlagRaised()) return true;
    sheet_.variables.takeBack(storeLog_);
    ClearFaultFlags();
    return false;
}

// Tests the flags after each equation, and evaluates a failing one afresh,
// so that the run stops at the first fault or failure with its own message.
RunOutcome Engine::runPassChecked(int selection, std::size_t count) {
    Failure failure;
    for (std::size_t k = 0; k < count; ++k) {
        const int number = static_cast<int>(k) + 1;
        if (selection != 0 && selection != number) continue;
        const ResultCode code = runEquation(k, failure);
        if (code == ResultCode::Success) continue;
        // Runs in a loop mostly succeed; only a failure needs its text and place.
        return FailedEquation(code, number, std::move(failure.item), failure.fault,
                              sheet_.formula(), starts_[k], equationText(k), failure.at);
    }
    RunOutcome outcome;
    outcome.equationNumber = static_cast<int>(count);
    return outcome;
}

std::vector<int> Engine::resultRows(int selection) {
    const std::size_t count = prepareEquations();
    std::vector<int> rows;
    if (mode_ == EngineMode::Interpreted) {
        for (int row = 1; row <= sheet_.variables.rowCount(); ++row) rows.push_back(row);
        return rows;
    }
    for (std::size_t k = 0; k < count; ++k) {
        const int row = programs_[k].resultRow();
        if (row == 0 || (selection != 0 && selection != static_cast<int>(k) + 1)) continue;
        if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
    }
    return rows;
}

Engine::Stamps Engine::currentStamps() const {
    return {sheet_.formulaStamp(), sheet_.constants.namesStamp(), sheet_.variables.namesStamp()};
}

// Splitting has no effect on the tables, so the whole formula may be split
// before the first equation runs.
std::size_t Engine::prepareEquations() {
    if (mode_ == EngineMode::Interpreted) {
        texts_.clear();
        starts_.clear();
        EquationSplitter splitter(sheet_.formula());
        for (std::size_t start = 0; auto equation = splitter.next(); start = splitter.position()) {
            texts_.push_back(std::move(*equation));
            starts_.push_back(start);
        }
        return texts_.size();
    }
    const Stamps current = currentStamps();
    if (current != compiledFrom_) {
        programs_.clear();
        starts_.clear();
        const EngineTables tables = this->tables();
        EquationSplitter splitter(sheet_.formula());
        for (std::size_t start = 0; auto equation = splitter.next(); start = splitter.position()) {
            programs_.emplace_back(std::move(*equation), tables);
            starts_.push_back(start);
        }
        compiledFrom_ = current;
    }
    return programs_.size();
}

std::string_view Engine::equationText(std::size_t index) const {
    return mode_ == EngineMode::Interpreted ? std::string_view(texts_[index])
                                            : std::string_view(programs_[index].text());
}

// A failed domain check or a fault is rare; evaluating the equation afresh
// then gives its detail text or its first fault, and whatever the machine
// does after it, exactly. Operators are pure, so it meets the same ones. A
// fault ends the equation where it arises, so nothing is stored for it.
ResultCode Engine::runEquation(std::size_t index, Failure& failure) {
    failure.at = {};
    try {
        if (mode_ == EngineMode::Interpreted) return TokeniseEquation(texts_[index], failure);
        EquationProgram& program = programs_[index];
        if (const auto code = program.run(sheet_.variables, sheet_.angle, failure.item)) {
            failure.at = program.faultAt();
            return *code;
        }
        ClearFaultFlags();
        return TokeniseEquation(program.text(), failure);
    } catch (const FloatingPointFault& fault) {
        failure.item.clear();
        failure.fault = fault.kind();
        return ResultCode::FloatingPointFault;
    }
}

ResultCode Engine::TokeniseEquation(std::string_view equation, Failure& failure) {
    failure.item.clear();
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    const EngineTables tables = this->tables();
    if (!Tokeniser(tables).tokenise(equation, tokens, failedWord)) {
        failure.item = failedWord;
        failure.at = failedWord;
        return ResultCode::UnknownItem;
    }
    return EvaluateTokens(tokens, tables, sheet_.variables, sheet_.angle, failure.item,
                          &failure.at);
}

}  // namespace quantaro
