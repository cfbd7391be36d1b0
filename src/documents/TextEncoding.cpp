#include "TextEncoding.h"

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

namespace quantaro {
namespace {

bool IsValidUtf8(QByteArrayView bytes) {
    // Stateless: a sequence cut off at the end is an error, not a pending state.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString decoded = decoder(bytes);
    return !decoder.hasError();
}

}  // namespace

std::string DecodeFileText(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (IsValidUtf8(view)) {
        return std::string(bytes);
    }
    const QByteArray utf8 = QString::fromLatin1(view).toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace quantaro
