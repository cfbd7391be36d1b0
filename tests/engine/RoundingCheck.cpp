// Compares RoundThroughText with RoundThroughTextSlowly bit for bit over
// millions of values: random encodings of the whole range, values around
// fifteen-digit halfway points, exact halfway values, powers of ten, the ends
// of the range, subnormals and the special encodings. A value also fails when
// RoundThroughText raises a fault flag or leaves the rounding mode changed.
// With --text it compares FormatNumber byte for byte with the text the C
// library's exact conversion gives, on the same values.
//
// Usage: rounding_check [--text] [count [seed]]   count scales the random cases.

#include <algorithm>
#include <cfenv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

using Limits = std::numeric_limits<long double>;
constexpr std::uint64_t kLeadingBit = std::uint64_t{1} << 63;
constexpr std::uint64_t kTenTo14 = 100'000'000'000'000;

long double FromFields(std::uint64_t significand, std::uint64_t signAndExponent) {
    long double x = 0.0L;
    const auto top = static_cast<std::uint16_t>(signAndExponent);
    std::memcpy(&x, &significand, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &top, 2);
    return x;
}

std::string Bits(long double x) {
    std::uint64_t significand = 0;
    std::uint16_t top = 0;
    std::memcpy(&significand, &x, 8);
    std::memcpy(&top, reinterpret_cast<const unsigned char*>(&x) + 8, 2);
    char text[32];
    std::snprintf(text, sizeof text, "%04x:%016" PRIx64, top, significand);
    return text;
}

struct Category {
    const char* name;
    long long checked = 0;
    long long mismatches = 0;
};

// FormatNumber through printf: sixteen digits truncated toward zero, the
// sixteenth rounding the fifteenth half away from zero, then the general form.
std::string ReferenceText(long double x) {
    if (std::isnan(x)) return "NAN";
    if (std::isinf(x)) return "INF";
    if (std::fpclassify(x) != FP_NORMAL) return "0";
    const int previousRounding = std::fegetround();
    std::fesetround(FE_TOWARDZERO);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15Le", std::fabs(x));
    std::fesetround(previousRounding);
    std::string digits;
    const char* p = buffer;
    for (; *p != 'e'; ++p) {
        if (*p != '.') digits += *p;
    }
    int exponent = std::atoi(p + 1) + 1;  // |x| = 0.d1d2... x 10^exponent
    const bool up = digits[15] >= '5';
    digits.resize(15);
    int i = 14;
    while (up && i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (up && i >= 0) ++digits[i];
    if (up && i < 0) {  // 999... carries into a new leading digit
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const auto n = static_cast<int>(digits.size());
    std::string text = x < 0 ? "-" : "";
    if (exponent > 0 && exponent <= 15) {
        text.append(digits, 0, static_cast<std::size_t>(std::min(n, exponent)));
        if (n < exponent) text.append(static_cast<std::size_t>(exponent - n), '0');
        if (n > exponent) text.append(".").append(digits, static_cast<std::size_t>(exponent));
    } else if (exponent <= 0 && exponent >= -3) {
        text.append("0.").append(static_cast<std::size_t>(-exponent), '0').append(digits);
    } else {
        text += digits[0];
        if (n > 1) text.append(".").append(digits, 1);
        text.append("E").append(std::to_string(exponent - 1));
    }
    return text;
}

bool compareText = false;

void CheckText(Category& category, long double x, int mode) {
    std::fesetround(mode);
    const std::string text = FormatNumber(x);
    std::fesetround(FE_TONEAREST);
    const std::string reference = ReferenceText(x);
    ++category.checked;
    if (text == reference || ++category.mismatches > 5) return;
    std::printf("MISMATCH %s: x=%s FormatNumber=%s printf=%s\n", category.name, Bits(x).c_str(),
                text.c_str(), reference.c_str());
}

void Check(Category& category, long double x, int mode = FE_TONEAREST) {
    if (compareText) return CheckText(category, x, mode);
    std::fesetround(mode);
    std::feclearexcept(FE_ALL_EXCEPT);
    const TextRoundTrip fast = RoundThroughText(x);
    const int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    const bool modeKept = std::fegetround() == mode;
    const TextRoundTrip slow = RoundThroughTextSlowly(x);
    std::fesetround(FE_TONEAREST);
    ++category.checked;
    if (std::memcmp(&fast.value, &slow.value, 10) == 0 && fast.overflows == slow.overflows &&
        raised == 0 && modeKept) {
        return;
    }
    if (++category.mismatches > 5) return;
    std::printf("MISMATCH %s: x=%s (%s) fast=%s%s slow=%s%s%s%s\n", category.name, Bits(x).c_str(),
                FormatNumber(x).c_str(), Bits(fast.value).c_str(),
                fast.overflows ? " overflows" : "", Bits(slow.value).c_str(),
                slow.overflows ? " overflows" : "", raised ? ", fault flag raised" : "",
                modeKept ? "" : ", rounding mode changed");
}

// x and its finite neighbours up to `steps` units in the last place either side.
void CheckAround(Category& category, long double x, int steps) {
    Check(category, x);
    for (long double up = x, down = x; steps-- > 0;) {
        up = std::nextafter(up, Limits::infinity());
        down = std::nextafter(down, -Limits::infinity());
        if (std::isfinite(up)) Check(category, up);
        if (std::isfinite(down)) Check(category, down);
    }
}

long double Read(const std::string& text) {
    return std::strtold(text.c_str(), nullptr);
}

}  // namespace
}  // namespace quantaro

