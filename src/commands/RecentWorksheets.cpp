#include "commands/RecentWorksheets.h"

#include <QVariantList>

#include "documents/FileName.h"
#include "interaction/UserSettings.h"

namespace quantaro {
namespace {

constexpr char kRecentKey[] = "RecentWorksheets/files";

}  // namespace

// Kept as their bytes: the settings file holds text as UTF-8, which would
// lose the bytes of a name that is not.
QStringList RecentWorksheets::paths() const {
    QStringList paths;
    for (const QVariant& kept : UserSettings().value(QLatin1String(kRecentKey)).toList()) {
        paths << FileNameFromBytes(kept.toByteArray());
    }
    return paths;
}

QStringList RecentWorksheets::folders() const {
    QStringList folders;
    for (const QString& path : paths()) {
        const QString folder = FolderOf(path);
        if (!folders.contains(folder)) folders << folder;
    }
    return folders;
}

// One spelling per file: relative names and "." or ".." steps would list a
// worksheet twice.
void RecentWorksheets::add(const QString& formulaPath) {
    const QString path = AbsoluteFileName(formulaPath);
    QStringList list = paths();
    list.removeAll(path);
    list.prepend(path);
    store(list.mid(0, kLimit));
}

void RecentWorksheets::remove(const QString& formulaPath) {
    QStringList list = paths();
    list.removeAll(AbsoluteFileName(formulaPath));
    store(list);
}

void RecentWorksheets::clear() {
    store({});
}

void RecentWorksheets::store(const QStringList& paths) {
    QVariantList kept;
    for (const QString& path : paths) {
        if (const std::optional<QByteArray> bytes = FileNameBytes(path)) kept << *bytes;
    }
    UserSettings().setValue(QLatin1String(kRecentKey), kept);
}

}  // namespace quantaro
