#include "engine/Trajectory.h"

#include <algorithm>
#include <cassert>
#include <limits>

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
      capacity_(CapacityFor(names_.size(), maxRows)) {}

void Trajectory::record(std::int64_t pass, const NameTable& variables) {
    ++counted_;
    if (lastRowProvisional_) dropLastRow();
    if (rowCount() >= capacity_) thin();
    append(pass, variables);
    lastRowProvisional_ = counted_ % stride_ != 0;
    ++revision_;
}

void Trajectory::clear() {
    for (Column& column : columns_) column = Column{};
    passes_.clear();
    namesStamp_ = 0;
    counted_ = 0;
    stride_ = 1;
    lastRowProvisional_ = false;
    ++revision_;
}

void Trajectory::findRows(const NameTable& variables) {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        columns_[c].tableRow = variables.findRow(names_[c]);
    }
    namesStamp_ = variables.namesStamp();
}

void Trajectory::append(std::int64_t pass, const NameTable& variables) {
    if (variables.namesStamp() != namesStamp_) findRows(variables);
    passes_.push_back(pass);
    for (Column& column : columns_) appendValue(column, variables);
}

void Trajectory::appendValue(Column& column, const NameTable& variables) {
    const int row = column.tableRow;
    if (row != 0) {
        if (const std::optional<long double> result = variables.storedResult(row)) {
            column.numbers.push_back(*result);
            setRunText(column, kNumberText);
            return;
        }
    }
    static const std::string kMissing;
    const std::string& text = row != 0 ? variables.value(row) : kMissing;
    long double number = kNoNumber;
    if (!text.empty()) {
        try {
            number = variables.number(row);
        } catch (const FloatingPointFault&) {
        }
    }
    column.numbers.push_back(number);
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
    passes_.pop_back();
    const std::size_t rows = passes_.size();
    for (Column& column : columns_) {
        column.numbers.pop_back();
        if (column.runs.back().firstRow == rows) column.runs.pop_back();
    }
}

// Keeps the odd rows, the passes on the doubled stride; the texts of the rows
// kept are carried into runs of their own new rows.
void Trajectory::thin() {
    const std::size_t rows = rowCount();
    std::size_t kept = 0;
    for (std::size_t row = 1; row < rows; row += 2) passes_[kept++] = passes_[row];
    passes_.resize(kept);
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
    stride_ *= 2;
}

const Trajectory::Run& Trajectory::runOf(const Column& column, std::size_t row) const {
    assert(row < rowCount() && !column.runs.empty());
    const auto after = std::upper_bound(
        column.runs.begin(), column.runs.end(), row,
        [](std::size_t at, const Run& run) { return at < run.firstRow; });
    return *(after - 1);
}

std::string Trajectory::text(std::size_t row, std::size_t column) const {
    const Column& values = columns_[column];
    const Run& run = runOf(values, row);
    if (run.text == kNumberText) return FormatNumber(values.numbers[row]);
    return values.texts[static_cast<std::size_t>(run.text)];
}

}  // namespace quantaro
