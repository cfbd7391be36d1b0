// The byte layout of constant and variable files on arbitrary bytes:
// ParseTableFile must stay inside the bytes, replace every data row, report
// the right used-row count and agree with SerializeTableFile.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "TableRows.h"
#include "documents/FileBytes.h"
#include "documents/TableFormat.h"
#include "engine/NameTable.h"

namespace {

using quantaro::NameTable;
using quantaro::fuzz::PrintEscaped;

constexpr int kRows = quantaro::kTableFileLines;

int HighestRowWithValue(const NameTable& table) {
    for (int row = kRows; row >= 1; --row) {
        if (!table.value(row).empty()) return row;
    }
    return 0;
}

// A table whose every cell holds text, to show that parsing replaces all rows.
NameTable FilledTable() {
    NameTable table = quantaro::MakeVariableTable();
    for (int row = 1; row <= kRows; ++row) {
        quantaro::testing::SetRow(table, row, {"old" + std::to_string(row), "1", "old units"});
    }
    return table;
}

void FailWith(std::string_view bytes, const char* what) {
    PrintEscaped("bytes", bytes);
    FUZZ_CHECK(false, what);
}

// Parses bytes into a fresh table and checks what every parse must give.
NameTable ParseAndCheck(std::string_view bytes, int& usedRows) {
    NameTable table = quantaro::MakeVariableTable();
    const NameTable heading = table;
    usedRows = quantaro::ParseTableFile(bytes, table);
    if (usedRows < 0 || usedRows > kRows) FailWith(bytes, "used-row count outside 0 to 100");
    if (usedRows != HighestRowWithValue(table))
        FailWith(bytes, "used-row count is not the highest row with a value");
    for (int column = 0; column < table.columnCount(); ++column) {
        if (table.cell(column, 0) != heading.cell(column, 0))
            FailWith(bytes, "the heading row changed");
    }
    for (int row = 1; row <= kRows; ++row) {
        const std::string& name = table.name(row);
        const std::string& value = table.value(row);
        const std::string& units = table.cell(quantaro::UnitsColumn, row);
        if (name.find_first_of(std::string_view(" \x1A", 2)) != std::string::npos ||
            value.find_first_of(std::string_view(" \x1A", 2)) != std::string::npos ||
            units.find_first_of(std::string_view("\r\x1A", 2)) != std::string::npos) {
            FailWith(bytes, "a cell holds the character that ends it");
        }
    }
    return table;
}

// Cells for a table built directly from the bytes: cells are separated by
// 0x00, three to a row, rows filled from the top.
NameTable TableFromCells(std::string_view bytes) {
    NameTable table = quantaro::MakeVariableTable();
    int index = 0;
    while (index < 3 * kRows) {
        const std::size_t end = bytes.find('\0');
        table.setCell(index % 3, 1 + index / 3, std::string(bytes.substr(0, end)));
        ++index;
        if (end == std::string_view::npos) break;
        bytes.remove_prefix(end + 1);
    }
    return table;
}

bool SafeToStore(const NameTable& table) {
    for (int row = 1; row <= kRows; ++row) {
        for (int column = 0; column < 3; ++column) {
            if (table.cell(column, row).find_first_of(std::string_view(" \r\n\x1A", 4)) !=
                std::string::npos) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    int usedRows = 0;
    const NameTable parsed = ParseAndCheck(bytes, usedRows);

    // A load replaces the whole table, whatever it held before.
    NameTable reused = FilledTable();
    if (quantaro::ParseTableFile(bytes, reused) != usedRows || reused != parsed) {
        FailWith(bytes, "parsing into a filled table differs from parsing into an empty one");
    }

    // Nothing after an end-of-file mark is read.
    const std::string_view content = quantaro::ContentBeforeEndMark(bytes);
    if (content.size() != bytes.size()) {
        NameTable cut = quantaro::MakeVariableTable();
        if (quantaro::ParseTableFile(content, cut) != usedRows || cut != parsed) {
            FailWith(bytes, "bytes after the end-of-file mark changed the table");
        }
    }

    // What the parser gives is written back in a form that reads back the
    // same, and lines after the last row are ignored.
    std::string written = quantaro::SerializeTableFile(parsed);
    written += bytes.substr(0, 64);
    int usedAgain = 0;
    const NameTable reread = ParseAndCheck(written, usedAgain);
    if (reread != parsed || usedAgain != usedRows) {
        PrintEscaped("written", written);
        FailWith(bytes, "a parsed table does not survive writing and reading back");
    }

    // Any table whose cells hold no blank, line break or end-of-file mark
    // survives writing and reading back.
    const NameTable built = TableFromCells(bytes);
    if (SafeToStore(built)) {
        int usedBuilt = 0;
        const std::string builtBytes = quantaro::SerializeTableFile(built);
        if (ParseAndCheck(builtBytes, usedBuilt) != built ||
            usedBuilt != HighestRowWithValue(built)) {
            PrintEscaped("written", builtBytes);
            FailWith(bytes, "a table does not survive writing and reading back");
        }
    }
    return 0;
}
