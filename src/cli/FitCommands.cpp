#include "cli/FitCommands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cli/JsonReport.h"
#include "cli/SignalWatch.h"
#include "cli/TableOutput.h"
#include "documents/CsvFile.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "documents/WorksheetFiles.h"
#include "engine/NameFolding.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

std::string Quoted(const QString& text) {
    std::string quoted(1, '\'');
    quoted += ShownFileName(text).toStdString();
    quoted += '\'';
    return quoted;
}

std::string Shown(const QString& text) {
    return ShownFileName(text.trimmed()).toStdString();
}

// A name as its bytes, which match a table's name only when they are UTF-8.
std::string NameBytes(const QString& text) {
    const std::optional<QByteArray> bytes = FileNameBytes(text.trimmed());
    return bytes ? bytes->toStdString() : text.trimmed().toStdString();
}

// "NAME=COLUMN", both non-empty.
std::optional<FitColumn> ParseColumnPair(const QString& text, const char* option, const char* form,
                                         std::string& fault) {
    const qsizetype at = text.indexOf(QLatin1Char('='));
    if (at <= 0 || text.left(at).trimmed().isEmpty() || text.mid(at + 1).trimmed().isEmpty()) {
        fault = std::string(option) + " takes " + form + ", not " + Quoted(text);
        return std::nullopt;
    }
    return FitColumn{NameBytes(text.left(at)), NameBytes(text.mid(at + 1))};
}

std::optional<long double> NumberPart(const QString& text, const char* what, std::string& fault) {
    const NumberReading reading = ReadNumber(text.trimmed().toStdString());
    if (reading.overflows) {
        fault = std::string(what) + " " + Quoted(text) + " is beyond the range of numbers";
    } else if (!reading.value) {
        fault = std::string(what) + " " + Quoted(text) + " is not a number";
    }
    return reading.value;
}

// Each --bounds "NAME=LO:HI" onto the parameter it names.
bool ReadBounds(const QStringList& texts, FitSetup& setup, std::string& fault) {
    for (const QString& text : texts) {
        const qsizetype at = text.lastIndexOf(QLatin1Char('='));
        const QStringList ends = at > 0 ? text.mid(at + 1).split(QLatin1Char(':')) : QStringList();
        if (at <= 0 || text.left(at).trimmed().isEmpty() || ends.size() != 2) {
            fault = "--bounds takes NAME=LO:HI, not " + Quoted(text);
            return false;
        }
        const std::string where = "--bounds " + Shown(text.left(at)) + ": ";
        const std::optional<long double> low = NumberPart(ends[0], "LO", fault);
        const std::optional<long double> high =
            low ? NumberPart(ends[1], "HI", fault) : std::nullopt;
        if (!low || !high) {
            fault = where + fault;
            return false;
        }
        if (*low > *high) {
            fault = where + "LO " + Quoted(ends[0]) + " is above HI " + Quoted(ends[1]);
            return false;
        }
        const std::string name = NameBytes(text.left(at));
        const auto parameter =
            std::find_if(setup.parameters.begin(), setup.parameters.end(),
                         [&](const FitParameter& p) { return NamesEqual(p.name, name); });
        if (parameter == setup.parameters.end()) {
            fault = where + "not one of the --estimate parameters";
            return false;
        }
        if (parameter->bounds) {
            fault = where + "given twice";
            return false;
        }
        parameter->bounds = std::pair{*low, *high};
    }
    return true;
}

std::optional<FitRequest> ParseFitOptions(const QCommandLineParser& parser, std::string& fault) {
    FitRequest request;
    request.dataFile = parser.value(QStringLiteral("fit"));
    FitSetup& setup = request.setup;
    const QString estimate = parser.value(QStringLiteral("estimate"));
    const QStringList names = estimate.split(QLatin1Char(','));
    if (names.size() > static_cast<qsizetype>(kMaxFitParameters)) {
        fault = "--estimate names " + std::to_string(names.size()) + " parameters; at most " +
                std::to_string(kMaxFitParameters) + " are accepted";
        return std::nullopt;
    }
    for (const QString& name : names) {
        if (name.trimmed().isEmpty()) {
            fault = "--estimate takes NAME[,NAME...], not " + Quoted(estimate);
            return std::nullopt;
        }
        setup.parameters.push_back({NameBytes(name), std::nullopt});
    }
    if (!ReadBounds(parser.values(QStringLiteral("bounds")), setup, fault)) return std::nullopt;
    for (const QString& text : parser.values(QStringLiteral("match"))) {
        const std::optional<FitColumn> match =
            ParseColumnPair(text, "--match", "RESULT=COLUMN", fault);
        if (!match) return std::nullopt;
        setup.matches.push_back(*match);
    }
    for (const QString& text : parser.values(QStringLiteral("set"))) {
        const std::optional<FitColumn> input = ParseColumnPair(text, "--set", "NAME=COLUMN", fault);
        if (!input) return std::nullopt;
        setup.inputs.push_back(*input);
    }
    request.matchesGiven = !setup.matches.empty();
    request.inputsGiven = !setup.inputs.empty();
    if (parser.isSet(QStringLiteral("by-pass"))) {
        setup.byPass = true;
        const QString column = parser.value(QStringLiteral("by-pass")).trimmed();
        if (column != QLatin1String("-")) setup.passColumn = NameBytes(column);
        if (parser.isSet(QStringLiteral("passes"))) {
            fault =
                "--passes cannot be given with --by-pass: the loop runs up to the last "
                "measured pass";
            return std::nullopt;
        }
        if (request.inputsGiven) {
            fault = "--set cannot be given with --by-pass: the loop runs once from the tables";
            return std::nullopt;
        }
    }
    const bool weights = parser.isSet(QStringLiteral("weights"));
    if (weights && parser.isSet(QStringLiteral("sigma"))) {
        fault = "--weights and --sigma exclude each other";
        return std::nullopt;
    }
    if (weights || parser.isSet(QStringLiteral("sigma"))) {
        setup.weighting = weights ? FitWeighting::Weights : FitWeighting::Sigmas;
        setup.weightColumn =
            NameBytes(parser.value(weights ? QStringLiteral("weights") : QStringLiteral("sigma")));
    }
    setup.skipFailingRows = parser.isSet(QStringLiteral("skip-failing-rows"));
    request.saveConstantsFile = parser.value(QStringLiteral("save-constants"));
    return request;
}

