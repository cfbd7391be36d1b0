#include "commands/CommandLineFiles.h"

#include <QFileInfo>

#include "commands/DocumentCommands.h"
#include "documents/DocumentState.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "interaction/UserInteraction.h"

namespace quantaro {
namespace {

// "A", "A and B" or "A, B and C".
QString ListOfNames(const QStringList& names) {
    if (names.size() < 2) return names.value(0);
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.back();
}

}  // namespace

CommandLineFiles::CommandLineFiles(DocumentCommands& commands, UserInteraction& interaction,
                                   QWidget* owner)
    : commands_(commands), interaction_(interaction), owner_(owner) {}

void CommandLineFiles::open(const QStringList& paths) {
    for (const QString& path : paths) openOne(path);
}

void CommandLineFiles::openOne(const QString& path) {
    // Absolute, as a file dialog returns it: the names are kept for saving
    // and for the recent list, and the working directory may change.
    const QString absolute = AbsoluteFileName(path);
    // The desktop hands over a file of any case; the type is in the extension.
    const QString extension = QFileInfo(path).suffix().toUpper();
    const bool known = extension == QLatin1String("FOR") || extension == QLatin1String("CON") ||
                       extension == QLatin1String("VAR");
    // A file that is not there names no document: the worksheet stays as it
    // was, and one box says which of its files are missing.
    if (known && !FileExists(absolute)) {
        QStringList missing{ShownFileName(path)};
        if (extension == QLatin1String("FOR")) {
            for (const char* table : {"CON", "VAR"}) {
                const QString name = DerivedFileName(path, QLatin1String(table));
                if (!FileExists(DerivedFileName(absolute, QLatin1String(table)))) {
                    missing << ShownFileName(name);
                }
            }
        }
        interaction_.showWarning(
            owner_, QStringLiteral("%1 %2 not exist; nothing was opened.")
                        .arg(ListOfNames(missing),
                             missing.size() == 1 ? QStringLiteral("does") : QStringLiteral("do")));
        return;
    }
    if (extension == QLatin1String("FOR")) {
        commands_.OpenAll(absolute);
    } else if (extension == QLatin1String("CON")) {
        commands_.OpenConstantFile(absolute);
    } else if (extension == QLatin1String("VAR")) {
        commands_.OpenVariableFile(absolute);
    } else {
        interaction_.showWarning(owner_, QStringLiteral("%1 is not a formula (.FOR), constant "
                                                        "(.CON) or variable (.VAR) file.")
                                             .arg(ShownFileName(path)));
    }
}

}  // namespace quantaro
