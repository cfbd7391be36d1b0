#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

TEST(ParseNumber, AcceptsTheNumberForms) {
    const struct {
        const char* text;
        long double value;
    } cases[] = {{"5.", 5.0L},     {".5", 0.5L},      {"+.5", 0.5L},    {"1e+3", 1000.0L},
                 {"1E-3", 0.001L}, {".", 0.0L},       {"E5", 0.0L},     {"e10", 0.0L},
                 {"-5", -5.0L},    {"  5", 5.0L},     {"2E3", 2000.0L}, {"-1.25", -1.25L},
                 {"007", 7.0L},    {"1.5e+2", 150.0L}};
    for (const auto& c : cases) {
        const auto parsed = ParseNumber(c.text);
        ASSERT_TRUE(parsed.has_value()) << c.text;
        EXPECT_EQ(*parsed, c.value) << c.text;
    }
}

TEST(ParseNumber, RejectsWhatIsNotANumber) {
    for (const char* text : {"", "   ", "-", "+", "1E", "1e+", "1,5", "5 ", "5\t", "\t5", "5x",
                             "x5", "1.2.3", "1E5.5", "--5", "INF", "nan", "0x10", "5 5"}) {
        EXPECT_FALSE(ParseNumber(text).has_value()) << '"' << text << '"';
    }
}

TEST(ParseNumber, ReadsTheExactExtendedValue) {
    EXPECT_EQ(*ParseNumber("0.1"), 0.1L);
    EXPECT_EQ(*ParseNumber("3.14159265358979323846"), 3.14159265358979323846L);
    EXPECT_EQ(*ParseNumber("1E4932"), 1E4932L);
}

// Short numbers are converted with one multiplication or division by an exact
// power of ten; the result must be the correctly rounded value all the same.
TEST(ParseNumber, AgreesWithTheExactConversionOnEveryPath) {
    std::mt19937_64 random(20261207);
    for (int i = 0; i < 20000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 21);
        std::string mantissa;
        for (int d = 0; d < digits; ++d) mantissa += static_cast<char>('0' + random() % 10);
        const int point = static_cast<int>(random() % (digits + 1));
        mantissa.insert(mantissa.begin() + point, '.');
        const int exponent = static_cast<int>(random() % 81) - 40;
        const std::string text =
            (random() % 2 ? "-" : "") + mantissa + "E" + std::to_string(exponent);
        EXPECT_EQ(*ParseNumber(text), std::strtold(text.c_str(), nullptr)) << text;
    }
}

TEST(ParseNumber, OverflowIsAFaultAndUnderflowIsZero) {
    try {
        ParseNumber("1E5000");
        FAIL() << "no fault";
    } catch (const FloatingPointFault& fault) {
        EXPECT_EQ(fault.kind(), FaultKind::Overflow);
        EXPECT_STREQ(fault.what(), "Floating point overflow");
    }
    EXPECT_THROW(ParseNumber("-1E99999999999999999999"), FloatingPointFault);
    EXPECT_EQ(*ParseNumber("1E-5000"), 0.0L);
    EXPECT_EQ(*ParseNumber("1E-99999999999999999999"), 0.0L);
}

TEST(LongestNumberPrefix, FindsTheLongestAcceptedPrefix) {
    EXPECT_EQ(LongestNumberPrefix("2X"), 1u);
    EXPECT_EQ(LongestNumberPrefix("2E3"), 3u);
    EXPECT_EQ(LongestNumberPrefix("2E"), 1u);
    EXPECT_EQ(LongestNumberPrefix("2E+Q"), 1u);
    EXPECT_EQ(LongestNumberPrefix("-5+"), 2u);
    EXPECT_EQ(LongestNumberPrefix("-B"), 0u);
    EXPECT_EQ(LongestNumberPrefix("E5E"), 2u);
    EXPECT_EQ(LongestNumberPrefix(".5.5"), 2u);
    EXPECT_EQ(LongestNumberPrefix("SIN"), 0u);
}