std::string Plus(long double error) {
    return std::isnan(error) ? std::string("(no standard error)") : "± " + FormatNumber(error);
}

void PrintFit(const FitResult& result, std::ostream& out) {
    for (std::size_t j = 0; j < result.names.size(); ++j)
        out << result.names[j] << " = " << result.valueTexts[j] << ' '
            << Plus(result.standardErrors[j]) << '\n';
    const std::size_t n = result.names.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const long double r = result.correlations[i * n + j];
            out << "Correlation of " << result.names[i] << " and " << result.names[j] << " = "
                << (std::isnan(r) ? std::string("-") : FormatNumber(r)) << '\n';
        }
    }
    const ResultTable statistics = FitStatisticsReport(result);
    for (std::size_t row = 0; row < statistics.rowCount(); ++row)
        out << statistics.cell(row, 0) << (row + 1 < statistics.rowCount() ? " = " : ": ")
            << statistics.cell(row, 1) << '\n';
}

// The last pass a fit by pass compares at.
int LastPass(const DataTable& data, const FitSetup& setup) {
    if (setup.passColumn.empty()) return static_cast<int>(data.rowCount());
    const int column = data.findColumn(setup.passColumn);
    long double last = 1;
    for (std::size_t row = 0; row < data.rowCount(); ++row)
        last = std::max(last, data.at(row, column));
    return static_cast<int>(last);
}

bool SaveConstants(const QString& path, const Worksheet& sheet, std::ostream& err) {
    const PerDocument<SaveOutcome> saved =
        SaveWorksheet(sheet, OneDocumentFile(Document::Constants, path), WorksheetEncodings{});
    const SaveOutcome& constants = saved[Document::Constants];
    if (!constants.succeeded()) err << constants.message << '\n';
    return constants.succeeded();
}

}  // namespace

