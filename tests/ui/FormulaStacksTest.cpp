#include "ui/FormulaStacks.h"

#include <gtest/gtest.h>

namespace quantaro {
namespace {

TEST(FormulaStackTest, PopsTextsInReverseOrderOfPushing) {
    FormulaStack stack;
    stack.PushFormula("one");
    stack.PushFormula("two");
    EXPECT_EQ(stack.slot(1), "two");
    EXPECT_EQ(stack.slot(2), "one");
    EXPECT_EQ(stack.PopFormula(), "two");
    EXPECT_EQ(stack.PopFormula(), "one");
}

TEST(FormulaStackTest, PoppingAnEmptyStackGivesTheEmptyText) {
    FormulaStack stack;
    EXPECT_EQ(stack.PopFormula(), "");
    stack.PushFormula("x");
    stack.PopFormula();
    EXPECT_EQ(stack.PopFormula(), "");
}

TEST(FormulaStackTest, AFullStackDropsItsBottomTextOnPush) {
    FormulaStack stack;
    for (int i = 1; i <= kFormulaStackSlots + 1; ++i) stack.PushFormula(QByteArray::number(i));
    EXPECT_EQ(stack.slot(1), "101");
    EXPECT_EQ(stack.slot(kFormulaStackSlots), "2");  // "1" has been dropped
    for (int i = kFormulaStackSlots + 1; i >= 2; --i) {
        ASSERT_EQ(stack.PopFormula(), QByteArray::number(i));
    }
    EXPECT_EQ(stack.PopFormula(), "");
}

TEST(FormulaStackTest, PopEmptiesTheBottomSlot) {
    FormulaStack stack;
    for (int i = 1; i <= kFormulaStackSlots; ++i) stack.PushFormula("t");
    stack.PopFormula();
    EXPECT_EQ(stack.slot(kFormulaStackSlots), "");
    EXPECT_EQ(stack.slot(kFormulaStackSlots - 1), "t");
}

TEST(FormulaStackTest, InitEmptiesEverySlot) {
    FormulaStack stack;
    stack.PushFormula("a");
    stack.PushFormula("b");
    stack.InitFormulas();
    EXPECT_EQ(stack.slot(1), "");
    EXPECT_EQ(stack.slot(2), "");
}

TEST(FormulaStackTest, PackedTextsUnpackAsTheyWere) {
    const QString longText = QStringLiteral("A * 2 = \u00e9\r\n").repeated(20000);
    for (const QString& text : {QString(), QStringLiteral("B = \u20ac \U0001F600"), longText}) {
        EXPECT_EQ(UnpackFormula(PackFormula(text)), text);
    }
    EXPECT_LT(PackFormula(longText).size(), longText.size() / 4);  // compressed
}

}  // namespace
}  // namespace quantaro
