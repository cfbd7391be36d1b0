#include "studies/Sweep.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <deque>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <unordered_map>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

// Points are handed to the workers in blocks: large enough that taking one
// costs nothing, small enough that the workers finish together and a cancel
// is soon seen.
constexpr std::uint64_t kMaxBlock = 256;
constexpr std::uint64_t kBlocksPerWorker = 8;
constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();
// What a text kept once costs besides its characters: the string, its place
// in the index and its number.
constexpr std::size_t kTextOverhead = 96;

// A text read as a number to draw, with the floating-point flags left as
// they were: a worker's next run must not find them raised.
long double NumberOrNaN(std::string_view text) {
    if (text.empty()) return kNoNumber;
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    // Beyond the extended range: nothing to draw.
    const long double number = ReadNumber(text).value.value_or(kNoNumber);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return number;
}

// The value a cell holding x's text reads as; NaN when it overflows.
long double ThroughText(long double x) {
    const TextRoundTrip back = RoundThroughText(x);
    return back.overflows ? kNoNumber : back.value;
}

std::string AxisError(const Worksheet& sheet, const SweepAxis& axis) {
    const std::optional<InputCell> cell = FindInputCell(sheet, axis.name);
    if (!cell) return QuotedName(axis.name) + " is neither a constant nor a variable";
    const std::string& name = TableOf(sheet, cell->table).name(cell->row);
    if (axis.count < 1) {
        return "The number of points of " + name + " must be at least 1, not " +
               std::to_string(axis.count);
    }
    if (!std::isfinite(axis.from) || !std::isfinite(axis.to)) {
        return "From and To of " + name + " must be numbers";
    }
    if (axis.spacing == SweepSpacing::Logarithmic) {
        if (!(axis.from > 0 && axis.to > 0)) {
            return "A logarithmic sweep of " + name + " needs From and To above 0";
        }
        // A point writes the 15-digit text, and a tiny bound's text is 0.
        for (const long double end : {axis.from, axis.to}) {
            if (!(ThroughText(end) > 0)) {
                return "A logarithmic sweep of " + name + " needs From and To above 0, and " +
                       FormatNumberExactly(end) + " is 0 in the 15 digits a cell holds";
            }
        }
    }
    return {};
}

}  // namespace

long double SweepAxis::value(std::int64_t index) const {
    if (index <= 0 || count <= 1) return from;
    if (index >= count - 1) return to;
    const long double t = static_cast<long double>(index) / static_cast<long double>(count - 1);
    // Weighted so that no intermediate result overflows.
    if (spacing == SweepSpacing::Logarithmic) {
        return std::exp((1 - t) * std::log(from) + t * std::log(to));
    }
    return (1 - t) * from + t * to;
}

std::vector<std::string> DefaultSweepOutputs(const Worksheet& sheet,
                                             const std::vector<SweepAxis>& axes) {
    std::vector<std::string> outputs;
    for (int row = 1; row <= sheet.variables.rowCount(); ++row) {
        const std::string& name = sheet.variables.name(row);
        if (name.empty() || sheet.variables.findRow(name) != row) continue;
        const bool swept = std::any_of(axes.begin(), axes.end(), [&](const SweepAxis& axis) {
            const std::optional<InputCell> cell = FindInputCell(sheet, axis.name);
            return cell && cell->table == InputTable::Variables && cell->row == row;
        });
        if (!swept) outputs.push_back(name);
    }
    return outputs;
}

std::string SweepSetupError(const Worksheet& sheet, const SweepSetup& setup) {
    if (setup.axes.empty() || setup.axes.size() > kMaxSweepAxes) {
        return "A sweep takes one or two inputs, not " + std::to_string(setup.axes.size());
    }
    for (const SweepAxis& axis : setup.axes) {
        if (std::string error = AxisError(sheet, axis); !error.empty()) return error;
    }
    if (setup.axes.size() == 2) {
        const InputCell first = *FindInputCell(sheet, setup.axes[0].name);
        const InputCell second = *FindInputCell(sheet, setup.axes[1].name);
        if (first.table == second.table && first.row == second.row) {
            return TableOf(sheet, first.table).name(first.row) + " is swept twice";
        }
        if (setup.axes[0].count > std::numeric_limits<std::int64_t>::max() / setup.axes[1].count) {
            return "The sweep has too many points";
        }
    }
    for (const std::string& output : setup.outputs) {
        if (sheet.variables.findRow(output) == 0) {
            return QuotedName(output) + " is not a variable of the variable table";
        }
    }
    return StudyRunError(setup.run);
}

