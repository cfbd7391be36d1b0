#pragma once

#include <string_view>
#include <vector>

#include "studies/UnitCheck.h"

namespace quantaro {

class Session;

// The units the session's worksheet is checked in: the user's, and a
// units.xml beside the formula file when there is one. Null when the
// udunits2 database cannot be read.
UnitLibrary* WorksheetUnits(const Session& session);

// The units check of the session's worksheet as it is now; empty when the
// database cannot be read.
UnitReport CheckWorksheetUnits(const Session& session);

// For each byte of a formula's UTF-8 text, the position in the editor's
// UTF-16 text of the character it belongs to (a CR LF is one line break
// there); one more entry for the end of the text.
std::vector<int> EditorPositions(std::string_view utf8);

}  // namespace quantaro
