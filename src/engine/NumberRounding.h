#pragma once

#include <cstdint>
#include <optional>

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
// flags; leaves the rounding mode as it found it.
TextRoundTrip RoundThroughText(long double x);

// The same through the text itself: FormatNumber, then ParseNumber with its
// overflow fault caught. May raise floating-point flags.
TextRoundTrip RoundThroughTextSlowly(long double x);

}  // namespace quantaro
