#include "NameTable.h"

#include <cassert>

#include "Numbers.h"
#include "OperatorTable.h"

namespace quantaro {
namespace {

char FoldChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldChar(text[i]) != FoldChar(prefix[i]))
            return false;
    }
    return true;
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
      cells_(static_cast<std::size_t>((rowCount + 1) * columnCount)) {}

std::size_t NameTable::index(int column, int row) const {
    assert(column >= 0 && column < columnCount_ && row >= 0 && row <= rowCount_);
    return static_cast<std::size_t>(row * columnCount_ + column);
}

const std::string& NameTable::cell(int column, int row) const {
    return cells_[index(column, row)];
}

void NameTable::setCell(int column, int row, std::string text) {
    cells_[index(column, row)] = std::move(text);
}

int NameTable::findRow(std::string_view name) const {
    if (name.empty())
        return 0;  // an empty row is free, never a match
    for (int row = 1; row <= rowCount_; ++row) {
        if (NamesEqual(this->name(row), name))
            return row;
    }
    return 0;
}

std::size_t NameTable::longestNamePrefix(std::string_view text) const {
    std::size_t longest = 0;
    for (int row = 1; row <= rowCount_; ++row) {
        const std::string& candidate = name(row);
        if (candidate.size() > longest && StartsWithFolded(text, candidate)) {
            longest = candidate.size();
        }
    }
    return longest;
}

void NameTable::clearDataRows() {
    for (int row = 1; row <= rowCount_; ++row) {
        for (int column = 0; column < columnCount_; ++column)
            setCell(column, row, {});
    }
}

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && StartsWithFolded(a, b);
}

std::string FoldToUpper(std::string_view text) {
    std::string folded(text);
    for (char& c : folded)
        c = FoldChar(c);
    return folded;
}

NameTable MakeOperatorTable() {
    NameTable table(kOperatorTableRows, kOperatorTableColumns);
    table.setCell(NameColumn, 0, "Operator");
    table.setCell(ValueColumn, 0, "Operands");
    int row = 1;
    for (const OperatorDefinition& op : OperatorDefinitions()) {
        table.setCell(NameColumn, row, std::string(op.text));
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
    if (row == 0)
        return {};
    return {true, ParseNumber(table.value(row)).value_or(0.0L)};
}

void StoreResult(std::string_view name, NameTable& table, long double value) {
    if (const int row = table.findRow(name); row != 0) {
        table.setCell(ValueColumn, row, FormatNumber(value));
    }
}

}  // namespace quantaro
