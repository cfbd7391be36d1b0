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

void LoadReferenceWorksheet(ReferenceWorksheet& sheet);

}  // namespace quantaro::bench
