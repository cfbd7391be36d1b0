#include <gtest/gtest.h>

#include "TableRows.h"
#include "documents/CsvFormat.h"

namespace quantaro {
namespace {

TEST(CsvFormatTest, AFieldIsQuotedOnlyWhenItMustBe) {
    const std::pair<std::string, std::string> cases[] = {
        {"1.5E-7", "1.5E-7"}, {"", ""},
        {" a b ", " a b "},   {"\xC2\xB5m \xE2\x82\xAC", "\xC2\xB5m \xE2\x82\xAC"},
        {"1,5", "\"1,5\""},   {"a\rb", "\"a\rb\""},
        {"a\nb", "\"a\nb\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}};
    for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(CsvFormatTest, TrajectoryAndTablesFiles) {
    NameTable variables = MakeVariableTable();
    testing::FillRows(variables, {{"X"}, {""}, {"S", "1,5", "\"in\""}}, 2);
    Trajectory trajectory({"S", "X"});
    EXPECT_EQ(TrajectoryCsv(trajectory), "pass,S,X\r\n");
    variables.setResult(2, 2.5L);
    trajectory.record(1, variables);
    variables.setResult(2, -0.125L);
    variables.setCell(ValueColumn, 4, "");
    trajectory.record(7, variables);
    EXPECT_EQ(TrajectoryCsv(trajectory), "pass,S,X\r\n1,\"1,5\",2.5\r\n7,,-0.125\r\n");

    NameTable constants = MakeConstantTable();
    testing::SetRow(constants, 3, {"g", "9.81", "m/s\xC2\xB2"});
    variables.setCell(ValueColumn, 1, "unnamed");
    EXPECT_EQ(TablesCsv(constants, variables),
              "name,value,units\r\ng,9.81,m/s\xC2\xB2\r\nX,-0.125,\r\nS,,\"\"\"in\"\"\"\r\n");
}

// A long sweep's rows, made on two threads where there are two cores, are
// its rows one by one, the failing point in the middle, where they split.
TEST(CsvFormatTest, ALongSweepIsTheSameAsItsRowsOneByOne) {
    Worksheet sheet;
    sheet.setFormula("1 / X = Y");
    testing::FillRows(sheet.variables, {{"X", "1"}, {"Y"}});
    const SweepSetup setup{{{"X", -5000, 5000, 10'001}}, {"Y"}, {}};
    const SweepResults results = SweepRunner(sheet, SweepPlan(sheet, setup), 2).runAll();
    std::string rows = SweepCsvHeader(results.inputNames(), results.outputNames());
    for (std::size_t i = 0; i < results.size(); ++i) AppendSweepCsvRows(rows, results, i, i + 1);
    EXPECT_EQ(SweepCsv(results), rows);
    EXPECT_NE(rows.find("\r\n5001,0,,Equation 1: Domain Error: Divide by 0.\r\n5002,1,1,\r\n"),
              std::string::npos);
}

}  // namespace
}  // namespace quantaro
