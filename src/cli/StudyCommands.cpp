#include "cli/StudyCommands.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <limits>
#include <span>

#include "cli/JsonReport.h"
#include "cli/SignalWatch.h"
#include "cli/TableOutput.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "engine/Numbers.h"
#include "studies/CsvWriter.h"
#include "studies/InputUse.h"

namespace quantaro {
namespace {

// A sweep runs blocks of points between two looks at a stop request and two
// writes of its rows: about so many passes, and a point for each worker at
// least.
constexpr std::uint64_t kPassesPerBlock = 65'536;
constexpr std::uint64_t kMostPointsPerBlock = 16'384;

// An option's text as messages show it: each byte that is not UTF-8 as \xHH.
std::string Quoted(const QString& text) {
    std::string quoted(1, '\'');
    quoted.append(ShownFileName(text).toStdString()).append(1, '\'');
    return quoted;
}

// A name as its bytes, which match a table's name only when they are UTF-8.
std::string NameBytes(const QString& text) {
    const std::optional<QByteArray> bytes = FileNameBytes(text.trimmed());
    return bytes ? bytes->toStdString() : text.trimmed().toStdString();
}

// A number as a table cell reads it; nothing, with the reason, otherwise.
std::optional<long double> NumberPart(const QString& text, const char* what, std::string& fault) {
    const NumberReading reading = ReadNumber(text.toStdString());
    if (reading.overflows) {
        fault = std::string(what) + " " + Quoted(text) + " is beyond the range of numbers";
    } else if (!reading.value) {
        fault = std::string(what) + " " + Quoted(text) + " is not a number";
    }
    return reading.value;
}

// The text before the last "=" and the text after it, both non-empty.
std::optional<std::pair<QString, QString>> SplitAtEquals(const QString& text) {
    const qsizetype at = text.lastIndexOf(QLatin1Char('='));
    if (at <= 0 || at == text.size() - 1) return std::nullopt;
    return std::pair{text.left(at).trimmed(), text.mid(at + 1)};
}

// Writes the rows of a sweep where they go: a file replaced only when all
// are written, or standard output as they come.
class CsvOutput {
  public:
    CsvOutput(const QString& path, std::ostream& out) : out_(out) {
        if (path != QLatin1String("-")) file_.emplace(path);
    }
    // The reason the rows could not be written, if they could not: the file's
    // own, or nothing to add for standard output, whose failure the run's end
    // reports.
    std::optional<QString> write(const std::string& bytes) {
        if (file_) return file_->write(bytes);
        out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out_) return QString();
        return std::nullopt;
    }
    // The reason the file was not written, if it was not.
    std::optional<QString> finish() { return file_ ? file_->commit() : std::nullopt; }

  private:
    std::ostream& out_;
    std::optional<AtomicFileWriter> file_;
};

}  // namespace

std::optional<SweepAxis> ParseSweepOption(const QString& text, std::string& fault) {
    const auto parts = SplitAtEquals(text);
    const QStringList values = parts ? parts->second.split(QLatin1Char(':')) : QStringList();
    if (!parts || parts->first.isEmpty() || values.size() < 3 || values.size() > 4) {
        fault = "--sweep takes NAME=FROM:TO:COUNT[:log], not " + Quoted(text);
        return std::nullopt;
    }
    SweepAxis axis;
    axis.name = NameBytes(parts->first);
    const std::string where = "--sweep " + ShownFileName(parts->first).toStdString() + ": ";
    const std::optional<long double> from = NumberPart(values[0], "FROM", fault);
    const std::optional<long double> to = from ? NumberPart(values[1], "TO", fault) : std::nullopt;
    if (!from || !to) {
        fault = where + fault;
        return std::nullopt;
    }
    axis.from = *from;
    axis.to = *to;
    bool whole = false;
    axis.count = values[2].toLongLong(&whole);
    if (!whole) {
        // Digits that overflow are a whole number all the same.
        const QString digits = values[2].trimmed();
        const bool number =
            QRegularExpression(QStringLiteral("^[+-]?[0-9]+$")).match(digits).hasMatch();
        if (number && digits.startsWith(QLatin1Char('-'))) {
            fault = where + "COUNT " + Quoted(values[2]) + " must be at least 1";
        } else if (number) {
            fault = where + "COUNT " + Quoted(values[2]) +
                    " is too large: the largest count accepted is " +
                    std::to_string(std::numeric_limits<std::int64_t>::max());
        } else {
            fault = where + "COUNT " + Quoted(values[2]) + " is not a whole number";
        }
        return std::nullopt;
    }
    if (values.size() == 4) {
        if (values[3].compare(QLatin1String("log"), Qt::CaseInsensitive) != 0) {
            fault = where + "the fourth part may only be 'log', not " + Quoted(values[3]);
            return std::nullopt;
        }
        axis.spacing = SweepSpacing::Logarithmic;
    }
    return axis;
}

