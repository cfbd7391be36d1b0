#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "TableRows.h"
#include "engine/NameTable.h"
#include "engine/Trajectory.h"

namespace quantaro {
namespace {

struct RecordCase {
    const char* what;
    std::size_t maxRows;
    int passes;
    int restartAt;  // the loop's pass numbers start again at 1 here (0: never)
};

// A loop whose variables change in every way a table can: X holds stored
// results, Y typed texts that change now and then, Z is renamed away and back,
// and W names no row. Every row recorded must give the texts the table held
// after that row's pass, whatever was thinned.
TEST(TrajectoryTest, RowsGiveTheTextsOfTheirPassWhateverWasThinned) {
    const RecordCase cases[] = {
        {"no thinning", 1000, 300, 0},
        {"thinned many times", 8, 300, 0},
        {"smallest capacity", 2, 37, 0},
        {"pass numbers restart", 16, 200, 150},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(c.what);
        NameTable table = MakeVariableTable();
        testing::FillRows(table, {{"X"}, {"Y"}, {"Z", "0"}});
        Trajectory trajectory({"x", "Y", "Z", "W"}, c.maxRows);
        std::map<std::int64_t, std::vector<std::string>> seen;  // by counted pass
        std::vector<std::int64_t> loopPass;                     // loop's number by counted pass
        for (int counted = 1; counted <= c.passes; ++counted) {
            table.setResult(1, counted / 7.0L);
            if (counted % 5 == 0) table.setCell(ValueColumn, 2, counted % 2 ? "1.50" : "abc");
            // Cells are set only when they change, so that most passes find
            // every typed text as it was.
            if (counted % 11 == 0) table.setCell(NameColumn, 3, counted % 22 ? "Q" : "Z");
            if (counted % 7 == 3) table.setCell(ValueColumn, 3, std::to_string(counted % 3));
            const std::int64_t pass =
                c.restartAt != 0 && counted >= c.restartAt ? counted - c.restartAt + 1 : counted;
            trajectory.record(pass, table);
            loopPass.push_back(pass);
            const bool named = table.name(3) == "Z";
            seen[counted] = {table.value(1), table.value(2), named ? table.value(3) : "", ""};
        }
        ASSERT_LE(trajectory.rowCount(), trajectory.capacity());
        EXPECT_EQ(trajectory.thinned(), trajectory.stride() > 1);
        EXPECT_EQ(trajectory.thinned(), static_cast<std::size_t>(c.passes) > c.maxRows);
        // Rows are the multiples of the stride, then the latest pass.
        const std::size_t rows = trajectory.rowCount();
        for (std::size_t row = 0; row < rows; ++row) {
            const std::size_t counted =
                row + 1 == rows ? c.passes : (row + 1) * trajectory.stride();
            SCOPED_TRACE("row " + std::to_string(row));
            EXPECT_EQ(trajectory.pass(row), loopPass[counted - 1]);
            for (std::size_t column = 0; column < 4; ++column) {
                EXPECT_EQ(trajectory.text(row, column), seen[counted][column]);
            }
        }
        EXPECT_TRUE(std::isnan(trajectory.number(0, 3)));
        trajectory.clear();
        EXPECT_EQ(trajectory.rowCount(), 0u);
        EXPECT_FALSE(trajectory.thinned());
    }
}

}  // namespace
}  // namespace quantaro