SweepPlan::SweepPlan(const Worksheet& sheet, SweepSetup setup) : setup_(std::move(setup)) {
    pointCount_ = 1;
    for (const SweepAxis& axis : setup_.axes) {
        const InputCell cell = *FindInputCell(sheet, axis.name);
        inputCells_.push_back(cell);
        inputNames_.push_back(TableOf(sheet, cell.table).name(cell.row));
        pointCount_ *= static_cast<std::uint64_t>(axis.count);
    }
    for (const std::string& output : setup_.outputs) {
        const int row = sheet.variables.findRow(output);
        const bool swept = std::any_of(inputCells_.begin(), inputCells_.end(), [&](InputCell c) {
            return c.table == InputTable::Variables && c.row == row;
        });
        if (swept) continue;
        outputRows_.push_back(row);
        outputNames_.push_back(sheet.variables.name(row));
    }
}

std::int64_t SweepPlan::axisIndex(std::uint64_t point, std::size_t axis) const {
    const std::uint64_t index = point - 1;
    if (setup_.axes.size() == 1) return static_cast<std::int64_t>(index);
    const auto inner = static_cast<std::uint64_t>(setup_.axes[1].count);
    return static_cast<std::int64_t>(axis == 0 ? index / inner : index % inner);
}

std::string SweepPlan::inputText(std::uint64_t point, std::size_t axis) const {
    return FormatNumber(setup_.axes[axis].value(axisIndex(point, axis)));
}

long double SweepPlan::inputNumber(std::uint64_t point, std::size_t axis) const {
    return ThroughText(setup_.axes[axis].value(axisIndex(point, axis)));
}

std::string MemoryText(std::size_t bytes) {
    constexpr std::size_t kMebibyte = std::size_t{1} << 20;
    if (bytes < kMebibyte) return std::to_string((bytes + 1023) / 1024) + " KiB";
    if (bytes < 1024 * kMebibyte) {
        return std::to_string((bytes + kMebibyte - 1) / kMebibyte) + " MiB";
    }
    // Tenths of a gibibyte, rounded up.
    const std::size_t tenths = (bytes / kMebibyte * 10 + 1023) / 1024;
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text + " GiB";
}

// The texts of a sweep's results that are no stored numbers, and the
// messages: each kept once, in the order first met, with its number. The
// workers add to it under the lock; it is read once the run is over.
struct SweepResults::Texts {
    std::mutex lock;
    std::deque<std::string> texts;  // a deque, so that a text never moves
    std::deque<long double> numbers;
    std::unordered_map<std::string_view, std::uint32_t> places;
    std::size_t bytes = 0;
    std::size_t budget = kUnlimitedResults;

    // The text's place; nothing when keeping it would outgrow the budget.
    std::optional<std::uint32_t> keep(std::string_view text) {
        const std::lock_guard guard(lock);
        if (const auto found = places.find(text); found != places.end()) return found->second;
        const std::size_t cost = text.size() + kTextOverhead;
        if (cost > budget - std::min(bytes, budget) ||
            texts.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
            return std::nullopt;
        }
        texts.emplace_back(text);
        numbers.push_back(NumberOrNaN(text));
        const auto place = static_cast<std::uint32_t>(texts.size() - 1);
        places.emplace(texts.back(), place);
        bytes += cost;
        return place;
    }
};

