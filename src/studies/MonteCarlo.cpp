#include "studies/MonteCarlo.h"

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <exception>
#include <limits>
#include <mutex>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>

#include "engine/Engine.h"
#include "engine/NumberRounding.h"
#include "engine/Numbers.h"
#include "studies/CsvWriter.h"

namespace quantaro {
namespace {

constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();
// Draws are handed to the workers in blocks, as a sweep's points are.
constexpr std::uint64_t kMaxBlock = 256;
constexpr std::uint64_t kBlocksPerWorker = 8;

// The value a cell holding x's text reads as; NaN when it overflows.
long double ThroughText(long double x) {
    const TextRoundTrip back = RoundThroughText(x);
    return back.overflows ? kNoNumber : back.value;
}

long double NumberOrNaN(std::string_view text) {
    if (text.empty()) return kNoNumber;
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const long double number = ReadNumber(text).value.value_or(kNoNumber);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return number;
}

void AppendNumberOrEmpty(std::string& out, long double value) {
    if (!std::isnan(value)) AppendCsvNumber(out, value);
}

}  // namespace

const std::string& MonteCarloDraws::message(std::size_t index) const {
    static const std::string kNone;
    const std::uint64_t draw = firstDraw_ + index;
    const auto found =
        std::lower_bound(failures_.begin(), failures_.end(), draw,
                         [](const DrawFailure& f, std::uint64_t d) { return f.draw < d; });
    return found != failures_.end() && found->draw == draw ? found->message : kNone;
}

MonteCarloRunner::MonteCarloRunner(const Worksheet& sheet, UncertaintyPlan plan, unsigned workers)
    : plan_(std::make_shared<const UncertaintyPlan>(std::move(plan))),
      workers_(std::max(1u, workers)),
      start_(sheet) {
    Worksheet copy = start_;
    const std::vector<int> stored = Engine(copy).resultRows(plan_->setup().run.equation);
    const auto storedInto = [&](int row) {
        return std::find(stored.begin(), stored.end(), row) != stored.end();
    };
    for (const int row : plan_->resultRows()) {
        const bool isInput = std::any_of(
            plan_->inputCells().begin(), plan_->inputCells().end(),
            [&](InputCell c) { return c.table == InputTable::Variables && c.row == row; });
        const bool fixed = !isInput && !storedInto(row);
        resultFixed_.push_back(fixed);
        fixedResults_.push_back(fixed ? ResultNumber(start_.variables, row) : kNoNumber);
    }
    for (const InputCell& cell : plan_->inputCells()) {
        inputStoredInto_.push_back(cell.table == InputTable::Variables && storedInto(cell.row));
    }
}

struct MonteCarloRunner::Work {
    Work(MonteCarloDraws& draws, StudyControl* control, std::uint64_t seed, std::uint64_t blockSize,
         std::uint64_t blockCount)
        : draws(draws),
          control(control),
          seed(seed),
          blockSize(blockSize),
          blockCount(blockCount),
          done(blockCount),
          failed(blockCount) {}

    MonteCarloDraws& draws;
    StudyControl* control;
    std::uint64_t seed;
    std::uint64_t blockSize;
    std::uint64_t blockCount;
    std::vector<std::uint64_t> done;  // per block
    std::vector<std::uint64_t> failed;
    std::atomic<std::uint64_t> next{0};
    std::atomic<bool> halted{false};
    std::mutex lock;
    std::vector<DrawFailure> failures;
    std::string shortfall;

