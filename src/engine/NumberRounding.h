#pragma once

namespace quantaro {

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
