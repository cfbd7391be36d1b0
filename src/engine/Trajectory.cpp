#include "engine/Trajectory.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

#include "engine/Numbers.h"

namespace quantaro {
namespace {

constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();
// The biased exponent of an extended real below 2^1023, which a double holds.
constexpr unsigned kLargestDoubleExponent = 16383 + 1022;

std::size_t CapacityFor(std::size_t columns, std::size_t maxRows) {
    const std::size_t byValues = Trajectory::kMaxValues / std::max<std::size_t>(columns, 1);
    // Thinning needs two rows to keep one.
    return std::max<std::size_t>(std::min(maxRows, byValues), 2);
}

// The run a row belongs to: the last that starts at or before it.
template <typename Run>
const Run& RunAt(const std::vector<Run>& runs, std::size_t row) {
    const auto after =
        std::upper_bound(runs.begin(), runs.end(), row,
                         [](std::size_t at, const Run& run) { return at < run.firstRow; });
    return *(after - 1);
}

}  // namespace

Trajectory::Trajectory(std::vector<std::string> names, std::size_t maxRows)
    : names_(std::move(names)),
      columns_(names_.size()),
      maxRows_(maxRows),
      capacity_(CapacityFor(names_.size(), maxRows)) {}

void Trajectory::recordSlowly(std::int64_t pass, const NameTable& variables) {
    if (lastRowProvisional()) dropLastRow();
    ++counted_;
    if (rows_ >= capacity_) thin();
    if (!allocated_) allocate();
    if (variables.namesStamp() != namesStamp_) findRows(variables);
    appendRow(pass, variables);
    ++revision_;
}

void Trajectory::clear() {
    for (Column& column : columns_) {
        column.runs.clear();
        column.texts.clear();
        column.typedStamp = 0;
    }
    rows_ = 0;
    passRuns_.clear();
    nextPass_ = kNoPass;
    namesStamp_ = 0;
    counted_ = 0;
    stride_ = 1;
    ++revision_;
}

void Trajectory::restart(std::vector<std::string> names) {
    names_ = std::move(names);
    columns_.clear();
    columns_.resize(names_.size());
    capacity_ = CapacityFor(names_.size(), maxRows_);
    allocated_ = false;
    clear();
}

// The whole capacity is taken at once, left unwritten: pages not yet written
// cost no memory, and no row is ever copied into a larger block.
void Trajectory::allocate() {
    for (Column& column : columns_) {
        // One row to spare: a number read in place is read as a whole long
        // double, which reaches past its ten bytes.
        column.numbers = std::make_unique_for_overwrite<PackedNumber[]>(capacity_ + 1);
    }
    allocated_ = true;
}

void Trajectory::findRows(const NameTable& variables) {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        columns_[c].tableRow = variables.findRow(names_[c]);
        columns_[c].typedStamp = 0;
    }
    namesStamp_ = variables.namesStamp();
}

void Trajectory::startPassRun(std::int64_t pass) {
    passRuns_.push_back({rows_, pass, static_cast<std::int64_t>(stride_)});
}

// The first stored result of a run, a typed text or a missing name. A typed
// text is compared with the column's last one, so that it is kept once.
void Trajectory::appendOther(Column& column, const NameTable& variables) {
    const int row = column.tableRow;
    PackedNumber& packed = column.numbers[rows_];
    if (const long double* result = row != 0 ? variables.storedResult(row) : nullptr) {
        std::memcpy(packed.bytes, result, kPackedSize);
        column.typedStamp = 0;
        setRunText(column, kNumberText);
        return;
    }
    static const std::string kMissing;
    const std::string& text = row != 0 ? variables.value(row) : kMissing;
    long double number = kNoNumber;
    if (!text.empty() && !variables.overflows(row)) number = variables.number(row);
    std::memcpy(packed.bytes, &number, kPackedSize);
    column.typedNumber = packed;
    column.typedStamp = variables.valuesStamp();
    const Run* last = column.runs.empty() ? nullptr : &column.runs.back();
    if (last && last->text >= 0 && column.texts[static_cast<std::size_t>(last->text)] == text) {
        return;
    }
    column.texts.push_back(text);
    setRunText(column, static_cast<std::int32_t>(column.texts.size() - 1));
}

