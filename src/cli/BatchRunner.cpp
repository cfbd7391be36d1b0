#include "cli/BatchRunner.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cli/CsvRecorder.h"
#include "cli/StudyCommands.h"
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

const char kUsage[] =
    "Usage: quantaro-cli [--constants C.CON] [--variables V.VAR] [--equation N] [--passes K]\n"
    "                    [--degrees | --radians] [--save-variables OUT.VAR]\n"
    "                    [--csv OUT.csv [--record NAME[,NAME...]]] [--explain]\n"
    "                    (FORMULA.FOR | --formula-text TEXT)\n"
    "       quantaro-cli [options] --sweep NAME=FROM:TO:COUNT[:log] [--sweep NAME=...]\n"
    "                    [--shard I/N] [--record NAME[,NAME...]] --csv (OUT.csv | -)\n"
    "                    (FORMULA.FOR | --formula-text TEXT)\n"
    "       quantaro-cli [options] --seek RESULT=TARGET --by NAME [--between LO:HI]\n"
    "                    (FORMULA.FOR | --formula-text TEXT)\n"
    "       quantaro-cli (--help | --version)\n";

const char kDescription[] =
    "Runs a Quantaro worksheet without a window and prints its variable table.\n"
    "Exit status: 0 success, 1-9 the failing equation's error code, 10 a\n"
    "floating-point fault, 12 no solution of --seek, 64 bad usage, 66 a missing\n"
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
    // Runs the formula at every point of one or two inputs' values instead.
    std::vector<SweepAxis> sweeps;
    Shard shard;
    // Seeks the value of an input that sets a variable to a target instead.
    std::optional<SeekSetup> seek;
    // The help or version text, printed instead of a run when asked for.
    std::string answer;
};

[[noreturn]] void UsageError(const QString& why) {
    throw BatchError{kExitUsage, "quantaro-cli: " + why.toStdString() + "\n" + kUsage};
}

// An option that is text rather than a file name: its bytes read as UTF-8,
// as the program reads all text.
QString TextOption(const QString& argument) {
    const std::optional<QByteArray> bytes = FileNameBytes(argument);
    return bytes ? QString::fromUtf8(*bytes) : argument;
}

// The study described by an option's text, or a usage error naming its fault.
template <typename Parse, typename... Texts>
auto StudyOption(Parse parse, const Texts&... texts) {
    std::string fault;
    auto parsed = parse(texts..., fault);
    if (!parsed) UsageError(QString::fromStdString(fault));
    return *parsed;
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
    return kUsage + listing.mid(listing.indexOf(QLatin1Char('\n'))).toStdString();
}

