#include <gtest/gtest.h>

#include "TestSheet.h"
#include "engine/Explanation.h"
#include "engine/FloatingPointFault.h"

namespace quantaro {
namespace {

// An explanation stores what a run stores and ends where it ends, while the
// sheet it explains keeps its values.
TEST(ExplanationTest, StoresWhatARunStoresAndLeavesTheSheetAlone) {
    struct Case {
        const char* formula;
        int selection;
    };
    const Case cases[] = {
        {"A = X  X * 2 = Y  Y + X ^2 = X  3 - ( NEG X ) = Y", 0},
        {"A = X  2 + SIN ( X * 3 ) = Y  X 1/ = X", 0},
        {"A = X  X / 3 = Y  1 + 1 / 0 = X  5 = B", 0},
        {"A = X  X * 2 = Y", 2},
        {"7 = X  1E4000 * 1E4000 = Y  8 = B", 0},
    };
    for (const Case& c : cases) {
        testing::TestSheet sheet;
        sheet.variable(1, "A", "10");
        sheet.variable(2, "B", "4");
        sheet.variable(3, "X", "old");
        sheet.variable(4, "Y", "old");
        sheet.setFormula(c.formula);
        const NameTable before = sheet.variables;

        const Explanation explanation = ExplainEquations(sheet, c.selection);
        EXPECT_EQ(sheet.variables, before) << c.formula;

        bool fault = false;
        try {
            sheet.outcome = sheet.engine.ExecuteEquations(c.selection);
        } catch (const FloatingPointFault& error) {
            fault = true;
            EXPECT_EQ(explanation.lines.back(), error.what()) << c.formula;
        }
        EXPECT_EQ(explanation.variables, sheet.variables) << c.formula;
        EXPECT_EQ(explanation.fault, fault) << c.formula;
        if (fault) continue;
        EXPECT_EQ(explanation.code, sheet.outcome.code) << c.formula;
        if (!sheet.outcome.succeeded()) {
            EXPECT_EQ(explanation.lines.back(), sheet.outcome.message) << c.formula;
        }
    }
}

}  // namespace
}  // namespace quantaro
