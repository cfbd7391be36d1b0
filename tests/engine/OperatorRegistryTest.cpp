#include <gtest/gtest.h>

#include <string>

#include "engine/NameTable.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {
namespace {

// The operator grid's rows, each operator's text and operand count. Each is
// found at its own row by its name folded, so that no name shadows another
// in the index; nothing else is found.
TEST(OperatorRegistry, ListsTheSixtySixOperatorsInRowOrderAndFindsEach) {
    const OperatorRegistry& operators = Operators();
    std::string rows;
    for (const OperatorDefinition& op : operators.all()) {
        rows += std::string(op.name) + ' ' + std::to_string(op.operandCount) + ", ";
        EXPECT_EQ(operators.find(FoldToUpper(op.name)), &op) << op.name;
    }
    EXPECT_EQ(rows,
              "= 2, ( 0, ) 0, + 2, - 2, * 2, / 2, 1/ 1, ^2 1, ^3 1, e^ 1, 2^ 1, 10^ 1, ^ 2, "
              "NEG 1, 2ROOT 1, 3ROOT 1, ROOT 2, LN 1, LOG2 1, LOG10 1, LOG 2, ! 1, nPr 2, nCr 2, "
              "SIN 1, COS 1, TAN 1, COSEC 1, SEC 1, COT 1, ARCSIN 1, ARCCOS 1, ARCTAN 1, "
              "ARCCOSEC 1, ARCSEC 1, ARCCOT 1, SINH 1, COSH 1, TANH 1, COSECH 1, SECH 1, COTH 1, "
              "ARCSINH 1, ARCCOSH 1, ARCTANH 1, ARCCOSECH 1, ARCSECH 1, ARCCOTH 1, ROUND 1, "
              "TRUNC 1, FRAC 1, DIV 2, MOD 2, == 2, <> 2, < 2, > 2, <= 2, >= 2, AND 2, OR 2, "
              "NOT 1, NAND 2, NOR 2, XOR 2, ");
    EXPECT_EQ(operators.find("sin")->name, "SIN");
    for (const char* notAnOperator : {"", "SIN ", "SI", "ARCCOSECHX", "=<"}) {
        EXPECT_EQ(operators.find(notAnOperator), nullptr) << notAnOperator;
    }
    EXPECT_EQ(operators.longestNamePrefix("log100"), 5u);
    EXPECT_EQ(operators.longestNamePrefix("arccosech2"), 9u);
    EXPECT_EQ(operators.longestNamePrefix("Q="), 0u);
}

}  // namespace
}  // namespace quantaro
