#include "engine/Trajectory.h"

#include <algorithm>
#include <cassert>
#include <limits>
#include <utility>

#include "engine/FloatingPointFault.h"
#include "engine/NameTable.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();

std::size_t CapacityFor(std::size_t columns, std::size_t maxRows) {
    const std::size_t byValues = Trajectory::kMaxValues / std::max<std::size_t>(columns, 1);
    // Thinning needs two rows to keep one.
    return std::max<std::size_t>(std::min(maxRows, byValues), 2);
}

}  // namespace

Trajectory::Trajectory(std::vector<std::string> names, std::size_t maxRows)
    : names_(std::move(names)),
      columns_(names_.size()),
      maxRows_(maxRows),
      capacity_(CapacityFor(names_.size(), maxRows)) {}

void Trajectory::record(std::int64_t pass, const NameTable& variables) {
    ++counted_;
    if (lastRowProvisional_) dropLastRow();
    if (rowCount() >= capacity_) thin();
    append(pass, variables);
    lastRowProvisional_ = (counted_ & (stride_ - 1)) != 0;  // the stride is a power of two
    ++revision_;
}

// The rows' memory is kept, so that the next history writes to pages that
// are already there.
void Trajectory::clear() {
    for (Column& column : columns_) {
        column.numbers.clear();
        column.runs.clear();
        column.texts.clear();
    }
    rows_ = 0;
    passRuns_.clear();
    namesStamp_ = 0;
    counted_ = 0;
    stride_ = 1;
    lastRowProvisional_ = false;
    ++revision_;
}

void Trajectory::restart(std::vector<std::string> names) {
    names_ = std::move(names);
    columns_.assign(names_.size(), Column{});
    capacity_ = CapacityFor(names_.size(), maxRows_);
    clear();
}

// The whole capacity is asked for at once, so that a long loop never waits for
// the rows to be copied into a larger block; pages not yet written cost no
// memory.
void Trajectory::reserve() {
    for (Column& column : columns_) column.numbers.reserve(capacity_);
}

void Trajectory::findRows(const NameTable& variables) {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        columns_[c].tableRow = variables.findRow(names_[c]);
    }
    namesStamp_ = variables.namesStamp();
}

// A stored result is the common case and takes two stores; a typed text is
// compared with the column's last one.
void Trajectory::append(std::int64_t pass, const NameTable& variables) {
    if (rows_ == 0) reserve();
    if (variables.namesStamp() != namesStamp_) findRows(variables);
    appendPass(passRuns_, rows_, pass);
    ++rows_;
    for (Column& column : columns_) {
        const int row = column.tableRow;
        const long double* result = row != 0 ? variables.storedResult(row) : nullptr;
        if (result) {
            column.numbers.push_back(Pack(*result));
            if (column.runs.empty() || column.runs.back().text != kNumberText) {
                setRunText(column, kNumberText);
            }
        } else {
            appendText(column, variables);
        }
    }
}

void Trajectory::appendText(Column& column, const NameTable& variables) {
    static const std::string kMissing;
    const int row = column.tableRow;
    const std::string& text = row != 0 ? variables.value(row) : kMissing;
    long double number = kNoNumber;
    if (!text.empty()) {
        try {
            number = variables.number(row);
        } catch (const FloatingPointFault&) {
        }
    }
    column.numbers.push_back(Pack(number));
    const Run* last = column.runs.empty() ? nullptr : &column.runs.back();
    if (last && last->text >= 0 && column.texts[static_cast<std::size_t>(last->text)] == text) {
        return;
    }
    column.texts.push_back(text);
    setRunText(column, static_cast<std::int32_t>(column.texts.size() - 1));
}

// The row just appended takes the given text; a new run starts unless the
// last one has it already.
void Trajectory::setRunText(Column& column, std::int32_t text) {
    if (!column.runs.empty() && column.runs.back().text == text) return;
    column.runs.push_back({column.numbers.size() - 1, text});
}

void Trajectory::dropLastRow() {
    const std::size_t rows = --rows_;
    if (passRuns_.back().firstRow == rows) passRuns_.pop_back();
    for (Column& column : columns_) {
        column.numbers.pop_back();
        if (column.runs.back().firstRow == rows) column.runs.pop_back();
    }
}

// Keeps the odd rows, the passes on the doubled stride; the texts of the rows
// kept are carried into runs of their own new rows.
void Trajectory::thin() {
    const std::size_t rows = rowCount();
    const std::size_t kept = rows / 2;
    stride_ *= 2;
    std::vector<PassRun> passRuns;
    std::size_t passRunAt = 0;
    for (std::size_t row = 1, to = 0; row < rows; row += 2, ++to) {
        while (passRunAt + 1 < passRuns_.size() && passRuns_[passRunAt + 1].firstRow <= row) {
            ++passRunAt;
        }
        appendPass(passRuns, to, passRuns_[passRunAt].passOf(row));
    }
    passRuns_ = std::move(passRuns);
    rows_ = kept;
    for (Column& column : columns_) {
        std::vector<Run> runs;
        std::size_t runAt = 0;
        for (std::size_t row = 1, to = 0; row < rows; row += 2, ++to) {
            column.numbers[to] = column.numbers[row];
            while (runAt + 1 < column.runs.size() && column.runs[runAt + 1].firstRow <= row) {
                ++runAt;
            }
            if (runs.empty() || runs.back().text != column.runs[runAt].text) {
                runs.push_back({to, column.runs[runAt].text});
            }
        }
        column.numbers.resize(kept);
        column.runs = std::move(runs);
    }
}

// A pass the last run foresees adds nothing.
void Trajectory::appendPass(std::vector<PassRun>& runs, std::size_t row, std::int64_t pass) const {
    if (!runs.empty() && runs.back().passOf(row) == pass) return;
    runs.push_back({row, pass, static_cast<std::int64_t>(stride_)});
}

std::int64_t Trajectory::pass(std::size_t row) const {
    assert(row < rowCount());
    const auto after =
        std::upper_bound(passRuns_.begin(), passRuns_.end(), row,
                         [](std::size_t at, const PassRun& run) { return at < run.firstRow; });
    return (after - 1)->passOf(row);
}

const Trajectory::Run& Trajectory::runOf(const Column& column, std::size_t row) const {
    assert(row < rowCount() && !column.runs.empty());
    const auto after =
        std::upper_bound(column.runs.begin(), column.runs.end(), row,
                         [](std::size_t at, const Run& run) { return at < run.firstRow; });
    return *(after - 1);
}

std::string Trajectory::text(std::size_t row, std::size_t column) const {
    const Column& values = columns_[column];
    const Run& run = runOf(values, row);
    if (run.text == kNumberText) return FormatNumber(Unpack(values.numbers[row]));
    return values.texts[static_cast<std::size_t>(run.text)];
}

}  // namespace quantaro
