#pragma once

#include <QString>

#include <string>

#include "engine/Worksheet.h"

namespace quantaro::testing {

// Opens the worksheet whose three files share the path base: base + ".FOR"
// gives the formula and the angle unit, ".CON" and ".VAR" the tables.
// Returns why a file could not be read, or "" when all three were.
std::string LoadWorksheetFiles(Worksheet& sheet, const QString& base);

}  // namespace quantaro::testing
