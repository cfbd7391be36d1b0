#include "cli/BatchRunner.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/CsvRecorder.h"
#include "cli/OptionTable.h"
#include "cli/TableOutput.h"
#include "documents/DocumentState.h"
#include "documents/FileName.h"
#include "documents/WorksheetFiles.h"
#include "engine/Engine.h"
#include "engine/EquationSplitter.h"
#include "engine/Explanation.h"
#include "engine/Messages.h"
#include "engine/NameTable.h"
#include "engine/Outcome.h"
#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

namespace quantaro {
namespace {

const char kDescription[] =
    "Runs a Quantaro worksheet without a window and prints its variable table.\n"
    "Exit status: 0 success, 1-9 the failing equation's error code, 10 a\n"
    "floating-point fault, 12 no solution of --seek, --solve, --minimize or\n"
    "--maximize, 13 a units finding of --check-units, 64 bad usage, 66 a missing\n"
    "file, 73 a file not saved, 74 a read or write error, 130 and 143 stopped by\n"
    "SIGINT and SIGTERM.";

// Thrown for a request that ends the run before the formula runs: the exit
// code as its status, and the message.
struct BatchError : Outcome<int> {
    BatchError(int exitCode, std::string text) : Outcome<int>{exitCode, std::move(text), {}} {}
};

struct BatchOptions {
    QString formulaFile;
    std::optional<QString> formulaText;
    QString constantsFile;
    QString variablesFile;
    QString saveVariablesFile;
    std::optional<QString> csvFile;
    std::optional<QStringList> recordNames;  // every named variable when not given
    int equation = 0;
    int passes = 1;
    std::optional<AngleUnit> angle;
    // Prints each step of one run instead of the variable table.
    bool explain = false;
    // Runs a study, such as a sweep or a goal seek, instead.
    StudyJob study;
    // False for a study of files, which loads no worksheet.
    bool readsWorksheet = true;
    // The help or version text, printed instead of a run when asked for.
    std::string answer;
};

[[noreturn]] void UsageError(const QString& why) {
    throw BatchError{kExitUsage, "quantaro-cli: " + why.toStdString() + "\n" + UsageText()};
}

// An option that is text rather than a file name: its bytes read as UTF-8,
// as the program reads all text.
QString TextOption(const QString& argument) {
    const std::optional<QByteArray> bytes = FileNameBytes(argument);
    return bytes ? QString::fromUtf8(*bytes) : argument;
}

// The largest --passes and --equation: an int.
constexpr int kLargestWholeOption = std::numeric_limits<int>::max();

int WholeNumberOption(const QString& text, const char* option, int minimum) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum) {
        UsageError(QStringLiteral("%1 takes a whole number from %2 to %3, not '%4'")
                       .arg(QLatin1String(option))
                       .arg(minimum)
                       .arg(kLargestWholeOption)
                       .arg(ShownFileName(text)));
    }
    return value;
}

// The help: the usage, then every option with its one-line description as
// the parser lists them.
std::string HelpText(const QCommandLineParser& parser) {
    const QString listing = parser.helpText();
    // The parser's own first line is a usage without the options' values.
    return UsageText() + listing.mid(listing.indexOf(QLatin1Char('\n'))).toStdString();
}

QCommandLineOption ParserOption(const CommandOption& option) {
    QStringList names(QLatin1String(option.name));
    if (option.shortName) names.prepend(QLatin1String(option.shortName));
    return option.valueName ? QCommandLineOption(names, QLatin1String(option.description),
                                                 QLatin1String(option.valueName))
                            : QCommandLineOption(names, QLatin1String(option.description));
}

QString Dashed(const char* name) {
    return QStringLiteral("--") + QLatin1String(name);
}

QString Times(int count) {
    return count == 2 ? QStringLiteral("twice") : QStringLiteral("%1 times").arg(count);
}

