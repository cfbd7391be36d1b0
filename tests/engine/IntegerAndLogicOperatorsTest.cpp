#include <gtest/gtest.h>

#include <string>

#include "OperatorTesting.h"
#include "engine/ApplyOperator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

using testing::ExpectShown;
using testing::OperatorCase;
using testing::Shown;

constexpr const char* kInvalid = "Invalid floating point operation";

// clang-format off
TEST(RoundingOperators, TiesToEvenTowardZeroAndFraction) {
    ExpectShown({{"ROUND", 2.5L, 0, "2"}, {"ROUND", 3.5L, 0, "4"}, {"ROUND", -2.5L, 0, "-2"},
                 {"ROUND", -3.5L, 0, "-4"}, {"ROUND", 2.4999L, 0, "2"},
                 {"ROUND", -2147483648.5L, 0, "-2147483648"}, {"ROUND", 2147483647.5L, 0, kInvalid},
                 {"ROUND", 3e9L, 0, kInvalid}, {"TRUNC", -2.7L, 0, "-2"}, {"TRUNC", -3.9L, 0, "-3"},
                 {"TRUNC", -2147483648.9L, 0, "-2147483648"}, {"TRUNC", 2147483648.0L, 0, kInvalid},
                 {"TRUNC", 2147483647.9L, 0, "2147483647"}, {"ROUND", -2147483649.0L, 0, kInvalid},
                 {"FRAC", -2.75L, 0, "-0.75"}, {"FRAC", 7, 0, "0"}, {"FRAC", 1e30L, 0, "0"},
                 {"FRAC", 1e4000L, 0, "0"}});
}

TEST(IntegerDivision, QuotientAndRemainderOf32BitIntegers) {
    ExpectShown({{"DIV", 7, 2, "3"}, {"DIV", -7, 2, "-3"}, {"MOD", -7, 2, "-1"},
                 {"MOD", 7, -2, "1"}, {"MOD", -7, -2, "-1"},
                 {"DIV", 2147483647.0L, -1, "-2147483647"},
                 {"MOD", -2147483648.0L, 3, "-2"}, {"DIV", -2147483648.0L, 2, "-1073741824"},
                 {"DIV", 7.5L, 2, "Invalid integer divide: 7.5 DIV 2"},
                 {"DIV", 7, 2.5L, "Invalid integer divide: 7 DIV 2.5"},
                 {"MOD", 7, 0, "Invalid integer divide: 7 MOD 0"},
                 {"DIV", -2147483648.0L, -1, "Invalid integer divide: -2147483648 DIV -1"},
                 {"MOD", -2147483648.0L, -1, "Invalid integer divide: -2147483648 MOD -1"},
                 // The left operand is tested before the right one is converted.
                 {"DIV", 7.5L, 3e9L, "Invalid integer divide: 7.5 DIV 3000000000"},
                 {"MOD", 7, 2147483647.5L, "Invalid integer divide: 7 MOD 2147483647.5"},
                 {"DIV", 3e9L, 1, kInvalid}, {"MOD", 1, -3e9L, kInvalid}});
}

TEST(Comparisons, CompareExactlyAsExtendedValues) {
    const long double justAboveOne = 1.0L + 0x1p-63L;  // equal to 1 as a double
    ExpectShown({{"<", 2, 3, "1"}, {">=", 2, 3, "0"}, {"<>", 2, 2, "0"}, {"==", 2, 2, "1"},
                 {">", 3, 2, "1"}, {"<=", 3, 3, "1"}, {"<=", 4, 3, "0"}, {">", -1, 1, "0"},
                 {"==", 1, justAboveOne, "0"}, {"<", 1, justAboveOne, "1"},
                 {"<>", justAboveOne, 1, "1"}});
}
// clang-format on

TEST(BooleanOperators, TruthTablesAndOperandChecks) {
    const struct {
        const char* name;
        const char* results;  // for (0,0), (0,1), (1,0), (1,1)
    } tables[] = {
        {"AND", "0001"}, {"OR", "0111"}, {"NAND", "1110"}, {"NOR", "1000"}, {"XOR", "0110"}};
    for (const auto& t : tables) {
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(Shown(t.name, i / 2, i % 2), std::string(1, t.results[i])) << t.name << i;
        }
    }
    ExpectShown({{"NOT", 0, 0, "1"},
                 {"NOT", 1, 0, "0"},
                 {"AND", 2, 1, "Invalid Binary operation. \"2 AND 1\""},
                 {"OR", 1, 0.5L, "Invalid Binary operation. \"1 OR 0.5\""},
                 {"NAND", -1, 0, "Invalid Binary operation. \"-1 NAND 0\""},
                 {"NOR", 0, 2, "Invalid Binary operation. \"0 NOR 2\""},
                 {"XOR", 1e20L, 1, "Invalid Binary operation. \"1E20 XOR 1\""},
                 {"NOT", 0.5L, 0, "Invalid Binary operation. \"NOT 0.5\""}});
}

TEST(IntegerAndLogicOperators, IgnoreTheAngleUnit) {
    const OperatorCase cases[] = {{"TRUNC", 7, 0, "7"}, {"ROUND", 3.5L, 0, "4"},
                                  {"FRAC", 7, 0, "0"},  {"DIV", 7, 2, "3"},
                                  {"==", 7, 7, "1"},    {"FRAC", 0.25L, 0, "0.25"}};
    for (const OperatorCase& c : cases) {
        EXPECT_EQ(Shown(c.name, c.l, c.r, AngleUnit::Radians), c.shown) << c.name;
        EXPECT_EQ(Shown(c.name, c.l, c.r, AngleUnit::Degrees), c.shown) << c.name;
    }
}

}  // namespace
}  // namespace quantaro
