#include "TextEncoding.h"

#include <QByteArrayView>

#include <algorithm>

namespace quantaro {

bool IsValidUtf8(std::string_view bytes) {
    return QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
}

// Written out rather than through QString, whose UTF-16 copy would double
// the memory that reading a large file costs.
std::string Latin1ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + static_cast<std::size_t>(std::count_if(
                                    bytes.begin(), bytes.end(), [](char c) { return c & 0x80; })));
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return text;
}

std::string DecodeFileText(std::string bytes) {
    if (IsValidUtf8(bytes)) return bytes;
    return Latin1ToUtf8(bytes);
}

}  // namespace quantaro
