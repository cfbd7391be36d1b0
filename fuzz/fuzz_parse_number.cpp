// ParseNumber, IsNumberText, LongestNumberPrefix and FormatNumber on
// arbitrary bytes: the three recognisers must agree, and every number text
// FormatNumber writes must read back as the same number.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace {

using quantaro::fuzz::PrintEscaped;
using quantaro::fuzz::WellInsideRange;

// Magnitudes well inside the normal extended range, where a 15-digit text
// read back and written again must give the same text.
// Reads a number text that is known to be accepted; a fault counts as a
// failure only when the caller says the text must be in range.
std::optional<long double> ParseAccepted(std::string_view text) {
    try {
        return quantaro::ParseNumber(text);
    } catch (const quantaro::FloatingPointFault&) {
        return std::nullopt;
    }
}

// Every text FormatNumber writes for a finite value is a number that reads
// back to (nearly) the value and is written again as the same text.
void CheckFormatted(long double value) {
    const std::string text = quantaro::FormatNumber(value);
    if (!quantaro::IsNumberText(text)) {
        PrintEscaped("formatted", text);
        FUZZ_CHECK(false, "FormatNumber wrote a text that is not a number");
    }
    FUZZ_CHECK(text.size() <= 23, "FormatNumber wrote more than 15 digits and an exponent");
    const std::optional<long double> back = ParseAccepted(text);
    if (!back) {
        PrintEscaped("formatted", text);
        FUZZ_CHECK(false, "the text FormatNumber wrote overflows when read back");
    }
    if (!WellInsideRange(value)) return;
    const std::string again = quantaro::FormatNumber(*back);
    if (again != text) {
        PrintEscaped("formatted", text);
        PrintEscaped("formatted again", again);
        FUZZ_CHECK(false, "the 15-digit form is not stable when read back");
    }
    const long double difference = std::fabs(*back - value);
    FUZZ_CHECK(difference <= std::fabs(value) * 1e-14L, "the text is not the value");
}

// The 80-bit value in the first ten bytes, when they hold one that arithmetic
// can produce: infinities, not-a-numbers and the encodings the x87 rejects
// (unnormals, pseudo-denormals) are skipped.
std::optional<long double> ExtendedFromBytes(const std::uint8_t* data, std::size_t size) {
    if (size < 10) return std::nullopt;
    std::uint64_t mantissa;
    std::uint16_t signAndExponent;
    std::memcpy(&mantissa, data, 8);
    std::memcpy(&signAndExponent, data + 8, 2);
    const unsigned exponent = signAndExponent & 0x7FFFu;
    const bool integerBit = (mantissa >> 63) != 0;
    if (exponent == 0x7FFFu) return std::nullopt;
    if ((exponent == 0) == integerBit) return std::nullopt;
    long double value = 0.0L;
    std::memcpy(&value, data, 10);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    bool accepted = false;
    bool overflowed = false;
    long double value = 0.0L;
    try {
        if (const std::optional<long double> parsed = quantaro::ParseNumber(text)) {
            accepted = true;
            value = *parsed;
        }
    } catch (const quantaro::FloatingPointFault& fault) {
        // Only an accepted text beyond the extended range may fault.
        FUZZ_CHECK(fault.kind() == quantaro::FaultKind::Overflow,
                   "ParseNumber raised a fault other than overflow");
        accepted = true;
        overflowed = true;
    }

    if (quantaro::IsNumberText(text) != accepted) {
        PrintEscaped("text", text);
        FUZZ_CHECK(false, "IsNumberText and ParseNumber disagree");
    }

    // Formula words never start with a blank; for them the longest number
    // prefix is the whole word exactly when the word is a number.
    const std::size_t longest = quantaro::LongestNumberPrefix(text);
    FUZZ_CHECK(longest <= text.size(), "LongestNumberPrefix is longer than the text");
    if (!text.empty() && text.front() != ' ') {
        if ((longest == text.size()) != accepted) {
            PrintEscaped("text", text);
            FUZZ_CHECK(false, "LongestNumberPrefix and ParseNumber disagree on the whole text");
        }
        // On short texts, compare with trying every prefix from the longest down.
        if (text.size() <= 64) {
            std::size_t expected = text.size();
            while (expected > 0 && !quantaro::IsNumberText(text.substr(0, expected))) --expected;
            if (expected != longest) {
                PrintEscaped("text", text);
                FUZZ_CHECK(false, "LongestNumberPrefix is not the longest accepted prefix");
            }
        }
    }

    if (accepted && !overflowed) {
        FUZZ_CHECK(std::isfinite(value), "ParseNumber gave a value that is not finite");
        CheckFormatted(value);
    }

    if (const std::optional<long double> raw = ExtendedFromBytes(data, size)) {
        CheckFormatted(*raw);
    }
    return 0;
}
