#include "session/ReplayCommand.h"

#include <QFileInfo>
#include <QRegularExpression>

#include "documents/DocumentState.h"
#include "engine/Numbers.h"

namespace quantaro {

void ReplayCommand::addSwitch(const char* option) {
    arguments_ << QStringLiteral("--") + QLatin1String(option);
}

void ReplayCommand::addOption(const char* option, const QString& value) {
    arguments_ << QStringLiteral("--") + QLatin1String(option) << value;
}

void ReplayCommand::addOption(const char* option, const std::string& value) {
    addOption(option, QString::fromStdString(value));
}

void ReplayCommand::addRun(const StudyRun& run) {
    if (run.equation != 0) addOption("equation", QString::number(run.equation));
    if (run.passes != 1) addOption("passes", QString::number(run.passes));
}

void ReplayCommand::addAngle(AngleUnit angle) {
    addSwitch(angle == AngleUnit::Degrees ? "degrees" : "radians");
}

// The shortest text is the engine's own, when it reads back; a value the
// user typed with more digits than it shows keeps them all.
std::string ReplayNumber(long double value) {
    const std::string shown = FormatNumber(value);
    const NumberReading reading = ReadNumber(shown);
    if (reading.value && (*reading.value == value || value != value)) return shown;
    return FormatNumberExactly(value);
}

std::string ReplayRange(long double low, long double high) {
    return ReplayNumber(low) + ':' + ReplayNumber(high);
}

QString ShellQuoted(const QString& argument) {
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z0-9_./:,+%@-][A-Za-z0-9_./:=,+%@-]*$"));
    if (plain.match(argument).hasMatch()) return argument;
    QString quoted = argument;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

namespace {

const char* DocumentWord(Document document) {
    switch (document) {
        case Document::Formula:
            return "formula";
        case Document::Constants:
            return "constant table";
        case Document::Variables:
            break;
    }
    return "variable table";
}

}  // namespace

std::optional<SavedFiles> SavedWorksheetFiles(const DocumentState& documents, QString& fault,
                                              bool changesAllowed) {
    QString paths[3];
    for (const Document document : {Document::Formula, Document::Constants, Document::Variables}) {
        const QString& name = documents.fileName(document);
        const QFileInfo file(name);
        const QString what = QLatin1String(DocumentWord(document));
        if (name.isEmpty() || !file.isFile()) {
            fault = QStringLiteral(
                        "The %1 is not saved yet: save it, and copy the command again, "
                        "so that the batch runner reads what this study read.")
                        .arg(what);
            return std::nullopt;
        }
        if (documents.isChanged(document) && !changesAllowed) {
            fault = QStringLiteral(
                        "The %1 has changed since it was saved as %2: save it, and "
                        "copy the command again, so that the batch runner reads what "
                        "this study read.")
                        .arg(what, file.fileName());
            return std::nullopt;
        }
        paths[static_cast<int>(document)] = file.absoluteFilePath();
    }
    return SavedFiles{paths[0], paths[1], paths[2]};
}

QString ReplayLine(const ReplayCommand& command, const SavedFiles& files) {
    QStringList words{QStringLiteral("quantaro-cli")};
    for (const QString& argument : command.arguments()) words << ShellQuoted(argument);
    // The batch runner reads the tables named after the formula unless told otherwise.
    if (files.constants != DerivedFileName(files.formula, QStringLiteral("CON"))) {
        words << QStringLiteral("--constants") << ShellQuoted(files.constants);
    }
    if (files.variables != DerivedFileName(files.formula, QStringLiteral("VAR"))) {
        words << QStringLiteral("--variables") << ShellQuoted(files.variables);
    }
    words << ShellQuoted(files.formula);
    return words.join(QLatin1Char(' '));
}

}  // namespace quantaro
