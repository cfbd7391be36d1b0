#pragma once

#include <string>

#include "StandardWorksheet.h"
#include "TableRows.h"
#include "engine/Engine.h"
#include "engine/EngineTables.h"
#include "engine/Worksheet.h"

namespace quantaro::testing {

// The standard worksheet and an engine over it.
struct TestSheet : Worksheet {
    TestSheet() : Worksheet(StandardWorksheet()) {}

    Engine engine{*this};
    RunOutcome outcome;
    TableIndexes indexes;

    EngineTables tables() { return indexes.follow(constants, variables); }

    std::string valueOf(const std::string& name) const {
        return variables.value(variables.findRow(name));
    }
    // Runs the formula and returns the run's code as a number.
    int run(const std::string& text, int selection = 0) {
        setFormula(text);
        outcome = engine.ExecuteEquations(selection);
        return static_cast<int>(outcome.status);
    }
    const std::string& lastMessage() const { return outcome.message; }
};

}  // namespace quantaro::testing
