#include "SettingsFile.h"

#include <QDir>

namespace quantaro {

QString SettingsFilePath(const QString& startDirectory) {
    return QDir::toNativeSeparators(
        QDir(startDirectory).filePath(QLatin1String(kSettingsFileName)));
}

SettingsLoad LoadSettingsFile(const QString& path) {
    const FileReadResult file = ReadFileBytes(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, Settings{}, file.errorText};
    }
    return {LoadStatus::Loaded, ParseSettingsFile(file.bytes), {}};
}

std::optional<QString> SaveSettingsFile(const QString& path, const Settings& settings) {
    return WriteFileAtomically(path, SerializeSettingsFile(settings));
}

}  // namespace quantaro
