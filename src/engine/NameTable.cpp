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
NameTable::ValueState NameTable::ReadTyped(const std::string& text) {
    ValueState state;
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const NumberReading reading = ReadNumber(text);
    state.number = reading.value.value_or(0.0L);
    state.overflows = reading.overflows;
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return state;
}

NameTable::NameTable(int rowCount, int columnCount)
    : rowCount_(rowCount),
      columnCount_(columnCount),
      texts_(static_cast<std::size_t>((rowCount + 1) * columnCount)),
      values_(static_cast<std::size_t>(rowCount + 1)),
      namesStamp_(NextStamp()),
      valuesStamp_(NextStamp()) {}

std::string NameTable::cell(int column, int row) const {
    if (column == ValueColumn) return value(row);
    return texts_[textIndex(column, row)];
}

std::string NameTable::value(int row) const {
    const ValueState& value = values_[valueIndex(row)];
    return value.formatted ? FormatNumber(value.result) : texts_[textIndex(ValueColumn, row)];
}

void NameTable::setCell(int column, int row, std::string text) {
    if (column == ValueColumn) {
        values_[valueIndex(row)] = ReadTyped(text);
        valuesStamp_ = NextStamp();
    }
    if (column == NameColumn) namesStamp_ = NextStamp();
    texts_[textIndex(column, row)] = std::move(text);
}

void NameTable::setResult(int row, const long double& value) {
    storeResult(row, value);
    std::string& typed = texts_[textIndex(ValueColumn, row)];
    if (!typed.empty()) typed.clear();
}

void NameTable::storeResult(int row, const long double& value) {
    const TextRoundTrip readBack = RoundThroughText(value);
    values_[valueIndex(row)] = {readBack.value, value, readBack.overflows, true, true};
}

// A typed text is moved into the log rather than copied: after a first store
// into a row its text is empty, and noting it costs nothing.
void NameTable::setResult(int row, const long double& value, StoreLog& log) {
    if (log.size_ == log.entries_.size()) log.entries_.emplace_back();
    StoreLog::Entry& entry = log.entries_[log.size_++];
    entry.row = row;
    entry.value = values_[valueIndex(row)];
    entry.typed.clear();
    std::string& typed = texts_[textIndex(ValueColumn, row)];
    if (!typed.empty()) entry.typed.swap(typed);
    storeResult(row, value);
}

// A cell that held no typed text has none after the stores either.
void NameTable::takeBack(StoreLog& log) {
    while (log.size_ > 0) {
        StoreLog::Entry& entry = log.entries_[--log.size_];
        values_[valueIndex(entry.row)] = entry.value;
        if (!entry.typed.empty()) texts_[textIndex(ValueColumn, entry.row)].swap(entry.typed);
    }
}

// RoundThroughText reads the number as ReadTyped reads its text, and raises
// no fault flag.
void NameTable::setTypedNumber(int row, long double value) {
    const TextRoundTrip readBack = RoundThroughText(value);
    values_[valueIndex(row)] = {readBack.value, value, readBack.overflows, false, true};
    std::string& typed = texts_[textIndex(ValueColumn, row)];
    if (!typed.empty()) typed.clear();
    valuesStamp_ = NextStamp();
}

void NameTable::restoreValues(const NameTable& source, std::span<const int> rows) {
    assert(source.rowCount_ == rowCount_ && source.columnCount_ == columnCount_);
    for (const int row : rows) {
        values_[valueIndex(row)] = source.values_[valueIndex(row)];
        const std::string& text = source.texts_[textIndex(ValueColumn, row)];
        std::string& typed = texts_[textIndex(ValueColumn, row)];
        if (typed != text) typed = text;
    }
    valuesStamp_ = NextStamp();
}

bool NameTable::operator==(const NameTable& other) const {
    if (rowCount_ != other.rowCount_ || columnCount_ != other.columnCount_) return false;
    for (int row = 0; row <= rowCount_; ++row) {
        for (int column = 0; column < columnCount_; ++column) {
            if (column == ValueColumn
                    ? value(row) != other.value(row)
                    : texts_[textIndex(column, row)] != other.texts_[textIndex(column, row)]) {
                return false;
            }
        }
    }
    return true;
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
