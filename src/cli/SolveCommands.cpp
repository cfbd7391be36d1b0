#include "cli/SolveCommands.h"

#include <QRegularExpression>

#include <cstring>
#include <limits>
#include <span>

#include "cli/JsonReport.h"
#include "cli/SignalWatch.h"
#include "cli/TableOutput.h"
#include "documents/CsvFile.h"
#include "documents/FileName.h"
#include "engine/Numbers.h"
#include "studies/InputUse.h"
#include "studies/Sweep.h"

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

std::optional<long double> NumberPart(const QString& text, const char* what, std::string& fault) {
    const NumberReading reading = ReadNumber(text.trimmed().toStdString());
    if (reading.overflows) {
        fault = std::string(what) + " " + Quoted(text) + " is beyond the range of numbers";
    } else if (!reading.value) {
        fault = std::string(what) + " " + Quoted(text) + " is not a number";
    }
    return reading.value;
}

// "NAME=LO:HI" as its name and ends; where names the option for a fault.
struct NamedRange {
    QString name;
    long double low = 0.0L;
    long double high = 0.0L;
};

std::optional<NamedRange> ParseRange(const QString& text, const char* option, std::string& fault) {
    const qsizetype at = text.lastIndexOf(QLatin1Char('='));
    const QStringList ends = at > 0 ? text.mid(at + 1).split(QLatin1Char(':')) : QStringList();
    if (at <= 0 || text.left(at).trimmed().isEmpty() || ends.size() != 2) {
        fault = std::string(option) + " takes NAME=LO:HI, not " + Quoted(text);
        return std::nullopt;
    }
    NamedRange range{text.left(at).trimmed()};
    const std::string where = std::string(option) + " " + Shown(range.name) + ": ";
    const std::optional<long double> low = NumberPart(ends[0], "LO", fault);
    const std::optional<long double> high = low ? NumberPart(ends[1], "HI", fault) : std::nullopt;
    if (!low || !high) {
        fault = where + fault;
        return std::nullopt;
    }
    if (*low > *high) {
        fault = where + "LO " + Quoted(ends[0]) + " is above HI " + Quoted(ends[1]);
        return std::nullopt;
    }
    range.low = *low;
    range.high = *high;
    return range;
}

bool TooMany(qsizetype count, std::size_t most, const char* what, std::string& fault) {
    if (count <= static_cast<qsizetype>(most)) return false;
    fault = std::string(what) + " names " + std::to_string(count) + " inputs; at most " +
            std::to_string(most) + " are accepted";
    return true;
}

void WarnOfIgnoredInputs(const Worksheet& sheet, const std::vector<std::string>& names,
                         const StudyRun& run, std::ostream& err) {
    for (const std::string& name : names) {
        const std::string warning = IgnoredInputWarning(sheet, *FindInputCell(sheet, name), run);
        if (!warning.empty()) err << "quantaro-cli: warning: " << warning << '\n';
    }
}

int Stopped(std::uint64_t done, int signal, std::ostream& err) {
    err << "quantaro-cli: stopped after trial " << done << " (" << strsignal(signal) << ")\n";
    return kExitSignalBase + signal;
}

// The final run at the values found, as every trial ran, so that the
// tables show the solution; a signal during it is reported as during the
// search.
int RunAtValues(Worksheet& sheet, const std::vector<std::string>& names,
                const std::vector<long double>& values, const StudyRun& run, StudyControl& control,
                const SignalWatch& watch, std::ostream& err) {
    std::vector<InputCell> cells;
    for (const std::string& name : names) cells.push_back(*FindInputCell(sheet, name));
    PointRunner runner(sheet, run);
    runner.run(cells, values, &control);
    if (const int signal = watch.signal()) return Stopped(control.done(), signal, err);
    sheet.constants = runner.sheet().constants;
    sheet.variables = runner.sheet().variables;
    return 0;
}

// The report as the window's Export writes it; false, said on err, when the
// file could not be written.
bool WriteReport(const QString& path, const ResultTable& report, std::ostream& err) {
    if (path.isEmpty()) return true;
    const std::optional<QString> failure = SaveResultTableCsv(path, report);
    if (failure) err << failure->toStdString() << '\n';
    return !failure;
}

std::string Assignments(const std::vector<std::string>& names,
                        const std::vector<std::string>& texts) {
    std::string joined;
    for (std::size_t k = 0; k < names.size(); ++k)
        joined += (k ? ", " : "") + names[k] + " = " + texts[k];
    return joined;
}

