#include <gtest/gtest.h>

#include <string>

#include "documents/FormulaFormat.h"

namespace quantaro {
namespace {

using namespace std::string_literals;

TEST(FormulaFormatTest, ReadsAngleUnitFromFirstByte) {
    EXPECT_EQ(ParseFormulaFile(""), (FormulaContent{AngleUnit::Degrees, ""}));
    EXPECT_EQ(ParseFormulaFile("0"), (FormulaContent{AngleUnit::Degrees, ""}));
    EXPECT_EQ(ParseFormulaFile("1"), (FormulaContent{AngleUnit::Radians, ""}));
    EXPECT_EQ(ParseFormulaFile("xA = B\r\n"), (FormulaContent{AngleUnit::Radians, "A = B\r\n"}));
    EXPECT_EQ(ParseFormulaFile(" 0"), (FormulaContent{AngleUnit::Radians, "0"}));
}

TEST(FormulaFormatTest, EndOfFileMarkEndsTheText) {
    EXPECT_EQ(ParseFormulaFile("0A = B\x1A"
                               "C = D\r\n"),
              (FormulaContent{AngleUnit::Degrees, "A = B"}));
    EXPECT_EQ(ParseFormulaFile("1\x1A"
                               "0"),
              (FormulaContent{AngleUnit::Radians, ""}));
    // A mark in first place leaves an empty file, which reads as degrees.
    EXPECT_EQ(ParseFormulaFile("\x1A"
                               "1A = B"),
              (FormulaContent{AngleUnit::Degrees, ""}));
}

TEST(FormulaFormatTest, KeepsEveryOtherByteOfTheText) {
    const std::string text = "A\tB = C\r\n\r\n\xC3\xA9 \0 x\n"s;
    EXPECT_EQ(ParseFormulaFile("0" + text).text, text);
}

TEST(FormulaFormatTest, WritesUnitTextAndLineBreak) {
    const std::string bytes = SerializeFormulaFile(AngleUnit::Degrees, "Y * 2 = X");
    EXPECT_EQ(bytes, "0Y * 2 = X\r\n");
    EXPECT_EQ(bytes.size(), 12u);
    EXPECT_EQ(SerializeFormulaFile(AngleUnit::Degrees, ""), "0\r\n");
    EXPECT_EQ(SerializeFormulaFile(AngleUnit::Radians, ""), "1\r\n");
    EXPECT_EQ(SerializeFormulaFile(AngleUnit::Radians, "A = B\r\n"), "1A = B\r\n\r\n");
}

TEST(FormulaFormatTest, EachRoundTripAddsOneLineBreak) {
    const FormulaContent once =
        ParseFormulaFile(SerializeFormulaFile(AngleUnit::Radians, "Y * 2 = X"));
    EXPECT_EQ(once, (FormulaContent{AngleUnit::Radians, "Y * 2 = X\r\n"}));
    const FormulaContent twice = ParseFormulaFile(SerializeFormulaFile(once.unit, once.text));
    EXPECT_EQ(twice, (FormulaContent{AngleUnit::Radians, "Y * 2 = X\r\n\r\n"}));
}

}  // namespace
}  // namespace quantaro
