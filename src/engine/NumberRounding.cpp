#include "engine/NumberRounding.h"

#include <array>
#include <bit>
#include <cassert>
#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

#include "engine/Numbers.h"

namespace quantaro {
namespace {

static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384,
              "long double is the x87 80-bit extended format");

__extension__ using Uint128 = unsigned __int128;

int BitWidth(Uint128 value) {
    const auto high = static_cast<std::uint64_t>(value >> 64);
    return high != 0 ? 64 + std::bit_width(high)
                     : std::bit_width(static_cast<std::uint64_t>(value));
}

constexpr int kExponentBias = 16383;
constexpr int kSpecialExponent = 0x7FFF;  // infinities and NaNs
constexpr std::uint64_t kLeadingBit = std::uint64_t{1} << 63;

// The fields of an extended value as stored: the 64-bit significand with its
// explicit leading bit in bytes 0-7, the sign and 15-bit biased exponent in
// bytes 8-9. Read and written as bytes, so no flag is ever raised.
struct ExtendedFields {
    std::uint64_t significand = 0;
    int biasedExponent = 0;
    bool negative = false;
};

ExtendedFields FieldsOf(long double x) {
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&x);
    std::memcpy(&significand, bytes, sizeof significand);
    std::memcpy(&signAndExponent, bytes + 8, sizeof signAndExponent);
    return {significand, signAndExponent & 0x7FFF, (signAndExponent & 0x8000) != 0};
}

long double ValueOf(const ExtendedFields& fields) {
    long double x = 0.0L;
    const auto signAndExponent =
        static_cast<std::uint16_t>(fields.biasedExponent | (fields.negative ? 0x8000 : 0));
    auto* bytes = reinterpret_cast<unsigned char*>(&x);
    std::memcpy(bytes, &fields.significand, sizeof fields.significand);
    std::memcpy(bytes + 8, &signAndExponent, sizeof signAndExponent);
    return x;
}

// floor(k * log2(10)) and floor(e * log10(2)) for the ranges used here; the
// table below checks both while it is built.
constexpr int FloorLog2Pow10(int k) {
    return static_cast<int>((std::int64_t{k} * 913124641741) >> 38);
}
constexpr int FloorLog10Pow2(int e) {
    return static_cast<int>((std::int64_t{e} * 661971961083) >> 41);
}

// A power of ten as a 128-bit significand T, 2^127 <= T < 2^128:
// 10^k = (T + t) * 2^(FloorLog2Pow10(k) - 127) with 0 <= t < 1 + 2^-100.
struct PowerOfTen {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
};

// The largest decimal exponent in use: 10^-4946 scales the smallest normal
// value up to fifteen integer digits.
constexpr int kMaxPower = 4946;

// 10^k = 5^k * 2^k is held without the truncation (t = 0) while 5^k < 2^128.
constexpr int kLastExactPower = 55;

constexpr bool PowerOfFiveFits128(int k) {
    Uint128 power = 1;
    for (int i = 0; i < k; ++i) {
        if (power > ~Uint128{0} / 5) return false;
        power *= 5;
    }
    return true;
}
static_assert(PowerOfFiveFits128(kLastExactPower) && !PowerOfFiveFits128(kLastExactPower + 1));

// The powers are built in 256-bit working precision, a significand W with
// 2^255 <= W < 2^256 that is truncated once per step. It stays below the
// power by less than 2^-242 relatively after the at most 4946 steps, so its
// top 128 bits fall short of it by less than 1 + 2^-100 units.
using Working = std::array<std::uint64_t, 4>;  // least significant limb first

