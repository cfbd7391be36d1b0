#pragma once

#include <cstddef>
#include <cstdint>
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

    // A stored result's text is written here, the first time it is read.
    const std::string& cell(int column, int row) const;
    void setCell(int column, int row, std::string text);

    const std::string& name(int row) const { return cell(NameColumn, row); }
    const std::string& value(int row) const { return cell(ValueColumn, row); }

    // The value cell read as ParseNumber reads it, 0 when it holds no number.
    // Throws FloatingPointFault when the text overflows. The number is kept
    // until the cell changes, so a run reads each text once.
    long double number(int row) const;

    // Stores a result: the number becomes what reading back its text would
    // give, and the text, FormatNumber(value), is written when first read.
    void setResult(int row, long double value);
    // The result last stored in a value cell, whose text is FormatNumber of
    // it; nullptr when the cell holds a text that was set. A pointer, so that
    // a recording can copy the value's bytes without loading it.
    const long double* storedResult(int row) const {
        const CachedNumber& cached = numbers_[static_cast<std::size_t>(row)];
        return cached.stored ? &cached.result : nullptr;
    }

    // Changes with every change that may touch a name cell, and is never the
    // same for two different sets of names, so that whatever was worked out
    // from the names can tell whether it still holds.
    std::uint64_t namesStamp() const { return namesStamp_; }
    // The same for texts set into value cells (stored results do not count),
    // so that a recording can tell that every typed value is as it was.
    std::uint64_t valuesStamp() const { return valuesStamp_; }

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

    // What is known of a row's value cell besides its text.
    struct CachedNumber {
        long double value = 0.0L;   // the number the text reads as
        long double result = 0.0L;  // a stored result, the text's source
        bool known = false;         // value (or faults) is up to date with the cell
        bool faults = false;        // reading the cell raises the overflow fault
        bool textPending = false;   // the cell's text is still to be made from result
        bool stored = false;        // the cell holds a stored result
    };

    std::size_t index(int column, int row) const;
    const NameIndex& nameIndex() const;
    long double readNumber(int row) const;
    void writePendingText(int row) const;
    void writeAllPendingTexts() const;
    void namesChanged();

    int rowCount_;
    int columnCount_;
    mutable std::vector<std::string> cells_;
    mutable std::vector<CachedNumber> numbers_;
    std::uint64_t namesStamp_ = 0;
    std::uint64_t valuesStamp_ = 0;
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

inline long double NameTable::number(int row) const {
    const CachedNumber& cached = numbers_[static_cast<std::size_t>(row)];
    if (cached.known && !cached.faults) return cached.value;
    return readNumber(row);
}

// Searches data rows 1 to rowCount() for name; the value is the parsed value
// cell, 0 when that cell is not a number.
Lookup LookupName(std::string_view name, const NameTable& table);

// Stores value as the result of the first row named name (see setResult);
// does nothing and returns false when no row has that name.
bool StoreResult(std::string_view name, NameTable& table, long double value);

}  // namespace quantaro
