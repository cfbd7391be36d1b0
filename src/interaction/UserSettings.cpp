#include "interaction/UserSettings.h"

#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

#include <climits>

#include "documents/FileIo.h"
#include "documents/FileName.h"

namespace quantaro {
namespace {

// A path longer than any the system takes: every call on it fails at once,
// so that a store kept there reads nothing and creates nothing anywhere.
QString Nowhere() {
    return QLatin1Char('/') + QString(PATH_MAX, QLatin1Char('x')) +
           QStringLiteral("/Quantaro.conf");
}

// Why the file at path cannot serve as the store; nothing when it can.
std::optional<QString> StoreFileProblem(const QString& path) {
    // Opened as a document is: without blocking, regular files only.
    const FileReadResult read = ReadFileStart(path, 0);
    if (read.status == LoadStatus::Failed || read.status == LoadStatus::BadName) {
        return read.errorText;
    }
    // The store locks its file through a lock file beside it while it
    // writes, and would wait for ever on one that is not a regular file.
    const QString lock = path + QStringLiteral(".lock");
    struct stat info {};
    if (::lstat(QFile::encodeName(lock).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return QStringLiteral("%1 is not a regular file").arg(ShownFileName(lock));
    }
    return std::nullopt;
}

}  // namespace

QString UserSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quantaro/Quantaro.conf");
}

QSettings UserSettings() {
    const QString path = UserSettingsPath();
    // The same file as QSettings(NativeFormat, UserScope, "Quantaro",
    // "Quantaro"), but that one would also read other files, unchecked.
    return QSettings(StoreFileProblem(path) ? Nowhere() : path, QSettings::NativeFormat);
}

std::optional<QString> UserSettingsProblem() {
    const std::optional<QString> problem = StoreFileProblem(UserSettingsPath());
    if (!problem) return std::nullopt;
    return QStringLiteral(
               "Your settings cannot be read: %1. Quantaro starts with its default "
               "settings and leaves that file as it is.")
        .arg(*problem);
}

bool UserChoice(const QString& key, bool fallback) {
    return UserSettings().value(key, fallback).toBool();
}

void SetUserChoice(const QString& key, bool value) {
    UserSettings().setValue(key, value);
}

}  // namespace quantaro