// Every option, the plain ones first, as --help lists them; an option that
// several studies share (--by) once, where the first of them lists it.
std::vector<CommandOption> AllOptions() {
    std::vector<CommandOption> options(PlainOptions().begin(), PlainOptions().end());
    for (const StudyRow& study : Studies()) {
        for (const CommandOption& option : study.options) {
            const bool listed = std::any_of(options.begin(), options.end(), [&](const auto& o) {
                return std::strcmp(o.name, option.name) == 0;
            });
            if (!listed) options.push_back(option);
        }
    }
    return options;
}

// The studies one of whose other options is this one, as "--a or --b".
QString StudiesTaking(const char* option) {
    QStringList studies;
    for (const StudyRow& row : Studies()) {
        for (std::size_t k = 1; k < row.options.size(); ++k) {
            if (std::strcmp(row.options[k].name, option) == 0) studies << Dashed(row.name());
        }
    }
    return studies.join(QStringLiteral(" or "));
}

// The options that an explanation of one run refuses, in the order looked
// at: each study's own, then the plain run's, then the studies' others.
std::vector<const char*> RefusedByExplain() {
    std::vector<const char*> names;
    for (const StudyRow& study : Studies()) names.push_back(study.name());
    for (const CommandOption& option : PlainOptions()) {
        if (option.runOnly) names.push_back(option.name);
    }
    for (const StudyRow& study : Studies()) {
        for (std::size_t k = 1; k < study.options.size(); ++k)
            names.push_back(study.options[k].name);
    }
    return names;
}

// The study asked for, once the studies are known to exclude each other.
const StudyRow* RequestedStudy(const QCommandLineParser& parser) {
    const StudyRow* requested = nullptr;
    for (const StudyRow& study : Studies()) {
        if (!parser.isSet(study.name())) continue;
        if (requested) {
            UsageError(Dashed(requested->name()) + " and " + Dashed(study.name()) +
                       " exclude each other");
        }
        requested = &study;
    }
    return requested;
}

// Ends the run when the studies' options do not fit together; returns the
// study asked for, if any.
const StudyRow* CheckStudyOptions(const QCommandLineParser& parser) {
    for (const CommandOption& option : AllOptions()) {
        if (option.mostTimes > 1 && parser.values(option.name).size() > option.mostTimes)
            UsageError(Dashed(option.name) + " given more than " + Times(option.mostTimes));
    }
    const StudyRow* study = RequestedStudy(parser);
    for (const StudyRow& row : Studies()) {
        for (std::size_t k = 1; k < row.options.size(); ++k) {
            const char* option = row.options[k].name;
            const auto named = [&](const char* name) { return std::strcmp(name, option) == 0; };
            // An option of several studies, or one a study borrows from another.
            const bool taken =
                study && (std::any_of(study->options.begin() + 1, study->options.end(),
                                      [&](const auto& o) { return named(o.name); }) ||
                          std::any_of(study->borrowed.begin(), study->borrowed.end(), named));
            if (parser.isSet(option) && !taken)
                UsageError(Dashed(option) + " needs " + StudiesTaking(option));
        }
    }
    if (!study) return nullptr;
    for (const StudyRule& rule : study->rules) {
        if (rule.kind == StudyRule::Needs && !parser.isSet(rule.option))
            UsageError(Dashed(study->name()) + " needs " + QLatin1String(rule.needsText));
        if (rule.kind == StudyRule::Refuses && parser.isSet(rule.option))
            UsageError(Dashed(rule.option) + " cannot be given with " + Dashed(study->name()));
    }
    return study;
}

// Standard output carries the variable table of a plain run, and the
// results of a study that writes them there.
void CheckCsvToStandardOutput(const QCommandLineParser& parser, const StudyRow* study) {
    if (parser.value("csv") != QLatin1String("-") || (study && study->csvToStandardOutput)) return;
    QStringList studies;
    for (const StudyRow& row : Studies()) {
        if (row.csvToStandardOutput) studies << Dashed(row.name());
    }
    UsageError("--csv - (standard output) needs " + studies.join(" or "));
}

