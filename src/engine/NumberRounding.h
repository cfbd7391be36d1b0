#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <optional>

#include "engine/Numbers.h"

namespace quantaro {

// A value's fifteen significant digits, rounded half away from zero as
// FormatNumber writes them: |value| ~ digits * 10^exponent.
struct FifteenDigits {
    std::uint64_t digits = 0;  // 10^14 <= digits < 10^15
    int exponent = 0;
};

// The fifteen digits of a normal value from its binary digits, exactly, by
// one 128-bit scaling. Nothing for zero, subnormals, the lowest binade,
// infinities, NaNs and the encodings the FPU does not produce, and for the
// rare values too close to halfway for the scaling to tell; only the exact
// text conversion gives those. Independent of the rounding mode; raises no
// flag.
std::optional<FifteenDigits> RoundToFifteenDigits(long double x);

// What reading back a stored result's text gives.
struct TextRoundTrip {
    long double value = 0.0L;  // ParseNumber(FormatNumber(x)), 0 when that text is no number
                               // (NAN, INF) and when reading it overflows
    bool overflows = false;    // reading the text would raise the overflow fault
};

// The value a result keeps after FormatNumber and ParseNumber, bit for bit,
// computed from its binary digits: no text is made except in rare hard cases.
// Never throws and never raises the invalid, division-by-zero or overflow
// flags; leaves the rounding mode as it found it. Inline, since every stored
// result takes it: see below.
inline TextRoundTrip RoundThroughText(const long double& x);

// The same through the text itself: FormatNumber, then ParseNumber with its
// overflow fault caught. May raise floating-point flags.
TextRoundTrip RoundThroughTextSlowly(long double x);

namespace rounding_detail {

// How the powers of ten scale a value of the binade [2^e, 2^(e+1)) to
// fifteen integer digits: by 10^below when its significand is below
// threshold, else (the binade holds a power of ten, and the value is at
// least that power) by 10^atLeast.
struct BinadeScale {
    std::uint64_t threshold;
    std::int8_t below;
    std::int8_t atLeast;
};
// The binades, about 1.6E-27 to 6.9E41, whose scales are exact powers of ten
// or, below 1.1E-13, the products of two.
inline constexpr int kFirstScaledBinade = -89;
inline constexpr int kLastScaledBinade = 138;
inline constexpr int kLargestScale = 41;
extern const std::array<BinadeScale, kLastScaledBinade - kFirstScaledBinade + 1> kBinadeScales;

// Every value the powers of ten do not round, and those too near to halfway
// for them: from the binary digits, and in rare hard cases through the text.
// Out of line, so that the common case costs no more than its own
// arithmetic.
TextRoundTrip RoundByBinaryDigits(long double x);

// What ParseNumber reads fifteen digits times 10^exponent as, for an
// exponent below -27, where no exact power divides them: the digits are
// shifted - 1.5 * 2^63, signed as x is. Digits too near to halfway between
// two extended values for the 128-bit powers to tell take x's text.
TextRoundTrip ReadBackDigits(const long double& x, long double shifted, int exponent);

// Whether the extended arithmetic rounds to nearest with the full 64 bits,
// as the x87 control word says.
inline bool RoundsToNearestInFullPrecision() {
#if defined(__x86_64__) && defined(__GNUC__)
    unsigned short control = 0;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return (control & 0x0F00) == 0x0300;
#else
    return false;
#endif
}

// The common case: a value x = m * 2^q of a scaled binade e (2^63 <= m),
// rounding to nearest with full precision. Scaled to fifteen integer digits
// by the power 10^k, and rounded to an integer, it gives the digits
// FormatNumber writes; scaled back by the same exact power, what ParseNumber
// reads them as, since both round the same digits times the same power once.
// The scaled value lies below 10^15 < 2^50, so one scaling errs by at most
// 2^-15 and two (10^27, then 10^(k-27)) by less than 2^-13, and a fraction
// farther than 2^-12 from one half rounds as the exact value's does. Nearer
// to one half (exact halfway values among them), nothing: the caller takes
// the binary digits. Beyond 10^27 the digits are read back from their bits.
//
// A value whose scaling is an integer, such as 120 or -0.75, has fifteen
// digits or fewer and reads back as itself: x * 10^k = m * 5^k * 2^(e-63+k)
// is an integer when m has at least 63 - e - k trailing zero bits (k >= 0).
inline bool RoundByPowerOfTen(const long double& x, std::uint64_t m, int e, TextRoundTrip& result) {
    const BinadeScale& scale = kBinadeScales[static_cast<std::size_t>(e - kFirstScaledBinade)];
    const int k = m >= scale.threshold ? scale.atLeast : scale.below;
    if (k >= 0 && e - 63 + std::countr_zero(m) + k >= 0) {
        result = {x, false};
        return true;
    }
    const long double scaled =
        k <= kMaxExactPowerOfTen
            ? ScaleByExactPowerOfTen(x, k)
            : ScaleByExactPowerOfTen(ScaleByExactPowerOfTen(x, kMaxExactPowerOfTen),
                                     k - kMaxExactPowerOfTen);
    // The sum lies in [2^63, 2^64), where the spacing is 1, so it rounds to
    // the nearest integer whatever the sign.
    constexpr long double kRoundingShift = 0x1.8p63L;
    const long double shifted = scaled + kRoundingShift;
    const long double nearest = shifted - kRoundingShift;
    const long double fraction = scaled - nearest;  // exact
    if (__builtin_fabsl(fraction) > 0.5L - 0x1p-12L) return false;
    result = k <= kMaxExactPowerOfTen ? TextRoundTrip{ScaleByExactPowerOfTen(nearest, -k), false}
                                      : ReadBackDigits(x, shifted, -k);
    return true;
}

}  // namespace rounding_detail

inline TextRoundTrip RoundThroughText(const long double& x) {
    namespace d = rounding_detail;
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&x);
    __builtin_memcpy(&significand, bytes, sizeof significand);
    __builtin_memcpy(&signAndExponent, bytes + 8, sizeof signAndExponent);
    // Either zero is written "0".
    if ((signAndExponent & 0x7FFF) == 0 && significand == 0) return {};
    const int e = (signAndExponent & 0x7FFF) - 16383;
    // The leading bit: the encodings without it are no values of the
    // arithmetic, and take the binary digits' way.
    if (e >= d::kFirstScaledBinade && e <= d::kLastScaledBinade &&
        static_cast<std::int64_t>(significand) < 0 && d::RoundsToNearestInFullPrecision()) {
        TextRoundTrip result;
        if (d::RoundByPowerOfTen(x, significand, e, result)) return result;
    }
    return d::RoundByBinaryDigits(x);
}

}  // namespace quantaro
