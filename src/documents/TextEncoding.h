#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// Turns the bytes of a document file into the UTF-8 text the program holds.
// Valid UTF-8 is kept byte for byte (so ASCII files are unchanged); anything
// else is taken as Latin-1, one character per byte, so that no byte of a file
// written in a single-byte character set is lost.
std::string DecodeFileText(std::string_view bytes);

}  // namespace quantaro
