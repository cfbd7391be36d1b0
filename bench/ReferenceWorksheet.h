#pragma once

#include <QString>

#include <string>

#include "WorksheetFiles.h"
#include "engine/Worksheet.h"

namespace quantaro::bench {

// The path of a file under bench/, e.g. "reference.VAR".
inline QString ReferencePath(const char* fileName) {
    return QStringLiteral(QUANTARO_BENCH_DATA_DIR "/") + QLatin1String(fileName);
}

// Opens reference.FOR, .CON and .VAR, or the worksheet whose three files
// share the given base path under bench/, such as "projectile/projectile".
// Returns why a file could not be read, or "" when all three were.
inline std::string LoadReferenceWorksheet(Worksheet& sheet, const char* base = "reference") {
    return testing::LoadWorksheetFiles(sheet, ReferencePath(base));
}

}  // namespace quantaro::bench
