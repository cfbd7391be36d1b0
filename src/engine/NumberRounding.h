#pragma once

namespace quantaro {

// What reading back a stored result's text gives.
struct TextRoundTrip {
    long double value = 0.0L;  // ParseNumber(FormatNumber(x)), 0 when that text is no number
    bool overflows = false;    // reading the text would raise the overflow fault
};

TextRoundTrip RoundThroughText(long double x);

}  // namespace quantaro
