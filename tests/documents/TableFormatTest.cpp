#include <gtest/gtest.h>

#include <string>

#include "TableRows.h"
#include "documents/TableFormat.h"

namespace quantaro {
namespace {

using Row = testing::TableRow;
using testing::RowOf;
using testing::SetRow;

std::string EmptyLines(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) {
        lines += "  \r\n";
    }
    return lines;
}

// A constant table with every data row filled, to show which rows a load overwrites.
NameTable FilledTable() {
    NameTable table = MakeConstantTable();
    for (int row = 1; row <= kTableFileLines; ++row) {
        SetRow(table, row, {"old", "1", "u"});
    }
    return table;
}

void ExpectRowsEmptyFrom(const NameTable& table, int firstRow) {
    for (int row = firstRow; row <= kTableFileLines; ++row) {
        EXPECT_EQ(RowOf(table, row), (Row{"", "", ""})) << "row " << row;
    }
}

TEST(TableFormatTest, WritesOneEntryAs410Bytes) {
    NameTable table = MakeConstantTable();
    SetRow(table, 1, {"g", "9.81", "m/s^2"});
    const std::string bytes = SerializeTableFile(table);
    EXPECT_EQ(bytes.size(), 410u);
    EXPECT_EQ(bytes, "g 9.81 m/s^2\r\n" + EmptyLines(99));

    NameTable loaded = FilledTable();
    EXPECT_EQ(ParseTableFile(bytes, loaded), 1);
    EXPECT_EQ(RowOf(loaded, 1), (Row{"g", "9.81", "m/s^2"}));
    ExpectRowsEmptyFrom(loaded, 2);
    EXPECT_EQ(loaded.cell(NameColumn, 0), "Constant");
}

TEST(TableFormatTest, EmptyTableIs400BytesAndLoadsEmpty) {
    const std::string bytes = SerializeTableFile(MakeVariableTable());
    EXPECT_EQ(bytes, EmptyLines(100));
    EXPECT_EQ(bytes.size(), 400u);

    NameTable loaded = FilledTable();
    EXPECT_EQ(ParseTableFile(bytes, loaded), 0);
    ExpectRowsEmptyFrom(loaded, 1);
}

TEST(TableFormatTest, HiddenLastRowTravelsAsLine100) {
    NameTable table = MakeVariableTable();
    SetRow(table, 100, {"Hidden", "42", "kg"});
    const std::string bytes = SerializeTableFile(table);
    EXPECT_EQ(bytes, EmptyLines(99) + "Hidden 42 kg\r\n");

    NameTable loaded = MakeVariableTable();
    EXPECT_EQ(ParseTableFile(bytes, loaded), 100);
    EXPECT_EQ(loaded, table);
    EXPECT_EQ(loaded.findRow("hidden"), 100);
}

TEST(TableFormatTest, SplitsEachLineAtItsFirstTwoSpaces) {
    NameTable table = MakeConstantTable();
    const int used = ParseTableFile(
        "x  m\r\n"
        "k 3 kg m\r\n"
        "  \r\n"
        "n 1e3  lead\r\n"
        "v 5 \r\n" +
            EmptyLines(95),
        table);
    EXPECT_EQ(RowOf(table, 1), (Row{"x", "", "m"}));
    EXPECT_EQ(RowOf(table, 2), (Row{"k", "3", "kg m"}));
    EXPECT_EQ(RowOf(table, 3), (Row{"", "", ""}));
    EXPECT_EQ(RowOf(table, 4), (Row{"n", "1e3", " lead"}));
    EXPECT_EQ(RowOf(table, 5), (Row{"v", "5", ""}));
    EXPECT_EQ(used, 5);
}

TEST(TableFormatTest, UsedRowCountIgnoresRowsWithoutValue) {
    NameTable table = MakeConstantTable();
    EXPECT_EQ(ParseTableFile("a 1 \r\n" + EmptyLines(2) + "x  m\r\n" + EmptyLines(96), table), 1);
    EXPECT_EQ(ParseTableFile(EmptyLines(6) + " 7 \r\n" + EmptyLines(93), table), 7);
}

TEST(TableFormatTest, MisplacedSpacesShiftFieldsAcrossLines) {
    NameTable table = FilledTable();
    // The name runs to the first space even past a line break, and the two
    // characters after the units are skipped whatever they are.
    // A line break of LF alone does not end the units.
    const int used = ParseTableFile(
        "a\r\nb  c\r\n"
        "d 1 u\rXYe 2 f\r\n"
        "g 3 h\ni 4 j\r\n" +
            EmptyLines(96),
        table);
    EXPECT_EQ(RowOf(table, 1), (Row{"a\r\nb", "", "c"}));
    EXPECT_EQ(RowOf(table, 2), (Row{"d", "1", "u"}));
    EXPECT_EQ(RowOf(table, 3), (Row{"Ye", "2", "f"}));
    EXPECT_EQ(RowOf(table, 4), (Row{"g", "3", "h\ni 4 j"}));
    EXPECT_EQ(used, 4);
    ExpectRowsEmptyFrom(table, 5);
}

TEST(TableFormatTest, LinesAfterTheHundredthAreIgnored) {
    NameTable table = MakeConstantTable();
    const std::string bytes = EmptyLines(99) + "last 100 m\r\n" + "extra 5 s\r\n" + EmptyLines(3);
    EXPECT_EQ(ParseTableFile(bytes, table), 100);
    EXPECT_EQ(RowOf(table, 100), (Row{"last", "100", "m"}));
    EXPECT_EQ(table.findRow("extra"), 0);
}

TEST(TableFormatTest, EndOfFileMarkEndsTheTable) {
    NameTable table = FilledTable();
    EXPECT_EQ(ParseTableFile("a 1 m\r\nb 2 s\x1A"
                             "c 3 t\r\n" +
                                 EmptyLines(98),
                             table),
              2);
    EXPECT_EQ(RowOf(table, 1), (Row{"a", "1", "m"}));
    EXPECT_EQ(RowOf(table, 2), (Row{"b", "2", "s"}));
    ExpectRowsEmptyFrom(table, 3);
}

TEST(TableFormatTest, ShortFileKeepsWhatWasReadAndEmptiesTheRest) {
    struct Case {
        std::string bytes;
        Row lastRow;
        int used;
    };
    const Case cases[] = {
        {"", {"", "", ""}, 0},
        {"a 1 m\r\nb 2 s\r\n", {"b", "2", "s"}, 2},
        {"a 1 m\r\nb 2 s", {"b", "2", "s"}, 2},
        {"a 1 m\r\nb 2 s\r", {"b", "2", "s"}, 2},
        {"a 1 m\r\nb 2 ", {"b", "2", ""}, 2},
        {"a 1 m\r\nb 2", {"b", "2", ""}, 2},
        {"a 1 m\r\nb ", {"b", "", ""}, 1},
        {"a 1 m\r\nbb", {"bb", "", ""}, 1},
    };
    for (const Case& c : cases) {
        NameTable table = FilledTable();
        EXPECT_EQ(ParseTableFile(c.bytes, table), c.used) << c.bytes;
        if (!c.bytes.empty()) {
            EXPECT_EQ(RowOf(table, 1), (Row{"a", "1", "m"})) << c.bytes;
        }
        const int lastRow = c.bytes.empty() ? 1 : 2;
        EXPECT_EQ(RowOf(table, lastRow), c.lastRow) << c.bytes;
        ExpectRowsEmptyFrom(table, lastRow + 1);
    }
}

TEST(TableFormatTest, WriterDropsOnlyLeadingBlanksOfValues) {
    NameTable table = MakeConstantTable();
    SetRow(table, 1, {"a", "  5", "m"});
    SetRow(table, 2, {"b", "   ", "s"});
    SetRow(table, 3, {"c", "-2.5", " kg m "});
    const std::string bytes = SerializeTableFile(table);
    EXPECT_EQ(bytes, "a 5 m\r\nb  s\r\nc -2.5  kg m \r\n" + EmptyLines(97));

    NameTable loaded = MakeConstantTable();
    EXPECT_EQ(ParseTableFile(bytes, loaded), 3);
    EXPECT_EQ(RowOf(loaded, 1), (Row{"a", "5", "m"}));
    EXPECT_EQ(RowOf(loaded, 2), (Row{"b", "", "s"}));
    EXPECT_EQ(RowOf(loaded, 3), (Row{"c", "-2.5", " kg m "}));
}

TEST(TableFormatTest, WrittenTablesReadBackUnchanged) {
    NameTable table = MakeVariableTable();
    SetRow(table, 1, {"Mass", "12.5", "kg"});
    SetRow(table, 2, {"x", "", "m"});
    SetRow(table, 50, {"Speed", "1E15", "m/s per s"});
    SetRow(table, 51, {"", "3", ""});
    SetRow(table, 99, {"caf\xC3\xA9", "0.333333333333333", "\xC2\xB0"});
    SetRow(table, 100, {"Slot", "7", ""});

    NameTable loaded = MakeVariableTable();
    EXPECT_EQ(ParseTableFile(SerializeTableFile(table), loaded), 100);
    EXPECT_EQ(loaded, table);
    EXPECT_EQ(SerializeTableFile(loaded), SerializeTableFile(table));
}

}  // namespace
}  // namespace quantaro