namespace {

// A kept text stands in an output's ten bytes as a quiet NaN whose low bits
// are the text's place. No run stores a NaN as a number: one goes to the
// texts as "NAN", so every NaN held is such a reference.
constexpr std::uint16_t kReferenceExponent = 0x7fff;
constexpr std::uint64_t kReferenceMark = 0xC000'0000'0000'0000;
constexpr std::uint64_t kInfinityMantissa = 0x8000'0000'0000'0000;

struct Unpacked {
    std::uint64_t mantissa;
    std::uint16_t signAndExponent;
};

template <typename Packed>
Unpacked Unpack(const Packed& packed) {
    Unpacked parts{};
    std::memcpy(&parts.mantissa, packed.bytes, 8);
    std::memcpy(&parts.signAndExponent, packed.bytes + 8, 2);
    return parts;
}

template <typename Packed>
std::optional<std::uint32_t> Reference(const Packed& packed) {
    const Unpacked parts = Unpack(packed);
    if (parts.signAndExponent != kReferenceExponent || parts.mantissa == kInfinityMantissa) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(parts.mantissa & 0xffff'ffff);
}

template <typename Packed>
long double NumberOf(const Packed& packed) {
    long double value = 0.0L;
    std::memcpy(&value, packed.bytes, sizeof packed.bytes);
    return value;
}

}  // namespace

SweepResults::SweepResults()
    : plan_(std::make_shared<const SweepPlan>()), texts_(std::make_unique<Texts>()) {}

SweepResults::SweepResults(std::shared_ptr<const SweepPlan> plan, std::uint64_t firstPoint,
                           std::size_t capacity, std::size_t textBudget)
    : plan_(std::move(plan)),
      firstPoint_(firstPoint),
      capacity_(capacity),
      // Left unwritten: pages not yet written cost no memory.
      numbers_(std::make_unique_for_overwrite<PackedNumber[]>(capacity * plan_->outputCount())),
      messages_(std::make_unique_for_overwrite<std::uint32_t[]>(capacity)),
      texts_(std::make_unique<Texts>()) {
    texts_->budget = textBudget;
}

SweepResults::SweepResults(SweepResults&&) noexcept = default;
SweepResults& SweepResults::operator=(SweepResults&&) noexcept = default;
SweepResults::~SweepResults() = default;

std::size_t SweepResults::BytesFor(std::uint64_t points, std::size_t outputs) {
    const std::uint64_t perPoint = outputs * sizeof(PackedNumber) + sizeof(std::uint32_t);
    if (points > kUnlimitedResults / perPoint) return kUnlimitedResults;
    return static_cast<std::size_t>(points * perPoint);
}

SweepResults::Field SweepResults::field(std::size_t index, std::size_t column) const {
    const PackedNumber& packed = numbers_[column * capacity_ + index];
    if (const std::optional<std::uint32_t> place = Reference(packed)) {
        return {&texts_->texts[*place], 0.0L};
    }
    return {nullptr, NumberOf(packed)};
}

std::string SweepResults::output(std::size_t index, std::size_t column) const {
    const Field kept = field(index, column);
    return kept.text ? *kept.text : FormatNumber(kept.number);
}

long double SweepResults::outputNumber(std::size_t index, std::size_t column) const {
    const PackedNumber& packed = numbers_[column * capacity_ + index];
    if (const std::optional<std::uint32_t> place = Reference(packed)) {
        return texts_->numbers[*place];
    }
    return NumberOf(packed);
}

const std::string& SweepResults::message(std::size_t index) const {
    static const std::string kNone;
    const std::uint32_t place = messages_[index];
    return place == 0 ? kNone : texts_->texts[place - 1];
}

// Writes the points a worker runs into the results, each in its own place.
// The texts last kept for each output and the last message are remembered,
// so that a text that stays the same from point to point takes no lock.
class SweepResultsWriter {
  public:
    SweepResultsWriter(SweepResults& results, const std::vector<int>& rows)
        : results_(results), rows_(rows), last_(rows.size()) {}

    // False when the point's texts would outgrow the results' budget.
    bool store(std::size_t index, const NameTable& variables, const std::string& message) {
        for (std::size_t column = 0; column < rows_.size(); ++column) {
            SweepResults::PackedNumber& packed =
                results_.numbers_[column * results_.capacity_ + index];
            const long double* result = variables.storedResult(rows_[column]);
            if (result && !std::isnan(*result)) {
                std::memcpy(packed.bytes, result, sizeof packed.bytes);
                continue;
            }
            const std::string text =
                result ? FormatNumber(*result) : variables.value(rows_[column]);
            const std::optional<std::uint32_t> place = keep(last_[column], text);
            if (!place) return false;
            const std::uint64_t mantissa = kReferenceMark | *place;
            std::memcpy(packed.bytes, &mantissa, 8);
            std::memcpy(packed.bytes + 8, &kReferenceExponent, 2);
        }
        std::uint32_t messagePlace = 0;
        if (!message.empty()) {
            const std::optional<std::uint32_t> place = keep(lastMessage_, message);
            if (!place) return false;
            messagePlace = *place + 1;
        }
        results_.messages_[index] = messagePlace;
        return true;
    }

  private:
    struct LastText {
        std::string text;
        std::optional<std::uint32_t> place;
    };

    std::optional<std::uint32_t> keep(LastText& last, const std::string& text) {
        if (!last.place || last.text != text) {
            last.place = results_.texts_->keep(text);
            last.text = text;
        }
        return last.place;
    }

    SweepResults& results_;
    const std::vector<int>& rows_;
    std::vector<LastText> last_;
    LastText lastMessage_;
};

// The cores this process may run on, which a batch system or taskset may
// limit to fewer than the machine has.
unsigned DefaultWorkerCount() {
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&cores));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

SweepRunner::SweepRunner(const Worksheet& sheet, SweepPlan plan, unsigned workers,
                         std::size_t resultBytes)
    : plan_(std::make_shared<const SweepPlan>(std::move(plan))),
      resultBytes_(resultBytes),
      workers_(std::max(1u, workers)),
      start_(sheet) {}

SweepRunner::~SweepRunner() = default;