// Prints the tables of the final run, the inputs' lines first where they
// are constants, and saves the variables when asked to.
int PrintTables(const std::vector<std::string>& inputs, const StudyContext& context) {
    const Worksheet& sheet = context.sheet;
    for (const std::string& name : inputs) {
        const InputCell input = *FindInputCell(sheet, name);
        if (input.table == InputTable::Constants)
            PrintConstant(sheet.constants, input.row, context.out, context.report);
    }
    PrintVariables(sheet.variables, context.out, context.report);
    if (context.saveVariablesFile.isEmpty()) return 0;
    return SaveVariables(context.saveVariablesFile, sheet, context.variablesEncoding, context.err)
               ? 0
               : kExitCannotSave;
}

std::vector<std::string> InputNames(const SolveSetup& setup) {
    std::vector<std::string> names;
    for (const SolveInput& input : setup.inputs) names.push_back(input.name);
    return names;
}

std::vector<std::string> InputNames(const OptimiseSetup& setup) {
    std::vector<std::string> names;
    for (const OptimiseInput& input : setup.inputs) names.push_back(input.name);
    return names;
}

}  // namespace

std::optional<SolveSetup> ParseSolveOptions(const QStringList& solve, const QString& by,
                                            const QStringList& bounds, std::string& fault) {
    SolveSetup setup;
    for (const QString& text : solve) {
        const qsizetype at = text.lastIndexOf(QLatin1Char('='));
        if (at <= 0 || text.left(at).trimmed().isEmpty() || at == text.size() - 1) {
            fault = "--solve takes RESULT=TARGET, not " + Quoted(text);
            return std::nullopt;
        }
        const std::optional<long double> target = NumberPart(text.mid(at + 1), "TARGET", fault);
        if (!target) {
            fault = "--solve " + Shown(text.left(at)) + ": " + fault;
            return std::nullopt;
        }
        setup.targets.push_back({NameBytes(text.left(at)), *target});
    }
    const QStringList names = by.split(QLatin1Char(','));
    if (TooMany(names.size(), kMaxSolveNames, "--by", fault)) return std::nullopt;
    for (const QString& name : names) {
        if (name.trimmed().isEmpty()) {
            fault = "--by takes NAME[,NAME...] with --solve, not " + Quoted(by);
            return std::nullopt;
        }
        setup.inputs.push_back({NameBytes(name), std::nullopt});
    }
    for (const QString& text : bounds) {
        const std::optional<NamedRange> range = ParseRange(text, "--bounds", fault);
        if (!range) return std::nullopt;
        const std::string name = NameBytes(range->name);
        const auto input = std::find_if(setup.inputs.begin(), setup.inputs.end(), [&](auto& i) {
            return QString::fromStdString(i.name).compare(QString::fromStdString(name),
                                                          Qt::CaseInsensitive) == 0;
        });
        if (input == setup.inputs.end()) {
            fault = "--bounds " + Shown(range->name) + ": not one of the --by inputs";
            return std::nullopt;
        }
        if (input->bounds) {
            fault = "--bounds " + Shown(range->name) + ": given twice";
            return std::nullopt;
        }
        input->bounds = std::pair{range->low, range->high};
    }
    return setup;
}

std::optional<OptimiseSetup> ParseOptimiseOptions(OptimiseSense sense, const QString& objective,
                                                  const QString& by, const QStringList& subjectTo,
                                                  std::string& fault) {
    OptimiseSetup setup;
    setup.sense = sense;
    setup.objective = NameBytes(objective);
    const QStringList ranges = by.split(QLatin1Char(','));
    if (TooMany(ranges.size(), kMaxOptimiseInputs, "--by", fault)) return std::nullopt;
    for (const QString& text : ranges) {
        const std::optional<NamedRange> range = ParseRange(text, "--by", fault);
        if (!range) return std::nullopt;
        setup.inputs.push_back({NameBytes(range->name), range->low, range->high});
    }
    static const QRegularExpression constraint(QStringLiteral("^(.*?)(<=|>=|=)(.*)$"));
    for (const QString& text : subjectTo) {
        const QRegularExpressionMatch match = constraint.match(text);
        if (!match.hasMatch() || match.captured(1).trimmed().isEmpty() ||
            match.captured(3).trimmed().isEmpty()) {
            fault = "--subject-to takes RESULT<=VALUE, RESULT>=VALUE or RESULT=VALUE, not " +
                    Quoted(text);
            return std::nullopt;
        }
        const std::optional<long double> value = NumberPart(match.captured(3), "VALUE", fault);
        if (!value) {
            fault = "--subject-to " + Shown(match.captured(1)) + ": " + fault;
            return std::nullopt;
        }
        const QString sign = match.captured(2);
        const ConstraintKind kind = sign == QLatin1String("<=")   ? ConstraintKind::AtMost
                                    : sign == QLatin1String(">=") ? ConstraintKind::AtLeast
                                                                  : ConstraintKind::Equal;
        setup.constraints.push_back({NameBytes(match.captured(1)), kind, *value});
    }
    return setup;
}

