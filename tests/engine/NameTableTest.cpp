#include <gtest/gtest.h>

#include <string_view>
#include <utility>

#include "TableRows.h"
#include "engine/FloatingPointFault.h"
#include "engine/NameIndex.h"
#include "engine/NameTable.h"

namespace quantaro {
namespace {

using testing::FillRows;
using testing::SetRow;

// The table's scan and an index of its names find the same rows.
TEST(LookupName, FoldsAsciiCaseOnly) {
    NameTable constants = MakeConstantTable();
    SetRow(constants, 1, {"\xc3\xa4", "1"});  // a non-ASCII letter is compared as is
    SetRow(constants, 2, {"Pi", "3"});
    const NameIndex index(constants);
    for (const auto& [name, row] :
         {std::pair{"\xc3\x84", 0}, {"\xc3\xa4", 1}, {"pI", 2}, {"PI ", 0} /* no trimming */}) {
        EXPECT_EQ(constants.findRow(name), row) << name;
        EXPECT_EQ(index.findRow(name), row) << name;
    }
    EXPECT_EQ(LookupName("pI", constants).value, 3.0L);
}

TEST(LookupName, NeverSearchesTheHeadingRow) {
    NameTable variables = MakeVariableTable();
    EXPECT_FALSE(LookupName("Variable", variables).found);
    EXPECT_FALSE(LookupName("value", variables).found);
    StoreResult("Variable", variables, 5);
    EXPECT_EQ(variables.name(0), "Variable");
    EXPECT_EQ(variables.value(0), "Value");
    EXPECT_FALSE(LookupName("", variables).found);  // empty rows never match
}

TEST(LookupName, FindsTheUpperOfTwoRowsAndTheHiddenSlot) {
    NameTable variables = MakeVariableTable();
    SetRow(variables, 3, {"A", "1"});
    SetRow(variables, 7, {"a", "2"});
    SetRow(variables, 100, {"Hidden", "42"});

    EXPECT_EQ(LookupName("a", variables).value, 1.0L);
    StoreResult("A", variables, 9);
    EXPECT_EQ(variables.value(3), "9");
    EXPECT_EQ(variables.value(7), "2");

    EXPECT_EQ(LookupName("HIDDEN", variables).value, 42.0L);
    StoreResult("hidden", variables, 0.5L);
    EXPECT_EQ(variables.value(100), "0.5");
}

TEST(LookupName, ReadsValueCellsThatAreNotNumbersAsZero) {
    NameTable variables = MakeVariableTable();
    const char* names[] = {"V0", "V1", "V2", "V3"};
    const char* values[] = {" 5", "5 ", "", "abc"};
    const long double expected[] = {5, 0, 0, 0};
    for (int i = 0; i < 4; ++i) SetRow(variables, i + 1, {names[i], values[i]});
    for (int i = 0; i < 4; ++i) {
        const Lookup lookup = LookupName(names[i], variables);
        EXPECT_TRUE(lookup.found);
        EXPECT_EQ(lookup.value, expected[i]) << '"' << values[i] << '"';
    }
}

TEST(StoreResult, WritesTheFifteenDigitTextAndLeavesOtherCells) {
    NameTable variables = MakeVariableTable();
    SetRow(variables, 1, {"X", "", "m/s"});
    StoreResult("x", variables, 1.0L / 3);
    EXPECT_EQ(variables.value(1), "0.333333333333333");
    EXPECT_EQ(variables.cell(UnitsColumn, 1), "m/s");
    EXPECT_EQ(LookupName("X", variables).value, 0.333333333333333L);
    StoreResult("X", variables, 1E15L);
    EXPECT_EQ(variables.value(1), "1E15");
    EXPECT_EQ(LookupName("X", variables).value, 1E15L);
    StoreResult("Y", variables, 2);  // no such row: nothing happens
    EXPECT_EQ(variables.findRow("Y"), 0);
}

// The number of a value cell is kept between reads; whatever the cell held
// before, typed, stored or read, the next read gives its last change.
TEST(NameTable, ReadingTheNumberAgainFollowsTheLastChangeOfTheCell) {
    NameTable variables = MakeVariableTable();
    SetRow(variables, 1, {"X", "5", "m"});
    const auto read = [&] { return LookupName("x", variables).value; };
    EXPECT_EQ(read(), 5.0L);
    variables.setCell(ValueColumn, 1, "7");  // a typed number read before
    EXPECT_EQ(read(), 7.0L);
    variables.setResult(1, 1.0L / 3);
    EXPECT_EQ(read(), 0.333333333333333L);
    variables.setCell(ValueColumn, 1, "abc");  // a stored result before
    EXPECT_EQ(read(), 0.0L);
    variables.setCell(ValueColumn, 1, "1E5000");
    EXPECT_THROW(read(), FloatingPointFault);
    variables.setCell(ValueColumn, 1, "2");  // a text that overflowed before
    EXPECT_EQ(read(), 2.0L);
    variables.setResult(1, 8);
    EXPECT_EQ(variables.value(1), "8");
    variables.setCell(ValueColumn, 1, "9");  // a stored result read as text before
    EXPECT_EQ(read(), 9.0L);
    EXPECT_EQ(variables.value(1), "9");
}

TEST(NameIndex, LongestNamePrefixFoldsCase) {
    NameTable constants = MakeConstantTable();
    FillRows(constants, {{"PI"}, {"PIE"}});
    const NameIndex index(constants);
    EXPECT_EQ(index.longestNamePrefix("pie2"), 3u);
    EXPECT_EQ(index.longestNamePrefix("pix"), 2u);
    EXPECT_EQ(index.longestNamePrefix("p"), 0u);
}

// Searches must follow every edit of a name cell at once: the table's own,
// and an index that follows the table.
TEST(NameIndex, SearchesFollowRenamedAndEmptiedRows) {
    NameTable variables = MakeVariableTable();
    NameIndex index;
    const auto findRow = [&](std::string_view name) {
        index.follow(variables);
        const int row = index.findRow(name);
        EXPECT_EQ(variables.findRow(name), row) << name;
        return row;
    };
    SetRow(variables, 5, {"Speed", "3"});
    EXPECT_EQ(findRow("SPEED"), 5);

    variables.setCell(NameColumn, 2, "speed");  // a higher row of the same name
    EXPECT_EQ(findRow("Speed"), 2);
    variables.setCell(NameColumn, 2, "");
    EXPECT_EQ(findRow("Speed"), 5);
    variables.setCell(NameColumn, 5, "Velocity");
    EXPECT_EQ(findRow("Speed"), 0);
    EXPECT_EQ(index.longestNamePrefix("Velocity2"), 8u);

    NameTable copy = variables;
    copy.setCell(NameColumn, 5, "V");
    EXPECT_EQ(copy.findRow("Velocity"), 0);
    EXPECT_EQ(findRow("Velocity"), 5);
    EXPECT_NE(copy, variables);

    variables.clearDataRows();
    EXPECT_EQ(findRow("Velocity"), 0);
    EXPECT_EQ(index.longestNamePrefix("Velocity"), 0u);
    EXPECT_EQ(variables, MakeVariableTable());

    // Copying rows in from another table keeps the heading and is seen by
    // searches at once, the hidden slot included.
    copy.setCell(NameColumn, 0, "Other heading");
    copy.setCell(NameColumn, 100, "Hidden");
    variables.copyDataRowsFrom(copy);
    EXPECT_EQ(variables.name(0), "Variable");
    EXPECT_EQ(findRow("V"), 5);
    EXPECT_EQ(findRow("Hidden"), 100);
}

}  // namespace
}  // namespace quantaro