// One run's points, handed to the workers in blocks, and what each block
// got done.
struct SweepRunner::Work {
    Work(SweepResults& results, StudyControl* control, std::uint64_t count, std::uint64_t blockSize)
        : results(results),
          control(control),
          count(count),
          blockSize(blockSize),
          blockCount((count + blockSize - 1) / blockSize),
          done(blockCount),
          failed(blockCount) {}

    SweepResults& results;
    StudyControl* control;
    std::uint64_t count;
    std::uint64_t blockSize;
    std::uint64_t blockCount;
    std::vector<std::uint64_t> done;  // per block
    std::vector<std::uint64_t> failed;
    std::atomic<std::uint64_t> next{0};
    // A worker could not go on; the others stop too.
    std::atomic<bool> halted{false};
    std::mutex lock;
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

void SweepRunner::runBlocks(PointRunner& runner, Work& work) const {
    const SweepPlan& plan = *plan_;
    SweepResultsWriter writer(work.results, plan.outputRows());
    std::vector<long double> inputs(plan.inputCount());
    // The first input keeps its value for many points in a row.
    std::vector<std::int64_t> indices(plan.inputCount(), -1);
    while (!work.stopped()) {
        const std::uint64_t block = work.next.fetch_add(1);
        if (block >= work.blockCount) break;
        const std::uint64_t from = block * work.blockSize;
        const std::uint64_t to = std::min(work.count, from + work.blockSize);
        std::uint64_t done = 0, failed = 0;
        for (std::uint64_t index = from; index < to && !work.stopped(); ++index) {
            const std::uint64_t point = work.results.pointNumber(index);
            for (std::size_t axis = 0; axis < inputs.size(); ++axis) {
                const std::int64_t at = plan.axisIndex(point, axis);
                if (at != indices[axis]) inputs[axis] = plan.setup().axes[axis].value(at);
                indices[axis] = at;
            }
            const std::optional<RunOutcome> outcome =
                runner.run(plan.inputCells(), inputs, work.control);
            if (!outcome) break;  // cancelled within the point
            if (!writer.store(index, runner.sheet().variables, outcome->message)) {
                work.halt(
                    "the results' texts (messages, and values that are no numbers) outgrew the " +
                    MemoryText(resultBytes_) + " a sweep's results may take");
                break;
            }
            ++done;
            if (!outcome->succeeded()) ++failed;
            if (work.control) work.control->countDone();
        }
        work.done[block] = done;
        work.failed[block] = failed;
    }
}

SweepResults SweepRunner::run(std::uint64_t first, std::uint64_t last, StudyControl* control) {
    if (first < 1 || last < first || last > plan_->pointCount()) {
        return SweepResults(plan_, first, 0);
    }
    std::uint64_t count = last - first + 1;
    std::string shortfall;
    const std::size_t perPoint = SweepResults::BytesFor(1, plan_->outputCount());
    if (SweepResults::BytesFor(count, plan_->outputCount()) > resultBytes_) {
        count = resultBytes_ / perPoint;
        shortfall = "the results of more than " + std::to_string(count) +
                    " points would take more than the " + MemoryText(resultBytes_) +
                    " a sweep's results may take";
    }
    SweepResults results;
    try {
        const std::size_t held = SweepResults::BytesFor(count, plan_->outputCount());
        results =
            SweepResults(plan_, first, static_cast<std::size_t>(count),
                         resultBytes_ == kUnlimitedResults ? resultBytes_ : resultBytes_ - held);
    } catch (const std::bad_alloc&) {
        results = SweepResults(plan_, first, 0);
        results.shortfall_ =
            "there is not enough memory for the results of " + std::to_string(count) + " points";
        return results;
    }
    const std::uint64_t blockSize =
        std::clamp<std::uint64_t>(count / (workers_ * kBlocksPerWorker), 1, kMaxBlock);
    Work work(results, control, count, blockSize);
    const std::uint64_t blockCount = work.blockCount;
    work.shortfall = std::move(shortfall);
    RunOnWorkers(
        start_, plan_->setup().run,
        static_cast<unsigned>(std::min<std::uint64_t>(workers_, blockCount)),
        [&](PointRunner& runner) { runBlocks(runner, work); },
        [&](std::string why) { work.halt(std::move(why)); });

    // The points up to the first one left unfinished, as far as it got.
    std::uint64_t block = 0;
    while (block < blockCount) {
        results.size_ += work.done[block];
        results.failedCount_ += work.failed[block];
        if (work.done[block] != std::min(blockSize, count - block * blockSize)) break;
        ++block;
    }
    results.shortfall_ = std::move(work.shortfall);
    return results;
}

}  // namespace quantaro
