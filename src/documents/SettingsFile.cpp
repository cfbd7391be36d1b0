#include "documents/SettingsFile.h"

namespace quantaro {

QString SettingsFilePath(const QString& startDirectory) {
    // Joined as text, so that a folder whose name is not UTF-8 keeps its bytes.
    QString path = startDirectory;
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    return path + QLatin1String(kSettingsFileName);
}

SettingsLoad LoadSettingsFile(const QString& path) {
    // Only the bytes of the three options are read, whatever else the file holds.
    const FileReadResult file = ReadFileStart(path, SerializeSettingsFile(Settings{}).size());
    if (file.status != LoadStatus::Loaded) {
        return {file.status, Settings{}, file.errorText};
    }
    return {LoadStatus::Loaded, ParseSettingsFile(file.bytes), {}};
}

std::optional<QString> SaveSettingsFile(const QString& path, const Settings& settings) {
    return WriteFileAtomically(path, SerializeSettingsFile(settings));
}

}  // namespace quantaro
