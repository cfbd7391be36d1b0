#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSheet.h"
#include "engine/EquationSplitter.h"
#include "engine/FloatingPointFault.h"
#include "engine/FormulaTokens.h"
#include "engine/Tokeniser.h"

namespace quantaro {
namespace {

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces;
    EquationSplitter splitter(text);
    while (auto piece = splitter.next()) pieces.push_back(*piece);
    return pieces;
}

using Pieces = std::vector<std::string>;

TEST(EquationSplitter, EndsAnEquationAtEachTerminatingEquals) {
    EXPECT_EQ(Split("A+B=X A-B=Y"), (Pieces{"A+B=X", " A-B=Y"}));
    EXPECT_EQ(Split("A <= B = Y"), (Pieces{"A <= B = Y"}));
    EXPECT_EQ(Split("A == B = Y"), (Pieces{"A == B = Y"}));
    EXPECT_EQ(Split("A >= B = Y"), (Pieces{"A >= B = Y"}));
    // An "=" right before "<" or ">", or after a blank, terminates.
    EXPECT_EQ(Split("A =< B"), (Pieces{"A =<", " B"}));
    EXPECT_EQ(Split("A < = B"), (Pieces{"A < = B"}));
    // First and last characters never terminate.
    EXPECT_EQ(Split("=A"), (Pieces{"=A"}));
    EXPECT_EQ(Split("A+B="), (Pieces{"A+B="}));
}

TEST(EquationSplitter, DropsLineBreaks) {
    EXPECT_EQ(Split("A +\r\nB = Y"), (Pieces{"A +B = Y"}));
    // A result word on the next line starts the next equation.
    EXPECT_EQ(Split("A+B=\r\nY"), (Pieces{"A+B=", "Y"}));
    EXPECT_EQ(Split("A = X\r\nB = Y\r\n"), (Pieces{"A = X", "B = Y"}));
    EXPECT_EQ(Split("\r\n\r\n"), Pieces{});
    EXPECT_EQ(Split("A = X   "), (Pieces{"A = X", "   "}));
    EXPECT_EQ(Split("   "), (Pieces{"   "}));
    EXPECT_EQ(Split("no equals here"), (Pieces{"no equals here"}));
}

class TokeniserTest : public ::testing::Test {
  protected:
    testing::TestSheet sheet;

    Tokeniser tokeniser() { return Tokeniser(sheet.tables()); }

