#pragma once

#include <string>

#include "engine/Engine.h"
#include "engine/Worksheet.h"

namespace quantaro::testing {

// A worksheet and an engine over it, with helpers to fill rows and run.
struct TestSheet : Worksheet {
    Engine engine{*this};
    RunOutcome outcome;

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
    // Runs the formula and returns the run's code as a number.
    int run(const std::string& text, int selection = 0) {
        setFormula(text);
        outcome = engine.ExecuteEquations(selection);
        return static_cast<int>(outcome.code);
    }
    const std::string& lastMessage() const { return outcome.message; }
};

}  // namespace quantaro::testing
