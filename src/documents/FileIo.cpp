#include "FileIo.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quantaro {

FileReadResult ReadFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a file that is there and still cannot be opened is a failure.
        if (!QFileInfo::exists(path)) return {LoadStatus::Missing, {}, {}};
        return {LoadStatus::Failed, {}, file.errorString()};
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        return {LoadStatus::Failed, {}, file.errorString()};
    }
    return {LoadStatus::Loaded,
            std::string(data.constData(), static_cast<std::size_t>(data.size())),
            {}};
}

std::optional<QString> WriteFileAtomically(const QString& path, std::string_view bytes) {
    QSaveFile file(path);
    // Unbuffered, so that every write reaches the system and a short write is
    // seen here; a buffered write that fails on flush would still be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    const char* next = bytes.data();
    auto remaining = static_cast<qint64>(bytes.size());
    while (remaining > 0) {
        // A short write (a full disk, a size limit) is no error by itself;
        // writing the rest either completes or fails with the reason.
        const qint64 written = file.write(next, remaining);
        if (written <= 0) {
            const QString error = file.errorString();
            file.cancelWriting();
            return error;
        }
        next += written;
        remaining -= written;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}

}  // namespace quantaro
