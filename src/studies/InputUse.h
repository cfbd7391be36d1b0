#pragma once

#include <string>

#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// Whether the value a study writes into an input's cell can change what a
// run gives. A run that never reads the cell, or that stores a result into
// it before any equation reads it, gives the same results at every value,
// which a user sweeping a result variable would not expect. Returns that
// warning, naming the input and the equation, or nothing when the run reads
// the input (or stops at an equation it cannot read before getting there).
std::string IgnoredInputWarning(const Worksheet& sheet, const InputCell& cell, const StudyRun& run);

}  // namespace quantaro