// W = W * 10, renormalised; returns by how much the binary exponent grows.
constexpr int MultiplyByTen(Working& w) {
    std::array<std::uint64_t, 5> product{};
    std::uint64_t carry = 0;
    for (int i = 0; i < 4; ++i) {
        const Uint128 limb = Uint128{w[i]} * 10 + carry;
        product[i] = static_cast<std::uint64_t>(limb);
        carry = static_cast<std::uint64_t>(limb >> 64);
    }
    product[4] = carry;  // 10 * 2^255 > 2^258, so 3 or 4 bits
    const int shift = std::bit_width(carry);
    for (int i = 0; i < 4; ++i) w[i] = (product[i] >> shift) | (product[i + 1] << (64 - shift));
    return shift;
}

// W = W / 10, renormalised; returns by how much the binary exponent shrinks.
constexpr int DivideByTen(Working& w) {
    std::array<std::uint64_t, 5> quotient{};  // W * 16 first
    quotient[4] = w[3] >> 60;
    for (int i = 3; i > 0; --i) quotient[i] = (w[i] << 4) | (w[i - 1] >> 60);
    quotient[0] = w[0] << 4;
    std::uint64_t remainder = 0;
    for (int i = 4; i >= 0; --i) {
        const Uint128 part = (Uint128{remainder} << 64) | quotient[i];
        quotient[i] = static_cast<std::uint64_t>(part / 10);
        remainder = static_cast<std::uint64_t>(part % 10);
    }
    if (quotient[4] == 0) {
        for (int i = 0; i < 4; ++i) w[i] = quotient[i];
        return 4;
    }
    // floor(floor(16W / 10) / 2) = floor(8W / 10)
    for (int i = 0; i < 4; ++i) w[i] = (quotient[i] >> 1) | (quotient[i + 1] << 63);
    return 3;
}

struct PowersOfTen {
    std::array<PowerOfTen, 2 * kMaxPower + 1> entries{};
};

constexpr PowersOfTen MakePowersOfTen() {
    PowersOfTen table;
    const Working one = {0, 0, 0, kLeadingBit};
    table.entries[kMaxPower] = {one[3], one[2]};

    Working w = one;
    int exponent = 0;
    for (int k = 1; k <= kMaxPower; ++k) {
        exponent += MultiplyByTen(w);
        if (exponent != FloorLog2Pow10(k)) throw "FloorLog2Pow10 is wrong";
        table.entries[kMaxPower + k] = {w[3], w[2]};
    }
    w = one;
    exponent = 0;
    for (int k = 1; k <= kMaxPower; ++k) {
        exponent -= DivideByTen(w);
        if (exponent != FloorLog2Pow10(-k)) throw "FloorLog2Pow10 is wrong";
        table.entries[kMaxPower - k] = {w[3], w[2]};
    }

    // 10^E <= 2^e < 10^(E+1) for E = FloorLog10Pow2(e) and every normal
    // exponent e above the lowest binade, which is left to the text path.
    for (int e = 2 - kExponentBias; e <= kExponentBias; ++e) {
        const int decimal = FloorLog10Pow2(e);
        const bool atLeast = decimal == 0 ? e >= 0 : FloorLog2Pow10(decimal) < e;
        const bool below = decimal == -1 ? e < 0 : e <= FloorLog2Pow10(decimal + 1);
        if (!atLeast || !below) throw "FloorLog10Pow2 is wrong";
        if (14 - decimal > kMaxPower || decimal + 1 > kMaxPower) throw "kMaxPower is too small";
    }
    return table;
}

constexpr PowersOfTen kPowersOfTen = MakePowersOfTen();

const PowerOfTen& PowerOfTenEntry(int k) {
    return kPowersOfTen.entries[static_cast<std::size_t>(k + kMaxPower)];
}

constexpr bool IsExactPower(int k) {
    return k >= 0 && k <= kLastExactPower;
}

constexpr std::uint64_t kTenTo14 = 100'000'000'000'000;
constexpr std::uint64_t kTenTo15 = 10 * kTenTo14;

