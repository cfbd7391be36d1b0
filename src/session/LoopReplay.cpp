#include "session/LoopReplay.h"

#include <QStringList>

#include <limits>

#include "documents/CsvFormat.h"
#include "documents/WorksheetFiles.h"
#include "engine/Engine.h"
#include "engine/Trajectory.h"
#include "session/ContinuousLoop.h"
#include "session/ReplayCommand.h"
#include "session/Session.h"

namespace quantaro {
namespace {

// The passes 1 to N, each recorded: the history a batch run of N passes writes.
bool CountsFromOne(const Trajectory& trajectory) {
    if (trajectory.thinned()) return false;
    for (std::size_t row = 0; row < trajectory.rowCount(); ++row) {
        if (trajectory.pass(row) != static_cast<std::int64_t>(row) + 1) return false;
    }
    return true;
}

// The history the batch runner records from the files, or nothing with the
// reason when it cannot record these names.
std::optional<std::string> ReplayedHistory(const SavedFiles& files, const Trajectory& recorded,
                                           int equation, AngleUnit angle, QString& fault) {
    WorksheetPaths paths;
    paths[Document::Formula] = files.formula;
    paths[Document::Constants] = files.constants;
    paths[Document::Variables] = files.variables;
    WorksheetLoad load = LoadWorksheet(paths);
    for (const Document document : {Document::Formula, Document::Constants, Document::Variables}) {
        if (load.documents[document].outcome.status != LoadStatus::Loaded) {
            fault = QString::fromStdString(load.documents[document].outcome.message);
            return std::nullopt;
        }
    }
    Worksheet& sheet = load.sheet;
    sheet.angle = angle;
    for (const std::string& name : recorded.names()) {
        if (sheet.variables.findRow(name) == 0) {
            fault = QStringLiteral(
                        "The saved variable table has no variable %1, which the loop "
                        "records: save the worksheet, Reset the loop and run it again.")
                        .arg(QString::fromStdString(name));
            return std::nullopt;
        }
    }
    Trajectory replayed(recorded.names(), recorded.rowCount());
    Engine engine(sheet);
    for (std::size_t pass = 1; pass <= recorded.rowCount(); ++pass) {
        const RunOutcome outcome = engine.ExecuteEquations(equation);
        replayed.record(static_cast<std::int64_t>(pass), sheet.variables);
        if (!outcome.succeeded()) break;  // the batch runner stops there too
    }
    return TrajectoryCsv(replayed);
}

}  // namespace

std::optional<QString> LoopCommandLine(Session& session, QString& fault) {
    ContinuousLoop& loop = session.loop();
    const Trajectory& trajectory = loop.trajectory();
    if (!loop.stopped()) {
        fault = QStringLiteral("The loop is running: copy its command once it has stopped.");
        return std::nullopt;
    }
    if (trajectory.rowCount() == 0 || trajectory.names().empty()) {
        fault = QStringLiteral(
            "Run the loop first, recording at least one variable: the command "
            "repeats its passes.");
        return std::nullopt;
    }
    if (!CountsFromOne(trajectory) ||
        trajectory.rowCount() > std::size_t(std::numeric_limits<int>::max())) {
        fault = QStringLiteral(
            "The history does not hold every pass from pass 1: Reset the "
            "loop and run it again, fewer passes if it was thinned.");
        return std::nullopt;
    }
    const std::optional<SavedFiles> files = SavedWorksheetFiles(session.documents(), fault, true);
    if (!files) return std::nullopt;
    const int equation = loop.equation();
    const std::optional<std::string> replayed =
        ReplayedHistory(*files, trajectory, equation, session.angleUnit(), fault);
    if (!replayed) return std::nullopt;
    if (*replayed != TrajectoryCsv(trajectory)) {
        fault = QStringLiteral(
            "The saved files do not give this history (the worksheet changed "
            "before or during the loop, or the equation changed): save the "
            "worksheet as it was when the loop started, Reset the loop and run "
            "it again.");
        return std::nullopt;
    }
    ReplayCommand command;
    command.addRun({equation, static_cast<int>(trajectory.rowCount())});
    QStringList names;
    for (const std::string& name : trajectory.names()) names << QString::fromStdString(name);
    command.addOption("record", names.join(QLatin1Char(',')));
    command.addOption("csv", QStringLiteral("trajectory.csv"));
    command.addAngle(session.angleUnit());
    return ReplayLine(command, *files);
}

}  // namespace quantaro
