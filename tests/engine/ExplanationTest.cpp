#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "TestSheet.h"
#include "engine/Explanation.h"

namespace quantaro {
namespace {

// An explanation stores what a run stores and ends where it ends, while the
// sheet it explains keeps its values.
TEST(ExplanationTest, StoresWhatARunStoresAndLeavesTheSheetAlone) {
    const std::pair<const char*, int> cases[] = {
        {"A = X  X * 2 = Y  Y + X ^2 = X  3 - ( NEG X ) = Y", 0},
        {"A = X  2 + SIN ( X * 3 ) = Y  X 1/ = X", 0},
        {"A = X  X / 3 = Y  1 + 1 / 0 = X  5 = B", 0},
        {"A = X  X * 2 = Y", 2},
        {"7 = X  1E4000 * 1E4000 = Y  8 = B", 0},
    };
    for (const auto& [formula, selection] : cases) {
        testing::TestSheet sheet;
        sheet.setFormula(formula);
        const NameTable before = sheet.variables;
        const Explanation explanation = ExplainEquations(sheet, selection);
        EXPECT_EQ(sheet.variables, before) << formula;
        sheet.outcome = sheet.engine.ExecuteEquations(selection);
        EXPECT_EQ(explanation.variables, sheet.variables) << formula;
        EXPECT_EQ(explanation.outcome.status, sheet.outcome.status) << formula;
        EXPECT_EQ(explanation.outcome.fault, sheet.outcome.fault) << formula;
        EXPECT_EQ(explanation.outcome.place, sheet.outcome.place) << formula;
        // The last line is the run's message or fault, if any.
        if (!sheet.outcome.message.empty()) {
            EXPECT_EQ(explanation.lines.back(), sheet.outcome.message) << formula;
        }
    }
}

}  // namespace
}  // namespace quantaro
