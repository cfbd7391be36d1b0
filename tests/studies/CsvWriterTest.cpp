#include <stdexcept>

#include <gtest/gtest.h>

#include "TableRows.h"
#include "studies/CsvWriter.h"

namespace quantaro {
namespace {

TEST(CsvWriterTest, AFieldIsQuotedOnlyWhenItMustBe) {
    const std::pair<std::string, std::string> cases[] = {
        {"1.5E-7", "1.5E-7"}, {"", ""},
        {" a b ", " a b "},   {"\xC2\xB5m \xE2\x82\xAC", "\xC2\xB5m \xE2\x82\xAC"},
        {"1,5", "\"1,5\""},   {"a\rb", "\"a\rb\""},
        {"a\nb", "\"a\nb\""}, {"say \"hi\"", "\"say \"\"hi\"\"\""}};
    for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(CsvWriterTest, AResultTableIsItsColumnsAndRowsQuotedAsFieldsNeed) {
    ResultTable table({"input", "sensitivity", "message"});
    table.addRow({"V", "-1.5E-7"});
    table.addRow({"angle, deg", "0", "Equation 2: \"X\" failed"});
    EXPECT_EQ(table.cell(0, 2), "");
    EXPECT_THROW(table.addRow({"1", "2", "3", "4"}), std::invalid_argument);
    EXPECT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(ResultTableCsv(table),
              "input,sensitivity,message\r\nV,-1.5E-7,\r\n"
              "\"angle, deg\",0,\"Equation 2: \"\"X\"\" failed\"\r\n");
    EXPECT_EQ(ResultTableCsv(ResultTable()), "\r\n");
}

// A long sweep's rows, made on two threads where there are two cores, are
// its rows one by one, the failing point in the middle, where they split.
TEST(CsvWriterTest, ALongSweepIsTheSameAsItsRowsOneByOne) {
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
