#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quantaro {

enum TableColumn { NameColumn = 0, ValueColumn = 1, UnitsColumn = 2 };

// A grid of text cells addressed by (column, row). Row 0 is the heading; the
// data rows are 1 to rowCount(), where rowCount() counts the heading. A grid
// shows rows 0 to rowCount() - 1, so the last data row is a hidden slot that
// is stored, read and written like every other data row.
class NameTable {
  public:
    NameTable(int rowCount, int columnCount);

    int rowCount() const { return rowCount_; }
    int columnCount() const { return columnCount_; }

    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    const std::string& name(int row) const { return cell(NameColumn, row); }
    const std::string& value(int row) const { return cell(ValueColumn, row); }

    // The first data row whose name equals name with ASCII case folding, or 0.
    int findRow(std::string_view name) const;

    // Length of the longest name that text starts with (ASCII case folded).
    std::size_t longestNamePrefix(std::string_view text) const;

    // Empties every data row; the heading row is kept.
    void clearDataRows();
    // Copies every data row, hidden slot included, of a table of the same
    // shape; the heading row is kept.
    void copyDataRowsFrom(const NameTable& source);

    bool operator==(const NameTable& other) const;

  private:
    // Names folded for hashing and comparing, so that lookups need no copy.
    struct FoldedHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const;
    };
    struct FoldedEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    // The first row of every name and the distinct name lengths, longest
    // first. Rebuilt on the next search after a name cell has changed, so
    // that a search costs a few hash probes instead of a scan of every row.
    struct NameIndex {
        std::unordered_map<std::string, int, FoldedHash, FoldedEqual> firstRow;
        std::vector<std::size_t> lengths;
    };

    std::size_t index(int column, int row) const;
    const NameIndex& nameIndex() const;

    int rowCount_;
    int columnCount_;
    std::vector<std::string> cells_;
    mutable NameIndex nameIndex_;
    mutable bool nameIndexStale_ = true;
};

// Sizes of the three tables, heading row included.
inline constexpr int kOperatorTableRows = 67;
inline constexpr int kOperatorTableColumns = 2;
inline constexpr int kEntryTableRows = 100;
inline constexpr int kEntryTableColumns = 3;

// The operator table with its heading and 66 operator rows filled.
NameTable MakeOperatorTable();
NameTable MakeConstantTable();
NameTable MakeVariableTable();

// ASCII-only case folding, as used for every name comparison.
bool NamesEqual(std::string_view a, std::string_view b);
std::string FoldToUpper(std::string_view text);

struct Lookup {
    bool found = false;
    long double value = 0.0L;
};

// Searches data rows 1 to rowCount() for name; the value is the parsed value
// cell, 0 when that cell is not a number.
Lookup LookupName(std::string_view name, const NameTable& table);

// Writes FormatNumber(value) into the value cell of the first row named name;
// does nothing and returns false when no row has that name.
bool StoreResult(std::string_view name, NameTable& table, long double value);

}  // namespace quantaro
