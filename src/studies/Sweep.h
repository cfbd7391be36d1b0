#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

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
// input varying slowest. An output that is also an input is left out: the
// input's own column shows it.
class SweepPlan {
  public:
    // No inputs, no points.
    SweepPlan() = default;
    // The setup must be free of faults (SweepSetupError).
    SweepPlan(const Worksheet& sheet, SweepSetup setup);

    const SweepSetup& setup() const { return setup_; }
    std::uint64_t pointCount() const { return pointCount_; }
    std::size_t inputCount() const { return setup_.axes.size(); }
    std::size_t outputCount() const { return outputRows_.size(); }

    // Where point p lies along an axis: 0 to that axis's count - 1.
    std::int64_t axisIndex(std::uint64_t point, std::size_t axis) const;
    // The text point p writes into an input's cell, and the number it reads
    // as (NaN when it overflows).
    std::string inputText(std::uint64_t point, std::size_t axis) const;
    long double inputNumber(std::uint64_t point, std::size_t axis) const;

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

// Memory held by a sweep's results: no limit, or a number of bytes.
inline constexpr std::size_t kUnlimitedResults = SIZE_MAX;

// "3 KiB", "512 MiB", "1.5 GiB": an amount of memory as messages give it,
// rounded up.
std::string MemoryText(std::size_t bytes);

// The results of consecutive points of a sweep, as numbers. An output the
// run stored a result into keeps that number, whose text is made only when
// asked for; any other text (a typed value, a failing point's leftover) is
// kept once and referred to, and so is each message. The inputs' texts are
// the plan's. So the memory the points take is known before they run
// (BytesFor), and only texts that differ from point to point add to it.
class SweepResults {
  public:
    SweepResults();
    // Room for `capacity` points from firstPoint on, and for texts of up to
    // textBudget bytes; throws std::bad_alloc when there is not enough memory.
    SweepResults(std::shared_ptr<const SweepPlan> plan, std::uint64_t firstPoint,
                 std::size_t capacity, std::size_t textBudget = kUnlimitedResults);
    SweepResults(SweepResults&&) noexcept;
    SweepResults& operator=(SweepResults&&) noexcept;
    ~SweepResults();

    // The memory the numbers and messages of so many points take.
    static std::size_t BytesFor(std::uint64_t points, std::size_t outputs);

    const SweepPlan& plan() const { return *plan_; }
    const std::vector<std::string>& inputNames() const { return plan_->inputNames(); }
    const std::vector<std::string>& outputNames() const { return plan_->outputNames(); }

    // The number of the first point held, as numbered in the whole sweep.
    std::uint64_t firstPoint() const { return firstPoint_; }
    std::size_t size() const { return size_; }
    std::uint64_t pointNumber(std::size_t index) const { return firstPoint_ + index; }

    // The texts as the point's tables held them.
    std::string input(std::size_t index, std::size_t axis) const {
        return plan_->inputText(pointNumber(index), axis);
    }
    std::string output(std::size_t index, std::size_t column) const;
    const std::string& message(std::size_t index) const;
    bool failed(std::size_t index) const { return messages_[index] != 0; }
    std::size_t failedCount() const { return failedCount_; }

    // An output as kept: the text, when the run stored no number there, else
    // the number, whose FormatNumber is the text.
    struct Field {
        const std::string* text = nullptr;
        long double number = 0.0L;
    };
    Field field(std::size_t index, std::size_t column) const;

    // A value as a number to draw: NaN when its text is empty, no number or
    // beyond the extended range.
    long double inputNumber(std::size_t index, std::size_t axis) const {
        return plan_->inputNumber(pointNumber(index), axis);
    }
    long double outputNumber(std::size_t index, std::size_t column) const;

    // Why the points stop short of those asked for, other than a cancel:
    // their results would outgrow the memory they may take, or memory ran
    // out. Empty when nothing stopped them.
    const std::string& shortfall() const { return shortfall_; }

  private:
    friend class SweepRunner;
    friend class SweepResultsWriter;
    struct Texts;
    // An extended real in its ten bytes, without the padding.
    struct PackedNumber {
        unsigned char bytes[10];
    };

    std::shared_ptr<const SweepPlan> plan_;
    std::uint64_t firstPoint_ = 1;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::size_t failedCount_ = 0;
    // Column by column, capacity_ points each.
    std::unique_ptr<PackedNumber[]> numbers_;
    // Per point: 0 for success, else 1 + the message's place among the texts.
    std::unique_ptr<std::uint32_t[]> messages_;
    std::unique_ptr<Texts> texts_;
    std::string shortfall_;
};

// As many workers as the cores the process may run on.
unsigned DefaultWorkerCount();

// Runs the points of a sweep on worker threads, each with its own copy of the
// worksheet as it was when the runner was made; the texts are the same,
// byte for byte, whatever the number of workers. Made where the worksheet
// lives, run() may then be called on another thread, which becomes one of
// the workers, while the first watches the StudyControl and may cancel.
// The results of one run() take at most resultBytes of memory.
class SweepRunner {
  public:
    SweepRunner(const Worksheet& sheet, SweepPlan plan, unsigned workers = DefaultWorkerCount(),
                std::size_t resultBytes = kUnlimitedResults);
    ~SweepRunner();
    SweepRunner(const SweepRunner&) = delete;
    SweepRunner& operator=(const SweepRunner&) = delete;

    const SweepPlan& plan() const { return *plan_; }
    unsigned workerCount() const { return workers_; }

    // Runs points first to last (numbered from 1, last <= pointCount()) and
    // returns them in order, counting each in control. After a cancel, which
    // is seen between any two passes, it returns the points before the first
    // one left unfinished; so it does when their results would outgrow the
    // memory they may take or memory runs out, saying so in shortfall(). One
    // call at a time; any thread may make it.
    SweepResults run(std::uint64_t first, std::uint64_t last, StudyControl* control = nullptr);
    SweepResults runAll(StudyControl* control = nullptr) {
        return run(1, plan_->pointCount(), control);
    }

  private:
    struct Work;
    void runBlocks(PointRunner& runner, Work& work) const;

    std::shared_ptr<const SweepPlan> plan_;
    std::size_t resultBytes_;
    unsigned workers_;
    // The worksheet every worker copies at the start of a run.
    Worksheet start_;
};

}  // namespace quantaro
