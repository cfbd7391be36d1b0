#include "engine/Sweep.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

// Points are handed to the workers in blocks: large enough that taking one
// costs nothing, small enough that the workers finish together and a cancel
// is soon seen.
constexpr std::uint64_t kMaxBlock = 256;
constexpr std::uint64_t kBlocksPerWorker = 8;
// A number's text mostly has 15 digits and a point.
constexpr std::size_t kTypicalTextSize = 16;

long double NumberOrNaN(std::string_view text) {
    try {
        if (const std::optional<long double> value = ParseNumber(text)) return *value;
    } catch (const FloatingPointFault&) {
        // beyond the extended range: nothing to draw
    }
    return std::numeric_limits<long double>::quiet_NaN();
}

std::string QuotedName(std::string_view name) {
    return "\"" + std::string(name) + "\"";
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
    if (axis.spacing == SweepSpacing::Logarithmic && !(axis.from > 0 && axis.to > 0)) {
        return "A logarithmic sweep of " + name + " needs From and To above 0";
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
        outputRows_.push_back(sheet.variables.findRow(output));
        outputNames_.push_back(sheet.variables.name(outputRows_.back()));
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

SweepResults::SweepResults(std::vector<std::string> inputNames,
                           std::vector<std::string> outputNames, std::uint64_t firstPoint)
    : names_(std::make_shared<const Names>(Names{std::move(inputNames), std::move(outputNames)})),
      firstPoint_(firstPoint) {}

SweepResults SweepResults::startingAt(std::uint64_t firstPoint) const {
    SweepResults results;
    results.names_ = names_;
    results.firstPoint_ = firstPoint;
    return results;
}

long double SweepResults::inputNumber(std::size_t index, std::size_t axis) const {
    return NumberOrNaN(input(index, axis));
}

long double SweepResults::outputNumber(std::size_t index, std::size_t column) const {
    return NumberOrNaN(output(index, column));
}

void SweepResults::add(std::span<const std::string> inputs,
                       std::span<const std::string_view> outputs, std::string_view message) {
    for (const std::string& text : inputs) {
        texts_ += text;
        ends_.push_back(texts_.size());
    }
    for (const std::string_view text : outputs) {
        texts_ += text;
        ends_.push_back(texts_.size());
    }
    texts_ += message;
    ends_.push_back(texts_.size());
    failed_.push_back(message.empty() ? 0 : 1);
    if (!message.empty()) ++failedCount_;
}

void SweepResults::reserve(std::vector<SweepResults>::const_iterator begin,
                           std::vector<SweepResults>::const_iterator end) {
    std::size_t texts = texts_.size(), fields = ends_.size(), points = size();
    for (auto it = begin; it != end; ++it) {
        texts += it->texts_.size();
        fields += it->ends_.size();
        points += it->size();
    }
    texts_.reserve(texts);
    ends_.reserve(fields);
    failed_.reserve(points);
}

void SweepResults::reserve(std::size_t points, std::size_t bytesPerField) {
    texts_.reserve(texts_.size() + points * fieldsPerPoint() * bytesPerField);
    ends_.reserve(ends_.size() + points * fieldsPerPoint());
    failed_.reserve(failed_.size() + points);
}

void SweepResults::append(const SweepResults& results) {
    const std::size_t offset = texts_.size();
    texts_ += results.texts_;
    ends_.reserve(ends_.size() + results.ends_.size());
    for (const std::size_t end : results.ends_) ends_.push_back(offset + end);
    failed_.insert(failed_.end(), results.failed_.begin(), results.failed_.end());
    failedCount_ += results.failedCount_;
}

// The cores this process may run on, which a batch system or taskset may
// limit to fewer than the machine has.
unsigned DefaultWorkerCount() {
    cpu_set_t cores;
    if (sched_getaffinity(0, sizeof cores, &cores) == 0 && CPU_COUNT(&cores) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&cores));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

SweepRunner::SweepRunner(const Worksheet& sheet, SweepPlan plan, unsigned workers)
    : plan_(std::move(plan)) {
    for (unsigned k = 0; k < std::max(1u, workers); ++k) {
        runners_.push_back(std::make_unique<PointRunner>(sheet, plan_.setup().run));
    }
}

SweepRunner::~SweepRunner() = default;

SweepResults SweepRunner::runBlock(PointRunner& runner, SweepResults block, std::uint64_t last,
                                   StudyControl* control) const {
    std::vector<std::string> inputs(plan_.inputCount());
    std::vector<std::string_view> outputs(plan_.outputCount());
    const std::vector<int>& rows = plan_.outputRows();
    block.reserve(last - block.firstPoint() + 1, kTypicalTextSize);
    // The first input keeps its value for many points in a row.
    std::vector<std::int64_t> indices(plan_.inputCount(), -1);
    for (std::uint64_t point = block.firstPoint(); point <= last; ++point) {
        if (control && control->cancelled()) break;
        for (std::size_t axis = 0; axis < inputs.size(); ++axis) {
            const std::int64_t index = plan_.axisIndex(point, axis);
            if (index != indices[axis]) inputs[axis] = plan_.inputText(point, axis);
            indices[axis] = index;
        }
        const std::string message = runner.run(plan_.inputCells(), inputs);
        const NameTable& variables = runner.sheet().variables;
        for (std::size_t column = 0; column < rows.size(); ++column) {
            outputs[column] = variables.value(rows[column]);
        }
        block.add(inputs, outputs, message);
        if (control) control->countDone();
    }
    return block;
}

SweepResults SweepRunner::run(std::uint64_t first, std::uint64_t last, StudyControl* control) {
    SweepResults results(plan_.inputNames(), plan_.outputNames(), first);
    if (first < 1 || last < first) return results;
    const std::uint64_t count = last - first + 1;
    const std::uint64_t blockSize =
        std::clamp<std::uint64_t>(count / (runners_.size() * kBlocksPerWorker), 1, kMaxBlock);
    const std::uint64_t blockCount = (count + blockSize - 1) / blockSize;

    std::vector<SweepResults> blocks(blockCount);
    std::atomic<std::uint64_t> next{0};
    std::mutex failure;
    std::exception_ptr error;
    const auto work = [&](PointRunner& runner) {
        try {
            while (!control || !control->cancelled()) {
                const std::uint64_t k = next.fetch_add(1);
                if (k >= blockCount) break;
                const std::uint64_t from = first + k * blockSize;
                blocks[k] = runBlock(runner, results.startingAt(from),
                                     std::min(last, from + blockSize - 1), control);
            }
        } catch (...) {  // out of memory: the other workers stop too
            next = blockCount;
            const std::lock_guard lock(failure);
            if (!error) error = std::current_exception();
        }
    };

    std::vector<std::thread> threads;
    for (std::size_t k = 1; k < runners_.size() && k < blockCount; ++k) {
        try {
            threads.emplace_back(work, std::ref(*runners_[k]));
        } catch (const std::system_error&) {
            break;  // no more threads to be had: fewer workers do it all
        }
    }
    work(*runners_[0]);
    for (std::thread& thread : threads) thread.join();
    if (error) std::rethrow_exception(error);

    // After a cancel, the points up to the first one left unfinished.
    std::uint64_t finished = 0;
    while (finished < blockCount &&
           blocks[finished].size() == std::min(blockSize, count - finished * blockSize)) {
        ++finished;
    }
    if (finished < blockCount) ++finished;  // the one left unfinished, as far as it got
    results.reserve(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(finished));
    for (std::uint64_t k = 0; k < finished; ++k) results.append(blocks[k]);
    return results;
}

}  // namespace quantaro