int RunSolveCommand(Worksheet& sheet, const SolveSetup& setup, std::ostream& err,
                    PendingStop pendingStop, const QString& reportFile, JsonReport* report) {
    if (const std::string fault = SolveSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    WarnOfIgnoredInputs(sheet, InputNames(setup), setup.run, err);
    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    const SolveResult result = Solve(sheet, setup, &control);
    if (const int signal = watch.signal()) return Stopped(control.done(), signal, err);
    if (!result.succeeded()) {
        err << "quantaro-cli: " << result.message << '\n';
        return kExitNoSolution;
    }
    if (const int exitCode =
            RunAtValues(sheet, InputNames(setup), result.values, setup.run, control, watch, err))
        return exitCode;
    err << "quantaro-cli: " << Assignments(result.inputNames, result.valueTexts)
        << (result.leastSquares ? " fit " : " make ")
        << Assignments(result.resultNames, result.resultTexts);
    if (result.leastSquares)
        err << " with the least sum of squares, " << FormatNumber(result.sumOfSquares);
    err << " (" << result.trials << " trials)\n";
    if (report) {
        report->addTable("solution", SolveReport(result, setup));
        report->setSummary("leastSquares", result.leastSquares);
        report->setSummary("sumOfSquares", JsonText(FormatNumber(result.sumOfSquares)));
        report->setSummary("trials", result.trials);
    }
    return WriteReport(reportFile, SolveReport(result, setup), err) ? 0 : kExitCannotSave;
}

int RunOptimiseCommand(Worksheet& sheet, const OptimiseSetup& setup, std::ostream& err,
                       PendingStop pendingStop, const QString& reportFile, JsonReport* report) {
    if (const std::string fault = OptimiseSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    WarnOfIgnoredInputs(sheet, InputNames(setup), setup.run, err);
    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    const OptimiseResult result = Optimise(sheet, setup, &control, DefaultWorkerCount());
    if (const int signal = watch.signal()) return Stopped(control.done(), signal, err);
    if (!result.succeeded()) {
        err << "quantaro-cli: " << result.message << '\n';
        return kExitNoSolution;
    }
    if (const int exitCode =
            RunAtValues(sheet, InputNames(setup), result.values, setup.run, control, watch, err))
        return exitCode;
    err << "quantaro-cli: " << Assignments(result.inputNames, result.valueTexts) << " give the "
        << (setup.sense == OptimiseSense::Maximise ? "maximum " : "minimum ")
        << result.objectiveName << " = " << result.objectiveText;
    for (std::size_t k = 0; k < result.constraints.size(); ++k) {
        const ConstraintState& c = result.constraints[k];
        const bool equality = setup.constraints[k].kind == ConstraintKind::Equal;
        err << (k ? "; " : " with ") << c.name << " = " << c.text << " (limit "
            << ConstraintSign(setup.constraints[k].kind) << ' '
            << FormatNumber(setup.constraints[k].value)
            << (c.active && !equality ? ", active)" : ")");
    }
    err << " (" << result.evaluations << " evaluations";
    if (setup.starts > 1)
        err << "; " << result.startsElsewhere << " of " << setup.starts
            << " starts ended elsewhere";
    err << ")\n";
    if (report) {
        report->addTable("optimum", OptimiseReport(result, setup));
        report->setSummary("objective", JsonText(result.objectiveName));
        report->setSummary("objectiveValue", JsonText(result.objectiveText));
        report->setSummary("evaluations", result.evaluations);
        report->setSummary("starts", setup.starts);
        report->setSummary("startsElsewhere", result.startsElsewhere);
    }
    return WriteReport(reportFile, OptimiseReport(result, setup), err) ? 0 : kExitCannotSave;
}

namespace {

QString ReportFile(const StudyContext& context) {
    return context.csvFile.value_or(QString());
}

std::optional<StudyJob> ReadSolve(const QCommandLineParser& parser, std::string& fault) {
    std::optional<SolveSetup> setup = ParseSolveOptions(
        parser.values(QStringLiteral("solve")), parser.value(QStringLiteral("by")),
        parser.values(QStringLiteral("bounds")), fault);
    if (!setup) return std::nullopt;
    return [setup = *setup](const StudyContext& context) mutable {
        setup.run = context.run;
        if (const int exitCode =
                RunSolveCommand(context.sheet, setup, context.err, context.pendingStop,
                                ReportFile(context), context.report))
            return exitCode;
        return PrintTables(InputNames(setup), context);
    };
}

std::optional<int> WholeOption(const QCommandLineParser& parser, const char* name,
                               unsigned long long most, std::string& fault) {
    if (!parser.isSet(QLatin1String(name))) return std::nullopt;
    bool whole = false;
    const QString text = parser.value(QLatin1String(name));
    const qulonglong value = text.trimmed().toULongLong(&whole);
    if (!whole || value < 1 || value > most) {
        fault = "--" + std::string(name) + " takes a whole number from 1 to " +
                std::to_string(most) + ", not " + Quoted(text);
        return -1;
    }
    return static_cast<int>(value);
}

std::optional<StudyJob> ReadOptimise(OptimiseSense sense, const QCommandLineParser& parser,
                                     std::string& fault) {
    const QString study =
        sense == OptimiseSense::Maximise ? QStringLiteral("maximize") : QStringLiteral("minimize");
    std::optional<OptimiseSetup> setup =
        ParseOptimiseOptions(sense, parser.value(study), parser.value(QStringLiteral("by")),
                             parser.values(QStringLiteral("subject-to")), fault);
    if (!setup) return std::nullopt;
    if (const std::optional<int> starts = WholeOption(parser, "starts", kMaxStarts, fault)) {
        if (*starts < 0) return std::nullopt;
        setup->starts = *starts;
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        if (!parser.isSet(QStringLiteral("starts"))) {
            fault = "--seed needs --starts";
            return std::nullopt;
        }
        bool whole = false;
        const QString text = parser.value(QStringLiteral("seed"));
        setup->seed = text.trimmed().toULongLong(&whole);
        if (!whole) {
            fault = "--seed takes a whole number from 0 to " +
                    std::to_string(std::numeric_limits<std::uint64_t>::max()) + ", not " +
                    Quoted(text);
            return std::nullopt;
        }
    }
    return [setup = *setup](const StudyContext& context) mutable {
        setup.run = context.run;
        if (const int exitCode =
                RunOptimiseCommand(context.sheet, setup, context.err, context.pendingStop,
                                   ReportFile(context), context.report))
            return exitCode;
        return PrintTables(InputNames(setup), context);
    };
}

// The options --minimize and --maximize share, after the study's own.
std::vector<CommandOption> OptimiseOptions(CommandOption first) {
    return {first,
            {.name = "by",
             .valueName = "NAME",
             .description = "The inputs to change: NAME,... or NAME=LO:HI,..."},
            {.name = "subject-to",
             .valueName = "C<=V",
             .description = "With --minimize/--maximize, keep C <=, >= or = V.",
             .mostTimes = static_cast<int>(kMaxConstraints)},
            {.name = "starts",
             .valueName = "K",
             .description = "With --minimize/--maximize, search from K starts."},
            {.name = "seed",
             .valueName = "S",
             .description = "With --starts, the seed of the starts drawn."}};
}

std::vector<StudyRule> OptimiseRules() {
    return {{StudyRule::Needs, "by", "--by NAME=LO:HI[,NAME=LO:HI...]"},
            {StudyRule::Refuses, "record"}};
}

}  // namespace

StudyRow SolveStudy() {
    return {
        .options = {{.name = "solve",
                     .valueName = "RESULT=TARGET",
                     .description = "Find the --by values that set RESULT to TARGET.",
                     .mostTimes = static_cast<int>(kMaxSolveNames)},
                    {.name = "by",
                     .valueName = "NAME",
                     .description = "The inputs to change: NAME,... or NAME=LO:HI,..."},
                    {.name = "bounds",
                     .valueName = "NAME=LO:HI",
                     .description = "With --solve, keep NAME between LO and HI.",
                     .mostTimes = static_cast<int>(kMaxSolveNames)}},
        .synopsis = {"--solve RESULT=TARGET [--solve RESULT=TARGET...]",
                     "--by NAME[,NAME...] [--bounds NAME=LO:HI...] [--csv REPORT.csv]"},
        .rules = {{StudyRule::Needs, "by", "--by NAME[,NAME...]"}, {StudyRule::Refuses, "record"}},
        .read = ReadSolve,
    };
}

StudyRow MinimizeStudy() {
    return {
        .options = OptimiseOptions({.name = "minimize",
                                    .valueName = "RESULT",
                                    .description = "Find the --by values that make RESULT least."}),
        .synopsis = {"(--minimize | --maximize) RESULT --by NAME=LO:HI[,NAME=LO:HI...]",
                     "[--subject-to 'C<=V'...] [--starts K [--seed S]] [--csv REPORT.csv]"},
        .rules = OptimiseRules(),
        .read =
            [](const QCommandLineParser& parser, std::string& fault) {
                return ReadOptimise(OptimiseSense::Minimise, parser, fault);
            },
    };
}

StudyRow MaximizeStudy() {
    return {
        .options =
            OptimiseOptions({.name = "maximize",
                             .valueName = "RESULT",
                             .description = "Find the --by values that make RESULT greatest."}),
        // --minimize's lines cover both.
        .synopsis = {},
        .rules = OptimiseRules(),
        .read =
            [](const QCommandLineParser& parser, std::string& fault) {
                return ReadOptimise(OptimiseSense::Maximise, parser, fault);
            },
    };
}

}  // namespace quantaro