BatchOptions ParseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QLatin1String(kDescription));
    for (const CommandOption& option : AllOptions()) parser.addOption(ParserOption(option));
    parser.addPositionalArgument("FORMULA.FOR", "The formula file, read with its .CON and .VAR.");
    if (!parser.parse(QStringList{"quantaro-cli"} + arguments)) UsageError(parser.errorText());

    BatchOptions options;
    if (parser.isSet("help") || parser.isSet("version")) {
        options.answer = parser.isSet("help") ? HelpText(parser)
                                              : std::string("quantaro-cli " QUANTARO_VERSION "\n");
        return options;
    }
    const QStringList positional = parser.positionalArguments();
    // A study of files takes them where the formula would be.
    const bool readsWorksheet = std::none_of(Studies().begin(), Studies().end(), [&](auto& study) {
        return !study.readsWorksheet && parser.isSet(study.name());
    });
    if (readsWorksheet &&
        (parser.isSet("formula-text") == !positional.isEmpty() || positional.size() > 1)) {
        UsageError("give one formula file or --formula-text");
    }
    if (parser.isSet("degrees") && parser.isSet("radians")) {
        UsageError("--degrees and --radians exclude each other");
    }
    // An explanation retraces one run and keeps nothing of it.
    for (const char* runOnly : RefusedByExplain()) {
        if (parser.isSet("explain") && parser.isSet(runOnly))
            UsageError("--explain cannot be given with " + Dashed(runOnly));
    }
    const StudyRow* study = CheckStudyOptions(parser);
    CheckCsvToStandardOutput(parser, study);
    if (parser.isSet("record") && !parser.isSet("csv")) UsageError("--record needs --csv");
    for (const CommandOption& option : AllOptions()) {
        if (option.valueName && option.mostTimes == 1 && parser.values(option.name).size() > 1)
            UsageError(Dashed(option.name) + " given twice");
    }
    if (parser.isSet("formula-text"))
        options.formulaText = TextOption(parser.value("formula-text"));
    options.readsWorksheet = readsWorksheet;
    if (!positional.isEmpty() && readsWorksheet) options.formulaFile = positional.first();
    options.constantsFile = parser.value("constants");
    options.variablesFile = parser.value("variables");
    options.saveVariablesFile = parser.value("save-variables");
    if (parser.isSet("csv")) options.csvFile = parser.value("csv");
    // Names are kept as their bytes, so that a message shows a byte that is
    // not UTF-8 as it was typed.
    if (parser.isSet("record")) options.recordNames = parser.value("record").split(',');
    if (parser.isSet("equation"))
        options.equation = WholeNumberOption(parser.value("equation"), "--equation", 0);
    if (parser.isSet("passes"))
        options.passes = WholeNumberOption(parser.value("passes"), "--passes", 1);
    if (parser.isSet("degrees")) options.angle = AngleUnit::Degrees;
    if (parser.isSet("radians")) options.angle = AngleUnit::Radians;
    options.explain = parser.isSet("explain");
    if (study) {
        std::string fault;
        std::optional<StudyJob> job = study->read(parser, fault);
        if (!job) UsageError(QString::fromStdString(fault));
        options.study = std::move(*job);
    }
    return options;
}

// Ends the run when a document could not be read; a missing file ends it
// only when it must exist.
void RequireLoaded(const LoadOutcome& outcome, bool mustExist = true) {
    switch (outcome.status) {
        case LoadStatus::Loaded:
            return;
        case LoadStatus::Missing:
            if (!mustExist) return;
            [[fallthrough]];
        case LoadStatus::BadName:
            throw BatchError{kExitMissingFile, outcome.message};
        case LoadStatus::Failed:
            throw BatchError{kExitIoError, outcome.message};
    }
}

