// Compares RoundThroughText with RoundThroughTextSlowly bit for bit over
// millions of values: random encodings of the whole range, values around
// fifteen-digit halfway points, exact halfway values, powers of ten, the ends
// of the range, subnormals and the special encodings. Also fails when
// RoundThroughText raises a fault flag or leaves another rounding mode.
//
// Usage: rounding_check [count [seed]]   count scales the random cases.

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
#include <vector>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

using Limits = std::numeric_limits<long double>;
constexpr int kFaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

long double FromFields(std::uint64_t significand, std::uint16_t signAndExponent) {
    long double x = 0.0L;
    auto* bytes = reinterpret_cast<unsigned char*>(&x);
    std::memcpy(bytes, &significand, sizeof significand);
    std::memcpy(bytes + 8, &signAndExponent, sizeof signAndExponent);
    return x;
}

std::string Bits(long double x) {
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&x);
    std::memcpy(&significand, bytes, sizeof significand);
    std::memcpy(&signAndExponent, bytes + 8, sizeof signAndExponent);
    char text[32];
    std::snprintf(text, sizeof text, "%04x:%016" PRIx64, signAndExponent, significand);
    return text;
}

bool SameBits(long double a, long double b) {
    return std::memcmp(&a, &b, 10) == 0;
}

struct Category {
    const char* name;
    long long checked = 0;
    long long mismatches = 0;
};

class Checker {
  public:
    explicit Checker(int roundingMode = FE_TONEAREST) : roundingMode_(roundingMode) {}

    void check(Category& category, long double x) {
        std::fesetround(roundingMode_);
        std::feclearexcept(FE_ALL_EXCEPT);
        const TextRoundTrip fast = RoundThroughText(x);
        const int raised = std::fetestexcept(kFaultFlags);
        const int mode = std::fegetround();
        const TextRoundTrip slow = RoundThroughTextSlowly(x);
        std::fesetround(FE_TONEAREST);

        ++category.checked;
        const bool same = SameBits(fast.value, slow.value) && fast.overflows == slow.overflows;
        if (same && raised == 0 && mode == roundingMode_) return;
        ++category.mismatches;
        if (++reported_ > 20) return;
        std::printf("MISMATCH [%s] x=%s (%s)  fast=%s%s  slow=%s%s%s%s\n", category.name,
                    Bits(x).c_str(), FormatNumber(x).c_str(), Bits(fast.value).c_str(),
                    fast.overflows ? " overflows" : "", Bits(slow.value).c_str(),
                    slow.overflows ? " overflows" : "", raised ? "  fault flag raised" : "",
                    mode != roundingMode_ ? "  rounding mode changed" : "");
    }

    // Checks x and its neighbours up to `steps` units in the last place away.
    void checkAround(Category& category, long double x, int steps) {
        check(category, x);
        long double up = x;
        long double down = x;
        for (int i = 0; i < steps; ++i) {
            up = std::nextafter(up, Limits::infinity());
            down = std::nextafter(down, -Limits::infinity());
            check(category, up);
            check(category, down);
        }
    }

  private:
    int roundingMode_;
    int reported_ = 0;
};

long double ReadDecimal(const std::string& text) {
    return std::strtold(text.c_str(), nullptr);
}

std::uint64_t UniformIn(std::mt19937_64& random, std::uint64_t low, std::uint64_t high) {
    return std::uniform_int_distribution<std::uint64_t>(low, high)(random);
}

constexpr std::uint64_t kTenTo14 = 100'000'000'000'000;
constexpr std::uint64_t kTenTo15 = 10 * kTenTo14;

}  // namespace
}  // namespace quantaro

