#include <gtest/gtest.h>

#include <limits>

#include "OperatorTesting.h"
#include "engine/ApplyOperator.h"

namespace quantaro {
namespace {

OperatorOutcome Apply(const char* name, long double l, long double r, std::string& item) {
    return ApplyOperator(name, l, r, AngleUnit::Degrees, item);
}

TEST(ApplyOperator, BasicArithmetic) {
    std::string item = "untouched";
    EXPECT_EQ(Apply("-", 7, 2, item).value, 5.0L);
    EXPECT_EQ(Apply("/", 7, 2, item).value, 3.5L);
    EXPECT_EQ(Apply("=", 4, 9, item).value, 4.0L);
    EXPECT_EQ(Apply("NEG", 3, 0, item).value, -3.0L);
    EXPECT_EQ(Apply("+", 0.1L, 0.2L, item).value, 0.1L + 0.2L);
    EXPECT_EQ(Apply("*", 6, 7, item).value, 42.0L);
    EXPECT_EQ(Apply("1/", 4, 0, item).value, 0.25L);
    EXPECT_EQ(item, "untouched");
}

TEST(ApplyOperator, UnknownNamesAndBracketsGiveZero) {
    std::string item = "untouched";
    for (const char* name : {"(", ")", "FOO", "sin", ""}) {
        const OperatorOutcome outcome = Apply(name, 5, 6, item);
        EXPECT_EQ(outcome.value, 0.0L) << name;
        EXPECT_EQ(outcome.code, ResultCode::Success) << name;
    }
    EXPECT_EQ(item, "untouched");
}

TEST(ApplyOperator, DivisionByZeroIsADomainError) {
    std::string item;
    EXPECT_EQ(Apply("/", 1, 0, item).code, ResultCode::DomainError);
    EXPECT_EQ(item, "Divide by 0.");
    EXPECT_EQ(Apply("1/", 0, 0, item).code, ResultCode::DomainError);
    EXPECT_EQ(item, "1 over 0.");
}

TEST(ApplyOperator, ArithmeticBeyondTheRangeIsAFault) {
    const long double max = std::numeric_limits<long double>::max();
    const long double denormal = std::numeric_limits<long double>::denorm_min();
    const char* overflow = "Floating point overflow";
    quantaro::testing::ExpectShown({{"+", max, max, overflow},
                                    {"*", max, 2, overflow},
                                    {"/", max, 0.5L, overflow},
                                    {"1/", denormal, 0, overflow},
                                    {"*", denormal, denormal, "0"}});  // underflow passes silently
}

}  // namespace
}  // namespace quantaro