    bool stopped() const {
        return halted.load(std::memory_order_relaxed) || (control && control->cancelled());
    }
    void halt(std::string why) {
        halted = true;
        const std::lock_guard guard(lock);
        if (shortfall.empty()) shortfall = std::move(why);
    }
};

void MonteCarloRunner::runBlocks(PointRunner& runner, Work& work) const {
    const UncertaintyPlan& plan = *plan_;
    MonteCarloDraws& draws = work.draws;
    const std::size_t inputs = plan.inputCount();
    std::vector<long double> values(inputs);
    std::vector<DrawFailure> failures;
    while (!work.stopped()) {
        const std::uint64_t block = work.next.fetch_add(1);
        if (block >= work.blockCount) break;
        const std::uint64_t from = block * work.blockSize;
        const std::uint64_t to = std::min<std::uint64_t>(draws.capacity_, from + work.blockSize);
        std::uint64_t done = 0, failed = 0;
        for (std::uint64_t index = from; index < to && !work.stopped(); ++index) {
            const std::uint64_t draw = draws.firstDraw_ + index;
            plan.drawInputs(source_, work.seed, draw, values);
            const std::optional<RunOutcome> outcome =
                runner.run(plan.inputCells(), values, work.control);
            if (!outcome) break;  // cancelled within the draw
            // Each input as its cell reads it: the table rounded it once
            // already, unless a run may have stored into that cell since.
            long double* column = draws.values_.get() + index;
            for (std::size_t k = 0; k < inputs; ++k, column += draws.capacity_) {
                const InputCell cell = plan.inputCells()[k];
                const NameTable& table = TableOf(runner.sheet(), cell.table);
                if (inputStoredInto_[k]) {
                    *column = ThroughText(values[k]);
                } else {
                    *column = table.overflows(cell.row) ? kNoNumber : table.number(cell.row);
                }
            }
            const bool ok = outcome->succeeded();
            for (std::size_t r = 0; r < plan.resultCount(); ++r, column += draws.capacity_) {
                if (!ok) {
                    *column = kNoNumber;
                } else if (resultFixed_[r]) {
                    *column = fixedResults_[r];
                } else {
                    *column = ResultNumber(runner.sheet().variables, plan.resultRows()[r]);
                }
            }
            draws.failedFlags_[index] = ok ? 0 : 1;
            if (!ok) {
                ++failed;
                failures.push_back({draw, outcome->message});
            }
            ++done;
            if (work.control) work.control->countDone();
        }
        work.done[block] = done;
        work.failed[block] = failed;
    }
    const std::lock_guard guard(work.lock);
    work.failures.insert(work.failures.end(), std::make_move_iterator(failures.begin()),
                         std::make_move_iterator(failures.end()));
}

MonteCarloDraws MonteCarloRunner::run(std::uint64_t seed, std::uint64_t first, std::uint64_t last,
                                      StudyControl* control) const {
    MonteCarloDraws draws;
    draws.firstDraw_ = first;
    draws.inputCount_ = plan_->inputCount();
    draws.resultCount_ = plan_->resultCount();
    if (first < 1 || last < first) return draws;
    const std::uint64_t count = last - first + 1;
    try {
        const std::size_t columns = draws.inputCount_ + draws.resultCount_;
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(long double) / (columns + 1)) {
            throw std::bad_alloc();
        }
        draws.values_ = std::make_unique_for_overwrite<long double[]>(
            static_cast<std::size_t>(count) * columns);
        draws.failedFlags_ =
            std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        draws.values_.reset();
        draws.failedFlags_.reset();
        draws.shortfall_ =
            "there is not enough memory for the values of " + std::to_string(count) + " draws";
        return draws;
    }
    draws.capacity_ = static_cast<std::size_t>(count);
    const std::uint64_t blockSize =
        std::clamp<std::uint64_t>(count / (workers_ * kBlocksPerWorker), 1, kMaxBlock);
    const std::uint64_t blockCount = (count + blockSize - 1) / blockSize;
    Work work(draws, control, seed, blockSize, blockCount);
    RunOnWorkers(
        start_, plan_->setup().run,
        static_cast<unsigned>(std::min<std::uint64_t>(workers_, blockCount)),
        [&](PointRunner& runner) { runBlocks(runner, work); },
        [&](std::string why) { work.halt(std::move(why)); });

    for (std::uint64_t block = 0; block < blockCount; ++block) {
        draws.size_ += work.done[block];
        draws.failedCount_ += work.failed[block];
        if (work.done[block] != std::min(blockSize, count - block * blockSize)) break;
    }
    const std::uint64_t end = first + draws.size_;
    std::erase_if(work.failures, [&](const DrawFailure& f) { return f.draw >= end; });
    std::sort(work.failures.begin(), work.failures.end(),
              [](const DrawFailure& a, const DrawFailure& b) { return a.draw < b.draw; });
    draws.failures_ = std::move(work.failures);
    draws.firstFailures_.assign(
        draws.failures_.begin(),
        draws.failures_.begin() +
            static_cast<std::ptrdiff_t>(std::min(kKeptFailures, draws.failures_.size())));
    draws.shortfall_ = std::move(work.shortfall);
    return draws;
}

