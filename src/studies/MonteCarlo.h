#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Worksheet.h"
#include "studies/RandomSource.h"
#include "studies/ResultTable.h"
#include "studies/Sweep.h"
#include "studies/Uncertainty.h"

namespace quantaro {

inline constexpr std::uint64_t kDefaultDraws = 100'000;
// How many failing draws' messages a study keeps: the first ones.
inline constexpr std::size_t kKeptFailures = 5;

struct DrawFailure {
    std::uint64_t draw = 0;
    std::string message;
};

// Consecutive draws of a Monte Carlo study, numbered as in the whole study:
// the inputs' values as typed and the results as numbers, NaN where a draw's
// run failed or a result is no number.
class MonteCarloDraws {
  public:
    MonteCarloDraws() = default;

    std::uint64_t firstDraw() const { return firstDraw_; }
    std::size_t size() const { return size_; }
    std::size_t inputCount() const { return inputCount_; }
    std::size_t resultCount() const { return resultCount_; }

    // Column by column: each input's, then each result's.
    std::span<const long double> input(std::size_t k) const {
        return {values_.get() + k * capacity_, size_};
    }
    std::span<const long double> result(std::size_t r) const {
        return {values_.get() + (inputCount_ + r) * capacity_, size_};
    }
    bool failed(std::size_t index) const { return failedFlags_[index] != 0; }
    std::uint64_t failedCount() const { return failedCount_; }
    // The messages of the first failing draws, in draw order, and of every
    // failing draw (for its CSV record).
    const std::vector<DrawFailure>& firstFailures() const { return firstFailures_; }
    const std::string& message(std::size_t index) const;

    // Why the draws stop short of those asked for, besides a cancel.
    const std::string& shortfall() const { return shortfall_; }

  private:
    friend class MonteCarloRunner;
    std::uint64_t firstDraw_ = 1;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
    std::size_t inputCount_ = 0;
    std::size_t resultCount_ = 0;
    // Left unwritten until the draws write them: pages not yet written
    // cost no memory, and a million draws' values no pass to clear them.
    std::unique_ptr<long double[]> values_;
    std::unique_ptr<unsigned char[]> failedFlags_;
    std::uint64_t failedCount_ = 0;
    std::vector<DrawFailure> failures_;  // sorted by draw
    std::vector<DrawFailure> firstFailures_;
    std::string shortfall_;
};

// Runs the draws of a study on worker threads, each with its own copy of the
// worksheet as it was when the runner was made. Draw i's inputs depend only
// on (seed, i), so the draws are the same, bit for bit, on any number of
// workers and in any shard. Made where the worksheet lives, run() may be
// called on another thread, which becomes one of the workers.
class MonteCarloRunner {
  public:
    MonteCarloRunner(const Worksheet& sheet, UncertaintyPlan plan,
                     unsigned workers = DefaultWorkerCount());

    const UncertaintyPlan& plan() const { return *plan_; }
    unsigned workerCount() const { return workers_; }

    // Runs draws first to last (numbered from 1), counting each in control.
    // After a cancel, seen between any two passes, it returns the draws
    // before the first one left unfinished.
    MonteCarloDraws run(std::uint64_t seed, std::uint64_t first, std::uint64_t last,
                        StudyControl* control = nullptr) const;

  private:
    struct Work;
    void runBlocks(PointRunner& runner, Work& work) const;

    std::shared_ptr<const UncertaintyPlan> plan_;
    unsigned workers_;
    Worksheet start_;
    PhiloxRandomSource source_;
    // The results no run stores into, which keep their values at every
    // draw (NaN for the others, read after each run).
    std::vector<long double> fixedResults_;
    std::vector<bool> resultFixed_;
    // Whether a run may store into an input's cell, so that what a draw
    // typed there must be rounded from the draw itself.
    std::vector<bool> inputStoredInto_;
};

// What the draws say of one quantity: numbers ignore the draws that failed
// or gave no number. The quantiles are the order statistics' linear
// interpolation at (n - 1) p; the shortest interval holds ceil(0.95 n) of
// the sorted values, the first such in ties.
struct DrawSummary {
    std::uint64_t count = 0;  // the draws with a number
    std::uint64_t failed = 0;
    long double mean = 0.0L;
    long double deviation = 0.0L;  // with n - 1
    long double low = 0.0L;        // 2.5 %
    long double median = 0.0L;
    long double high = 0.0L;  // 97.5 %
    long double shortestLow = 0.0L;
    long double shortestHigh = 0.0L;
};

// The summary of values in draw order (the order of the sums), NaN for a
// draw without a number.
DrawSummary SummarizeDraws(std::span<const long double> values);

// The draws with a number, counted in `bins` equal bins from the lowest to
// the highest (one bin when all are equal); no bins when there are none.
struct Histogram {
    std::vector<long double> edges;  // bins + 1
    std::vector<std::uint64_t> counts;
};
Histogram MakeHistogram(std::span<const long double> values, std::size_t bins);

// A summary line as the batch runner prints it:
// "NAME = MEAN ± SD UNITS [LOW, HIGH] (F failed)".
std::string SummaryLine(std::string_view name, std::string_view units, const DrawSummary& summary);

// A study's quantities side by side: each result's first-order value and u
// and, where there are draws, their summary. Either may be missing.
ResultTable UncertaintySummaryTable(const UncertaintyPlan& plan, const FirstOrderBudget* budget,
                                    std::span<const DrawSummary> results);

// The draws' file: "draw", each input's and each result's column, named
// "NAME [UNITS]" when there are units, and "message"; a record per draw
// with its number, the texts of the values, empty for a failing draw's
// results, and its message.
std::string DrawsCsvHeader(const UncertaintyPlan& plan);
void AppendDrawsCsvRows(std::string& out, const MonteCarloDraws& draws);

// Draw files read back, to be summarised together: the quantities' names
// and units, and the values of every draw, sorted by draw number.
struct DrawFile {
    std::vector<std::string> names;
    std::vector<std::string> units;
    std::vector<std::uint64_t> draws;
    std::vector<std::vector<long double>> columns;  // NaN where the draw failed
    std::vector<DrawFailure> firstFailures;
    std::uint64_t failedCount = 0;
};

// Adds the records of one file's text to `into`; the first file sets the
// columns, the others must have the same. Returns the fault, empty when
// there is none; `source` names the file in it.
std::string ReadDrawsCsv(std::string_view text, std::string_view source, DrawFile& into);
// Sorts the draws read by number; the fault when a number comes twice.
std::string FinishDrawFile(DrawFile& file);

}  // namespace quantaro
