#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

#include "engine/AngleUnit.h"
#include "studies/StudyPoint.h"

namespace quantaro {

class DocumentState;

// The quantaro-cli line that runs a window's study again on the worksheet's
// saved files: the study's options in the order added, then the files, each
// argument quoted for a POSIX shell. Numbers go out as texts that read back
// to the very value the window used.
class ReplayCommand {
  public:
    void addSwitch(const char* option);
    void addOption(const char* option, const QString& value);
    void addOption(const char* option, const std::string& value);
    // --equation (when not 0) and --passes (when not 1).
    void addRun(const StudyRun& run);
    // The angle unit, which the command names even where the formula file
    // says the same.
    void addAngle(AngleUnit angle);

    const QStringList& arguments() const { return arguments_; }

  private:
    QStringList arguments_;
};

// A number's text that reads back as the same value.
std::string ReplayNumber(long double value);
// "LO:HI" of two numbers.
std::string ReplayRange(long double low, long double high);

// One argument as a POSIX shell reads it back: left bare when it holds only
// characters no shell treats specially, else in single quotes, each single
// quote written as '\''.
QString ShellQuoted(const QString& argument);

// The worksheet's files, which a command names, as absolute paths.
struct SavedFiles {
    QString formula;
    QString constants;
    QString variables;
};

// The files of the three documents when each is saved and unchanged since;
// otherwise nothing, and fault says which document is not, and what to do.
// With changesAllowed a document changed since only needs a file: the
// caller compares the files with what it ran.
std::optional<SavedFiles> SavedWorksheetFiles(const DocumentState& documents, QString& fault,
                                              bool changesAllowed = false);

// The whole line: "quantaro-cli", the command's arguments and the files,
// the tables named only where the batch runner would not find them beside
// the formula by itself.
QString ReplayLine(const ReplayCommand& command, const SavedFiles& files);

}  // namespace quantaro
