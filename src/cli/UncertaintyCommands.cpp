#include "cli/UncertaintyCommands.h"

#include <QCommandLineParser>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <new>

#include "cli/JsonReport.h"
#include "cli/SignalWatch.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "engine/Numbers.h"
#include "studies/MonteCarlo.h"

namespace quantaro {
namespace {

// Draws run in blocks between two looks at a stop request and two writes of
// their records.
constexpr std::uint64_t kDrawsPerBlock = 65'536;
// The largest file of draws --summarize reads.
constexpr std::size_t kDrawFileLimit = std::size_t{1} << 40;

std::string Quoted(const QString& text) {
    std::string quoted(1, '\'');
    quoted.append(ShownFileName(text).toStdString()).append(1, '\'');
    return quoted;
}

std::string NameBytes(const QString& text) {
    const std::optional<QByteArray> bytes = FileNameBytes(text.trimmed());
    return bytes ? bytes->toStdString() : text.trimmed().toStdString();
}

std::optional<std::uint64_t> WholeNumber(const QString& text) {
    bool ok = false;
    const qulonglong value = text.trimmed().toULongLong(&ok);
    if (!ok || text.trimmed().startsWith(QLatin1Char('-'))) return std::nullopt;
    return value;
}

std::optional<Distribution> DistributionNamed(const QString& text) {
    for (const Distribution d :
         {Distribution::Normal, Distribution::Uniform, Distribution::Triangular}) {
        if (text.trimmed().compare(QLatin1String(DistributionName(d)), Qt::CaseInsensitive) == 0)
            return d;
    }
    return std::nullopt;
}

// "NAME = VALUE ± U UNITS", then a line per input.
void PrintFirstOrder(const UncertaintyPlan& plan, const FirstOrderBudget& budget,
                     std::ostream& out) {
    for (const FirstOrderLine& line : budget.results) {
        if (!line.failure.empty()) {
            out << line.name << ": " << line.failure << '\n';
            continue;
        }
        out << line.name << " = " << FormatNumber(line.value) << " ± "
            << FormatNumber(line.uncertainty) << (line.units.empty() ? "" : " ") << line.units
            << '\n';
        for (std::size_t k = 0; k < line.inputs.size(); ++k) {
            const SensitivityLine& part = line.inputs[k];
            out << "  " << plan.input(k).name << " sensitivity " << FormatNumber(part.sensitivity)
                << " contribution " << FormatNumber(part.contribution) << " share "
                << FormatNumber(part.share) << '%';
            if (!part.stepAgrees) {
                out << " (unsure: " << FormatNumber(part.checkSensitivity)
                    << " at ten times the step)";
            }
            out << '\n';
        }
    }
}

void PrintFailures(std::span<const DrawFailure> failures, std::uint64_t failed, std::uint64_t draws,
                   std::ostream& err) {
    for (const DrawFailure& failure : failures) {
        err << "quantaro-cli: draw " << failure.draw << " failed: " << failure.message << '\n';
    }
    err << "quantaro-cli: " << failed << " of " << draws << (draws == 1 ? " draw" : " draws")
        << " failed\n";
}

// The report's table of the draws' summaries, one row per quantity.
JsonReport::Table* SummaryTable(JsonReport* report) {
    if (!report) return nullptr;
    return &report->addTable(
        "monte carlo", {"name", "units", "draws", "failed", "mean", "sd", "2.5 %", "50 %", "97.5 %",
                        "shortest 95 % from", "to"});
}

// Prints a quantity's summary line, and adds it to the table if there is one.
void ShowSummary(const std::string& name, const std::string& units,
                 std::span<const long double> values, std::ostream& out, JsonReport::Table* table) {
    const DrawSummary s = SummarizeDraws(values);
    out << SummaryLine(name, units, s) << '\n';
    if (!table) return;
    std::vector<std::string> row{name, units, std::to_string(s.count), std::to_string(s.failed)};
    for (const long double value :
         {s.mean, s.deviation, s.low, s.median, s.high, s.shortestLow, s.shortestHigh})
        row.push_back(std::isnan(value) ? std::string() : FormatNumber(value));
    table->addRow(row);
}

void SummarizeFailures(JsonReport* report, std::uint64_t failed, std::uint64_t draws) {
    if (!report) return;
    report->setSummary("drawsRun", static_cast<qint64>(draws));
    report->setSummary("failed", static_cast<qint64>(failed));
}

int Stopped(std::uint64_t done, std::uint64_t of, int signal, std::ostream& err) {
    err << "quantaro-cli: stopped after draw " << done << " of " << of << " (" << strsignal(signal)
        << ")\n";
    return kExitSignalBase + signal;
}

}  // namespace

std::optional<UncertainInput> ParseUncertaintyOption(const QString& text, std::string& fault) {
    const qsizetype equals = text.lastIndexOf(QLatin1Char('='));
    const QStringList parts =
        equals > 0 ? text.mid(equals + 1).split(QLatin1Char(':')) : QStringList();
    if (equals <= 0 || text.left(equals).trimmed().isEmpty() || parts.size() > 2 ||
        parts[0].trimmed().isEmpty()) {
        fault = "--uncertainty takes NAME=U[%][:normal|uniform|triangular], not " + Quoted(text);
        return std::nullopt;
    }
    UncertainInput input;
    input.name = NameBytes(text.left(equals));
    const std::string where =
        "--uncertainty " + ShownFileName(text.left(equals).trimmed()).toStdString() + ": ";
    if (const std::string why = ReadUncertaintyAmount(NameBytes(parts[0]), input); !why.empty()) {
        fault = where + why;
        return std::nullopt;
    }
    if (parts.size() == 2) {
        const std::optional<Distribution> distribution = DistributionNamed(parts[1]);
        if (!distribution) {
            fault = where + "the distribution may be normal, uniform or triangular, not " +
                    Quoted(parts[1]);
            return std::nullopt;
        }
        input.distribution = *distribution;
    }
    if (input.halfWidth && input.distribution == Distribution::Normal) {
        fault = where + "a half-width " + Quoted(parts[0]) +
                " needs :uniform or :triangular; a normal distribution takes U";
        return std::nullopt;
    }
    return input;
}

int RunUncertaintyCommand(const Worksheet& sheet, const UncertaintyCommand& command,
                          std::ostream& out, std::ostream& err, PendingStop pendingStop,
                          JsonReport* report) {
    UncertaintySetup setup{command.inputs, {}, command.run};
    if (command.report) {
        for (const QString& name : *command.report) setup.results.push_back(NameBytes(name));
    }
    if (const std::string fault = UncertaintySetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    const UncertaintyPlan plan(sheet, std::move(setup));
    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    const FirstOrderBudget budget = PropagateFirstOrder(sheet, plan, &control);
    if (const int signal = watch.signal()) {
        err << "quantaro-cli: stopped (" << strsignal(signal) << ")\n";
        return kExitSignalBase + signal;
    }
    PrintFirstOrder(plan, budget, out);
    if (report) report->addTable("first order", FirstOrderTable(plan, budget));
    if (!command.draws) return 0;
    if (report) {
        report->setSummary("draws", static_cast<qint64>(*command.draws));
        report->setSummary("seed", QString::number(command.seed));
    }

    const Shard shard = command.shard.value_or(Shard{});
    const auto [first, last] = ShardPoints(shard, *command.draws);
    std::optional<AtomicFileWriter> file;
    const auto unwritten = [&](std::uint64_t done, const QString& failure) {
        err << failure.toStdString() << " (stopped after draw " << done << " of " << last << ")\n";
        return kExitCannotSave;
    };
    if (command.csvFile) {
        file.emplace(*command.csvFile);
        if (const std::optional<QString> failure = file->write(DrawsCsvHeader(plan)))
            return unwritten(first - 1, *failure);
    }
    const MonteCarloRunner runner(sheet, plan);
    const std::size_t columns = plan.inputCount() + plan.resultCount();
    std::vector<std::vector<long double>> values(columns);
    std::vector<DrawFailure> failures;
    std::uint64_t failed = 0;
    std::string rows;
    for (std::uint64_t from = first; from <= last; from += kDrawsPerBlock) {
        const MonteCarloDraws draws =
            runner.run(command.seed, from, std::min(last, from + kDrawsPerBlock - 1), &control);
        const std::uint64_t done = from - 1 + draws.size();
        if (!draws.shortfall().empty()) {
            err << "quantaro-cli: stopped after draw " << done << " of " << last << ": "
                << draws.shortfall() << '\n';
            return kExitCannotSave;
        }
        for (std::size_t k = 0; k < columns; ++k) {
            const auto column =
                k < plan.inputCount() ? draws.input(k) : draws.result(k - plan.inputCount());
            values[k].insert(values[k].end(), column.begin(), column.end());
        }
        for (const DrawFailure& failure : draws.firstFailures()) {
            if (failures.size() < kKeptFailures) failures.push_back(failure);
        }
        failed += draws.failedCount();
        if (file) {
            rows.clear();
            AppendDrawsCsvRows(rows, draws);
            if (const std::optional<QString> failure = file->write(rows))
                return unwritten(done, *failure);
        }
        if (const int signal = watch.signal()) return Stopped(done, last, signal, err);
        if (last - from < kDrawsPerBlock) break;  // the next block would wrap around
    }
    if (file) {
        if (const std::optional<QString> failure = file->commit()) {
            err << failure->toStdString() << '\n';
            return kExitCannotSave;
        }
    }
    JsonReport::Table* table = SummaryTable(report);
    for (std::size_t k = 0; k < columns; ++k) {
        const bool input = k < plan.inputCount();
        const std::string& name =
            input ? plan.input(k).name : plan.resultNames()[k - plan.inputCount()];
        const std::string& units =
            input ? plan.input(k).units : plan.resultUnits()[k - plan.inputCount()];
        ShowSummary(name, units, values[k], out, table);
    }
    PrintFailures(failures, failed, last >= first ? last - first + 1 : 0, err);
    SummarizeFailures(report, failed, last >= first ? last - first + 1 : 0);
    return 0;
}

int RunSummarizeCommand(const QStringList& files, std::ostream& out, std::ostream& err,
                        JsonReport* report) {
    DrawFile draws;
    for (const QString& path : files) {
        const FileReadResult read = ReadDocumentFile(path, kDrawFileLimit);
        if (read.status != LoadStatus::Loaded) {
            if (report) report->addInputFile("draws", path);
            if (read.errorText.isEmpty()) {
                err << "quantaro-cli: there is no file " << Quoted(path) << '\n';
            } else {
                err << read.errorText.toStdString() << '\n';
            }
            return read.status == LoadStatus::Failed ? kExitIoError : kExitMissingFile;
        }
        if (report) report->addInputFile("draws", path, read.bytes);
        const std::string fault =
            ReadDrawsCsv(read.bytes, ShownFileName(path).toStdString(), draws);
        if (!fault.empty()) {
            err << "quantaro-cli: " << fault << '\n';
            return kExitUsage;
        }
    }
    if (const std::string fault = FinishDrawFile(draws); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    JsonReport::Table* table = SummaryTable(report);
    for (std::size_t k = 0; k < draws.names.size(); ++k)
        ShowSummary(draws.names[k], draws.units[k], draws.columns[k], out, table);
    PrintFailures(draws.firstFailures, draws.failedCount, draws.draws.size(), err);
    SummarizeFailures(report, draws.failedCount, draws.draws.size());
    return 0;
}

namespace {

// The draws' values are kept for their summary: too many of them for the
// memory ends the study with a message, not a crash.
int WithMemory(std::ostream& err, const std::function<int()>& study) {
    try {
        return study();
    } catch (const std::bad_alloc&) {
        err << "quantaro-cli: there is not enough memory for the draws' values: run fewer, or "
               "run them in shards (--shard I/N --csv) and --summarize the files\n";
        return kExitCannotSave;
    }
}

std::optional<StudyJob> ReadUncertainty(const QCommandLineParser& parser, std::string& fault) {
    UncertaintyCommand command;
    for (const QString& text : parser.values(QStringLiteral("uncertainty"))) {
        const std::optional<UncertainInput> input = ParseUncertaintyOption(text, fault);
        if (!input) return std::nullopt;
        command.inputs.push_back(*input);
    }
    const bool monteCarlo = parser.isSet(QStringLiteral("monte-carlo"));
    if (monteCarlo) {
        const QString text = parser.value(QStringLiteral("monte-carlo"));
        command.draws = WholeNumber(text);
        if (!command.draws || *command.draws < 1) {
            fault = "--monte-carlo takes a whole number of draws from 1 to " +
                    std::to_string(std::numeric_limits<std::uint64_t>::max()) + ", not " +
                    Quoted(text);
            return std::nullopt;
        }
    }
    for (const char* option : {"seed", "shard", "csv"}) {
        if (!monteCarlo && parser.isSet(QLatin1String(option))) {
            fault = "--" + std::string(option) + " needs --monte-carlo with --uncertainty";
            return std::nullopt;
        }
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        const QString text = parser.value(QStringLiteral("seed"));
        const std::optional<std::uint64_t> seed = WholeNumber(text);
        if (!seed) {
            fault = "--seed takes a whole number from 0 to " +
                    std::to_string(std::numeric_limits<std::uint64_t>::max()) + ", not " +
                    Quoted(text);
            return std::nullopt;
        }
        command.seed = *seed;
    }
    if (parser.isSet(QStringLiteral("shard"))) {
        if (!parser.isSet(QStringLiteral("csv"))) {
            fault = "--shard needs --csv DRAWS.csv: a shard's draws go to their file";
            return std::nullopt;
        }
        command.shard = ParseShardOption(parser.value(QStringLiteral("shard")), fault);
        if (!command.shard) return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("csv"))) command.csvFile = parser.value(QStringLiteral("csv"));
    if (parser.isSet(QStringLiteral("report")))
        command.report = parser.value(QStringLiteral("report")).split(QLatin1Char(','));
    return [command](const StudyContext& context) mutable {
        command.run = context.run;
        return WithMemory(context.err, [&] {
            return RunUncertaintyCommand(context.sheet, command, context.out, context.err,
                                         context.pendingStop, context.report);
        });
    };
}

std::optional<StudyJob> ReadSummarize(const QCommandLineParser& parser, std::string&) {
    const QStringList files =
        QStringList(parser.value(QStringLiteral("summarize"))) + parser.positionalArguments();
    return [files](const StudyContext& context) {
        return WithMemory(context.err, [&] {
            return RunSummarizeCommand(files, context.out, context.err, context.report);
        });
    };
}

}  // namespace

StudyRow UncertaintyStudy() {
    return {
        .options = {{.name = "uncertainty",
                     .valueName = "NAME=U[%]",
                     .description = "Propagate U, NAME's uncertainty, to the results.",
                     .mostTimes = 99},
                    {.name = "monte-carlo",
                     .valueName = "N",
                     .description = "With --uncertainty, run N random draws too."},
                    {.name = "seed",
                     .valueName = "S",
                     .description = "With --monte-carlo, draw from seed S (default 1)."},
                    {.name = "report",
                     .valueName = "NAME[,NAME...]",
                     .description = "With --uncertainty, report only these variables."}},
        .synopsis = {"--uncertainty NAME=U[%][:DIST] [--uncertainty NAME=...]",
                     "[--report NAME[,NAME...]] [--monte-carlo N [--seed S]",
                     "[--shard I/N] [--csv DRAWS.csv]]"},
        .rules = {{StudyRule::Refuses, "save-variables"}, {StudyRule::Refuses, "record"}},
        .borrowed = {"shard"},
        .read = ReadUncertainty,
    };
}

StudyRow SummarizeStudy() {
    return {
        .options = {{.name = "summarize",
                     .valueName = "DRAWS.csv",
                     .description = "Summarize the draws in DRAWS.csv and more files."}},
        .synopsis = {"--summarize DRAWS.csv [DRAWS.csv...]"},
        .rules = {{StudyRule::Refuses, "formula-text"},
                  {StudyRule::Refuses, "constants"},
                  {StudyRule::Refuses, "variables"},
                  {StudyRule::Refuses, "csv"},
                  {StudyRule::Refuses, "save-variables"},
                  {StudyRule::Refuses, "record"},
                  {StudyRule::Refuses, "equation"},
                  {StudyRule::Refuses, "passes"},
                  {StudyRule::Refuses, "degrees"},
                  {StudyRule::Refuses, "radians"}},
        .readsWorksheet = false,
        .read = ReadSummarize,
    };
}

}  // namespace quantaro
