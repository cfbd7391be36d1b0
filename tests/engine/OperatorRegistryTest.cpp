#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "engine/NameTable.h"

namespace quantaro {
namespace {

// The operator grid row by row with each operand count, and every operator
// found at its own row in any case, so that no name shadows another. The
// hidden row stays empty.
TEST(OperatorTable, ListsTheSixtySixOperatorsInRowOrder) {
    const std::pair<const char*, const char*> groups[] = {
        {"2", "="},
        {"0", "( )"},
        {"2", "+ - * /"},
        {"1", "1/ ^2 ^3 e^ 2^ 10^"},
        {"2", "^"},
        {"1", "NEG 2ROOT 3ROOT"},
        {"2", "ROOT"},
        {"1", "LN LOG2 LOG10"},
        {"2", "LOG"},
        {"1", "!"},
        {"2", "nPr nCr"},
        {"1", "SIN COS TAN COSEC SEC COT ARCSIN ARCCOS ARCTAN ARCCOSEC ARCSEC ARCCOT"},
        {"1", "SINH COSH TANH COSECH SECH COTH ARCSINH ARCCOSH ARCTANH ARCCOSECH ARCSECH ARCCOTH"},
        {"1", "ROUND TRUNC FRAC"},
        {"2", "DIV MOD == <> < > <= >= AND OR"},
        {"1", "NOT"},
        {"2", "NAND NOR XOR"},
    };
    const NameTable grid = MakeOperatorTable();
    EXPECT_EQ(grid.name(0) + ' ' + grid.value(0), "Operator Operands");
    int row = 0;
    for (const auto& [operandCount, names] : groups) {
        std::istringstream words(names);
        for (std::string name; words >> name;) {
            ++row;
            EXPECT_EQ(grid.name(row) + ' ' + grid.value(row), name + ' ' + operandCount);
            EXPECT_EQ(grid.findRow(FoldToUpper(name)), row) << name;
        }
    }
    EXPECT_EQ(row, 66);
    EXPECT_EQ(grid.rowCount(), 67);
    EXPECT_EQ(grid.name(67), "");
}

}  // namespace
}  // namespace quantaro