    // The tokens of one word, or {"FAIL"} when it cannot be split.
    Pieces tokens(std::string_view word) {
        std::vector<std::string_view> views;
        if (!tokeniser().splitWord(word, views)) return {"FAIL"};
        return Pieces(views.begin(), views.end());
    }
};

TEST_F(TokeniserTest, PeelsTheLongestRecognisedPrefix) {
    EXPECT_EQ(tokens("A+B=Y"), (Pieces{"A", "+", "B", "=", "Y"}));
    EXPECT_EQ(tokens("SIN30"), (Pieces{"SIN", "30"}));
    EXPECT_EQ(tokens("2X"), (Pieces{"2", "X"}));
    EXPECT_EQ(tokens("A-5"), (Pieces{"A", "-5"}));
    EXPECT_EQ(tokens("-B"), (Pieces{"-", "B"}));
    EXPECT_EQ(tokens("2E3"), (Pieces{"2E3"}));
    EXPECT_EQ(tokens("2E"), (Pieces{"2", "E"}));
    EXPECT_EQ(tokens("LOG100"), (Pieces{"LOG10", "0"}));
    EXPECT_EQ(tokens("5^2"), (Pieces{"5", "^2"}));
    EXPECT_EQ(tokens("2^3"), (Pieces{"2^", "3"}));
    EXPECT_EQ(tokens("4^2.5"), (Pieces{"4", "^2", ".5"}));
    EXPECT_EQ(tokens("e^2"), (Pieces{"e^", "2"}));
    EXPECT_EQ(tokens("E^2"), (Pieces{"E^", "2"}));
    EXPECT_EQ(tokens("A==B"), (Pieces{"A", "==", "B"}));
    EXPECT_EQ(tokens("(A+B)"), (Pieces{"(", "A", "+", "B", ")"}));
    EXPECT_EQ(tokens("ncr"), (Pieces{"ncr"}));
    EXPECT_EQ(tokens("2Q"), (Pieces{"FAIL"}));
    EXPECT_EQ(tokens("Q"), (Pieces{"FAIL"}));
}

TEST_F(TokeniserTest, TokensDependOnTheTables) {
    sheet.constants.clearDataRows();
    EXPECT_EQ(tokens("2E"), (Pieces{"FAIL"}));
    testing::SetRow(sheet.variables, 5, {"SIN3", "1"});
    EXPECT_EQ(tokens("SIN30"), (Pieces{"SIN3", "0"}));
}

TEST_F(TokeniserTest, AFailedWordIsReportedWhole) {
    std::vector<std::string_view> views;
    std::string_view failed;
    EXPECT_FALSE(tokeniser().tokenise("A + 2Q = X ", views, failed));
    EXPECT_EQ(failed, "2Q");
    EXPECT_TRUE(tokeniser().tokenise("  A\t+ B  ", views, failed) == false);
    EXPECT_EQ(failed, "A\t+");  // tabs belong to words
}

TEST_F(TokeniserTest, ReadingAConstantValueBeyondTheRangeIsAFault) {
    testing::SetRow(sheet.constants, 3, {"HUGE", "1E5000"});
    std::vector<std::string_view> views;
    EXPECT_THROW(tokeniser().splitWord("HUGE", views), FloatingPointFault);
    EXPECT_THROW(tokeniser().splitWord("1E5000", views), FloatingPointFault);
    // Only the chosen prefix is read: 1E5000 is not a prefix of 1E50000Q's tokens.
    EXPECT_THROW(tokeniser().splitWord("1E50000Q", views), FloatingPointFault);
}

// Peeling stays linear in the word's length: a long pasted word splits or
// fails promptly with the same result as peeling every prefix in turn.
TEST_F(TokeniserTest, LongWordsSplitInLinearTime) {
    const std::string unknown(100000, 'Q');
    std::string sum;
    for (int i = 0; i < 25000; ++i) sum += "A+1-";
    sum += "B";
    EXPECT_EQ(tokens(unknown), (Pieces{"FAIL"}));
    EXPECT_EQ(tokens("A" + unknown), (Pieces{"FAIL"}));
    const Pieces sumTokens = tokens(sum);
    ASSERT_EQ(sumTokens.size(), 75001u);
    EXPECT_EQ(sumTokens[0], "A");
    EXPECT_EQ(sumTokens[1], "+1");
    EXPECT_EQ(sumTokens[2], "-");
    EXPECT_EQ(sumTokens.back(), "B");
    const std::string fraction = "0." + std::string(100000, '7');
    EXPECT_EQ(tokens(fraction + "A"), (Pieces{fraction, "A"}));
    // A hundred thousand digits is a number beyond the extended range.
    std::vector<std::string_view> views;
    EXPECT_THROW(tokeniser().splitWord(std::string(100000, '7') + "Q", views), FloatingPointFault);
}

}  // namespace
}  // namespace quantaro

namespace quantaro {
namespace {

// Each span as a letter for its kind and the text it covers.
std::string Classified(const std::string& text, testing::TestSheet& sheet) {
    std::string shown;
    for (const TokenSpan& span : ClassifyFormula(text, sheet.tables())) {
        shown += (shown.empty() ? "" : " ") + std::string(1, "nocv=RU"[span.kind]) + ':' +
                 text.substr(span.begin, span.end - span.begin);
        if (span.failure) shown += '[' + span.failure->message + ']';
    }
    return shown;
}

TEST(ClassifyFormula, ShowsEachTokenAsARunCutsItAndEveryWordNoRunCouldCut) {
    testing::TestSheet sheet;
    const struct {
        const char* text;
        const char* classified;
    } cases[] = {
        {"A*2=X", "v:A o:* n:2 =:= R:X"},
        {"A+2=X", "v:A n:+2 =:= R:X"},  // a signed number, as a run reads it
        {"SIN30 * PI = x", "o:SIN n:30 o:* c:PI =:= R:x"},
        // Cutting goes on past a failed word, and stops using its pieces.
        {"2Q + Q2 + A = X",
         "U:2Q[Equation 1: Unknown Item \"2Q\"] o:+ U:Q2[Equation 1: Unknown Item \"Q2\"] o:+ v:A "
         "=:= R:X"},
        // A word glued across a line break; the numbers count equations.
        {"A = X\r\n2\r\nQ = X", "v:A =:= R:X U:2\r\nQ[Equation 2: Unknown Item \"2Q\"] =:= R:X"},
        // The result name is the first from the right that is no number or constant.
        {"A + 2 = PI", "v:A o:+ n:2 =:= c:PI"},
        {"A = A 5", "v:A =:= R:A n:5"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Classified(c.text, sheet), c.classified) << c.text;
}

}  // namespace
}  // namespace quantaro
