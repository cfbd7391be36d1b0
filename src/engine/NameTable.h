#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FloatingPointFault.h"
#include "engine/NameFolding.h"

namespace quantaro {

enum TableColumn { NameColumn = 0, ValueColumn = 1, UnitsColumn = 2 };

// A grid of cells addressed by (column, row): a name, a value and units.
// Row 0 is the heading; the data rows are 1 to rowCount(), where rowCount()
// counts the heading. A grid shows rows 0 to rowCount() - 1, so the last
// data row is a hidden slot that is stored, read and written like every
// other data row.
//
// A value cell holds a text typed into it or a result a run stored. A typed
// text is read as a number once, when it is written; a stored result keeps
// its number, and its text, FormatNumber of it, is made whenever it is asked
// for, so that storing costs no text. A study types numbers the same way
// (setTypedNumber).
//
// A table holds no cache: whatever is worked out from it for speed (the
// index of its names, see NameIndex) is kept by whoever reads it and
// follows its stamps, so that a const table may be read on two threads.
class NameTable {
  public:
    NameTable(int rowCount, int columnCount);

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }

    // The text of a cell; the value column's is made afresh for a stored
    // result, so it comes as a copy.
    std::string cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    const std::string& name(int row) const { return texts_[textIndex(NameColumn, row)]; }
    std::string value(int row) const;
    const std::string& units(int row) const { return texts_[textIndex(UnitsColumn, row)]; }

    // The value cell read as ParseNumber reads it, 0 when it holds no number.
    // Throws FloatingPointFault when the text overflows.
    long double number(int row) const {
        const ValueState& value = values_[valueIndex(row)];
        if (value.overflows) RaiseFault(FaultKind::Overflow);
        return value.number;
    }
    // Where number(row) stands, for a reader that reads it many times while
    // nothing is stored into the table. Throws as number(row) does.
    // Valid while the table is neither assigned to nor destroyed.
    const long double* numberAt(int row) const {
        const ValueState& value = values_[valueIndex(row)];
        if (value.overflows) RaiseFault(FaultKind::Overflow);
        return &value.number;
    }
    // Whether the value cell holds a number beyond the extended range.
    bool overflows(int row) const { return values_[valueIndex(row)].overflows; }

    // Stores a result: the number becomes what reading back its text would
    // give, and the text is FormatNumber(value).
    void setResult(int row, const long double& value);
    // The same, and notes in log what the cell held before, so that a run of
    // stores can be taken back (takeBack).
    class StoreLog;
    void setResult(int row, const long double& value, StoreLog& log);
    // Puts back what the stores noted in log changed, last first, and empties
    // the log: the cells are as they were before the first of them.
    void takeBack(StoreLog& log);
    // Types FormatNumber(value) into a value cell, as setCell would, but
    // makes the text only when it is asked for: the cell reads as that text
    // does, and holds no stored result.
    void setTypedNumber(int row, long double value);
    // Puts the value cells of the given rows back as they are in source, a
    // table of the same shape; the other cells are left alone.
    void restoreValues(const NameTable& source, std::span<const int> rows);

    // The result last stored in a value cell, whose text is FormatNumber of
    // it; nullptr when the cell holds a text that was set. A pointer, so that
    // a recording can copy the value's bytes without loading it.
    const long double* storedResult(int row) const {
        const ValueState& value = values_[valueIndex(row)];
        return value.stored ? &value.result : nullptr;
    }

    // Changes with every change that may touch a name cell, and is never the
    // same for two different sets of names, so that whatever was worked out
    // from the names can tell whether it still holds.
    std::uint64_t namesStamp() const { return namesStamp_; }
    // The same for texts set into value cells (stored results do not count),
    // so that a recording can tell that every typed value is as it was.
    std::uint64_t valuesStamp() const { return valuesStamp_; }

    // The first data row whose name equals name with ASCII case folding, or
    // 0. A scan of the rows: a reader that searches often keeps a NameIndex.
    int findRow(std::string_view name) const;

    // Empties every data row; the heading row is kept.
    void clearDataRows();
    // Copies every data row, hidden slot included, of a table of the same
    // shape; the heading row is kept.
    void copyDataRowsFrom(const NameTable& source);

    bool operator==(const NameTable& other) const;

  private:
    // What a value cell holds besides a typed text: the number it reads as
    // and, when its text is made on request, the value it is made from.
    struct ValueState {
        long double number = 0.0L;
        long double result = 0.0L;
        bool overflows = false;  // reading the text raises the overflow fault
        bool stored = false;     // the cell holds the result, and no typed text
        bool formatted = false;  // the text is FormatNumber(result), made when asked for
    };
    static ValueState ReadTyped(const std::string& text);
    void storeResult(int row, const long double& value);

    std::size_t textIndex(int column, int row) const {
        assert(column >= 0 && column < columnCount_ && row >= 0 && row <= rowCount_);
        return static_cast<std::size_t>(row * columnCount_ + column);
    }
    std::size_t valueIndex(int row) const {
        assert(row >= 0 && row <= rowCount_);
        return static_cast<std::size_t>(row);
    }

    int rowCount_;
    int columnCount_;
    // Every cell's text, row by row; a value cell holding a stored result
    // has an empty one.
    std::vector<std::string> texts_;
    std::vector<ValueState> values_;  // one per row
    std::uint64_t namesStamp_;
    std::uint64_t valuesStamp_;

  public:
    // What stores into a table changed. Kept from one run of stores to the
    // next, so that noting a store costs no allocation once it has run.
    class StoreLog {
      public:
        void clear() { size_ = 0; }

      private:
        friend class NameTable;
        struct Entry {
            int row = 0;
            ValueState value;
            std::string typed;  // the typed text the store cleared, if any
        };
        std::vector<Entry> entries_;
        std::size_t size_ = 0;
    };
};

// Sizes of the constant and variable tables, heading row included.
inline constexpr int kEntryTableRows = 100;
inline constexpr int kEntryTableColumns = 3;

NameTable MakeConstantTable();
NameTable MakeVariableTable();

std::string FoldToUpper(std::string_view text);

struct Lookup {
    bool found = false;
    long double value = 0.0L;
};

// Searches data rows 1 to rowCount() for name; the value is the parsed value
// cell, 0 when that cell is not a number.
Lookup LookupName(std::string_view name, const NameTable& table);

// Stores value as the result of the first row named name (see setResult);
// does nothing and returns false when no row has that name.
bool StoreResult(std::string_view name, NameTable& table, long double value);

}  // namespace quantaro