// Whether m * 2^q >= (n + 1/2) * 10^exponent, decided exactly in 128 bits
// where exact halfway cases occur; nullopt elsewhere.
std::optional<bool> AtLeastHalfway(std::uint64_t m, int q, std::uint64_t n, int exponent) {
    if (exponent < 1 || exponent > kMaxExactPowerOfTen) return std::nullopt;
    // (n + 1/2) * 10^exponent = (2n + 1) * 5^exponent * 2^(exponent - 1), and
    // (2n + 1) * 5^exponent < 2^52 * 5^27 < 2^115.
    Uint128 odd = 2 * Uint128{n} + 1;
    for (int i = 0; i < exponent; ++i) odd *= 5;
    const int shift = q - (exponent - 1);  // compare m * 2^shift with odd
    if (shift >= 64) return true;          // m * 2^shift >= 2^127
    if (shift >= 0) return (Uint128{m} << shift) >= odd;
    if (BitWidth(odd) - shift > 64) return false;  // odd * 2^-shift >= 2^64 > m
    return Uint128{m} >= (odd << -shift);
}

// m * 2^q, 2^63 <= m, rounded to fifteen significant digits half away from
// zero as FormatNumber rounds it. nullopt in the hard cases: a value so close
// to halfway that the 128-bit power of ten cannot tell, outside the range
// where exact halfway values exist.
std::optional<FifteenDigits> RoundSignificand(std::uint64_t m, int q) {
    // 10^E <= 2^(q+63) <= m * 2^q, so the scaled value has at least fifteen
    // integer digits, and at most sixteen.
    const int exponent = FloorLog10Pow2(q + 63) - 14;
    const int k = -exponent;
    const PowerOfTen& power = PowerOfTenEntry(k);
    // m * 2^q * 10^k = (Z + m*t) * 2^(q + FloorLog2Pow10(k) - 127), Z = m * T
    // of 192 bits; top = floor(Z / 2^64), so the scaled value lies in
    // [top, top + 3) * 2^-shift, and when t = 0 in [top, top + 1) * 2^-shift.
    const Uint128 low = Uint128{m} * power.low;
    const Uint128 top = Uint128{m} * power.high + (low >> 64);
    const int shift = 127 - 64 - q - FloorLog2Pow10(k);  // about 75 to 82
    const auto integer = static_cast<std::uint64_t>(top >> shift);
    const Uint128 one = Uint128{1} << shift;
    const Uint128 fraction = top & (one - 1);

    FifteenDigits result{integer, exponent};
    bool up = false;
    // Below halfway for certain, unless the approximation may reach it.
    bool near = false;
    if (integer < kTenTo15) {
        const Uint128 half = one >> 1;
        // At or past halfway, or past the next integer: integer + 1 either way.
        up = fraction >= half;
        near = !up && !IsExactPower(k) && half - fraction < 3;
    } else {
        // Sixteen digits: the last one decides, or the fraction when it is 4.
        result = {integer / 10, exponent + 1};
        const std::uint64_t last = integer % 10;
        up = last >= 5;
        near = last == 4 && !IsExactPower(k) && one - fraction < 3;
    }
    if (near) {
        const std::optional<bool> atLeast = AtLeastHalfway(m, q, result.digits, result.exponent);
        if (!atLeast) return std::nullopt;
        up = *atLeast;
    }
    if (up && ++result.digits == kTenTo15) result = {kTenTo14, result.exponent + 1};
    return result;
}

// digits * 10^exponent rounded to the nearest extended value, ties to even,
// as ParseNumber reads the text of those digits. nullopt when a 128-bit
// power of ten cannot decide the rounding, or the value is subnormal.
struct ReadBack {
    long double value = 0.0L;
    bool overflows = false;
};