// The files the options name. A table named on the command line must exist;
// one named after the formula file is read when it exists and otherwise
// stays empty.
WorksheetPaths WorksheetFilesOf(const BatchOptions& options) {
    WorksheetPaths paths;
    if (!options.formulaText) paths[Document::Formula] = options.formulaFile;
    const std::pair<Document, const QString*> tables[] = {
        {Document::Constants, &options.constantsFile},
        {Document::Variables, &options.variablesFile}};
    for (const auto& [table, named] : tables) {
        if (!named->isEmpty()) {
            paths[table] = *named;
        } else if (!options.formulaFile.isEmpty()) {
            paths[table] = DerivedFileName(
                options.formulaFile, QLatin1String(table == Document::Constants ? "CON" : "VAR"));
        }
    }
    return paths;
}

// A selection past the last equation would run nothing and report success.
void RequireEquation(int selection, std::string_view formula) {
    if (selection == 0) return;
    const int count = CountEquations(formula);
    if (selection <= count) return;
    throw BatchError{kExitUsage, "Equation " + std::to_string(selection) +
                                     " does not exist: the formula has " + std::to_string(count) +
                                     (count == 1 ? " equation" : " equations")};
}

// Reads the worksheet the options name and ends the run at the first
// document that could not be read, formula first; an equation selected past
// the formula's last ends it before the tables are looked at. Returns the
// character set of the variable file, to save it in again.
FileEncoding LoadDocuments(const BatchOptions& options, Worksheet& sheet) {
    WorksheetLoad load = LoadWorksheet(WorksheetFilesOf(options));
    sheet = std::move(load.sheet);
    if (options.formulaText) {
        sheet.setFormula(options.formulaText->toStdString());
    } else {
        RequireLoaded(load.documents[Document::Formula].outcome);
    }
    sheet.angle = options.angle.value_or(sheet.angle);
    RequireEquation(options.equation, sheet.formula());
    RequireLoaded(load.documents[Document::Constants].outcome, !options.constantsFile.isEmpty());
    RequireLoaded(load.documents[Document::Variables].outcome, !options.variablesFile.isEmpty());
    return load.documents[Document::Variables].encoding;
}

// The rows of the variables to record: those named, in the order given, or
// else every named row in table order.
std::vector<int> RecordedRows(const std::optional<QStringList>& names, const NameTable& variables) {
    std::vector<int> rows;
    if (!names) {
        for (int row = 1; row <= variables.rowCount(); ++row) {
            if (!variables.name(row).empty()) rows.push_back(row);
        }
        return rows;
    }
    for (const QString& given : *names) {
        const std::optional<QByteArray> bytes = FileNameBytes(given.trimmed());
        const std::string name = bytes ? bytes->toStdString() : std::string();
        const int row = name.empty() ? 0 : variables.findRow(name);
        if (row == 0) {
            throw BatchError{kExitUsage, "quantaro-cli: --record names " + QuotedName(name) +
                                             ", which is not a variable of the variable table"};
        }
        rows.push_back(row);
    }
    return rows;
}

int StopSignal(PendingStop pendingStop) {
    return pendingStop ? pendingStop() : 0;
}

int Stopped(int signal, int passesRun, int passes, std::ostream& err) {
    err << "quantaro-cli: stopped after pass " << passesRun << " of " << passes << " ("
        << strsignal(signal) << ")\n";
    return kExitSignalBase + signal;
}

// A run's result code is its exit code; a floating-point fault's is kExitFault.
static_assert(static_cast<int>(ResultCode::FloatingPointFault) == kExitFault);
int ExitCodeOf(const RunOutcome& outcome) {
    return static_cast<int>(outcome.status);
}

// Runs one pass; returns 0 or the exit code of its failure, whose message
// it leaves in err.
int RunPass(Engine& engine, int equation, std::ostream& err) {
    const RunOutcome outcome = engine.ExecuteEquations(equation);
    if (outcome.succeeded()) return 0;
    err << outcome.message << '\n';
    return ExitCodeOf(outcome);
}

