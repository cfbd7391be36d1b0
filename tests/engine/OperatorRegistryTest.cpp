#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/NameTable.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {
namespace {

// Every row reaches both users: the grid shows its name and operand count in
// the same order, and its folded name finds its function, which only the
// brackets lack. Folded names must be unique, or one operator would shadow
// another in formulas.
TEST(OperatorRegistry, EachRowReachesTheGridAndTheDispatch) {
    const NameTable grid = MakeOperatorTable();
    std::set<std::string> foldedNames;
    int row = 1;
    for (const OperatorDefinition& op : OperatorDefinitions()) {
        SCOPED_TRACE(op.name);
        EXPECT_EQ(grid.name(row), op.name);
        EXPECT_EQ(grid.value(row), std::to_string(op.operandCount));
        EXPECT_EQ(op.apply == nullptr, op.name == "(" || op.name == ")");
        EXPECT_EQ(FindOperator(FoldToUpper(op.name)), op.apply);
        EXPECT_TRUE(foldedNames.insert(FoldToUpper(op.name)).second) << "folds like another";
        ++row;
    }
    EXPECT_EQ(row, kOperatorTableRows);
}

}  // namespace
}  // namespace quantaro
