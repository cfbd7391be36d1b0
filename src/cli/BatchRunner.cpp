#include "cli/BatchRunner.h"

#include <QCommandLineParser>
#include <QMap>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <streambuf>
#include <string>
#include <tuple>
#include <vector>

#include "cli/CsvRecorder.h"
#include "cli/JsonReport.h"
#include "cli/OptionTable.h"
#include "cli/TableOutput.h"
#include "documents/DocumentState.h"
#include "documents/FileIo.h"
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
    // What a report names: the mode, and each option given with its values.
    std::string mode;
    QMap<QString, QStringList> given;
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

// Standard output carries one document at most.
void CheckJsonToStandardOutput(const QCommandLineParser& parser, bool jsonToStandardOutput) {
    if (jsonToStandardOutput && parser.value("csv") == QLatin1String("-"))
        UsageError("--csv - and --json (standard output) exclude each other: give --json=FILE");
}

// The options given, with their values, and the mode they ask for.
void NoteGivenOptions(const QCommandLineParser& parser, const StudyRow* study,
                      BatchOptions& options) {
    for (const CommandOption& option : AllOptions()) {
        if (parser.isSet(option.name))
            options.given.insert(option.name,
                                 option.valueName ? parser.values(option.name) : QStringList());
    }
    options.mode = study ? study->name() : parser.isSet("explain") ? "explain" : "run";
}

