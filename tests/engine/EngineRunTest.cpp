#include <gtest/gtest.h>

#include "TestSheet.h"
#include "engine/Messages.h"

namespace quantaro {
namespace {

using testing::SetRow;

class EngineRunTest : public ::testing::Test {
  protected:
    testing::TestSheet sheet;

    // Runs a formula and returns the value text of X.
    std::string x(const std::string& formula) {
        EXPECT_EQ(sheet.run(formula), 0) << formula << ": " << sheet.lastMessage();
        return sheet.valueOf("X");
    }
};

TEST_F(EngineRunTest, EvaluatesStrictlyLeftToRight) {
    EXPECT_EQ(x("A - B = X"), "6");
    EXPECT_EQ(x("2 ^ 3 = X"), "8");
    EXPECT_EQ(x("2 + 3 * 4 = X"), "20");
    EXPECT_EQ(x("10 - 4 - 3 = X"), "3");
    EXPECT_EQ(x("3 - NEG 2 = X"), "-1");
    EXPECT_EQ(x("3 - ( NEG 2 ) = X"), "5");
    EXPECT_EQ(x("3 - -2 = X"), "5");
    EXPECT_EQ(x("A * ( B + 1 ) = X"), "50");
    EXPECT_EQ(x("( A + B ) * 2 = X"), "28");
    EXPECT_EQ(x("A+B=X"), "14");
    EXPECT_EQ(x("2 * ( 3 + ( 4 - 1 ) * 2 ) = X"), "24");
    EXPECT_EQ(x("1 / 3 = X"), "0.333333333333333");
    EXPECT_EQ(x("a + b = x"), "14");  // names fold case
}

TEST_F(EngineRunTest, OneOperandOperatorsApplyToTheValueSoFar) {
    EXPECT_EQ(x("2 + SIN 28 = X"), "0.5");  // sine of 30 degrees
    EXPECT_EQ(x("SIN 30 + 2 = X"), "2.5");
    EXPECT_EQ(x("30 SIN = X"), "0.5");
    EXPECT_EQ(x("2 + ( SIN 30 ) = X"), "2.5");
}

TEST_F(EngineRunTest, ResultVariablesKeepEvolving) {
    SetRow(sheet.variables, 5, {"N", "0"});
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sheet.run("N + 1 = N"), 0);
    EXPECT_EQ(sheet.valueOf("N"), "3");
    EXPECT_EQ(x("A = X  X * 2 = Y  Y + X = X"), "30");
}

struct CodeCase {
    const char* formula;
    int code;
    const char* message;
};

class EngineCodesTest : public EngineRunTest, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(EngineCodesTest, ReportsTheResultCode) {
    const CodeCase& c = GetParam();
    EXPECT_EQ(sheet.run(c.formula), c.code);
    EXPECT_EQ(sheet.outcome.message, c.message);
    EXPECT_EQ(sheet.valueOf("X"), "old");  // nothing stored by a failing equation
}

INSTANTIATE_TEST_SUITE_P(
    Codes, EngineCodesTest,
    ::testing::Values(
        CodeCase{"A", 1, "Equation 1: Missing \"=\" sign"},
        CodeCase{"A + B", 1, "Equation 1: Missing \"=\" sign"},
        CodeCase{"A + B = 5", 2, "Equation 1: Item after \"=\" sign is not a variable"},
        CodeCase{"A + B = PI", 2, "Equation 1: Item after \"=\" sign is not a variable"},
        CodeCase{"A + B = Q", 3, "Equation 1: Unknown Item \"Q\""},
        CodeCase{"A + 2Q = X", 3, "Equation 1: Unknown Item \"2Q\""},
        CodeCase{"( A + B = X", 4, "Equation 1: Too few Close brackets"},
        CodeCase{"A * ( B = X", 4, "Equation 1: Too few Close brackets"},
        CodeCase{"A + B ) = X", 5, "Equation 1: Too many Close brackets"},
        CodeCase{"= X", 6, "Equation 1: Too few operands"},
        CodeCase{"1 / 0", 6, "Equation 1: Too few operands"},
        CodeCase{"A B = X", 7, "Equation 1: Too many operands"},
        CodeCase{"2X = X", 7, "Equation 1: Too many operands"}, CodeCase{"", 8, "Empty formula"},
        CodeCase{"1 / 0 = X", 9, "Equation 1: Domain Error: Divide by 0."},
        CodeCase{"A = Y\r\nB = Y\r\nA / 0 = X\r\nB = Y", 9,
                 "Equation 3: Domain Error: Divide by 0."},
        CodeCase{"A + ( 1 / 0 ) = X", 9, "Equation 1: Domain Error: Divide by 0."},
        // Bracket unwinding applies the operator before testing the operand count.
        CodeCase{"A + ( / ) = X", 9, "Equation 1: Domain Error: Divide by 0."},
        CodeCase{"A + ( + ) = X", 6, "Equation 1: Too few operands"},
        // A group opened by the first token needs no bracket unwinding.
        CodeCase{"( / 0 ) = X", 6, "Equation 1: Too few operands"},
        // An unbalanced bracket count replaces every earlier code.
        CodeCase{"( A B = X", 4, "Equation 1: Too few Close brackets"}));

TEST_F(EngineRunTest, AFailureStopsTheRunAfterEarlierResults) {
    SetRow(sheet.variables, 5, {"Z", "old"});
    EXPECT_EQ(sheet.run("1 = X\r\n2 = Y\r\nQ = X\r\n4 = Z\r\n5 = Z"), 3);
    EXPECT_EQ(sheet.valueOf("X"), "1");
    EXPECT_EQ(sheet.valueOf("Y"), "2");
    EXPECT_EQ(sheet.valueOf("Z"), "old");
    EXPECT_EQ(sheet.lastMessage(), "Equation 3: Unknown Item \"Q\"");
    EXPECT_EQ(sheet.outcome.equationNumber, 3);
    EXPECT_EQ(sheet.outcome.errorItem, "Q");
    EXPECT_EQ(sheet.run("1 / 0 = X"), 9);
    EXPECT_EQ(sheet.outcome.errorItem, "Divide by 0.");
}

TEST_F(EngineRunTest, SelectionRunsOnlyTheChosenEquation) {
    EXPECT_EQ(sheet.run("1 = X 2 = Y", 2), 0);
    EXPECT_EQ(sheet.valueOf("X"), "old");
    EXPECT_EQ(sheet.valueOf("Y"), "2");
    EXPECT_EQ(sheet.run("1 = X Q = Y", 3), 0);  // fewer equations: nothing runs
    EXPECT_EQ(sheet.valueOf("X"), "old");
    EXPECT_EQ(sheet.run("Q = X 1 = Y 2 = Q", 2), 0);  // others are split, not tokenised
    EXPECT_EQ(sheet.run("1 = X Q = Y 7 = Y", 2), 3);
    EXPECT_EQ(sheet.lastMessage(), "Equation 2: Unknown Item \"Q\"");
}

TEST_F(EngineRunTest, BlankAndLineBreakFormulas) {
    EXPECT_EQ(sheet.run("\r\n\r\n"), 0);
    EXPECT_EQ(sheet.run("   "), 0);
    EXPECT_EQ(sheet.run("A = X   "), 0);
    EXPECT_EQ(sheet.lastMessage(), "");
    // A result word on the next line starts equation 2.
    EXPECT_EQ(sheet.run("A + B =\r\nY"), 6);
    EXPECT_EQ(sheet.lastMessage(), "Equation 1: Too few operands");
}

TEST_F(EngineRunTest, EqualsInsideComparisonsDoesNotSplit) {
    EXPECT_EQ(x("A <= B = X"), "0");
    EXPECT_EQ(x("A == 10 = X"), "1");
    EXPECT_EQ(x("A >= B = X"), "1");
}

TEST_F(EngineRunTest, NamesShadowInTableOrder) {
    SetRow(sheet.variables, 5, {"PI", "1"});  // a constant of the same name wins
    EXPECT_EQ(sheet.run("PI = PI"), 2);
    SetRow(sheet.variables, 6, {"SIN", "7"});  // a variable named like an operator wins
    EXPECT_EQ(x("SIN = X"), "7");
    SetRow(sheet.variables, 7, {"A", "99"});  // the upper of two rows
    EXPECT_EQ(x("A = X"), "10");
    SetRow(sheet.variables, 100, {"H", "5"});  // the hidden slot takes part
    EXPECT_EQ(sheet.run("H * 2 = H"), 0);
    EXPECT_EQ(sheet.variables.value(100), "10");
    SetRow(sheet.variables, 8, {"E5", "3"});  // a number word, never the variable
    EXPECT_EQ(x("E5 = X"), "0");
}

TEST_F(EngineRunTest, AFaultEndsTheRunWithNothingStored) {
    SetRow(sheet.variables, 5, {"BIG", "1E4000"});
    EXPECT_EQ(sheet.run("1 = Y BIG * BIG = X"), static_cast<int>(ResultCode::FloatingPointFault));
    EXPECT_EQ(sheet.lastMessage(), "Floating point overflow");
    EXPECT_EQ(sheet.valueOf("Y"), "1");
    EXPECT_EQ(sheet.valueOf("X"), "old");
    EXPECT_EQ(sheet.run("1E5000 = X"), static_cast<int>(ResultCode::FloatingPointFault));
    EXPECT_EQ(x("1E-5000 = X"), "0");
}

// A failure points at the word that could not be read, the operator that
// failed or faulted, else at its equation without the blanks around it;
// both ways of running agree, and no fault escapes as an exception.
TEST(RunOutcomePlace, PointsAtTheWordOrEquationAtFault) {
    using enum ResultCode;
    const struct {
        const char* formula;
        ResultCode code;
        FaultKind fault;
        int equation;
        const char* at;
    } cases[] = {
        {"1 = X\r\n  2\r\nQ + 1 = Y", UnknownItem, {}, 2, "2\r\nQ"},
        {"1 = X  A / 0 = Y", DomainError, {}, 2, "/"},
        {"1 = X   ( A + 1 = Y  ", TooFewCloseBrackets, {}, 2, "( A + 1 = Y"},
        {" A + B ", MissingEquals, {}, 1, "A + B"},
        {"1 = X  BIG * BIG * 0 = Y", FloatingPointFault, FaultKind::Overflow, 2, "*"},
        {"1E-25 COSECH * 0 = X", FloatingPointFault, FaultKind::DivisionByZero, 1, "COSECH"},
        {"A + 3E9 ROUND = X", FloatingPointFault, FaultKind::InvalidOperation, 1, "ROUND"},
        // Reading a number or a value cell beyond the range is the whole equation's fault.
        {"1E5000 = X", FloatingPointFault, FaultKind::Overflow, 1, "1E5000 = X"},
        {"1 = Y  HUGE + 1 = X", FloatingPointFault, FaultKind::Overflow, 2, "HUGE + 1 = X"},
    };
    for (const EngineMode mode : {EngineMode::Compiled, EngineMode::Interpreted}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.formula);
            testing::TestSheet sheet;
            SetRow(sheet.constants, testing::kFirstFreeConstantRow, {"BIG", "1E4000"});
            SetRow(sheet.variables, 5, {"HUGE", "1E5000"});
            sheet.setFormula(c.formula);
            Engine engine(sheet, mode);
            RunOutcome outcome;
            ASSERT_NO_THROW(outcome = engine.ExecuteEquations(0));
            EXPECT_EQ(outcome.status, c.code);
            if (c.code == FloatingPointFault) {
                EXPECT_EQ(outcome.fault, c.fault);
            }
            EXPECT_EQ(outcome.equationNumber, c.equation);
            ASSERT_TRUE(outcome.place);
            EXPECT_EQ(outcome.place->equationNumber, c.equation);
            const std::string_view formula = sheet.formula();
            EXPECT_EQ(
                formula.substr(outcome.place->begin, outcome.place->end - outcome.place->begin),
                c.at);
        }
    }
    testing::TestSheet sheet;
    sheet.run("");
    EXPECT_FALSE(sheet.outcome.place);
}

TEST_F(EngineRunTest, LargeFormulasRunInLinearTime) {
    std::string formula;
    for (int i = 0; i < 50000; ++i) formula += "A + 1 = X\r\n";
    EXPECT_EQ(x(formula), "11");
    std::string longSum = "0";
    for (int i = 0; i < 100000; ++i) longSum += " + 1";
    EXPECT_EQ(x(longSum + " = X"), "100000");
    std::string nested = "1";
    for (int i = 0; i < 20000; ++i) nested = "( " + nested + " + 1 )";
    EXPECT_EQ(x("0 + " + nested + " = X"), "20001");
}

}  // namespace
}  // namespace quantaro
