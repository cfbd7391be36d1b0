#pragma once

#include <ostream>

#include "cli/OptionTable.h"
#include "engine/Worksheet.h"
#include "studies/UnitCheck.h"

namespace quantaro {

// A dimension finding, or with --strict-units any finding.
inline constexpr int kExitUnitFinding = 13;

// Prints one line per finding on out; returns 0, or kExitUnitFinding when
// there is a dimension finding (with strict, any finding).
int ReportUnitFindings(const UnitReport& report, bool strict, std::ostream& out);

// The row of the batch runner's table: --check-units, with --strict-units,
// checks the units of every equation (or the --equation) and runs nothing.
StudyRow UnitsStudy();

}  // namespace quantaro
