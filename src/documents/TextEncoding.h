#pragma once

#include <string>
#include <string_view>

namespace quantaro {

// Document files hold UTF-8, or bytes of a single-byte character set from
// elsewhere, read as Latin-1 so that no byte is lost. The program holds UTF-8.
// The character set a file was read in is remembered, so that the file is
// written back in it.
enum class FileEncoding { Utf8, Latin1 };

// UTF-8 for bytes that are valid UTF-8, Latin-1 for anything else.
FileEncoding EncodingOf(std::string_view bytes);

// Each byte as the Latin-1 character of that code, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes);

// Turns the bytes of a document file read in encoding into the text the
// program holds: UTF-8 is kept byte for byte (so ASCII files are unchanged,
// and the bytes are moved, not copied); Latin-1 is converted.
std::string DecodeFileText(std::string bytes, FileEncoding encoding);
// The same, in the encoding the bytes themselves show.
std::string DecodeFileText(std::string bytes);

// The bytes to write for UTF-8 text: Latin-1 when that is asked for and
// every character has a Latin-1 code, so that a file from elsewhere keeps
// its bytes; otherwise the UTF-8 text itself.
std::string EncodeFileText(std::string utf8, FileEncoding encoding);

}  // namespace quantaro
