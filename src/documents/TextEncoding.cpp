#include "documents/TextEncoding.h"

#include <QByteArrayView>

#include <algorithm>
#include <optional>
#include <utility>

namespace quantaro {

FileEncoding EncodingOf(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return view.isValidUtf8() ? FileEncoding::Utf8 : FileEncoding::Latin1;
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

std::string DecodeFileText(std::string bytes, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8) return bytes;
    return Latin1ToUtf8(bytes);
}

std::string DecodeFileText(std::string bytes) {
    const FileEncoding encoding = EncodingOf(bytes);
    return DecodeFileText(std::move(bytes), encoding);
}

namespace {

// Characters up to U+00FF take one or two bytes in UTF-8, the two-byte ones
// led by 0xC2 or 0xC3.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto code = static_cast<unsigned char>(utf8[i]);
        if (code < 0x80) {
            bytes += utf8[i];
            continue;
        }
        if ((code != 0xC2 && code != 0xC3) || i + 1 == utf8.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        bytes += static_cast<char>(((code & 0x03) << 6) | (next & 0x3F));
    }
    return bytes;
}

}  // namespace

std::string EncodeFileText(std::string utf8, FileEncoding encoding) {
    if (encoding == FileEncoding::Latin1) {
        if (std::optional<std::string> latin1 = Utf8ToLatin1(utf8)) return std::move(*latin1);
    }
    return utf8;
}

}  // namespace quantaro