// The row being appended takes the given text; a new run starts unless the
// last one has it already.
void Trajectory::setRunText(Column& column, std::int32_t text) {
    if (!column.runs.empty() && column.runs.back().text == text) return;
    column.runs.push_back({rows_, text});
}

void Trajectory::dropLastRow() {
    const std::size_t row = --rows_;
    if (passRuns_.back().firstRow == row) passRuns_.pop_back();
    nextPass_ = passRuns_.empty() ? kNoPass : passRuns_.back().passOf(row);
    for (Column& column : columns_) {
        if (column.runs.back().firstRow == row) column.runs.pop_back();
        column.typedStamp = 0;  // the last row is another now
    }
}

// Keeps the odd rows, the passes on the doubled stride; the pass numbers and
// texts of the rows kept are carried into runs of their new rows.
void Trajectory::thin() {
    const std::size_t rows = rows_;
    stride_ *= 2;
    std::vector<PassRun> passRuns;
    for (std::size_t row = 1, to = 0; row < rows; row += 2, ++to) {
        const std::int64_t pass = RunAt(passRuns_, row).passOf(row);
        if (passRuns.empty() || passRuns.back().passOf(to) != pass) {
            passRuns.push_back({to, pass, static_cast<std::int64_t>(stride_)});
        }
    }
    passRuns_ = std::move(passRuns);
    for (Column& column : columns_) {
        std::vector<Run> runs;
        for (std::size_t row = 1, to = 0; row < rows; row += 2, ++to) {
            column.numbers[to] = column.numbers[row];
            const std::int32_t text = RunAt(column.runs, row).text;
            if (runs.empty() || runs.back().text != text) runs.push_back({to, text});
        }
        column.runs = std::move(runs);
        column.typedStamp = 0;
    }
    rows_ = rows / 2;
    nextPass_ = passRuns_.empty() ? kNoPass : passRuns_.back().passOf(rows_);
}

std::int64_t Trajectory::pass(std::size_t row) const {
    assert(row < rowCount());
    return RunAt(passRuns_, row).passOf(row);
}

void Trajectory::numbersAsDoubles(std::size_t column, std::vector<double>& out) const {
    out.resize(rows_);
    // Read in place, the last row too (allocate() keeps a row to spare):
    // copied out first, the ten bytes would reach the floating-point unit
    // through a stall.
    using PackedLongDouble __attribute__((may_alias, aligned(1))) = long double;
    const PackedNumber* numbers = columns_[column].numbers.get();
    for (std::size_t row = 0; row < rows_; ++row) {
        // The exponent is tested before the number is narrowed, so that
        // narrowing raises no fault flag: NaN, infinity and numbers beyond
        // the double's reach have a larger one.
        std::uint16_t signAndExponent = 0;
        std::memcpy(&signAndExponent, numbers[row].bytes + 8, sizeof signAndExponent);
        out[row] = (signAndExponent & 0x7fff) <= kLargestDoubleExponent
                       ? static_cast<double>(
                             *reinterpret_cast<const PackedLongDouble*>(numbers[row].bytes))
                       : std::numeric_limits<double>::quiet_NaN();
    }
}

void Trajectory::passesAsDoubles(std::vector<double>& out) const {
    out.resize(rows_);
    for (std::size_t run = 0; run < passRuns_.size(); ++run) {
        const std::size_t end = run + 1 < passRuns_.size() ? passRuns_[run + 1].firstRow : rows_;
        for (std::size_t row = passRuns_[run].firstRow; row < end; ++row) {
            out[row] = static_cast<double>(passRuns_[run].passOf(row));
        }
    }
}

std::string Trajectory::text(std::size_t row, std::size_t column) const {
    assert(row < rowCount());
    const Column& values = columns_[column];
    const std::int32_t text = RunAt(values.runs, row).text;
    if (text == kNumberText) return FormatNumber(number(row, column));
    return values.texts[static_cast<std::size_t>(text)];
}

}  // namespace quantaro
