#pragma once

#include "engine/Worksheet.h"

namespace quantaro::testing {

// The worksheet that tests of runs start from: the constants PI and E, the
// variables A = 10 and B = 4, and the variables X and Y, whose text "old"
// shows whether a run stored into them. Every later row is free.
Worksheet StandardWorksheet();
inline constexpr int kFirstFreeConstantRow = 3;
inline constexpr int kFirstFreeVariableRow = 5;

// The worksheet made afresh from its texts: nothing compiled from it and no
// number kept, as after opening its files.
Worksheet CopyOfTexts(const Worksheet& sheet);

}  // namespace quantaro::testing
