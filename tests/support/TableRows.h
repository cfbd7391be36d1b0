#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

#include "engine/NameTable.h"

namespace quantaro::testing {

// One data row of a constant or variable table: name, value and units.
struct TableRow {
    TableRow(std::string name, std::string value = {}, std::string units = {})
        : name(std::move(name)), value(std::move(value)), units(std::move(units)) {}

    std::string name;
    std::string value;
    std::string units;

    bool operator==(const TableRow&) const = default;
};

// Writes the three cells of one data row.
void SetRow(NameTable& table, int row, const TableRow& cells);

// Writes the rows into consecutive data rows from firstRow on; a row with an
// empty name is a free row.
void FillRows(NameTable& table, const std::vector<TableRow>& rows, int firstRow = 1);

TableRow RowOf(const NameTable& table, int row);

// The same table made afresh from its texts, heading included: it knows no
// number and no stored result, as after reading it from a file.
NameTable CopyOfTexts(const NameTable& table);

void PrintTo(const TableRow& row, std::ostream* out);

}  // namespace quantaro::testing
