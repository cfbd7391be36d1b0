#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quantaro {

// Reads a text strictly as a 32-bit signed integer: leading blanks, an
// optional "+" or "-", then decimal digits, or "$" and hexadecimal digits.
// Nothing else may follow. Returns nothing for any other text and for a
// number outside the 32-bit range.
std::optional<std::int32_t> ReadInteger32(std::string_view text);

// The number of loops a mantissa and a power of ten give, in the program's
// one text form of numbers: "5000" for 5 and 3, "1E15" for 1 and 15.
std::string LoopCountText(int mantissa, int powerOfTen);

}  // namespace quantaro