TEST(FormatNumber, WritesTheGeneralForm) {
    const struct {
        long double value;
        const char* text;
    } cases[] = {
        {0.0L, "0"},
        {-0.0L, "0"},
        {2.5L, "2.5"},
        {-0.75L, "-0.75"},
        {1.0L / 3, "0.333333333333333"},
        {2.0L / 3, "0.666666666666667"},
        {100.0L, "100"},
        {1E14L, "100000000000000"},
        {1E15L, "1E15"},
        {1.23456789012345678E17L, "1.23456789012346E17"},
        {0.0001L, "0.0001"},
        {0.00001L, "1E-5"},
        {1.5E-7L, "1.5E-7"},
        {999999999999999.5L, "1E15"},
        {-123456.789L, "-123456.789"},
        {0.00012345L, "0.00012345"},
        {1E4932L, "1E4932"},
        {std::numeric_limits<long double>::denorm_min(), "0"},
        {std::numeric_limits<long double>::min(), "3.36210314311209E-4932"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text);
}

TEST(FormatNumber, RoundsHalfAwayFromZeroOnTheSixteenthDigit) {
    // 1000000000000005 is exact in extended precision: a tie at the 16th digit.
    EXPECT_EQ(FormatNumber(1000000000000005.0L), "1.00000000000001E15");
    EXPECT_EQ(FormatNumber(-1000000000000005.0L), "-1.00000000000001E15");
    EXPECT_EQ(FormatNumber(1000000000000004.0L), "1E15");
    EXPECT_EQ(FormatNumber(9999999999999995.0L), "1E16");
    EXPECT_EQ(FormatNumber(9999999999999994.0L), "9.99999999999999E15");
    // The nearest extended value to 9.999999999999995 lies just below it.
    EXPECT_EQ(FormatNumber(9.999999999999995L), "9.99999999999999");
}

TEST(FormatNumber, NonFiniteValues) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::infinity()), "INF");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<long double>::infinity()), "INF");
    EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::quiet_NaN()), "NAN");
}

TEST(FormatNumber, ReadsBackThroughParseNumber) {
    for (long double v : {1.0L / 3, 1E15L, 1.5E-7L, -2.75E100L, 123.456L}) {
        const std::string text = FormatNumber(v);
        EXPECT_EQ(FormatNumber(*ParseNumber(text)), text);
    }
}

// Values a run keeps unrounded are written with the fewest digits that read
// back as the same extended value: with one digit fewer, a value does not.
TEST(FormatNumberExactly, WritesTheShortestTextThatReadsBack) {
    const std::pair<long double, const char*> cases[] = {
        {0.1L, "0.1"},
        {0.123456789012345L, "0.123456789012345"},
        {-1.2345678901234567E20L, "-1.2345678901234567E20"},
        {std::nextafter(1000.0L, 2000.0L), "1000.00000000000000006"},
        // Below a power of two values lie closer together: the nearest text
        // of 20 digits, below it, does not read back, the one above does.
        {std::ldexp(1.0L, -16350), "1.4440123045445249272E-4922"},
        {std::numeric_limits<long double>::denorm_min(), "4E-4951"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatNumberExactly(value), text);

    std::mt19937_64 random(20260325);
    for (int i = 0; i < 10000; ++i) {
        // Half the values in the fixed notation, a few of the rest subnormal.
        const int exponent = static_cast<int>(i % 2 ? random() % 120 : random() % 32782 - 16340);
        const long double value =
            std::ldexp(static_cast<long double>(random() | 1ULL << 63), exponent - 123);
        const std::string text = FormatNumberExactly(i % 3 ? value : -value);
        ASSERT_EQ(std::fabs(*ParseNumber(text)), value) << text;
        std::string digits = text.substr(0, text.find('E'));
        std::erase_if(digits, [](char c) { return c == '-' || c == '.'; });
        digits.erase(0, digits.find_first_not_of('0'));
        digits.erase(digits.find_last_not_of('0') + 1);
        ASSERT_LE(digits.size(), 21u) << text;
        char shorter[64];
        std::snprintf(shorter, sizeof shorter, "%.*Le", static_cast<int>(digits.size()) - 2, value);
        if (digits.size() > 1) {
            EXPECT_NE(std::strtold(shorter, nullptr), value) << text;
        }
    }
}

// The desktop program sets the C library's locale from the environment; a
// German locale writes "," as the decimal point. Numbers must not follow it.
TEST(NumberText, DoesNotDependOnTheLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the test set-up generates the locale de_DE.UTF-8";
    EXPECT_EQ(FormatNumber(2.5L), "2.5");
    EXPECT_EQ(FormatNumber(1.5E-7L), "1.5E-7");
    EXPECT_EQ(*ParseNumber("2.5"), 2.5L);
    EXPECT_FALSE(ParseNumber("2,5").has_value());
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace quantaro
