#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/NameTable.h"

namespace quantaro {

static_assert(std::numeric_limits<long double>::digits == 64,
              "a trajectory packs the 80-bit extended real");

// The values of chosen variables after each pass of a loop: one row per pass,
// the pass number and, for each variable, its value cell as the table held it.
//
// Recording writes no text: a stored result is kept as its number, whose text
// is made only when asked for, and a typed text is kept once for as long as it
// stays the same. So a pass costs a few stores per variable, and the rows'
// memory is taken at the start of a history and kept through clear().
//
// Memory is bounded: when the rows reach capacity(), every other row is
// dropped and from then on only every second pass is kept (every fourth after
// the next thinning, and so on). The latest pass is always the last row.
class Trajectory {
  public:
    // At most this many rows are kept, and at most kMaxValues values, so that
    // many variables cannot take much more memory than a few would.
    static constexpr std::size_t kMaxRows = 1'000'000;
    static constexpr std::size_t kMaxValues = 8'000'000;

    // Records the variables of the given names, in that order.
    explicit Trajectory(std::vector<std::string> names = {}, std::size_t maxRows = kMaxRows);

    const std::vector<std::string>& names() const { return names_; }
    std::size_t columnCount() const { return columns_.size(); }
    std::size_t rowCount() const { return rows_; }
    std::size_t capacity() const { return capacity_; }
    // Rows have been dropped to keep within capacity().
    bool thinned() const { return stride_ > 1; }
    // Of the passes recorded, one in stride() is kept (the latest always).
    std::uint64_t stride() const { return stride_; }
    // Changes with every change of the rows, so that a view can tell when to
    // draw again.
    std::uint64_t revision() const { return revision_; }

    // Records the variable table after a counted pass. A name that no row of
    // the table holds is recorded as an empty text.
    void record(std::int64_t pass, const NameTable& variables);
    // Drops every row; the names stay.
    void clear();
    // Drops every row and records the given names from now on.
    void restart(std::vector<std::string> names);

    std::int64_t pass(std::size_t row) const;
    // The value cell's text as the table held it after the row's pass.
    std::string text(std::size_t row, std::size_t column) const;
    // The number the text reads as (0 for a text that is no number, as a run
    // reads it); NaN when it cannot be drawn: an empty cell, a missing name
    // or a text that overflows.
    long double number(std::size_t row, std::size_t column) const {
        long double value = 0.0L;
        std::memcpy(&value, columns_[column].numbers[row].bytes, kPackedSize);
        return value;
    }
    // Every row's number() as a double (NaN beyond the double's range), and
    // every row's pass: the quick way to read a whole column.
    void numbersAsDoubles(std::size_t column, std::vector<double>& out) const;
    void passesAsDoubles(std::vector<double>& out) const;

  private:
    // An extended real in its ten bytes, without the padding of a long double,
    // so that a long history takes fewer pages.
    static constexpr std::size_t kPackedSize = 10;
    struct PackedNumber {
        unsigned char bytes[kPackedSize];
    };

    // A stretch of rows, from firstRow up to the next run, whose texts are all
    // the same typed text (text >= 0) or all the numbers' own (kNumberText).
    struct Run {
        std::size_t firstRow;
        std::int32_t text;
    };
    static constexpr std::int32_t kNumberText = -1;
    // No pass is numbered so: the next pass always starts a run.
    static constexpr std::int64_t kNoPass = std::numeric_limits<std::int64_t>::min();

    struct Column {
        std::unique_ptr<PackedNumber[]> numbers;  // capacity() rows, written up to rowCount()
        std::vector<Run> runs;
        std::vector<std::string> texts;
        int tableRow = 0;  // the variable's row, while the names stay as they were
        // The typed text of the last row was read while the table's typed
        // values were those of this stamp (0: read it again); its number.
        std::uint64_t typedStamp = 0;
        PackedNumber typedNumber{};
    };

    // Pass numbers go up by the stride from row to row, so they are kept as
    // runs: a row's pass is its run's first pass plus a step for each row.
    struct PassRun {
        std::size_t firstRow;
        std::int64_t firstPass;
        std::int64_t step;
        std::int64_t passOf(std::size_t row) const {
            return firstPass + static_cast<std::int64_t>(row - firstRow) * step;
        }
    };

    // The last row is a pass off the stride, kept only until the next; the
    // stride is a power of two.
    bool lastRowProvisional() const { return (counted_ & (stride_ - 1)) != 0; }
    void recordSlowly(std::int64_t pass, const NameTable& variables);
    void appendRow(std::int64_t pass, const NameTable& variables);
    void allocate();
    void findRows(const NameTable& variables);
    void startPassRun(std::int64_t pass);
    void appendOther(Column& column, const NameTable& variables);
    void setRunText(Column& column, std::int32_t text);
    void dropLastRow();
    void thin();

    std::vector<std::string> names_;
    std::vector<Column> columns_;
    std::size_t maxRows_;
    std::size_t capacity_;
    std::size_t rows_ = 0;
    std::vector<PassRun> passRuns_;
    std::int64_t nextPass_ = kNoPass;  // the pass the last run foresees next
    std::uint64_t namesStamp_ = 0;     // of the table whose rows the columns hold
    std::uint64_t counted_ = 0;        // passes recorded since the last clear
    std::uint64_t stride_ = 1;         // only every stride-th pass is kept for good
    bool allocated_ = false;           // the columns hold capacity() rows of memory
    std::uint64_t revision_ = 0;
};

// Every pass of a running loop comes here, so the common pass (a row on the
// stride, room left, the same names, stored results) is a few stores per
// variable; everything else takes the slow path.
inline void Trajectory::record(std::int64_t pass, const NameTable& variables) {
    if (lastRowProvisional() || rows_ == 0 || rows_ >= capacity_ ||
        variables.namesStamp() != namesStamp_) {
        recordSlowly(pass, variables);
        return;
    }
    ++counted_;
    appendRow(pass, variables);
    ++revision_;
}

inline void Trajectory::appendRow(std::int64_t pass, const NameTable& variables) {
    if (pass != nextPass_) startPassRun(pass);
    nextPass_ = pass + static_cast<std::int64_t>(stride_);
    for (Column& column : columns_) {
        const long double* result =
            column.tableRow != 0 ? variables.storedResult(column.tableRow) : nullptr;
        if (result && !column.runs.empty() && column.runs.back().text == kNumberText) {
            std::memcpy(column.numbers[rows_].bytes, result, kPackedSize);
        } else if (!result && column.typedStamp == variables.valuesStamp()) {
            column.numbers[rows_] = column.typedNumber;  // the same typed text again
        } else {
            appendOther(column, variables);
        }
    }
    ++rows_;
}

}  // namespace quantaro