std::optional<ReadBack> ToNearestExtended(const FifteenDigits& decimal, bool negative) {
    if (decimal.exponent >= -kMaxExactPowerOfTen && decimal.exponent <= kMaxExactPowerOfTen) {
        const long double magnitude = ScaleByExactPowerOfTen(decimal.digits, decimal.exponent);
        return ReadBack{negative ? -magnitude : magnitude, false};
    }
    // digits * 10^exponent = (W + digits*t) * 2^(FloorLog2Pow10(exponent) - 127)
    // with W = digits * T of at most 178 bits; top = floor(W / 2^64) and
    // the value lies in [top, top + 1 + 2^-13) * 2^(FloorLog2Pow10 - 63).
    // Beyond 10^+-27 no such value is halfway between extended values: 5^28 >
    // 2^65, and 10^15 < 5^22 cannot be divided by 5^28.
    const PowerOfTen& power = PowerOfTenEntry(decimal.exponent);
    const Uint128 low = Uint128{decimal.digits} * power.low;
    const Uint128 top = Uint128{decimal.digits} * power.high + (low >> 64);
    const int width = BitWidth(top);  // 110 to 115
    const int dropped = width - 64;
    auto significand = static_cast<std::uint64_t>(top >> dropped);
    const Uint128 rest = top & ((Uint128{1} << dropped) - 1);
    const Uint128 half = Uint128{1} << (dropped - 1);
    int binaryExponent = dropped + FloorLog2Pow10(decimal.exponent) - 63;  // of the lowest bit
    if (rest >= half) {
        if (++significand == 0) {
            significand = kLeadingBit;
            ++binaryExponent;
        }
    } else if (!IsExactPower(decimal.exponent) && half - rest < 2) {
        return std::nullopt;
    }
    const int biasedExponent = binaryExponent + 63 + kExponentBias;
    // Never for a finite x: the largest text, 1.18973149535723E4932, is below
    // the largest extended value.
    if (biasedExponent >= kSpecialExponent) return ReadBack{0.0L, true};
    if (biasedExponent < 1) return std::nullopt;
    return ReadBack{ValueOf({significand, biasedExponent, negative}), false};
}

// How the extended arithmetic rounds, as the x87 control word says.
struct Rounding {
    bool toNearest = false;
    bool fullPrecision = false;  // to 64 bits, not to a double's or a float's
};

Rounding CurrentRounding() {
#if defined(__x86_64__) && defined(__GNUC__)
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return {(control & 0x0C00) == 0, (control & 0x0300) == 0x0300};
#else
    return {std::fegetround() == FE_TONEAREST, false};
#endif
}

// The text path with the caller's fault flags as they were, whatever the C
// library's conversions raise on the way.
TextRoundTrip RoundThroughTextKeepingFlags(long double x) {
    constexpr int kFaultFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
    std::fexcept_t saved{};
    std::fegetexceptflag(&saved, kFaultFlags);
    const TextRoundTrip result = RoundThroughTextSlowly(x);
    std::fesetexceptflag(&saved, kFaultFlags);
    return result;
}

}  // namespace

std::optional<FifteenDigits> RoundToFifteenDigits(long double x) {
    const ExtendedFields fields = FieldsOf(x);
    if (fields.biasedExponent <= 1 || fields.biasedExponent == kSpecialExponent) return {};
    if ((fields.significand & kLeadingBit) == 0) return {};
    return RoundSignificand(fields.significand, fields.biasedExponent - kExponentBias - 63);
}

