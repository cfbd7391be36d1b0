#include "engine/NameTable.h"

#include <algorithm>
#include <cassert>
#include <cfenv>
#include <functional>

#include "engine/FloatingPointFault.h"
#include "engine/NumberRounding.h"
#include "engine/Numbers.h"
#include "engine/OperatorRegistry.h"
#include "engine/Stamp.h"

namespace quantaro {
namespace {

char FoldChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldChar(text[i]) != FoldChar(prefix[i])) return false;
    }
    return true;
}

// FNV-1a over the folded characters.
std::size_t FoldedHashOf(std::string_view name) {
    std::size_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= static_cast<unsigned char>(FoldChar(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

NameTable MakeEntryTable(const char* heading) {
    NameTable table(kEntryTableRows, kEntryTableColumns);
    table.setCell(NameColumn, 0, heading);
    table.setCell(ValueColumn, 0, "Value");
    table.setCell(UnitsColumn, 0, "Units");
    return table;
}

}  // namespace

NameTable::NameTable(int rowCount, int columnCount)
    : rowCount_(rowCount),
      columnCount_(columnCount),
      cells_(static_cast<std::size_t>((rowCount + 1) * columnCount)),
      numbers_(static_cast<std::size_t>(rowCount + 1)),
      namesStamp_(NextStamp()),
      valuesStamp_(NextStamp()) {}

std::size_t NameTable::index(int column, int row) const {
    assert(column >= 0 && column < columnCount_ && row >= 0 && row <= rowCount_);
    return static_cast<std::size_t>(row * columnCount_ + column);
}

const std::string& NameTable::cell(int column, int row) const {
    const std::size_t at = index(column, row);
    if (column == ValueColumn && numbers_[static_cast<std::size_t>(row)].textPending) {
        writePendingText(row);
    }
    return cells_[at];
}

void NameTable::setCell(int column, int row, std::string text) {
    const std::size_t at = index(column, row);
    if (column == NameColumn) namesChanged();
    if (column == ValueColumn) {
        numbers_[static_cast<std::size_t>(row)] = {};
        valuesStamp_ = NextStamp();
    }
    cells_[at] = std::move(text);
}

void NameTable::namesChanged() {
    nameIndexStale_ = true;
    namesStamp_ = NextStamp();
}

// Reading a text leaves the floating-point flags as they were: a run tests
// them after each operator, and only an operator may raise one.
long double NameTable::readNumber(int row) const {
    CachedNumber& cached = numbers_[static_cast<std::size_t>(row)];
    if (!cached.known) {
        std::fexcept_t flags;
        std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
        try {
            cached.value = ParseNumber(cells_[index(ValueColumn, row)]).value_or(0.0L);
        } catch (const FloatingPointFault&) {
            cached.faults = true;
        }
        std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
        cached.known = true;
    }
    if (cached.faults) RaiseFault(FaultKind::Overflow);
    return cached.value;
}

void NameTable::setResult(int row, long double value) {
    assert(row >= 0 && row <= rowCount_);
    const TextRoundTrip readBack = RoundThroughText(value);
    numbers_[static_cast<std::size_t>(row)] = {readBack.value,     value, true,
                                               readBack.overflows, true,  true};
}

void NameTable::writePendingText(int row) const {
    CachedNumber& cached = numbers_[static_cast<std::size_t>(row)];
    cells_[index(ValueColumn, row)] = FormatNumber(cached.result);
    cached.textPending = false;
}

void NameTable::writeAllPendingTexts() const {
    for (int row = 0; row <= rowCount_; ++row) {
        if (numbers_[static_cast<std::size_t>(row)].textPending) writePendingText(row);
    }
}

bool NameTable::operator==(const NameTable& other) const {
    if (rowCount_ != other.rowCount_ || columnCount_ != other.columnCount_) return false;
    writeAllPendingTexts();
    other.writeAllPendingTexts();
    return cells_ == other.cells_;
}

std::size_t NameTable::FoldedHash::operator()(std::string_view name) const {
    return FoldedHashOf(name);
}

bool NameTable::FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    return NamesEqual(a, b);
}

const NameTable::NameIndex& NameTable::nameIndex() const {
    if (!nameIndexStale_) return nameIndex_;
    nameIndex_.firstRow.clear();
    nameIndex_.lengths.clear();
    for (int row = rowCount_; row >= 1; --row) {  // upward, so the first row wins
        const std::string& rowName = name(row);
        if (rowName.empty()) continue;  // a free row never matches
        nameIndex_.firstRow.insert_or_assign(rowName, row);
        nameIndex_.lengths.push_back(rowName.size());
    }
    std::sort(nameIndex_.lengths.begin(), nameIndex_.lengths.end(), std::greater<>());
    nameIndex_.lengths.erase(std::unique(nameIndex_.lengths.begin(), nameIndex_.lengths.end()),
                             nameIndex_.lengths.end());
    nameIndexStale_ = false;
    return nameIndex_;
}

int NameTable::findRow(std::string_view name) const {
    const auto& firstRow = nameIndex().firstRow;
    const auto it = firstRow.find(name);
    return it == firstRow.end() ? 0 : it->second;
}

std::size_t NameTable::longestNamePrefix(std::string_view text) const {
    const NameIndex& names = nameIndex();
    for (std::size_t length : names.lengths) {
        if (length <= text.size() && names.firstRow.contains(text.substr(0, length))) {
            return length;
        }
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
    const auto firstDataCell = static_cast<std::ptrdiff_t>(index(0, 1));
    std::copy(source.cells_.begin() + firstDataCell, source.cells_.end(),
              cells_.begin() + firstDataCell);
    std::copy(source.numbers_.begin() + 1, source.numbers_.end(), numbers_.begin() + 1);
    namesChanged();
    valuesStamp_ = NextStamp();
}

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithFolded(a, b);
}

std::string FoldToUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) c = FoldChar(c);
    return folded;
}

NameTable MakeOperatorTable() {
    NameTable table(kOperatorTableRows, kOperatorTableColumns);
    table.setCell(NameColumn, 0, "Operator");
    table.setCell(ValueColumn, 0, "Operands");
    int row = 1;
    for (const OperatorDefinition& op : OperatorDefinitions()) {
        table.setCell(NameColumn, row, std::string(op.name));
        table.setCell(ValueColumn, row, std::to_string(op.operandCount));
        ++row;
    }
    return table;
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