int RunFitCommand(Worksheet& sheet, const FitRequest& request, std::ostream& out, std::ostream& err,
                  PendingStop pendingStop, JsonReport* report) {
    const FileReadResult file = ReadDocumentFile(request.dataFile);
    if (report && file.status == LoadStatus::Loaded)
        report->addInputFile("data", request.dataFile, file.bytes);
    else if (report)
        report->addInputFile("data", request.dataFile);
    if (file.status != LoadStatus::Loaded) {
        err << "quantaro-cli: "
            << (file.status == LoadStatus::Missing
                    ? "The data file " + Quoted(request.dataFile) + " does not exist"
                    : file.errorText.toStdString())
            << '\n';
        return file.status == LoadStatus::Failed ? kExitIoError : kExitMissingFile;
    }
    const DataReading reading = ReadDataCsv(file.bytes);
    if (!reading.succeeded()) {
        err << "quantaro-cli: " << Shown(request.dataFile) << ": " << reading.message << '\n';
        return kExitUsage;
    }
    FitSetup setup = request.setup;
    MapRemainingColumnsByName(sheet, reading.table, request.matchesGiven, request.inputsGiven,
                              setup);
    if (const std::string fault = FitSetupError(sheet, reading.table, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    const FitResult result = Fit(sheet, reading.table, setup, &control);
    const auto stopped = [&](int signal) {
        err << "quantaro-cli: stopped after evaluation " << control.done() << " ("
            << strsignal(signal) << ")\n";
        return kExitSignalBase + signal;
    };
    if (const int signal = watch.signal()) return stopped(signal);
    for (const FitRowFailure& failure : result.failures)
        err << "quantaro-cli: warning: row " << failure.row + 1 << " left out: " << failure.message
            << '\n';
    if (!result.succeeded()) {
        err << "quantaro-cli: " << result.message << '\n';
        return kExitNoSolution;
    }
    // The final run: the parameters typed in, the formula run as each row's
    // run, or the loop up to the last measured pass.
    std::vector<InputCell> cells;
    for (const std::string& name : result.names) cells.push_back(*FindInputCell(sheet, name));
    StudyRun run = setup.run;
    if (setup.byPass) run.passes = LastPass(reading.table, setup);
    PointRunner runner(sheet, run);
    runner.run(cells, result.values, &control);
    if (const int signal = watch.signal()) return stopped(signal);
    sheet.constants = runner.sheet().constants;
    sheet.variables = runner.sheet().variables;
    PrintFit(result, out);
    out << '\n';
    if (report) {
        report->addTable("parameters", FitParameterReport(result));
        report->addTable("statistics", FitStatisticsReport(result));
        report->addTable("data", FitDataReport(result, reading.table, setup));
        report->setSummary("evaluations", result.evaluations);
        report->setSummary("rowsLeftOut", static_cast<qint64>(result.failures.size()));
    }
    if (request.reportFile.isEmpty()) return 0;
    const std::optional<QString> failure =
        SaveResultTableCsv(request.reportFile, FitDataReport(result, reading.table, setup));
    if (failure) err << failure->toStdString() << '\n';
    return failure ? kExitCannotSave : 0;
}

namespace {

std::optional<StudyJob> ReadFit(const QCommandLineParser& parser, std::string& fault) {
    std::optional<FitRequest> request = ParseFitOptions(parser, fault);
    if (!request) return std::nullopt;
    return [request = *request](const StudyContext& context) mutable {
        request.setup.run = context.run;
        request.reportFile = context.csvFile.value_or(QString());
        if (const int exitCode = RunFitCommand(context.sheet, request, context.out, context.err,
                                               context.pendingStop, context.report))
            return exitCode;
        const Worksheet& sheet = context.sheet;
        for (const FitParameter& p : request.setup.parameters) {
            const InputCell cell = *FindInputCell(sheet, p.name);
            if (cell.table == InputTable::Constants)
                PrintConstant(sheet.constants, cell.row, context.out, context.report);
        }
        PrintVariables(sheet.variables, context.out, context.report);
        if (!context.saveVariablesFile.isEmpty() &&
            !SaveVariables(context.saveVariablesFile, sheet, context.variablesEncoding,
                           context.err))
            return kExitCannotSave;
        if (!request.saveConstantsFile.isEmpty() &&
            !SaveConstants(request.saveConstantsFile, sheet, context.err))
            return kExitCannotSave;
        return 0;
    };
}

}  // namespace

StudyRow FitStudy() {
    const int most = static_cast<int>(kMaxFitParameters);
    return {
        .options = {{.name = "fit",
                     .valueName = "DATA.csv",
                     .description = "Fit the --estimate names to the rows of DATA.csv."},
                    {.name = "estimate",
                     .valueName = "NAME,...",
                     .description = "With --fit, the constants or variables to fit."},
                    {.name = "match",
                     .valueName = "RESULT=COLUMN",
                     .description = "With --fit, compare RESULT with COLUMN.",
                     .mostTimes = 100},
                    {.name = "set",
                     .valueName = "NAME=COLUMN",
                     .description = "With --fit, type COLUMN into NAME for each row.",
                     .mostTimes = 100},
                    {.name = "by-pass",
                     .valueName = "COLUMN",
                     .description = "With --fit, compare at the loop pass in COLUMN."},
                    {.name = "weights",
                     .valueName = "COLUMN",
                     .description = "With --fit, weigh each row by COLUMN, 1/sigma^2."},
                    {.name = "sigma",
                     .valueName = "COLUMN",
                     .description = "With --fit, weigh each row by 1/COLUMN^2."},
                    {.name = "bounds",
                     .valueName = "NAME=LO:HI",
                     .description = "With --fit, keep NAME between LO and HI.",
                     .mostTimes = most},
                    {.name = "skip-failing-rows",
                     .valueName = nullptr,
                     .description = "With --fit, leave out the rows whose run fails."},
                    {.name = "save-constants",
                     .valueName = "OUT.CON",
                     .description = "With --fit, write the constant table to OUT.CON."}},
        .synopsis =
            {"--fit DATA.csv --estimate NAME[,NAME...] [--match RESULT=COLUMN...]",
             "[--set NAME=COLUMN...] [--by-pass COLUMN] [--weights COLUMN | --sigma COLUMN]",
             "[--bounds NAME=LO:HI...] [--skip-failing-rows] [--save-constants OUT.CON]",
             "[--csv ROWS.csv]"},
        .rules = {{StudyRule::Needs, "estimate", "--estimate NAME[,NAME...]"},
                  {StudyRule::Refuses, "record"}},
        .read = ReadFit,
    };
}

}  // namespace quantaro
