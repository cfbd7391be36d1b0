#pragma once

#include <string>
#include <string_view>

#include "engine/NameTable.h"

namespace quantaro {

// Constant and variable files hold exactly this many lines, one per data row,
// the hidden last row included.
inline constexpr int kTableFileLines = kEntryTableRows;

// Reads data rows 1 to kTableFileLines of table (a constant or variable
// table) from a table file; the heading row is left alone. For each row: the
// name runs to the first space, the value to the next space (both spaces are
// consumed), the units to the next CR, and then two characters are skipped.
// Reading stops at the end of the bytes or at the end-of-file mark: a row cut
// off there keeps what was read of it and every later row is emptied. Lines
// after the last row are ignored.
// Each cell's bytes pass through decode, when given, on their way into the table.
// Returns the used-row count: the highest row whose value is not empty, 0 if none.
using CellDecoder = std::string (*)(std::string_view);
int ParseTableFile(std::string_view bytes, NameTable& table, CellDecoder decode = nullptr);

// Writes data rows 1 to kTableFileLines as name, space, value, space, units,
// CR LF. Leading blanks of a value are dropped, because a blank inside the value
// would end it early when the file is read back; nothing else is changed.
std::string SerializeTableFile(const NameTable& table);

}  // namespace quantaro
