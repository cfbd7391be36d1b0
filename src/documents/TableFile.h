#pragma once

#include <QString>

#include <optional>

#include "documents/FileIo.h"
#include "documents/TextEncoding.h"
#include "engine/NameTable.h"

namespace quantaro {

inline constexpr char kMissingConstantFileWarning[] = "The constant file does not exist ";
inline constexpr char kMissingVariableFileWarning[] = "The variable file does not exist ";

struct TableLoad {
    LoadStatus status = LoadStatus::Loaded;
    int usedRows = 0;   // highest row with a value, 0 if none or nothing was loaded
    QString errorText;  // set when status is Failed
    FileEncoding encoding = FileEncoding::Utf8;
};

// Loads a constant or variable file into data rows 1 to 100 of table. When
// the file is missing or cannot be read the table is left untouched.
TableLoad LoadTableFile(const QString& path, NameTable& table);

// Returns a text naming the file and the reason when it could not be written.
std::optional<QString> SaveTableFile(const QString& path, const NameTable& table,
                                     FileEncoding encoding = FileEncoding::Utf8);

}  // namespace quantaro
