#include "TextEncoding.h"

#include <QByteArrayView>
#include <QString>

namespace quantaro {

std::string DecodeFileText(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (view.isValidUtf8()) {
        return std::string(bytes);
    }
    const QByteArray utf8 = QString::fromLatin1(view).toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

}  // namespace quantaro
