#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/NameTable.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {
namespace {

// Every row reaches the grid, in order, and the dispatch by its folded name.
// Only the brackets lack a function; a name folding like another would shadow it.
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
}

}  // namespace
}  // namespace quantaro
