#pragma once

#include "engine/NameTable.h"

namespace quantaro::testing {

// The variable table the trajectory tests record from: X in metres in row
// 1 and Y without units in row 2, values left to each test.
inline NameTable TrajectoryVariables() {
    NameTable variables = MakeVariableTable();
    variables.setCell(NameColumn, 1, "X");
    variables.setCell(UnitsColumn, 1, "m");
    variables.setCell(NameColumn, 2, "Y");
    return variables;
}

}  // namespace quantaro::testing
