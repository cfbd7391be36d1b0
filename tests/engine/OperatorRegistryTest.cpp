#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>

#include "engine/NameTable.h"

namespace quantaro {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The operator grid row by row with each operand count, and every operator
// found at its own row whatever the case it is typed in, so that no name
// shadows another. The hidden row stays empty.
TEST(OperatorTable, ListsTheSixtySixOperatorsInRowOrder) {
    const struct {
        const char* names;
        const char* operandCount;
    } groups[] = {
        {"=", "2"},
        {"( )", "0"},
        {"+ - * /", "2"},
        {"1/ ^2 ^3 e^ 2^ 10^", "1"},
        {"^", "2"},
        {"NEG 2ROOT 3ROOT", "1"},
        {"ROOT", "2"},
        {"LN LOG2 LOG10", "1"},
        {"LOG", "2"},
        {"!", "1"},
        {"nPr nCr", "2"},
        {"SIN COS TAN COSEC SEC COT ARCSIN ARCCOS ARCTAN ARCCOSEC ARCSEC ARCCOT", "1"},
        {"SINH COSH TANH COSECH SECH COTH ARCSINH ARCCOSH ARCTANH ARCCOSECH ARCSECH ARCCOTH", "1"},
        {"ROUND TRUNC FRAC", "1"},
        {"DIV MOD == <> < > <= >= AND OR", "2"},
        {"NOT", "1"},
        {"NAND NOR XOR", "2"},
    };
    const NameTable grid = MakeOperatorTable();
    EXPECT_EQ(grid.name(0), "Operator");
    EXPECT_EQ(grid.value(0), "Operands");
    int row = 0;
    for (const auto& group : groups) {
        std::istringstream names(group.names);
        for (std::string name; names >> name;) {
            ++row;
            SCOPED_TRACE(name);
            EXPECT_EQ(grid.name(row), name) << "row " << row;
            EXPECT_EQ(grid.value(row), group.operandCount);
            EXPECT_EQ(grid.findRow(FoldToUpper(name)), row);
            EXPECT_EQ(grid.findRow(Lower(name)), row);
        }
    }
    EXPECT_EQ(row, 66);
    EXPECT_EQ(grid.rowCount(), 67);
    EXPECT_EQ(grid.name(67), "");
}

}  // namespace
}  // namespace quantaro