// Runs the passes, recording the table after each, the failing one too;
// returns the exit code. A stop is looked for before each pass and after the
// last; a recording that cannot be written ends the run at once.
int RunPasses(Worksheet& sheet, const BatchOptions& options, CsvRecorder* recorder,
              PendingStop pendingStop, std::ostream& err) {
    Engine engine(sheet);
    const int passes = options.passes;
    for (int pass = 1; pass <= passes; ++pass) {
        if (const int signal = StopSignal(pendingStop))
            return Stopped(signal, pass - 1, passes, err);
        const int exitCode = RunPass(engine, options.equation, err);
        if (recorder) {
            if (const std::optional<QString> failure = recorder->record(pass, sheet.variables)) {
                err << failure->toStdString() << " (stopped after pass " << pass << " of " << passes
                    << ")\n";
                return kExitCannotSave;
            }
        }
        if (exitCode != 0) return exitCode;
    }
    if (const int signal = StopSignal(pendingStop)) return Stopped(signal, passes, passes, err);
    return 0;
}

// Prints the explanation of one run; returns the exit code the run would give.
int Explain(const Worksheet& sheet, int equation, std::ostream& out) {
    const Explanation explanation = ExplainEquations(sheet, equation);
    for (const std::string& line : explanation.lines) out << line << '\n';
    return ExitCodeOf(explanation.outcome);
}

// Reports a failed save; true when there was none.
bool Saved(const std::optional<QString>& failure, std::ostream& err) {
    if (failure) err << failure->toStdString() << '\n';
    return !failure;
}

// The results are worth nothing if they did not reach their reader.
bool Written(std::ostream& stream) {
    errno = 0;
    stream.flush();
    return static_cast<bool>(stream);
}

int CheckOutput(int exitCode, std::ostream& out, std::ostream& err) {
    if (!Written(out)) {
        const int error = errno;
        err << "quantaro-cli: the results could not be written"
            << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
        Written(err);
        return kExitIoError;
    }
    return Written(err) ? exitCode : kExitIoError;
}

int Run(const QStringList& arguments, std::ostream& out, std::ostream& err,
        PendingStop pendingStop) {
    try {
        const BatchOptions options = ParseOptions(arguments);
        if (!options.answer.empty()) {
            out << options.answer;
            return 0;
        }
        Worksheet sheet;
        const FileEncoding variablesEncoding =
            options.readsWorksheet ? LoadDocuments(options, sheet) : FileEncoding{};
        if (options.explain) return Explain(sheet, options.equation, out);
        if (options.study) {
            const StudyContext context{sheet,
                                       StudyRun{options.equation, options.passes},
                                       options.csvFile,
                                       options.recordNames,
                                       options.saveVariablesFile,
                                       variablesEncoding,
                                       out,
                                       err,
                                       pendingStop};
            return options.study(context);
        }
        std::optional<CsvRecorder> recorder;
        if (options.csvFile) {
            recorder.emplace(*options.csvFile, sheet.variables,
                             RecordedRows(options.recordNames, sheet.variables));
        }

        const int exitCode =
            RunPasses(sheet, options, recorder ? &*recorder : nullptr, pendingStop, err);
        PrintVariables(sheet.variables, out);
        // A run stopped by a signal or a recording that failed saves nothing.
        if (exitCode > kExitSignalBase || exitCode == kExitCannotSave) return exitCode;

        bool saved = true;
        if (!options.saveVariablesFile.isEmpty()) {
            saved = SaveVariables(options.saveVariablesFile, sheet, variablesEncoding, err);
        }
        if (recorder) saved = Saved(recorder->finish(), err) && saved;
        return exitCode == 0 && !saved ? kExitCannotSave : exitCode;
    } catch (const BatchError& error) {
        err << error.message << (error.message.ends_with('\n') ? "" : "\n");
        return error.status;
    }
}

}  // namespace

int RunBatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             PendingStop pendingStop) {
    return CheckOutput(Run(arguments, out, err, pendingStop), out, err);
}

}  // namespace quantaro
