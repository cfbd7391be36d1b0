#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

#include "documents/FileIo.h"
#include "documents/TextEncoding.h"
#include "engine/AngleUnit.h"

namespace quantaro {

inline constexpr char kMissingFormulaFileWarning[] = "The formula file does not exist ";

struct FormulaLoad {
    LoadStatus status = LoadStatus::Loaded;
    AngleUnit unit = AngleUnit::Degrees;
    std::string text;   // UTF-8
    QString errorText;  // set when status is Failed
    FileEncoding encoding = FileEncoding::Utf8;
};

FormulaLoad LoadFormulaFile(const QString& path);

// Returns a text naming the file and the reason when it could not be written.
std::optional<QString> SaveFormulaFile(const QString& path, AngleUnit unit, std::string_view text,
                                       FileEncoding encoding = FileEncoding::Utf8);

}  // namespace quantaro
