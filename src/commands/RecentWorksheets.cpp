#include "commands/RecentWorksheets.h"

#include <QDir>
#include <QFileInfo>

#include "interaction/UserSettings.h"

namespace quantaro {
namespace {

constexpr char kRecentKey[] = "RecentWorksheets/files";

// One spelling per file: relative names and "." or ".." steps would list a
// worksheet twice.
QString Absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

}  // namespace

QStringList RecentWorksheets::paths() const {
    return UserSettings().value(QLatin1String(kRecentKey)).toStringList();
}

QStringList RecentWorksheets::folders() const {
    QStringList folders;
    for (const QString& path : paths()) {
        const QString folder = QFileInfo(path).path();
        if (!folders.contains(folder)) folders << folder;
    }
    return folders;
}

void RecentWorksheets::add(const QString& formulaPath) {
    const QString path = Absolute(formulaPath);
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kLimit));
}

void RecentWorksheets::remove(const QString& formulaPath) {
    QStringList list = paths();
    list.removeAll(Absolute(formulaPath));
    store(list);
}

void RecentWorksheets::clear() {
    store({});
}

void RecentWorksheets::store(const QStringList& paths) {
    UserSettings().setValue(QLatin1String(kRecentKey), paths);
}

}  // namespace quantaro
