#pragma once

#include <string_view>

namespace quantaro {

// A byte 0x1A ends every document file: it is not part of the content and
// nothing after it is read.
inline constexpr char kEndOfFileMark = '\x1A';

// The bytes that come before the first end-of-file mark (all of them if there is none).
std::string_view ContentBeforeEndMark(std::string_view bytes);

}  // namespace quantaro
