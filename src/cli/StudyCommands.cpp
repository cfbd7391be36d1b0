#include "cli/StudyCommands.h"

#include <algorithm>
#include <cstring>

#include "documents/CsvFormat.h"
#include "documents/FileIo.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

// A sweep runs blocks of points between two looks at a stop request and two
// writes of its rows: about so many passes, and a point for each worker at
// least.
constexpr std::uint64_t kPassesPerBlock = 65'536;
constexpr std::uint64_t kMostPointsPerBlock = 16'384;

std::string Quoted(const QString& text) {
    return "'" + text.toStdString() + "'";
}

// A number as a table cell reads it; nothing, with the reason, otherwise.
std::optional<long double> NumberPart(const QString& text, const char* what, std::string& fault) {
    std::optional<long double> value;
    try {
        value = ParseNumber(text.toStdString());
    } catch (const FloatingPointFault&) {
        fault = std::string(what) + " " + Quoted(text) + " is beyond the range of numbers";
        return std::nullopt;
    }
    if (!value) fault = std::string(what) + " " + Quoted(text) + " is not a number";
    return value;
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
    void write(const std::string& bytes) {
        if (file_) {
            file_->write(bytes);
        } else {
            out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    // The reason the file was not written, if it was not; standard output is
    // checked when the run ends.
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
    axis.name = parts->first.toStdString();
    const std::string where = "--sweep " + axis.name + ": ";
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
        fault = where + "COUNT " + Quoted(values[2]) + " is not a whole number";
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
    setup.result = parts->first.toStdString();
    setup.input = by.trimmed().toStdString();
    const std::optional<long double> target = NumberPart(parts->second, "TARGET", fault);
    if (!target) {
        fault = "--seek " + setup.result + ": " + fault;
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

int RunSweepCommand(const Worksheet& sheet, const SweepCommand& command, std::ostream& out,
                    std::ostream& err, PendingStop pendingStop) {
    SweepSetup setup{command.axes, {}, command.run};
    if (command.record) {
        for (const QString& name : *command.record)
            setup.outputs.push_back(name.trimmed().toStdString());
    } else {
        setup.outputs = DefaultSweepOutputs(sheet, setup.axes);
    }
    if (const std::string fault = SweepSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    SweepRunner runner(sheet, SweepPlan(sheet, std::move(setup)));
    const SweepPlan& plan = runner.plan();
    const auto [first, last] = ShardPoints(command.shard, plan.pointCount());

    CsvOutput csv(command.csvFile, out);
    std::string rows = SweepCsvHeader(plan.inputNames(), plan.outputNames());
    csv.write(rows);
    const std::uint64_t block =
        std::clamp<std::uint64_t>(kPassesPerBlock / static_cast<std::uint64_t>(command.run.passes),
                                  runner.workerCount(), kMostPointsPerBlock);
    std::uint64_t failed = 0;
    for (std::uint64_t from = first; from <= last; from += block) {
        if (const int signal = pendingStop ? pendingStop() : 0) {
            err << "quantaro-cli: stopped after point " << from - 1 << " of " << last << " ("
                << strsignal(signal) << ")\n";
            return kExitSignalBase + signal;
        }
        const SweepResults results = runner.run(from, std::min(last, from + block - 1));
        failed += results.failedCount();
        rows.clear();
        AppendSweepCsvRows(rows, results);
        csv.write(rows);
        if (last - from < block) break;  // the next block would wrap around
    }
    if (const std::optional<QString> failure = csv.finish()) {
        err << failure->toStdString() << '\n';
        return kExitCannotSave;
    }
    const std::uint64_t points = last >= first ? last - first + 1 : 0;
    err << "quantaro-cli: " << failed << " of " << points << (points == 1 ? " point" : " points")
        << " failed\n";
    return 0;
}

int RunSeekCommand(Worksheet& sheet, const SeekSetup& setup, std::ostream& err) {
    if (const std::string fault = SeekSetupError(sheet, setup); !fault.empty()) {
        err << "quantaro-cli: " << fault << '\n';
        return kExitUsage;
    }
    const SeekResult result = GoalSeek(sheet, setup);
    if (!result.found) {
        err << "quantaro-cli: " << result.message << '\n';
        return kExitNoSolution;
    }
    // The final run, as every trial ran, so that the tables show the solution.
    const InputCell cell = *FindInputCell(sheet, setup.input);
    PointRunner runner(sheet, setup.run);
    runner.run({&cell, 1}, {&result.valueText, 1});
    sheet.constants = runner.sheet().constants;
    sheet.variables = runner.sheet().variables;
    err << "quantaro-cli: " << TableOf(sheet, cell.table).name(cell.row) << " = "
        << result.valueText << " sets "
        << sheet.variables.name(sheet.variables.findRow(setup.result)) << " to "
        << result.resultText << " (" << result.trials << " trials)\n";
    return 0;
}

}  // namespace quantaro
