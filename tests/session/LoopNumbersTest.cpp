#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "session/LoopNumbers.h"

namespace quantaro {
namespace {

TEST(ReadInteger32, ReadsDecimalAndDollarHexadecimalWithBlanksAndSign) {
    EXPECT_EQ(ReadInteger32("5"), 5);
    EXPECT_EQ(ReadInteger32("   42"), 42);
    EXPECT_EQ(ReadInteger32("+7"), 7);
    EXPECT_EQ(ReadInteger32("-4"), -4);
    EXPECT_EQ(ReadInteger32("0"), 0);
    EXPECT_EQ(ReadInteger32("007"), 7);
    EXPECT_EQ(ReadInteger32("$ff"), 255);
    EXPECT_EQ(ReadInteger32(" -$10"), -16);
    EXPECT_EQ(ReadInteger32("$7FFFFFFF"), std::numeric_limits<std::int32_t>::max());
}

TEST(ReadInteger32, TakesBothEndsOfTheRangeAndNothingBeyond) {
    EXPECT_EQ(ReadInteger32("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ReadInteger32("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ReadInteger32("2147483648"), std::nullopt);
    EXPECT_EQ(ReadInteger32("-2147483649"), std::nullopt);
    EXPECT_EQ(ReadInteger32("3000000000"), std::nullopt);
    EXPECT_EQ(ReadInteger32("$80000000"), std::nullopt);
    EXPECT_EQ(ReadInteger32("99999999999999999999999"), std::nullopt);
}

TEST(ReadInteger32, RefusesEverythingElse) {
    for (const char* text : {"", " ", "-", "+", "$", "-$", "1E15", "5.0", "5 ", "5x", "x5", "$G",
                             "1,000", "--1", "+-1", "0x10", "\t5"}) {
        EXPECT_EQ(ReadInteger32(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(LoopCountText, IsTheMantissaTimesThePowerOfTenInTheNumberForm) {
    EXPECT_EQ(LoopCountText(0, 0), "0");
    EXPECT_EQ(LoopCountText(5, 0), "5");
    EXPECT_EQ(LoopCountText(5, 3), "5000");
    EXPECT_EQ(LoopCountText(0, 999), "0");
    EXPECT_EQ(LoopCountText(3, 9), "3000000000");
    EXPECT_EQ(LoopCountText(999, 11), "99900000000000");
    EXPECT_EQ(LoopCountText(1, 14), "100000000000000");
    EXPECT_EQ(LoopCountText(1, 15), "1E15");
    EXPECT_EQ(LoopCountText(25, 20), "2.5E21");
    EXPECT_EQ(LoopCountText(999, 999), "9.99E1001");
}

}  // namespace
}  // namespace quantaro