namespace rounding_detail {

namespace {

constexpr std::array<BinadeScale, kLastScaledBinade - kFirstScaledBinade + 1> MakeBinadeScales() {
    std::array<BinadeScale, kLastScaledBinade - kFirstScaledBinade + 1> scales{};
    for (int e = kFirstScaledBinade; e <= kLastScaledBinade; ++e) {
        // 10^E <= 2^e, so 10^(14-E) scales the binade to [10^14, 2 * 10^15);
        // from the power 10^(E+1) on, if the binade holds it, 10^(13-E)
        // scales it to [10^14, 10^15). Its significand in the binade is the
        // table's T, a power of ten times 2^(127 - e), over 2^64.
        const int decimal = FloorLog10Pow2(e);
        BinadeScale& scale = scales[static_cast<std::size_t>(e - kFirstScaledBinade)];
        scale = {~std::uint64_t{0}, static_cast<std::int8_t>(14 - decimal),
                 static_cast<std::int8_t>(14 - decimal)};
        if (FloorLog2Pow10(decimal + 1) == e) {
            const PowerOfTen& power =
                kPowersOfTen.entries[static_cast<std::size_t>(decimal + 1 + kMaxPower)];
            // An exact power is T / 2^64, rounded up. Below 1 the power is no
            // binary fraction, so it lies strictly between two integers: T is
            // short of it by less than 1 + 2^-100 units, which a low part
            // below 2^64 - 2 leaves in the same unit.
            if (!IsExactPower(decimal + 1) && power.low >= ~std::uint64_t{0} - 1) {
                throw "the threshold is not certain";
            }
            scale.threshold = power.high + (!IsExactPower(decimal + 1) || power.low != 0 ? 1 : 0);
            scale.atLeast = static_cast<std::int8_t>(13 - decimal);
        }
        for (const int k : {scale.below, scale.atLeast}) {
            if (k < -kMaxExactPowerOfTen || k > kLargestScale) throw "no power of ten";
        }
        if (kLargestScale > 2 * kMaxExactPowerOfTen) throw "no product of two";
    }
    return scales;
}

}  // namespace

constexpr std::array<BinadeScale, kLastScaledBinade - kFirstScaledBinade + 1> kBinadeScales =
    MakeBinadeScales();

TextRoundTrip ReadBackDigits(const long double& x, long double shifted, int exponent) {
    const ExtendedFields sum = FieldsOf(shifted);  // of the binade [2^63, 2^64)
    const auto nearest = static_cast<std::int64_t>(sum.significand - 0xC000'0000'0000'0000);
    FifteenDigits decimal{static_cast<std::uint64_t>(nearest < 0 ? -nearest : nearest), exponent};
    // Digits just below 10^15 may round up to it.
    if (decimal.digits == kTenTo15) decimal = {kTenTo14, exponent + 1};
    const std::optional<ReadBack> read = ToNearestExtended(decimal, nearest < 0);
    if (!read) return RoundThroughTextKeepingFlags(x);
    return {read->value, read->overflows};
}

TextRoundTrip RoundByBinaryDigits(long double x) {
    const ExtendedFields fields = FieldsOf(x);
    const bool leadingBit = (fields.significand & kLeadingBit) != 0;
    // Infinities and NaNs are written "INF" and "NAN", which read as no number.
    // The FPU takes an encoding without its leading bit (the unnormals and
    // pseudo-infinities) for a NaN as well.
    if (fields.biasedExponent == kSpecialExponent) return {};
    if (fields.biasedExponent != 0 && !leadingBit) return {};
    // Zero and the subnormals are written "0".
    if (fields.biasedExponent == 0 && !leadingBit) return {};
    // The lowest binade may read back as a subnormal; the pseudo-denormals are
    // the C library's to write. Other rounding modes read back differently.
    if (fields.biasedExponent <= 1 || !CurrentRounding().toNearest) {
        return RoundThroughTextKeepingFlags(x);
    }

    const int q = fields.biasedExponent - kExponentBias - 63;  // x = significand * 2^q
    const std::optional<FifteenDigits> decimal = RoundSignificand(fields.significand, q);
    if (!decimal) return RoundThroughTextKeepingFlags(x);
    const std::optional<ReadBack> read = ToNearestExtended(*decimal, fields.negative);
    if (!read) return RoundThroughTextKeepingFlags(x);
    return {read->value, read->overflows};
}

}  // namespace rounding_detail

TextRoundTrip RoundThroughTextSlowly(long double x) {
    TextRoundTrip result;
    const NumberReading reading = ReadNumber(FormatNumber(x));
    if (reading.value) result.value = *reading.value;
    result.overflows = reading.overflows;
    return result;
}

}  // namespace quantaro
