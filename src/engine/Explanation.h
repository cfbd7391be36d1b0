#pragma once

#include <string>
#include <vector>

#include "engine/Messages.h"
#include "engine/NameTable.h"
#include "engine/RunOutcome.h"
#include "engine/Worksheet.h"

namespace quantaro {

// What explaining a formula came to: the text for the user, line by line,
// and how the run it retraces ended.
struct Explanation {
    // For each equation run: "Equation N: " and its text, then one line
    // indented by two blanks for each operator applied, "L op R = result",
    // "op L = result" or "L op = result", and "NAME = stored text". Operands
    // and results of operators are not rounded by a run and are written
    // exactly (FormatNumberExactly); the stored text is the rounded one. A
    // failing equation ends with the run's message, a floating-point fault
    // with its text; nothing follows either.
    std::vector<std::string> lines;
    // How the run ended, as the engine's run would: its code, message and
    // the place at fault.
    RunOutcome outcome;
    // The variable table as the run left it.
    NameTable variables = MakeVariableTable();
};

// Runs the equations of the sheet's formula, every one (selection 0) or only
// the selection-th, as Engine::ExecuteEquations does, and writes down each
// step. The run works on a copy of the sheet, so results of one equation
// feed the next in the copy while the sheet itself never changes.
Explanation ExplainEquations(const Worksheet& sheet, int selection = 0);

}  // namespace quantaro
