#include "documents/Printouts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePrintSurface.h"
#include "TableRows.h"

namespace quantaro {
namespace {

using Lines = std::vector<std::string>;

// The printed lines, empty ones included, read back from a tall page on which
// every line is 14 units high. A closing mark shows where the printout ended.
template <typename Printout>
Lines PrintedLines(Printout printout, int pageWidth = 10000) {
    testing::FakePrintSurface surface;
    surface.width = pageWidth;
    surface.height = 100000;
    surface.metric = 14;
    PrintChannel channel(surface);
    printout(channel);
    channel.write(u"END");
    Lines lines;
    for (const std::string& draw : surface.draws) {
        const std::size_t comma = draw.find(','), colon = draw.find(':', comma);
        const std::size_t line = std::stoul(draw.substr(comma + 1, colon - comma - 1)) / 14;
        lines.resize(std::max(lines.size(), line + 1));
        lines[line] += draw.substr(colon + 1);
    }
    return lines;
}

TEST(PrintoutsTest, AnEmptyFormulaPrintsTheHeadingAndTwoEmptyLines) {
    EXPECT_EQ(PrintedLines([](PrintChannel& c) { PrintFormula(c, "Untitled.FOR", ""); }),
              (Lines{"FORMULA Untitled.FOR", "", "", "END"}));
}

TEST(PrintoutsTest, AFormulaPrintsOneLinePerEditorLineAndWrapsLongLines) {
    const auto printout = [](PrintChannel& c) { PrintFormula(c, "f", "A = X\r\nB * 2 = Y"); };
    EXPECT_EQ(PrintedLines(printout), (Lines{"FORMULA f", "", "A = X", "B * 2 = Y", "END"}));
    EXPECT_EQ(PrintedLines(printout, 60),
              (Lines{"FORMUL", "A f", "", "A = X", "B * 2 ", "= Y", "END"}));
}

TEST(PrintoutsTest, AnEmptyTablePrintsOnlyTheHeading) {
    const NameTable constants = MakeConstantTable();
    EXPECT_EQ(PrintedLines([&](PrintChannel& c) { PrintConstants(c, "/data/a.CON", constants); }),
              (Lines{"CONSTANTS /data/a.CON", "", "END"}));
}

TEST(PrintoutsTest, RowsStopAtTheFirstEmptyNameAndAnEmptyValueKeepsBothSpaces) {
    NameTable variables = MakeVariableTable();
    testing::FillRows(variables, {{"x", "", "kg m"}, {""}, {"z", "3"}});
    EXPECT_EQ(PrintedLines([&](PrintChannel& c) { PrintVariables(c, "Untitled.VAR", variables); }),
              (Lines{"VARIABLES Untitled.VAR", "", "x =  kg m", "END"}));
}

TEST(PrintoutsTest, AFullTablePrintsTheHiddenSlot) {
    NameTable constants = MakeConstantTable();
    for (int row = 1; row <= kEntryTableRows; ++row) {
        testing::SetRow(constants, row, {"c" + std::to_string(row), std::to_string(row)});
    }
    const Lines lines =
        PrintedLines([&](PrintChannel& c) { PrintConstants(c, "Untitled.CON", constants); });
    ASSERT_EQ(lines.size(), 2u + kEntryTableRows + 1u);
    EXPECT_EQ(lines[2], "c1 = 1 ");
    EXPECT_EQ(lines[101], "c100 = 100 ");
}

}  // namespace
}  // namespace quantaro
