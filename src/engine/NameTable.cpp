#include "engine/NameTable.h"

#include <algorithm>
#include <cassert>
#include <cfenv>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"
#include "engine/Stamp.h"

namespace quantaro {
namespace {

NameTable MakeEntryTable(const char* heading) {
    NameTable table(kEntryTableRows, kEntryTableColumns);
    table.setCell(NameColumn, 0, heading);
    table.setCell(ValueColumn, 0, "Value");
    table.setCell(UnitsColumn, 0, "Units");
    return table;
}

}  // namespace

// A run tests the flags after each operator, and only an operator may raise
// one; a text written between two runs must not leave one raised either.
ValueCell::ValueCell(std::string typed) : typed_(std::move(typed)) {
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    try {
        number_ = ParseNumber(typed_).value_or(0.0L);
    } catch (const FloatingPointFault&) {
        overflows_ = true;
    }
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
}

ValueCell ValueCell::StoredResult(long double result) {
    const TextRoundTrip readBack = RoundThroughText(result);
    ValueCell cell;
    cell.number_ = readBack.value;
    cell.result_ = result;
    cell.overflows_ = readBack.overflows;
    cell.stored_ = true;
    return cell;
}

std::string ValueCell::text() const {
    return stored_ ? FormatNumber(result_) : typed_;
}

NameTable::NameTable(int rowCount, int columnCount)
    : rowCount_(rowCount),
      columnCount_(columnCount),
      texts_(static_cast<std::size_t>((rowCount + 1) * columnCount)),
      values_(static_cast<std::size_t>(rowCount + 1)),
      namesStamp_(NextStamp()),
      valuesStamp_(NextStamp()) {}

std::size_t NameTable::textIndex(int column, int row) const {
    assert(column >= 0 && column < columnCount_ && row >= 0 && row <= rowCount_);
    return static_cast<std::size_t>(row * columnCount_ + column);
}

std::size_t NameTable::valueIndex(int row) const {
    assert(row >= 0 && row <= rowCount_);
    return static_cast<std::size_t>(row);
}

std::string NameTable::cell(int column, int row) const {
    if (column == ValueColumn) return value(row);
    return texts_[textIndex(column, row)];
}

void NameTable::setCell(int column, int row, std::string text) {
    if (column == ValueColumn) {
        values_[valueIndex(row)] = ValueCell(std::move(text));
        valuesStamp_ = NextStamp();
        return;
    }
    if (column == NameColumn) namesStamp_ = NextStamp();
    texts_[textIndex(column, row)] = std::move(text);
}

void NameTable::setResult(int row, long double value) {
    values_[valueIndex(row)] = ValueCell::StoredResult(value);
}

bool NameTable::operator==(const NameTable& other) const {
    return rowCount_ == other.rowCount_ && columnCount_ == other.columnCount_ &&
           texts_ == other.texts_ && values_ == other.values_;
}

int NameTable::findRow(std::string_view name) const {
    if (name.empty()) return 0;  // a free row never matches
    for (int row = 1; row <= rowCount_; ++row) {
        if (NamesEqual(this->name(row), name)) return row;
    }
    return 0;
}

void NameTable::clearDataRows() {
    for (int row = 1; row <= rowCount_; ++row) {
        for (int column = 0; column < columnCount_; ++column) setCell(column, row, {});
    }
}

void NameTable::copyDataRowsFrom(const NameTable& source) {
    assert(source.rowCount_ == rowCount_ && source.columnCount_ == columnCount_);
    const auto firstDataCell = static_cast<std::ptrdiff_t>(textIndex(0, 1));
    std::copy(source.texts_.begin() + firstDataCell, source.texts_.end(),
              texts_.begin() + firstDataCell);
    std::copy(source.values_.begin() + 1, source.values_.end(), values_.begin() + 1);
    namesStamp_ = NextStamp();
    valuesStamp_ = NextStamp();
}

std::string FoldToUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldAscii(c);
    return folded;
}

NameTable MakeConstantTable() {
    return MakeEntryTable("Constant");
}
NameTable MakeVariableTable() {
    return MakeEntryTable("Variable");
}

Lookup LookupName(std::string_view name, const NameTable& table) {
    const int row = table.findRow(name);
    if (row == 0) return {};
    return {true, table.number(row)};
}

bool StoreResult(std::string_view name, NameTable& table, long double value) {
    const int row = table.findRow(name);
    if (row == 0) return false;
    table.setResult(row, value);
    return true;
}

}  // namespace quantaro