BatchOptions ParseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QLatin1String(kDescription));
    const QCommandLineOption help({"h", "help"}, "Print this help and exit.");
    const QCommandLineOption version({"v", "version"}, "Print the version and exit.");
    const QCommandLineOption constants("constants", "Read the constants from C.CON.", "C.CON");
    const QCommandLineOption variables("variables", "Read the variables from V.VAR.", "V.VAR");
    const QCommandLineOption equation("equation", "Run only equation N (0, the default: all).",
                                      "N");
    const QCommandLineOption passes("passes", "Run the formula K times (default 1, K < 2^31).",
                                    "K");
    const QCommandLineOption degrees("degrees", "Work in degrees, whatever the formula file says.");
    const QCommandLineOption radians("radians", "Work in radians, whatever the formula file says.");
    const QCommandLineOption saveVariables(
        "save-variables", "Write the variable table to OUT.VAR afterwards.", "OUT.VAR");
    const QCommandLineOption formulaText(
        "formula-text", "Run TEXT as the formula (in degrees by default).", "TEXT");
    const QCommandLineOption csv("csv", "Write the passes (or sweep points) to OUT.csv.",
                                 "OUT.csv");
    const QCommandLineOption record("record", "With --csv, record only these variables.",
                                    "NAME[,NAME...]");
    const QCommandLineOption explain("explain", "Print each step of one run; change nothing.");
    const QCommandLineOption sweep("sweep", "Run at N values of NAME from FROM to TO.",
                                   "NAME=FROM:TO:N");
    const QCommandLineOption shard("shard", "With --sweep, run only block I of N.", "I/N");
    const QCommandLineOption seek("seek", "Find the --by value that sets RESULT to TARGET.",
                                  "RESULT=TARGET");
    const QCommandLineOption by("by", "With --seek, the constant or variable to change.", "NAME");
    const QCommandLineOption between("between", "With --seek, search between LO and HI.", "LO:HI");
    parser.addOptions({help, version, constants, variables, equation, passes, degrees, radians,
                       saveVariables, formulaText, csv, record, explain, sweep, shard, seek, by,
                       between});
    parser.addPositionalArgument("FORMULA.FOR", "The formula file, read with its .CON and .VAR.");
    if (!parser.parse(QStringList{"quantaro-cli"} + arguments)) UsageError(parser.errorText());

    BatchOptions options;
    if (parser.isSet(help) || parser.isSet(version)) {
        options.answer = parser.isSet(help) ? HelpText(parser)
                                            : std::string("quantaro-cli " QUANTARO_VERSION "\n");
        return options;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(formulaText) == !positional.isEmpty() || positional.size() > 1) {
        UsageError("give one formula file or --formula-text");
    }
    if (parser.isSet(degrees) && parser.isSet(radians)) {
        UsageError("--degrees and --radians exclude each other");
    }
    // An explanation retraces one run and keeps nothing of it.
    for (const QCommandLineOption* runOnly :
         {&sweep, &seek, &passes, &saveVariables, &csv, &record, &shard, &by, &between}) {
        if (parser.isSet(explain) && parser.isSet(*runOnly))
            UsageError("--explain cannot be given with --" + runOnly->names().first());
    }
    if (parser.values(sweep).size() > 2) UsageError("--sweep given more than twice");
    if (parser.isSet(sweep) && parser.isSet(seek))
        UsageError("--sweep and --seek exclude each other");
    if (parser.isSet(shard) && !parser.isSet(sweep)) UsageError("--shard needs --sweep");
    for (const QCommandLineOption* seekOnly : {&by, &between}) {
        if (parser.isSet(*seekOnly) && !parser.isSet(seek))
            UsageError("--" + seekOnly->names().first() + " needs --seek");
    }
    if (parser.isSet(seek) && !parser.isSet(by)) UsageError("--seek needs --by NAME");
    // A goal seek prints the table of one run; a sweep keeps no table.
    for (const QCommandLineOption* passesOnly : {&csv, &record}) {
        if (parser.isSet(seek) && parser.isSet(*passesOnly))
            UsageError("--" + passesOnly->names().first() + " cannot be given with --seek");
    }
    if (parser.isSet(sweep) && parser.isSet(saveVariables))
        UsageError("--save-variables cannot be given with --sweep");
    if (parser.isSet(sweep) && !parser.isSet(csv))
        UsageError("--sweep needs --csv OUT.csv, or --csv - for standard output");
    // Standard output carries the variable table of a plain run.
    if (parser.value(csv) == QLatin1String("-") && !parser.isSet(sweep))
        UsageError("--csv - (standard output) needs --sweep");
    if (parser.isSet(record) && !parser.isSet(csv)) UsageError("--record needs --csv");
    for (const QCommandLineOption* once :
         {&constants, &variables, &equation, &passes, &saveVariables, &formulaText, &csv, &record,
          &shard, &seek, &by, &between}) {
        if (parser.values(*once).size() > 1)
            UsageError("--" + once->names().first() + " given twice");
    }
    if (parser.isSet(formulaText)) options.formulaText = TextOption(parser.value(formulaText));
    if (!positional.isEmpty()) options.formulaFile = positional.first();
    options.constantsFile = parser.value(constants);
    options.variablesFile = parser.value(variables);
    options.saveVariablesFile = parser.value(saveVariables);
    if (parser.isSet(csv)) options.csvFile = parser.value(csv);
    // Names are kept as their bytes, so that a message shows a byte that is
    // not UTF-8 as it was typed.
    if (parser.isSet(record)) options.recordNames = parser.value(record).split(',');
    if (parser.isSet(equation))
        options.equation = WholeNumberOption(parser.value(equation), "--equation", 0);
    if (parser.isSet(passes))
        options.passes = WholeNumberOption(parser.value(passes), "--passes", 1);
    if (parser.isSet(degrees)) options.angle = AngleUnit::Degrees;
    if (parser.isSet(radians)) options.angle = AngleUnit::Radians;
    options.explain = parser.isSet(explain);
    for (const QString& text : parser.values(sweep))
        options.sweeps.push_back(StudyOption(ParseSweepOption, text));
    if (parser.isSet(shard)) options.shard = StudyOption(ParseShardOption, parser.value(shard));
    if (parser.isSet(seek)) {
        const std::optional<QString> interval =
            parser.isSet(between) ? std::optional(parser.value(between)) : std::nullopt;
        options.seek =
            StudyOption(ParseSeekOptions, parser.value(seek), parser.value(by), interval);
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

void PrintRow(const NameTable& table, int row, std::ostream& out) {
    out << table.name(row) << " = " << table.value(row) << ' ' << table.cell(UnitsColumn, row)
        << '\n';
}

void PrintVariables(const NameTable& variables, std::ostream& out) {
    for (int row = 1; row <= variables.rowCount(); ++row) {
        if (!variables.name(row).empty()) PrintRow(variables, row, out);
    }
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

bool Saved(const PerDocument<SaveOutcome>& saved, std::ostream& err) {
    const SaveOutcome& variables = saved[Document::Variables];
    if (!variables.succeeded()) err << variables.message << '\n';
    return variables.succeeded();
}

// Writes the variable table alone, in the character set it was read in.
PerDocument<SaveOutcome> SaveVariables(const QString& path, const Worksheet& sheet,
                                       FileEncoding encoding) {
    WorksheetEncodings encodings;
    encodings[Document::Variables] = encoding;
    return SaveWorksheet(sheet, OneDocumentFile(Document::Variables, path), encodings);
}

// Prints the tables of the final run at the value found, the input's line
// first when it is a constant, and saves the variables when asked to.
int Seek(Worksheet& sheet, const BatchOptions& options, FileEncoding variablesEncoding,
         std::ostream& out, std::ostream& err, PendingStop pendingStop) {
    SeekSetup setup = *options.seek;
    setup.run = {options.equation, options.passes};
    if (const int exitCode = RunSeekCommand(sheet, setup, err, pendingStop)) return exitCode;
    const InputCell input = *FindInputCell(sheet, setup.input);
    if (input.table == InputTable::Constants) PrintRow(sheet.constants, input.row, out);
    PrintVariables(sheet.variables, out);
    if (options.saveVariablesFile.isEmpty()) return 0;
    return Saved(SaveVariables(options.saveVariablesFile, sheet, variablesEncoding), err)
               ? 0
               : kExitCannotSave;
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
        const FileEncoding variablesEncoding = LoadDocuments(options, sheet);
        if (options.explain) return Explain(sheet, options.equation, out);
        const StudyRun run{options.equation, options.passes};
        if (!options.sweeps.empty()) {
            const SweepCommand sweep{options.sweeps, options.recordNames, options.shard,
                                     *options.csvFile, run};
            return RunSweepCommand(sheet, sweep, out, err, pendingStop);
        }
        if (options.seek) return Seek(sheet, options, variablesEncoding, out, err, pendingStop);
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
            saved = Saved(SaveVariables(options.saveVariablesFile, sheet, variablesEncoding), err);
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
