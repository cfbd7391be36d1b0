#pragma once

#include <QString>
#include <QStringList>

namespace quantaro {

// What the desktop program's command line asks for: the help or the version
// (answer, for standard output), a usage error naming the fault (error, for
// standard error), or else the files to open.
struct DesktopCommandLine {
    QString answer;
    QString error;
    QStringList files;
};

// arguments include the program's name. Qt's own options (-platform, -style
// and the like) must have been taken out by the application object, except
// when only the answer is looked at.
DesktopCommandLine ParseDesktopCommandLine(const QStringList& arguments);

}  // namespace quantaro