int main(int argc, char** argv) {
    using namespace quantaro;
    const long long count = argc > 1 ? std::atoll(argv[1]) : 250'000;
    const std::uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20240611;
    std::mt19937_64 random(seed);
    Checker checker;
    Checker otherModes[] = {Checker(FE_UPWARD), Checker(FE_DOWNWARD), Checker(FE_TOWARDZERO)};

    Category specials{"specials"};
    Category ends{"ends of the range"};
    Category subnormals{"subnormals"};
    Category powers{"powers of ten"};
    Category encodings{"random encodings"};
    Category rawEncodings{"random 80-bit patterns"};
    Category halfway{"near halfway"};
    Category ties{"exact halfway"};
    Category decimals{"short decimals"};
    Category modes{"other rounding modes"};

    // Zeros, infinities, NaNs and the encodings the FPU does not produce.
    for (long double x : {0.0L, -0.0L, Limits::infinity(), -Limits::infinity(), Limits::quiet_NaN(),
                          -Limits::quiet_NaN(), Limits::signaling_NaN(), FromFields(0, 0x7FFF),
                          FromFields(0x4000000000000000, 0x7FFF), FromFields(0, 0x3FFF),
                          FromFields(0x7FFFFFFFFFFFFFFF, 0xBFFF), FromFields(0x8000000000000000, 0),
                          FromFields(0xFFFFFFFFFFFFFFFF, 0x8000)}) {
        checker.check(specials, x);
    }

    // The largest values, whose text is 1.18973149535723E4932 at most, and
    // the smallest normal ones, whose text may read back as a subnormal.
    checker.checkAround(ends, Limits::max(), 2000);
    checker.checkAround(ends, -Limits::max(), 50);
    checker.checkAround(ends, ReadDecimal("1.189731495357225E4932"), 2000);
    checker.checkAround(ends, ReadDecimal("1.18973149535722E4932"), 50);
    checker.checkAround(ends, Limits::min(), 2000);
    checker.checkAround(ends, -Limits::min(), 50);
    checker.checkAround(ends, 2 * Limits::min(), 2000);
    checker.checkAround(ends, ReadDecimal("3.362103143112095E-4932"), 2000);
    checker.checkAround(ends, ReadDecimal("6.724206286224185E-4932"), 2000);

    checker.checkAround(subnormals, Limits::denorm_min(), 100);
    checker.checkAround(subnormals, Limits::min(), 0);

    // Every power of ten in range, and its neighbours.
    for (int k = -4951; k <= 4932; ++k) {
        checker.checkAround(powers, ReadDecimal("1E" + std::to_string(k)), 2);
    }

    for (long long i = 0; i < count; ++i) {
        // Any finite or special value, valid encodings only; now and then one
        // of the lowest binade, which reads back through the text.
        {
            const auto exponent = static_cast<std::uint16_t>(random() & 0x7FFF);
            std::uint64_t significand = random();
            significand = exponent == 0 ? significand >> 1 : significand | (1ULL << 63);
            const auto sign = static_cast<std::uint16_t>(random() & 0x8000);
            checker.check(encodings, FromFields(significand, exponent | sign));
            if (i % 16 == 0) checker.check(encodings, FromFields(significand, 1 | sign));
            // The exponents of everyday values, 1E-40 to 1E40.
            const auto common = static_cast<std::uint16_t>(0x3FFF - 133 + random() % 267);
            checker.check(encodings, FromFields(significand | (1ULL << 63), common | sign));
        }
        if (i % 8 == 0) {
            checker.check(rawEncodings, FromFields(random(), static_cast<std::uint16_t>(random())));
        }
        // Subnormals and pseudo-denormals.
        if (i % 8 == 0) {
            const std::uint64_t significand = random() >> 1;
            checker.check(subnormals, FromFields(significand, random() & 0x8000));
            checker.check(subnormals, FromFields(significand | (1ULL << 63), random() & 0x8000));
        }
        // The values nearest to d.ddd...d5 x 10^k, sixteen digits ending in 5,
        // and a few units in the last place either side.
        {
            const std::uint64_t digits = UniformIn(random, kTenTo14, kTenTo15 - 1);
            const int exponent = i % 4 == 0 ? static_cast<int>(UniformIn(random, 0, 9900)) - 4951
                                            : static_cast<int>(UniformIn(random, 0, 90)) - 45;
            const std::string text = (random() % 2 ? "-" : "") + std::to_string(digits) + "5E" +
                                     std::to_string(exponent);
            checker.checkAround(halfway, ReadDecimal(text), 3);
        }
        // Values exactly halfway between two fifteen-digit decimals: integers
        // (2d+1) * 5^s * 2^(s-1), and binary fractions j / 2^(t+1) whose
        // product with 10^t is odd / 2.
        {
            const int s = 1 + static_cast<int>(random() % 7);
            std::uint64_t powerOfFive = 1;
            for (int p = 0; p < s; ++p) powerOfFive *= 5;
            const std::uint64_t limit = std::min(
                kTenTo15 - 1, (std::numeric_limits<std::uint64_t>::max() / powerOfFive - 1) / 2);
            const std::uint64_t digits = UniformIn(random, kTenTo14, limit);
            const long double tie =
                std::ldexp(static_cast<long double>((2 * digits + 1) * powerOfFive), s - 1);
            checker.check(ties, random() % 2 ? tie : -tie);

            const int t = 1 + static_cast<int>(random() % 21);
            powerOfFive = 1;
            for (int p = 0; p < t; ++p) powerOfFive *= 5;
            const std::uint64_t low = (2 * kTenTo14 + powerOfFive - 1) / powerOfFive;
            const std::uint64_t high = (2 * kTenTo15 - 1) / powerOfFive;
            const std::uint64_t odd = UniformIn(random, low, high) | 1;
            if (odd <= high)
                checker.check(ties, std::ldexp(static_cast<long double>(odd), -(t + 1)));
        }
        // Values as they are typed and computed: up to 19 digits, exponents
        // 1E-40 to 1E40, and quotients of such values.
        if (i % 2 == 0) {
            const int length = 1 + static_cast<int>(random() % 19);
            std::string text = random() % 2 ? "-" : "";
            for (int d = 0; d < length; ++d) text += static_cast<char>('0' + random() % 10);
            text += "E" + std::to_string(static_cast<int>(random() % 81) - 40);
            const long double value = ReadDecimal(text);
            checker.check(decimals, value);
            checker.check(decimals, value / static_cast<long double>(1 + random() % 1000));
        }
        // Rounding upward, downward and toward zero.
        if (i % 64 == 0) {
            const auto exponent = static_cast<std::uint16_t>(0x3FFF - 200 + random() % 400);
            otherModes[i / 64 % 3].check(modes, FromFields(random() | (1ULL << 63), exponent));
        }
    }

    long long checked = 0;
    long long mismatches = 0;
    std::printf("seed %" PRIu64 ", count %lld\n", seed, count);
    for (const Category* category : {&specials, &ends, &subnormals, &powers, &encodings,
                                     &rawEncodings, &halfway, &ties, &decimals, &modes}) {
        std::printf("  %-24s %10lld checked, %lld mismatches\n", category->name, category->checked,
                    category->mismatches);
        checked += category->checked;
        mismatches += category->mismatches;
    }
    std::printf("%lld values checked, %lld mismatches\n", checked, mismatches);
    return mismatches == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