int main(int argc, char** argv) {
    using namespace quantaro;
    compareText = argc > 1 && std::string(argv[1]) == "--text";
    if (compareText) --argc, ++argv;
    const long long count = argc > 1 ? std::atoll(argv[1]) : 250'000;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240611;
    std::mt19937_64 random(seed);
    const auto uniform = [&](std::uint64_t low, std::uint64_t high) {
        return std::uniform_int_distribution<std::uint64_t>(low, high)(random);
    };
    Category categories[] = {{"specials"},      {"ends of the range"}, {"powers of ten"},
                             {"subnormals"},    {"random encodings"},  {"80-bit patterns"},
                             {"near halfway"},  {"exact halfway"},     {"short decimals"},
                             {"rounding modes"}};
    auto& [specials, ends, powers, subnormals, encodings, patterns, halfway, ties, decimals,
           modes] = categories;
    std::uint64_t five[22] = {1};
    for (int n = 1; n < 22; ++n) five[n] = 5 * five[n - 1];

    // Zeros, infinities, NaNs and the encodings the FPU does not produce.
    for (long double x : {0.0L, -0.0L, Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN(),
                          -Limits::quiet_NaN(), Limits::signaling_NaN(), FromFields(0, 0x7FFF),
                          FromFields(0, 0x3FFF), FromFields(~kLeadingBit, 0xBFFF),
                          FromFields(kLeadingBit, 0x8000)}) {
        Check(specials, x);
    }
    // The largest values, whose text is 1.18973149535723E4932 at most, and
    // the lowest binade, whose text may read back as a subnormal.
    for (long double x : {Limits::max(), -Limits::max(), Read("1.189731495357225E4932"),
                          Limits::min(), -Limits::min(), 2 * Limits::min(),
                          Read("3.362103143112095E-4932"), Read("6.724206286224185E-4932")}) {
        CheckAround(ends, x, 1500);
    }
    CheckAround(subnormals, Limits::denorm_min(), 100);
    for (int k = -4951; k <= 4932; ++k) CheckAround(powers, Read("1E" + std::to_string(k)), 2);

    for (long long i = 0; i < count; ++i) {
        // Valid encodings of any exponent, of 1E-40 to 1E40, and now and
        // then of the lowest binade; subnormals, pseudo-denormals and any
        // 80 bits at all.
        const std::uint64_t sign = random() & 0x8000;
        const std::uint64_t exponent = random() & 0x7FFF;
        const std::uint64_t bits = random();
        Check(encodings,
              FromFields(exponent == 0 ? bits >> 1 : bits | kLeadingBit, exponent | sign));
        Check(encodings, FromFields(bits | kLeadingBit, (0x3FFF - 133 + exponent % 267) | sign));
        if (i % 16 == 0) Check(encodings, FromFields(bits | kLeadingBit, 1 | sign));
        if (i % 8 == 0) {
            Check(subnormals, FromFields(bits >> 1, sign));
            Check(subnormals, FromFields(bits | kLeadingBit, sign));
            Check(patterns, FromFields(random(), random()));
        }
        // The values nearest to the sixteen digits d...d5 x 10^k, 3 units in
        // the last place either side; a quarter of them of any exponent, the
        // others of 1E-40 to 1E40.
        const int k = i % 4 == 0 ? static_cast<int>(uniform(0, 9864)) - 4947
                                 : static_cast<int>(uniform(0, 80)) - 55;
        CheckAround(halfway,
                    Read((sign ? "-" : "") + std::to_string(uniform(kTenTo14, 10 * kTenTo14 - 1)) +
                         "5E" + std::to_string(k)),
                    3);
        // Exactly halfway: integers (2d+1) * 5^s * 2^(s-1) and binary
        // fractions j / 2^(t+1) with j * 5^t odd, both fifteen digits d.
        const int s = 1 + static_cast<int>(i % 7);
        const int t = 1 + static_cast<int>(i % 21);
        const std::uint64_t d =
            uniform(kTenTo14, std::min(10 * kTenTo14 - 1, (UINT64_MAX / five[s] - 1) / 2));
        const long double tie = std::ldexp(static_cast<long double>((2 * d + 1) * five[s]), s - 1);
        Check(ties, sign ? -tie : tie);
        const std::uint64_t j = uniform((2 * kTenTo14 - 1) / five[t] + 1, 20 * kTenTo14 / five[t]);
        if ((j | 1) * five[t] < 20 * kTenTo14) Check(ties, std::ldexp((j | 1) * 1.0L, -(t + 1)));
        // Values as typed and computed: up to 19 digits times 1E-40 to 1E40,
        // and quotients of them.
        if (i % 2 == 0) {
            std::string text = sign ? "-" : "";
            for (auto n = uniform(1, 19); n > 0; --n)
                text += static_cast<char>('0' + random() % 10);
            const long double typed =
                Read(text + "E" + std::to_string(static_cast<int>(uniform(0, 80)) - 40));
            Check(decimals, typed);
            Check(decimals, typed / static_cast<long double>(uniform(1, 1000)));
        }
        if (i % 64 == 0) {
            const int mode[] = {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO};
            Check(modes, FromFields(bits | kLeadingBit, 0x3FFF - 200 + exponent % 400),
                  mode[i / 64 % 3]);
        }
    }

    long long checked = 0;
    long long mismatches = 0;
    std::printf("seed %" PRIu64 ", count %lld\n", seed, count);
    for (const Category& category : categories) {
        std::printf("  %-20s %10lld checked, %lld mismatches\n", category.name, category.checked,
                    category.mismatches);
        checked += category.checked;
        mismatches += category.mismatches;
    }
    std::printf("%lld values checked, %lld mismatches\n", checked, mismatches);
    return mismatches == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
