#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// Document files hold UTF-8, or bytes of a single-byte character set from
// elsewhere, read as Latin-1 so that no byte is lost. The program holds UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Each byte as the Latin-1 character of that code, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// Turns the bytes of a document file into the text the program holds: valid
// UTF-8 is kept byte for byte (so ASCII files are unchanged, and the bytes
// are moved, not copied); anything else is taken as Latin-1.
std::string DecodeFileText(std::string bytes);

}  // namespace quantaro
