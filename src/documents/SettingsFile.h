#pragma once

#include <QString>

#include <optional>

#include "documents/FileIo.h"
#include "documents/SettingsFormat.h"

namespace quantaro {

inline constexpr char kSettingsFileName[] = "Quantaro.cfg";

// The settings file inside startDirectory, joined with the platform's separator.
QString SettingsFilePath(const QString& startDirectory);

struct SettingsLoad {
    LoadStatus status = LoadStatus::Loaded;
    Settings settings;  // all unchecked unless the file was read
    QString errorText;  // set when status is Failed
};

SettingsLoad LoadSettingsFile(const QString& path);

// Returns a text naming the file and the reason when it could not be written.
std::optional<QString> SaveSettingsFile(const QString& path, const Settings& settings);

}  // namespace quantaro
