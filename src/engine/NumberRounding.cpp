#include "engine/NumberRounding.h"

#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro {

// Placeholder until the fast path lands: the text round trip itself.
TextRoundTrip RoundThroughText(long double x) {
    try {
        return {ParseNumber(FormatNumber(x)).value_or(0.0L), false};
    } catch (const FloatingPointFault&) {
        return {0.0L, true};
    }
}

}  // namespace quantaro
