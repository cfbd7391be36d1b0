#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/StudyPoint.h"
#include "engine/Worksheet.h"

namespace quantaro {

enum class SweepSpacing { Linear, Logarithmic };

// One input of a sweep: `count` values from `from` to `to`, both ends
// included, in equal steps or, logarithmically, in equal ratios.
struct SweepAxis {
    std::string name;  // a constant or a variable
    long double from = 0.0L;
    long double to = 0.0L;
    std::int64_t count = 1;
    SweepSpacing spacing = SweepSpacing::Linear;

    // The index-th value, 0 <= index < count: exactly `from` and `to` at the
    // ends. Its text, FormatNumber of it, is what a point writes.
    long double value(std::int64_t index) const;
};

inline constexpr std::size_t kMaxSweepAxes = 2;

struct SweepSetup {
    // One or two inputs; the points go through every value of the last for
    // each value of the first.
    std::vector<SweepAxis> axes;
    // The variables collected after each point, in this order.
    std::vector<std::string> outputs;
    StudyRun run;
};

// Every named variable but the sweep's inputs, in table order: what a sweep
// collects unless told otherwise. An input already has a column of its own.
std::vector<std::string> DefaultSweepOutputs(const Worksheet& sheet,
                                             const std::vector<SweepAxis>& axes);

// What stops the sweep from running on the worksheet, in words for its user;
// empty when nothing does.
std::string SweepSetupError(const Worksheet& sheet, const SweepSetup& setup);

// A sweep checked against its worksheet: the cells it writes, the rows it
// reads and how its points are numbered, from 1 to pointCount(), the first
// input varying slowest.
class SweepPlan {
  public:
    // The setup must be free of faults (SweepSetupError).
    SweepPlan(const Worksheet& sheet, SweepSetup setup);

    const SweepSetup& setup() const { return setup_; }
    std::uint64_t pointCount() const { return pointCount_; }
    std::size_t inputCount() const { return setup_.axes.size(); }
    std::size_t outputCount() const { return outputRows_.size(); }

    // Where point p lies along an axis: 0 to that axis's count - 1.
    std::int64_t axisIndex(std::uint64_t point, std::size_t axis) const;
    // The text point p writes into an input's cell.
    std::string inputText(std::uint64_t point, std::size_t axis) const;

    const std::vector<InputCell>& inputCells() const { return inputCells_; }
    const std::vector<int>& outputRows() const { return outputRows_; }
    // The names as the tables spell them.
    const std::vector<std::string>& inputNames() const { return inputNames_; }
    const std::vector<std::string>& outputNames() const { return outputNames_; }

  private:
    SweepSetup setup_;
    std::uint64_t pointCount_ = 0;
    std::vector<InputCell> inputCells_;
    std::vector<int> outputRows_;
    std::vector<std::string> inputNames_;
    std::vector<std::string> outputNames_;
};

// The texts of consecutive points of a sweep: per point the inputs' texts,
// the outputs' texts after its run and the failing run's message (empty for
// a clean point). Held in one buffer, so that a million points take a few
// allocations.
class SweepResults {
  public:
    SweepResults() = default;
    SweepResults(std::vector<std::string> inputNames, std::vector<std::string> outputNames,
                 std::uint64_t firstPoint);

    const std::vector<std::string>& inputNames() const { return names_->inputs; }
    const std::vector<std::string>& outputNames() const { return names_->outputs; }

    // The number of the first point held, as numbered in the whole sweep.
    std::uint64_t firstPoint() const { return firstPoint_; }
    std::size_t size() const { return failed_.size(); }
    std::uint64_t pointNumber(std::size_t index) const { return firstPoint_ + index; }

    std::string_view input(std::size_t index, std::size_t axis) const { return field(index, axis); }
    std::string_view output(std::size_t index, std::size_t column) const {
        return field(index, inputNames().size() + column);
    }
    std::string_view message(std::size_t index) const { return field(index, fieldsPerPoint() - 1); }
    bool failed(std::size_t index) const { return failed_[index] != 0; }
    std::size_t failedCount() const { return failedCount_; }

    // A text as a number to draw: NaN when it is empty, no number or beyond
    // the extended range.
    long double inputNumber(std::size_t index, std::size_t axis) const;
    long double outputNumber(std::size_t index, std::size_t column) const;

    // No points, the same names: the start of the results from firstPoint on.
    SweepResults startingAt(std::uint64_t firstPoint) const;

    // Appends a point: its input texts, then its output texts, then the message.
    void add(std::span<const std::string> inputs, std::span<const std::string_view> outputs,
             std::string_view message);
    // Makes room for the points of these results, or for so many points.
    void reserve(std::vector<SweepResults>::const_iterator begin,
                 std::vector<SweepResults>::const_iterator end);
    void reserve(std::size_t points, std::size_t bytesPerField);
    // Appends the points of results that follow on from these.
    void append(const SweepResults& results);

  private:
    struct Names {
        std::vector<std::string> inputs;
        std::vector<std::string> outputs;
    };

    std::size_t fieldsPerPoint() const { return inputNames().size() + outputNames().size() + 1; }
    std::string_view field(std::size_t index, std::size_t column) const {
        const std::size_t at = index * fieldsPerPoint() + column;
        const std::size_t begin = at == 0 ? 0 : ends_[at - 1];
        return std::string_view(texts_).substr(begin, ends_[at] - begin);
    }

    std::shared_ptr<const Names> names_ = std::make_shared<const Names>();
    std::uint64_t firstPoint_ = 1;
    std::string texts_;
    std::vector<std::size_t> ends_;      // where each field ends in texts_
    std::vector<unsigned char> failed_;  // per point
    std::size_t failedCount_ = 0;
};

// As many workers as the cores the process may run on.
unsigned DefaultWorkerCount();

// Runs the points of a sweep on worker threads, each with its own copy of the
// worksheet as it was when the runner was made; the texts are the same,
// byte for byte, whatever the number of workers. Made where the worksheet
// lives, run() may then be called on another thread, which becomes one of
// the workers, while the first watches the StudyControl and may cancel.
class SweepRunner {
  public:
    SweepRunner(const Worksheet& sheet, SweepPlan plan, unsigned workers = DefaultWorkerCount());
    ~SweepRunner();
    SweepRunner(const SweepRunner&) = delete;
    SweepRunner& operator=(const SweepRunner&) = delete;

    const SweepPlan& plan() const { return plan_; }
    unsigned workerCount() const { return static_cast<unsigned>(runners_.size()); }

    // Runs points first to last (numbered from 1, last <= pointCount()) and
    // returns them in order, counting each in control. After a cancel it
    // returns the points before the first one left unfinished. One call at a
    // time; any thread may make it.
    SweepResults run(std::uint64_t first, std::uint64_t last, StudyControl* control = nullptr);
    SweepResults runAll(StudyControl* control = nullptr) {
        return run(1, plan_.pointCount(), control);
    }

  private:
    // Adds points block.firstPoint() to last to the block.
    SweepResults runBlock(PointRunner& runner, SweepResults block, std::uint64_t last,
                          StudyControl* control) const;

    SweepPlan plan_;
    std::vector<std::unique_ptr<PointRunner>> runners_;
};

}  // namespace quantaro
