#include <gtest/gtest.h>

#include "documents/SettingsFormat.h"

namespace quantaro {
namespace {

TEST(SettingsFormatTest, OnlyTheCharacterOneChecksAnOption) {
    EXPECT_EQ(ParseSettingsFile("111"), (Settings{true, true, true}));
    EXPECT_EQ(ParseSettingsFile("000"), (Settings{false, false, false}));
    EXPECT_EQ(ParseSettingsFile("011"), (Settings{false, true, true}));
    EXPECT_EQ(ParseSettingsFile("TRUE"), (Settings{false, false, false}));
    EXPECT_EQ(ParseSettingsFile("2 1"), (Settings{false, false, true}));
    EXPECT_EQ(ParseSettingsFile("0011"), (Settings{false, false, true}));
}

TEST(SettingsFormatTest, MissingCharactersLeaveOptionsUnchecked) {
    EXPECT_EQ(ParseSettingsFile(""), (Settings{false, false, false}));
    EXPECT_EQ(ParseSettingsFile("1"), (Settings{true, false, false}));
    EXPECT_EQ(ParseSettingsFile("10"), (Settings{true, false, false}));
    EXPECT_EQ(ParseSettingsFile("01"), (Settings{false, true, false}));
    EXPECT_EQ(ParseSettingsFile("1\x1A"
                                "1"),
              (Settings{true, false, false}));
}

TEST(SettingsFormatTest, WritesThreeBytesThatReadBackTheSame) {
    EXPECT_EQ(SerializeSettingsFile({false, false, false}), "000");
    EXPECT_EQ(SerializeSettingsFile({true, false, false}), "100");
    EXPECT_EQ(SerializeSettingsFile({false, true, false}), "010");
    EXPECT_EQ(SerializeSettingsFile({false, false, true}), "001");
    for (int bits = 0; bits < 8; ++bits) {
        const Settings settings{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        EXPECT_EQ(ParseSettingsFile(SerializeSettingsFile(settings)), settings) << bits;
    }
}

}  // namespace
}  // namespace quantaro