namespace {

// The order statistics' linear interpolation at (n - 1) p.
long double Quantile(std::span<const long double> sorted, long double p) {
    const long double at = (static_cast<long double>(sorted.size()) - 1) * p;
    const auto below = static_cast<std::size_t>(std::floor(at));
    if (below + 1 >= sorted.size()) return sorted.back();
    const long double fraction = at - static_cast<long double>(below);
    return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

}  // namespace

DrawSummary SummarizeDraws(std::span<const long double> values) {
    DrawSummary summary;
    std::vector<long double> numbers;
    numbers.reserve(values.size());
    for (const long double value : values) {
        if (std::isnan(value)) {
            ++summary.failed;
        } else {
            numbers.push_back(value);
        }
    }
    summary.count = numbers.size();
    if (numbers.empty()) {
        summary.mean = summary.deviation = summary.low = summary.median = summary.high =
            summary.shortestLow = summary.shortestHigh = kNoNumber;
        return summary;
    }
    const auto n = static_cast<long double>(numbers.size());
    summary.mean = std::accumulate(numbers.begin(), numbers.end(), 0.0L) / n;
    // A second pass takes out the sum's rounding: draws that all hold one
    // value then have exactly that mean and no deviation.
    long double residual = 0.0L;
    for (const long double value : numbers) residual += value - summary.mean;
    summary.mean += residual / n;
    long double squares = 0.0L;
    for (const long double value : numbers)
        squares += (value - summary.mean) * (value - summary.mean);
    summary.deviation = numbers.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0L;

    std::sort(numbers.begin(), numbers.end());
    summary.low = Quantile(numbers, 0.025L);
    summary.median = Quantile(numbers, 0.5L);
    summary.high = Quantile(numbers, 0.975L);
    const auto covered = static_cast<std::size_t>(std::ceil(0.95L * n));
    std::size_t best = 0;
    for (std::size_t start = 1; start + covered <= numbers.size(); ++start) {
        if (numbers[start + covered - 1] - numbers[start] <
            numbers[best + covered - 1] - numbers[best]) {
            best = start;
        }
    }
    summary.shortestLow = numbers[best];
    summary.shortestHigh = numbers[best + covered - 1];
    return summary;
}

Histogram MakeHistogram(std::span<const long double> values, std::size_t bins) {
    Histogram histogram;
    long double lowest = INFINITY, highest = -INFINITY;
    for (const long double value : values) {
        if (std::isnan(value)) continue;
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    if (lowest > highest || bins == 0) return histogram;
    if (!(highest > lowest)) bins = 1;
    const long double width = highest > lowest ? (highest - lowest) / bins : 1.0L;
    for (std::size_t k = 0; k <= bins; ++k) histogram.edges.push_back(lowest + k * width);
    histogram.edges.back() = highest > lowest ? highest : lowest + 1;
    histogram.counts.assign(bins, 0);
    for (const long double value : values) {
        if (std::isnan(value)) continue;
        const auto bin = static_cast<std::size_t>((value - lowest) / width);
        ++histogram.counts[std::min(bin, bins - 1)];
    }
    return histogram;
}

std::string SummaryLine(std::string_view name, std::string_view units, const DrawSummary& summary) {
    std::string line(name);
    line.append(" = ").append(FormatNumber(summary.mean));
    line.append(" ± ").append(FormatNumber(summary.deviation));
    if (!units.empty()) line.append(1, ' ').append(units);
    line.append(" [").append(FormatNumber(summary.low));
    line.append(", ").append(FormatNumber(summary.high));
    line.append("] (").append(std::to_string(summary.failed)).append(" failed)");
    return line;
}

ResultTable UncertaintySummaryTable(const UncertaintyPlan& plan, const FirstOrderBudget* budget,
                                    std::span<const DrawSummary> results) {
    ResultTable table({"result", "units", "value", "u", "mean", "sd", "2.5 %", "50 %", "97.5 %",
                       "shortest 95 % from", "to", "failed", "note"});
    const auto number = [](long double value) {
        return std::isnan(value) ? std::string() : FormatNumber(value);
    };
    for (std::size_t r = 0; r < plan.resultCount(); ++r) {
        std::vector<std::string> row = {plan.resultNames()[r], plan.resultUnits()[r]};
        std::string note;
        if (budget && r < budget->results.size()) {
            const FirstOrderLine& line = budget->results[r];
            note = line.failure;
            row.push_back(line.failure.empty() ? FormatNumber(line.value) : "");
            row.push_back(line.failure.empty() ? FormatNumber(line.uncertainty) : "");
        } else {
            row.insert(row.end(), 2, "");
        }
        if (r < results.size()) {
            const DrawSummary& s = results[r];
            for (const long double value :
                 {s.mean, s.deviation, s.low, s.median, s.high, s.shortestLow, s.shortestHigh}) {
                row.push_back(number(value));
            }
            row.push_back(std::to_string(s.failed));
        } else {
            row.insert(row.end(), 8, "");
        }
        row.push_back(note);
        table.addRow(std::move(row));
    }
    return table;
}

namespace {

std::string ColumnName(const std::string& name, const std::string& units) {
    return units.empty() ? name : name + " [" + units + "]";
}

}  // namespace

std::string DrawsCsvHeader(const UncertaintyPlan& plan) {
    std::vector<std::string> names = {"draw"};
    for (std::size_t k = 0; k < plan.inputCount(); ++k) {
        names.push_back(ColumnName(plan.input(k).name, plan.input(k).units));
    }
    for (std::size_t r = 0; r < plan.resultCount(); ++r) {
        names.push_back(ColumnName(plan.resultNames()[r], plan.resultUnits()[r]));
    }
    names.push_back("message");
    const std::vector<std::string_view> fields(names.begin(), names.end());
    std::string header;
    AppendCsvRecord(header, fields);
    return header;
}

void AppendDrawsCsvRows(std::string& out, const MonteCarloDraws& draws) {
    for (std::size_t index = 0; index < draws.size(); ++index) {
        out += std::to_string(draws.firstDraw() + index);
        for (std::size_t k = 0; k < draws.inputCount(); ++k) {
            out += ',';
            AppendNumberOrEmpty(out, draws.input(k)[index]);
        }
        for (std::size_t r = 0; r < draws.resultCount(); ++r) {
            out += ',';
            AppendNumberOrEmpty(out, draws.result(r)[index]);
        }
        out += ',';
        AppendCsvField(out, draws.message(index));
        out += "\r\n";
    }
}

namespace {

// The records of an RFC 4180 text, each a list of fields; nothing when a
// quoted field is not closed.
std::optional<std::vector<std::vector<std::string>>> CsvRecords(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false, started = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        started = true;
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (at + 1 < text.size() && text[at + 1] == '"') {
                field += '"';
                ++at;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            started = false;
        } else {
            field += c;
        }
    }
    if (quoted) return std::nullopt;
    if (started) {
        record.push_back(std::move(field));
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace

std::string ReadDrawsCsv(std::string_view text, std::string_view source, DrawFile& into) {
    const std::string where(source);
    const auto records = CsvRecords(text);
    if (!records) return where + ": a quoted field is not closed";
    if (records->empty()) return where + " is empty";
    const std::vector<std::string>& header = records->front();
    if (header.size() < 3 || header.front() != "draw" || header.back() != "message") {
        return where +
               " is no file of draws: its first record must be draw, the columns and message";
    }
    std::vector<std::string> names, units;
    for (std::size_t k = 1; k + 1 < header.size(); ++k) {
        const std::string& column = header[k];
        const std::size_t open = column.find(" [");
        if (open != std::string::npos && column.ends_with(']')) {
            names.push_back(column.substr(0, open));
            units.push_back(column.substr(open + 2, column.size() - open - 3));
        } else {
            names.push_back(column);
            units.emplace_back();
        }
    }
    if (into.names.empty()) {
        into.names = names;
        into.units = units;
        into.columns.resize(names.size());
    } else if (into.names != names || into.units != units) {
        return where + " has other columns than the first file";
    }
    for (std::size_t line = 1; line < records->size(); ++line) {
        const std::vector<std::string>& record = (*records)[line];
        bool whole = !record.empty() && !record[0].empty() &&
                     std::all_of(record[0].begin(), record[0].end(),
                                 [](char c) { return c >= '0' && c <= '9'; });
        if (record.size() != header.size() || !whole || record[0].size() > 19) {
            return where + ": record " + std::to_string(line + 1) +
                   " is no draw: it needs a draw number and " + std::to_string(header.size() - 1) +
                   " more fields";
        }
        const std::uint64_t draw = std::stoull(record[0]);
        const bool failed = !record.back().empty();
        into.draws.push_back(draw);
        for (std::size_t k = 0; k < names.size(); ++k) {
            // A failing draw's inputs stay as drawn; its results count as failed.
            into.columns[k].push_back(NumberOrNaN(record[k + 1]));
        }
        if (failed) {
            ++into.failedCount;
            into.firstFailures.push_back({draw, record.back()});
        }
    }
    return {};
}

std::string FinishDrawFile(DrawFile& file) {
    std::vector<std::size_t> order(file.draws.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return file.draws[a] < file.draws[b]; });
    for (std::size_t k = 1; k < order.size(); ++k) {
        if (file.draws[order[k]] == file.draws[order[k - 1]]) {
            return "draw " + std::to_string(file.draws[order[k]]) + " comes twice in the files";
        }
    }
    std::vector<std::uint64_t> draws;
    for (const std::size_t k : order) draws.push_back(file.draws[k]);
    file.draws = std::move(draws);
    for (std::vector<long double>& column : file.columns) {
        std::vector<long double> sorted;
        sorted.reserve(column.size());
        for (const std::size_t k : order) sorted.push_back(column[k]);
        column = std::move(sorted);
    }
    std::sort(file.firstFailures.begin(), file.firstFailures.end(),
              [](const DrawFailure& a, const DrawFailure& b) { return a.draw < b.draw; });
    if (file.firstFailures.size() > kKeptFailures) file.firstFailures.resize(kKeptFailures);
    return {};
}

}  // namespace quantaro
