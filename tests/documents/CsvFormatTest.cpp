#include <gtest/gtest.h>

#include "TableRows.h"
#include "documents/CsvFormat.h"

namespace quantaro {
namespace {

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

}  // namespace
}  // namespace quantaro