BatchOptions ParseOptions(const QStringList& arguments, bool jsonToStandardOutput) {
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
    CheckJsonToStandardOutput(parser, jsonToStandardOutput);
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
    NoteGivenOptions(parser, study, options);
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

// The files of the worksheet that were read, or named and not found; a
// table named after the formula file that is not there is no input.
void NoteInputFiles(const BatchOptions& options, const WorksheetPaths& paths,
                    const WorksheetLoad& load, JsonReport& report) {
    const std::tuple<Document, const char*, bool> documents[] = {
        {Document::Formula, "formula", !options.formulaText},
        {Document::Constants, "constants", !options.constantsFile.isEmpty()},
        {Document::Variables, "variables", !options.variablesFile.isEmpty()}};
    for (const auto& [document, role, named] : documents) {
        if (!paths[document] || paths[document]->isEmpty()) continue;
        if (named || load.documents[document].outcome.status != LoadStatus::Missing)
            report.addInputFile(role, *paths[document]);
    }
}

// Reads the worksheet the options name and ends the run at the first
// document that could not be read, formula first; an equation selected past
// the formula's last ends it before the tables are looked at. Returns the
// character set of the variable file, to save it in again.
FileEncoding LoadDocuments(const BatchOptions& options, Worksheet& sheet, JsonReport* report) {
    const WorksheetPaths paths = WorksheetFilesOf(options);
    WorksheetLoad load = LoadWorksheet(paths);
    sheet = std::move(load.sheet);
    if (report) NoteInputFiles(options, paths, load, *report);
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
// it leaves in err and the report.
int RunPass(Engine& engine, int equation, std::ostream& err, JsonReport* report) {
    const RunOutcome outcome = engine.ExecuteEquations(equation);
    if (outcome.succeeded()) return 0;
    err << outcome.message << '\n';
    if (report) report->setRunFailure(outcome);
    return ExitCodeOf(outcome);
}

// Runs the passes, recording the table after each, the failing one too,
// and counting them in passesRun; returns the exit code. A stop is looked
// for before each pass and after the last; a recording that cannot be
// written ends the run at once.
int RunPasses(Worksheet& sheet, const BatchOptions& options, CsvRecorder* recorder,
              PendingStop pendingStop, std::ostream& err, JsonReport* report, int& passesRun) {
    Engine engine(sheet);
    const int passes = options.passes;
    for (int pass = 1; pass <= passes; ++pass) {
        if (const int signal = StopSignal(pendingStop))
            return Stopped(signal, pass - 1, passes, err);
        passesRun = pass;
        const int exitCode = RunPass(engine, options.equation, err, report);
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
int Explain(const Worksheet& sheet, int equation, std::ostream& out, JsonReport* report) {
    const Explanation explanation = ExplainEquations(sheet, equation);
    for (const std::string& line : explanation.lines) out << line << '\n';
    if (report) {
        report->setExplanation(explanation.lines);
        report->setRunFailure(explanation.outcome);
    }
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

// A stream's buffer that takes everything and keeps nothing.
class DiscardingBuffer : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// A stream's buffer that passes everything on to another and keeps a copy.
class CopyingBuffer : public std::streambuf {
  public:
    explicit CopyingBuffer(std::streambuf* target) : target_(target) {}
    const std::string& text() const { return text_; }

  protected:
    int overflow(int c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        text_.push_back(traits_type::to_char_type(c));
        return target_ ? target_->sputc(traits_type::to_char_type(c)) : c;
    }
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        text_.append(bytes, static_cast<std::size_t>(count));
        return target_ ? target_->sputn(bytes, count) : count;
    }
    int sync() override { return target_ ? target_->pubsync() : 0; }

  private:
    std::streambuf* target_;
    std::string text_;
};

// Where --json sends its document and the text output that it replaces.
struct JsonRequest {
    JsonReport& report;
    bool toStandardOutput;
};

int Run(const QStringList& arguments, std::ostream& out, std::ostream& err, PendingStop pendingStop,
        const std::optional<JsonRequest>& json) {
    JsonReport* report = json ? &json->report : nullptr;
    try {
        const BatchOptions options = ParseOptions(arguments, json && json->toStandardOutput);
        if (!options.answer.empty()) {
            out << options.answer;
            if (report) report->skip();
            return 0;
        }
        if (report) {
            report->setMode(options.mode);
            report->setOptions(options.given);
        }
        // The document takes the place of the text on standard output.
        DiscardingBuffer discarded;
        std::ostream nowhere(&discarded);
        std::ostream& shown = json && json->toStandardOutput ? nowhere : out;
        Worksheet sheet;
        const FileEncoding variablesEncoding =
            options.readsWorksheet ? LoadDocuments(options, sheet, report) : FileEncoding{};
        if (options.explain) return Explain(sheet, options.equation, shown, report);
        if (options.study) {
            const StudyContext context{sheet,
                                       StudyRun{options.equation, options.passes},
                                       options.csvFile,
                                       options.recordNames,
                                       options.saveVariablesFile,
                                       variablesEncoding,
                                       shown,
                                       err,
                                       pendingStop,
                                       report};
            return options.study(context);
        }
        std::optional<CsvRecorder> recorder;
        if (options.csvFile) {
            recorder.emplace(*options.csvFile, sheet.variables,
                             RecordedRows(options.recordNames, sheet.variables));
        }

        int passesRun = 0;
        const int exitCode = RunPasses(sheet, options, recorder ? &*recorder : nullptr, pendingStop,
                                       err, report, passesRun);
        PrintVariables(sheet.variables, shown, report);
        if (report) {
            report->setSummary("passes", options.passes);
            report->setSummary("passesRun", passesRun);
        }
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
        if (report) report->setMessage(error.message.substr(0, error.message.find('\n')));
        return error.status;
    }
}

// Where --json asks the document to go: "-" for standard output; the
// arguments without it; the reason when it is given wrongly. The word after
// a bare --json is its file only when it is "-" or ends in ".json", so that
// a formula file after it is never taken for one (--json=FILE takes any).
struct JsonTarget {
    std::optional<QString> file;
    QStringList rest;
    std::string fault;
};

JsonTarget TakeJsonOption(const QStringList& arguments) {
    JsonTarget target;
    const std::vector<CommandOption> options = AllOptions();
    bool valueNext = false;  // the word is the value of the option before it
    for (qsizetype k = 0; k < arguments.size(); ++k) {
        const QString& word = arguments[k];
        const QString name = word.startsWith(QLatin1String("--")) ? word.mid(2)
                             : word.startsWith(QLatin1Char('-'))  ? word.mid(1)
                                                                  : QString();
        const bool json = !valueNext && (name == QLatin1String("json") ||
                                         name.startsWith(QLatin1String("json=")));
        if (word == QLatin1String("--") && !valueNext) {
            target.rest += arguments.mid(k);
            break;
        }
        if (!json) {
            valueNext = !valueNext && !name.isEmpty() && !name.contains(QLatin1Char('=')) &&
                        std::any_of(options.begin(), options.end(), [&](auto& o) {
                            return o.valueName && name == QLatin1String(o.name);
                        });
            target.rest << word;
            continue;
        }
        QString file = name.mid(5);
        if (name == QLatin1String("json")) {
            const QString next = k + 1 < arguments.size() ? arguments[k + 1] : QString();
            const bool taken = next == QLatin1String("-") ||
                               next.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
            file = taken ? next : QStringLiteral("-");
            if (taken) ++k;
        }
        if (file.isEmpty()) target.fault = "--json= needs a file name";
        if (target.file) target.fault = "--json given twice";
        if (!target.file) target.file = file.isEmpty() ? QStringLiteral("-") : file;
    }
    return target;
}

// Writes the document where it was asked for; false, with the reason on
// err, when it could not be written to its file.
bool WriteJson(const QByteArray& document, const QString& file, std::ostream& out,
               std::ostream& err) {
    if (file == QLatin1String("-")) {
        out.write(document.constData(), document.size());
        return true;
    }
    AtomicFileWriter writer(file);
    std::optional<QString> failure =
        writer.write(std::string_view(document.constData(), document.size()));
    if (!failure) failure = writer.commit();
    if (failure) err << failure->toStdString() << '\n';
    return !failure;
}

int RunWithJson(const QStringList& arguments, const JsonTarget& target, std::ostream& out,
                std::ostream& err, PendingStop pendingStop) {
    JsonReport report(arguments);
    report.setOptions({{QStringLiteral("json"), {*target.file}}});
    CopyingBuffer copy(err.rdbuf());
    std::ostream copied(&copy);
    int exitCode = kExitUsage;
    if (target.fault.empty()) {
        exitCode = Run(target.rest, out, copied, pendingStop,
                       JsonRequest{report, *target.file == QLatin1String("-")});
    } else {
        copied << "quantaro-cli: " << target.fault << '\n' << UsageText();
        report.setMessage(target.fault);
    }
    copied.flush();
    if (report.skipped()) return exitCode;
    const bool written = WriteJson(report.document(exitCode, copy.text()), *target.file, out, err);
    return !written && exitCode == 0 ? kExitCannotSave : exitCode;
}

}  // namespace

int RunBatch(const QStringList& arguments, std::ostream& out, std::ostream& err,
             PendingStop pendingStop) {
    const JsonTarget json = TakeJsonOption(arguments);
    const int exitCode = json.file ? RunWithJson(arguments, json, out, err, pendingStop)
                                   : Run(arguments, out, err, pendingStop, std::nullopt);
    return CheckOutput(exitCode, out, err);
}

}  // namespace quantaro
