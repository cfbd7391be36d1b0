#pragma once

#include <QString>

#include <string>

#include "engine/Worksheet.h"

namespace quantaro::bench {

// The path of one of the reference worksheet's files, e.g. "reference.VAR".
QString ReferencePath(const char* fileName);

// The reference worksheet loaded from its three files; error holds the reason
// when a file could not be read.
struct ReferenceWorksheet : Worksheet {
    std::string error;

    bool ok() const { return error.empty(); }
};

// Loads reference.FOR, .CON and .VAR, or the worksheet whose three files
// share the given base path under bench/, such as "projectile/projectile".
void LoadReferenceWorksheet(ReferenceWorksheet& sheet, const char* base = "reference");

}  // namespace quantaro::bench