std::optional<Shard> ParseShardOption(const QString& text, std::string& fault) {
    const QStringList parts = text.split(QLatin1Char('/'));
    bool wholeIndex = false, wholeCount = false;
    const qlonglong index = parts.size() == 2 ? parts[0].toLongLong(&wholeIndex) : 0;
    const qlonglong count = parts.size() == 2 ? parts[1].toLongLong(&wholeCount) : 0;
    if (!wholeIndex || !wholeCount || count < 1 || index < 1 || index > count) {
        fault = "--shard takes I/N with 1 <= I <= N, not " + Quoted(text);
        return std::nullopt;
    }
    return Shard{static_cast<std::uint64_t>(index), static_cast<std::uint64_t>(count)};
}

// (I - 1) M / N as (I - 1) (M / N) + (I - 1) (M % N) / N, so that nothing
// overflows while N < 2^32.
std::pair<std::uint64_t, std::uint64_t> ShardPoints(const Shard& shard, std::uint64_t pointCount) {
    const auto blocksBefore = [&](std::uint64_t blocks) {
        const std::uint64_t whole = pointCount / shard.count;
        const std::uint64_t rest = pointCount % shard.count;
        return blocks * whole + blocks * rest / shard.count;
    };
    return {blocksBefore(shard.index - 1) + 1, blocksBefore(shard.index)};
}

std::optional<SeekSetup> ParseSeekOptions(const QString& seek, const QString& by,
                                          const std::optional<QString>& between,
                                          std::string& fault) {
    const auto parts = SplitAtEquals(seek);
    if (!parts || parts->first.isEmpty()) {
        fault = "--seek takes RESULT=TARGET, not " + Quoted(seek);
        return std::nullopt;
    }
    SeekSetup setup;
    setup.result = NameBytes(parts->first);
    setup.input = NameBytes(by);
    const std::optional<long double> target = NumberPart(parts->second, "TARGET", fault);
    if (!target) {
        fault = "--seek " + ShownFileName(parts->first).toStdString() + ": " + fault;
        return std::nullopt;
    }
    setup.target = *target;
    if (!between) return setup;
    const QStringList ends = between->split(QLatin1Char(':'));
    if (ends.size() != 2) {
        fault = "--between takes LO:HI, not " + Quoted(*between);
        return std::nullopt;
    }
    const std::optional<long double> lo = NumberPart(ends[0], "LO", fault);
    const std::optional<long double> hi = lo ? NumberPart(ends[1], "HI", fault) : std::nullopt;
    if (!lo || !hi) {
        fault = "--between: " + fault;
        return std::nullopt;
    }
    setup.interval = std::pair{*lo, *hi};
    return setup;
}

namespace {

// The warnings that an input's value changes nothing, on err.
void WarnOfIgnoredInputs(const Worksheet& sheet, std::span<const InputCell> inputs,
                         const StudyRun& run, std::ostream& err) {
    for (const InputCell& cell : inputs) {
        const std::string warning = IgnoredInputWarning(sheet, cell, run);
        if (!warning.empty()) err << "quantaro-cli: warning: " << warning << '\n';
    }
}

int Stopped(const char* what, std::uint64_t done, std::uint64_t of, int signal, std::ostream& err) {
    err << "quantaro-cli: stopped after " << what << ' ' << done;
    if (of != 0) err << " of " << of;
    err << " (" << strsignal(signal) << ")\n";
    return kExitSignalBase + signal;
}

}  // namespace

namespace {

// The report's table of a sweep's points: the CSV file's columns.
JsonReport::Table* PointTable(JsonReport* report, const SweepPlan& plan) {
    if (!report) return nullptr;
    std::vector<std::string> columns{"point"};
    columns.insert(columns.end(), plan.inputNames().begin(), plan.inputNames().end());
    columns.insert(columns.end(), plan.outputNames().begin(), plan.outputNames().end());
    columns.emplace_back("message");
    return &report->addTable("points", std::move(columns));
}

void AddPoints(JsonReport::Table& table, const SweepResults& results) {
    std::vector<std::string> row;
    for (std::size_t k = 0; k < results.size(); ++k) {
        row = {std::to_string(results.pointNumber(k))};
        for (std::size_t axis = 0; axis < results.inputNames().size(); ++axis)
            row.push_back(results.input(k, axis));
        for (std::size_t column = 0; column < results.outputNames().size(); ++column)
            row.push_back(results.output(k, column));
        row.push_back(results.message(k));
        table.addRow(row);
    }
}

}  // namespace

