#include "TableRows.h"

#include <ostream>

namespace quantaro::testing {

void SetRow(NameTable& table, int row, const TableRow& cells) {
    table.setCell(NameColumn, row, cells.name);
    table.setCell(ValueColumn, row, cells.value);
    table.setCell(UnitsColumn, row, cells.units);
}

void FillRows(NameTable& table, const std::vector<TableRow>& rows, int firstRow) {
    int row = firstRow;
    for (const TableRow& cells : rows) SetRow(table, row++, cells);
}

TableRow RowOf(const NameTable& table, int row) {
    return {table.cell(NameColumn, row), table.cell(ValueColumn, row),
            table.cell(UnitsColumn, row)};
}

NameTable CopyOfTexts(const NameTable& table) {
    NameTable copy(table.rowCount(), table.columnCount());
    for (int row = 0; row <= table.rowCount(); ++row) {
        for (int column = 0; column < table.columnCount(); ++column) {
            copy.setCell(column, row, table.cell(column, row));
        }
    }
    return copy;
}

void PrintTo(const TableRow& row, std::ostream* out) {
    *out << '{' << '"' << row.name << "\", \"" << row.value << "\", \"" << row.units << "\"}";
}

}  // namespace quantaro::testing
