#include "documents/FileIo.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace quantaro {
namespace {

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString NotRegularText(const QString& path) {
    return QStringLiteral("%1 is not a regular file").arg(Shown(path));
}

FileReadResult Refused(QString text) {
    return {LoadStatus::Failed, {}, std::move(text)};
}

// What opening or reading the file failing with error means: missing, or
// refused with the system's reason.
FileReadResult ReadFailure(const QString& path, int error) {
    if (error == ENOENT) return {LoadStatus::Missing, {}, {}};
    return Refused(
        QStringLiteral("%1 cannot be read: %2").arg(Shown(path), qt_error_string(error)));
}

// Sizes in whole megabytes of a million bytes; the limit is a round number
// of binary megabytes.
FileReadResult TooLarge(const QString& path, qint64 size, std::size_t limit) {
    const auto megabytes = static_cast<qint64>(std::llround(static_cast<double>(size) / 1e6));
    return Refused(QStringLiteral("%1 is too large to open (%2 MB; the limit is %3 MB)")
                       .arg(Shown(path))
                       .arg(megabytes)
                       .arg(limit / (1024 * 1024)));
}

// Closes the descriptor it holds when it goes.
class FileDescriptor {
  public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0) ::close(descriptor_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return descriptor_; }

  private:
    int descriptor_;
};

// read(2), resumed after a signal.
ssize_t ReadSome(int descriptor, char* into, std::size_t count) {
    ssize_t got = 0;
    do {
        got = ::read(descriptor, into, count);
    } while (got < 0 && errno == EINTR);
    return got;
}

enum class Oversize { Refuse, Truncate };

// Reads at most `limit` bytes, into a buffer of the size the system reports,
// so that reading a file costs its size once. A file that grows while it is
// read is taken as long as it was when it was opened.
FileReadResult ReadRegularFile(const QString& path, std::size_t limit, Oversize oversize) {
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    // Looked at before opening, so that opening cannot touch a device.
    if (::stat(name.constData(), &info) != 0) return ReadFailure(path, errno);
    if (!S_ISREG(info.st_mode)) return Refused(NotRegularText(path));

    FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return ReadFailure(path, errno);
    // The path may have been replaced between the two looks.
    if (::fstat(file.get(), &info) != 0) return ReadFailure(path, errno);
    if (!S_ISREG(info.st_mode)) return Refused(NotRegularText(path));
    const auto size = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
    if (oversize == Oversize::Refuse && size > limit) return TooLarge(path, info.st_size, limit);

    std::string bytes(std::min(size, limit), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ReadSome(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0) return ReadFailure(path, errno);
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return {LoadStatus::Loaded, std::move(bytes), {}};
}

}  // namespace

FileReadResult ReadDocumentFile(const QString& path, std::size_t limit) {
    return ReadRegularFile(path, limit, Oversize::Refuse);
}

FileReadResult ReadFileStart(const QString& path, std::size_t count) {
    return ReadRegularFile(path, count, Oversize::Truncate);
}

bool FileExists(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 || errno != ENOENT;
}

std::optional<QString> WriteFileAtomically(const QString& path, std::string_view bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        failure_ = NotRegularText(path);
        return;
    }
    file_ = std::make_unique<QSaveFile>(path);
    // Unbuffered, so that every write reaches the system and a short write is
    // seen here; a buffered write that fails on flush would still be committed.
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) fail(file_->errorString());
}

// A QSaveFile that goes uncommitted removes what it wrote.
AtomicFileWriter::~AtomicFileWriter() = default;

std::optional<QString> AtomicFileWriter::fail(const QString& reason) {
    failure_ = QStringLiteral("%1 cannot be written: %2").arg(Shown(path_), reason);
    if (file_->isOpen()) file_->cancelWriting();
    return failure_;
}

std::optional<QString> AtomicFileWriter::write(std::string_view bytes) {
    if (failure_) return failure_;
    const char* next = bytes.data();
    auto remaining = static_cast<qint64>(bytes.size());
    while (remaining > 0) {
        // A short write (a full disk, a size limit) is no error by itself;
        // writing the rest either completes or fails with the reason.
        const qint64 written = file_->write(next, remaining);
        if (written <= 0) return fail(file_->errorString());
        next += written;
        remaining -= written;
    }
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::commit() {
    if (failure_) return failure_;
    if (!file_->commit()) return fail(file_->errorString());
    return std::nullopt;
}

}  // namespace quantaro
