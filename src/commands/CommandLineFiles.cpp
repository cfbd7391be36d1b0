#include "commands/CommandLineFiles.h"

#include <QFileInfo>

#include "commands/DocumentCommands.h"
#include "documents/FileName.h"
#include "interaction/UserInteraction.h"

namespace quantaro {

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
