#include "documents/PrintChannel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePrintSurface.h"

namespace quantaro {
namespace {

using Draws = std::vector<std::string>;

class PrintChannelTest : public ::testing::Test {
  protected:
    Draws print(QStringView text) {
        PrintChannel channel(surface_);
        channel.write(text);
        return surface_.draws;
    }

    testing::FakePrintSurface surface_;
};

TEST_F(PrintChannelTest, TextAdvancesAlongTheLineAndCarriageReturnIsIgnored) {
    EXPECT_EQ(print(u"AB\rCD\nE"), (Draws{"0:0,0:AB", "0:20,0:CD", "0:0,14:E"}));
}

TEST_F(PrintChannelTest, TextWiderThanThePageIsCutAtTheLastCharacterThatFits) {
    EXPECT_EQ(print(u"ABC\tabcdefghijklm"),
              (Draws{"0:0,0:ABC", "0:80,0:ab", "0:0,14:cdefghijkl", "0:0,28:m"}));
}

TEST_F(PrintChannelTest, TextFillingTheLineExactlyIsNotCutButTheNextPieceWraps) {
    EXPECT_EQ(print(u"ABCDEFGHIJ\rK"), (Draws{"0:0,0:ABCDEFGHIJ", "0:0,14:K"}));
}

TEST_F(PrintChannelTest, ACharacterWiderThanThePageIsStillDrawnOnePerLine) {
    surface_.width = 5;
    EXPECT_EQ(print(u"AB"), (Draws{"0:0,0:A", "0:0,14:B"}));
}

TEST_F(PrintChannelTest, LineHeightIsTheTallestTextPlusTwoOrTheMetricHeightWithoutText) {
    EXPECT_EQ(print(u"A\r#\rB\n\nC\n"), (Draws{"0:0,0:A", "0:10,0:#", "0:20,0:B", "0:0,52:C"}));
}

TEST_F(PrintChannelTest, ATextLineEndsThePageWhenLessThanTwoLineHeightsRemain) {
    surface_.height = 98;  // the sixth line starts at 70 = 98 - 2 * 14, still on the page
    EXPECT_EQ(print(u"1\n2\n3\n4\n5\n6\n7"), (Draws{"0:0,0:1", "0:0,14:2", "0:0,28:3", "0:0,42:4",
                                                    "0:0,56:5", "0:0,70:6", "1:0,0:7"}));
}

TEST_F(PrintChannelTest, AnEmptyLineEndsThePageOnlyWhenPastThePageHeight) {
    EXPECT_EQ(print(u"\n\n\n\n\nA"), (Draws{"0:0,100:A"}));
    surface_.draws.clear();
    EXPECT_EQ(print(u"\n\n\n\n\n\nA"), (Draws{"1:0,0:A"}));
}

TEST_F(PrintChannelTest, ATabPastThePageWidthStartsANewLine) {
    EXPECT_EQ(print(u"\tA\tB\tC"), (Draws{"0:80,0:A", "0:0,14:B", "0:80,14:C"}));
    // A tab stop on the page edge does not pass it; the next tab does, ending a line with no text.
    surface_.draws.clear();
    surface_.width = 160;
    EXPECT_EQ(print(u"\t\t\tA"), (Draws{"0:0,20:A"}));
}

TEST_F(PrintChannelTest, FormFeedStartsANewPageAndNoPageIsLeftBlankAtTheEnd) {
    EXPECT_EQ(print(u"AB\fC\f\fD\f"), (Draws{"0:0,0:AB", "1:0,0:C", "3:0,0:D"}));
    EXPECT_EQ(surface_.page, 3);
}

}  // namespace
}  // namespace quantaro