int RunSweepCommand(const Worksheet& sheet, const SweepCommand& command, std::ostream& out,
                    std::ostream& err, PendingStop pendingStop, JsonReport* report) {
    SweepSetup setup{command.axes, {}, command.run};
    if (command.record) {
        for (const QString& name : *command.record) setup.outputs.push_back(NameBytes(name));
    } else {
        setup.outputs = DefaultSweepOutputs(sheet, setup.axes);
    }
    if (const std::string fault = SweepSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    SweepRunner runner(sheet, SweepPlan(sheet, std::move(setup)));
    const SweepPlan& plan = runner.plan();
    WarnOfIgnoredInputs(sheet, plan.inputCells(), plan.setup().run, err);
    const auto [first, last] = ShardPoints(command.shard, plan.pointCount());
    JsonReport::Table* points = PointTable(report, plan);
    if (report) {
        report->setSummary("points", static_cast<qint64>(plan.pointCount()));
        report->setSummary("shard", QJsonObject{{"index", static_cast<qint64>(command.shard.index)},
                                                {"count", static_cast<qint64>(command.shard.count)},
                                                {"first", static_cast<qint64>(first)},
                                                {"last", static_cast<qint64>(last)}});
    }

    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    CsvOutput csv(command.csvFile, out);
    std::string rows = SweepCsvHeader(plan.inputNames(), plan.outputNames());
    // A write that fails ends the sweep at once: the disk will not take the rest.
    const auto unwritten = [&](std::uint64_t done, const std::optional<QString>& failure) {
        if (failure->isEmpty()) return kExitIoError;  // standard output: reported at the end
        err << failure->toStdString() << " (stopped after point " << done << " of " << last
            << ")\n";
        return kExitCannotSave;
    };
    if (const std::optional<QString> failure = csv.write(rows))
        return unwritten(first - 1, failure);
    const std::uint64_t block =
        std::clamp<std::uint64_t>(kPassesPerBlock / static_cast<std::uint64_t>(command.run.passes),
                                  runner.workerCount(), kMostPointsPerBlock);
    std::uint64_t failed = 0;
    for (std::uint64_t from = first; from <= last; from += block) {
        const SweepResults results = runner.run(from, std::min(last, from + block - 1), &control);
        failed += results.failedCount();
        if (points) AddPoints(*points, results);
        rows.clear();
        AppendSweepCsvRows(rows, results);
        const std::uint64_t done = from - 1 + results.size();
        if (const std::optional<QString> failure = csv.write(rows)) return unwritten(done, failure);
        if (const int signal = watch.signal()) return Stopped("point", done, last, signal, err);
        if (!results.shortfall().empty()) {
            err << "quantaro-cli: stopped after point " << done << " of " << last << ": "
                << results.shortfall() << '\n';
            return kExitCannotSave;
        }
        if (last - from < block) break;  // the next block would wrap around
    }
    if (const std::optional<QString> failure = csv.finish()) {
        err << failure->toStdString() << '\n';
        return kExitCannotSave;
    }
    const std::uint64_t run = last >= first ? last - first + 1 : 0;
    err << "quantaro-cli: " << failed << " of " << run << (run == 1 ? " point" : " points")
        << " failed\n";
    if (report) {
        report->setSummary("pointsRun", static_cast<qint64>(run));
        report->setSummary("failed", static_cast<qint64>(failed));
    }
    return 0;
}

int RunSeekCommand(Worksheet& sheet, const SeekSetup& setup, std::ostream& err,
                   PendingStop pendingStop, JsonReport* report) {
    if (const std::string fault = SeekSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    const InputCell cell = *FindInputCell(sheet, setup.input);
    WarnOfIgnoredInputs(sheet, {&cell, 1}, setup.run, err);
    StudyControl control;
    const SignalWatch watch(pendingStop, control);
    const SeekResult result = GoalSeek(sheet, setup, &control);
    if (const int signal = watch.signal()) {
        return Stopped("trial", control.done(), 0, signal, err);
    }
    if (!result.succeeded()) {
        err << "quantaro-cli: " << result.message << '\n';
        return kExitNoSolution;
    }
    // The final run, as every trial ran, so that the tables show the solution.
    PointRunner runner(sheet, setup.run);
    runner.run({&cell, 1}, {&result.value, 1}, &control);
    if (const int signal = watch.signal()) {
        return Stopped("trial", control.done(), 0, signal, err);
    }
    sheet.constants = runner.sheet().constants;
    sheet.variables = runner.sheet().variables;
    const std::string& input = TableOf(sheet, cell.table).name(cell.row);
    const std::string& output = sheet.variables.name(sheet.variables.findRow(setup.result));
    err << "quantaro-cli: " << input << " = " << result.valueText << " sets " << output << " to "
        << result.resultText << " (" << result.trials << " trials)\n";
    if (report) {
        report->setSummary("input", JsonText(input));
        report->setSummary("value", JsonText(result.valueText));
        report->setSummary("result", JsonText(output));
        report->setSummary("target", JsonText(FormatNumber(setup.target)));
        report->setSummary("resultValue", JsonText(result.resultText));
        report->setSummary("trials", result.trials);
    }
    return 0;
}

namespace {

std::optional<StudyJob> ReadSweep(const QCommandLineParser& parser, std::string& fault) {
    std::vector<SweepAxis> axes;
    for (const QString& text : parser.values(QStringLiteral("sweep"))) {
        const std::optional<SweepAxis> axis = ParseSweepOption(text, fault);
        if (!axis) return std::nullopt;
        axes.push_back(*axis);
    }
    Shard shard;
    if (parser.isSet(QStringLiteral("shard"))) {
        const std::optional<Shard> given =
            ParseShardOption(parser.value(QStringLiteral("shard")), fault);
        if (!given) return std::nullopt;
        shard = *given;
    }
    return [axes, shard](const StudyContext& context) {
        const SweepCommand command{axes, context.recordNames, shard, *context.csvFile, context.run};
        return RunSweepCommand(context.sheet, command, context.out, context.err,
                               context.pendingStop, context.report);
    };
}

// Prints the tables of the final run at the value found, the input's line
// first when it is a constant, and saves the variables when asked to.
int Seek(SeekSetup setup, const StudyContext& context) {
    setup.run = context.run;
    Worksheet& sheet = context.sheet;
    if (const int exitCode =
            RunSeekCommand(sheet, setup, context.err, context.pendingStop, context.report))
        return exitCode;
    const InputCell input = *FindInputCell(sheet, setup.input);
    if (input.table == InputTable::Constants)
        PrintConstant(sheet.constants, input.row, context.out, context.report);
    PrintVariables(sheet.variables, context.out, context.report);
    if (context.saveVariablesFile.isEmpty()) return 0;
    return SaveVariables(context.saveVariablesFile, sheet, context.variablesEncoding, context.err)
               ? 0
               : kExitCannotSave;
}

std::optional<StudyJob> ReadSeek(const QCommandLineParser& parser, std::string& fault) {
    const QString between = QStringLiteral("between");
    const std::optional<SeekSetup> setup = ParseSeekOptions(
        parser.value(QStringLiteral("seek")), parser.value(QStringLiteral("by")),
        parser.isSet(between) ? std::optional(parser.value(between)) : std::nullopt, fault);
    if (!setup) return std::nullopt;
    return [setup = *setup](const StudyContext& context) { return Seek(setup, context); };
}

}  // namespace

StudyRow SweepStudy() {
    return {
        .options = {{.name = "sweep",
                     .valueName = "NAME=FROM:TO:N",
                     .description = "Run at N values of NAME from FROM to TO.",
                     .mostTimes = 2},
                    {.name = "shard",
                     .valueName = "I/N",
                     .description = "Run block I of N only (--sweep, --monte-carlo)."}},
        .synopsis = {"--sweep NAME=FROM:TO:COUNT[:log] [--sweep NAME=...]",
                     "[--shard I/N] [--record NAME[,NAME...]] --csv (OUT.csv | -)"},
        // A sweep keeps no table.
        .rules = {{StudyRule::Refuses, "save-variables"},
                  {StudyRule::Needs, "csv", "--csv OUT.csv, or --csv - for standard output"}},
        .csvToStandardOutput = true,
        .read = ReadSweep,
    };
}

StudyRow SeekStudy() {
    return {
        .options = {{.name = "seek",
                     .valueName = "RESULT=TARGET",
                     .description = "Find the --by value that sets RESULT to TARGET."},
                    {.name = "by",
                     .valueName = "NAME",
                     .description = "The inputs to change: NAME,... or NAME=LO:HI,..."},
                    {.name = "between",
                     .valueName = "LO:HI",
                     .description = "With --seek, search between LO and HI."}},
        .synopsis = {"--seek RESULT=TARGET --by NAME [--between LO:HI]"},
        // A goal seek prints the table of one run, not a trajectory.
        .rules = {{StudyRule::Needs, "by", "--by NAME"},
                  {StudyRule::Refuses, "csv"},
                  {StudyRule::Refuses, "record"}},
        .read = ReadSeek,
    };
}

}  // namespace quantaro
