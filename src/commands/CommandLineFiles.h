#pragma once

#include <QStringList>

class QWidget;

namespace quantaro {

class DocumentCommands;
class UserInteraction;

// Opens the files named on the desktop program's command line, in order, as
// the File menu would: a formula file with the constant and variable files
// named after it (Open All), a constant or variable file alone. A file that
// is not there is said so in one box, with the worksheet's other missing
// files, and names no document; a file that cannot be read is reported in
// the reader's box. The others still open.
class CommandLineFiles {
  public:
    CommandLineFiles(DocumentCommands& commands, UserInteraction& interaction, QWidget* owner);

    void open(const QStringList& paths);

  private:
    void openOne(const QString& path);

    DocumentCommands& commands_;
    UserInteraction& interaction_;
    QWidget* owner_;
};

}  // namespace quantaro
