#include "documents/FileIo.h"

#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <variant>

#include "documents/FileName.h"

namespace quantaro {
namespace {

// The longest chain of symbolic links followed, as the system's own limit.
constexpr int kMostLinks = 40;

QString Shown(const QString& path) {
    return ShownFileName(path);
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

// A size in binary megabytes, the unit the limit is set in: whole when it
// is whole, else to a tenth, rounded up so that a size over the limit never
// shows as the limit itself.
QString Mebibytes(std::size_t bytes) {
    constexpr std::size_t kMebibyte = 1024 * 1024;
    const std::size_t tenths =
        (bytes / kMebibyte) * 10 + ((bytes % kMebibyte) * 10 + kMebibyte - 1) / kMebibyte;
    if (tenths % 10 == 0) return QString::number(tenths / 10);
    return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10);
}

FileReadResult TooLarge(const QString& path, std::size_t size, std::size_t limit) {
    return Refused(QStringLiteral("%1 is too large to open (%2 MiB; the limit is %3 MiB)")
                       .arg(Shown(path), Mebibytes(size), Mebibytes(limit)));
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
    const std::optional<QByteArray> bytesOfName = FileNameBytes(path);
    if (!bytesOfName) return {LoadStatus::BadName, {}, UnrepresentableNameText(path)};
    const QByteArray& name = *bytesOfName;
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
    if (oversize == Oversize::Refuse && size > limit) return TooLarge(path, size, limit);

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
    const std::optional<QByteArray> name = FileNameBytes(path);
    struct stat info {};
    return name && (::lstat(name->constData(), &info) == 0 || errno != ENOENT);
}

bool FolderExists(const QString& path) {
    const std::optional<QByteArray> name = FileNameBytes(path);
    struct stat info {};
    return name && ::stat(name->constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<QString> WriteFileAtomically(const QString& path, std::string_view bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit();
}

namespace {

// The file a write to name replaces: name itself, or, when name is a
// symbolic link, the end of its chain of links, which may not exist yet.
// The system's error when the chain does not end.
std::variant<QByteArray, int> FinalTarget(QByteArray name) {
    for (int links = 0; links <= kMostLinks; ++links) {
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) return name;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(name.constData(), target.data(), target.size());
        if (length < 0) return errno;
        target.truncate(length);
        if (!target.startsWith('/')) {
            const qsizetype slash = name.lastIndexOf('/');
            if (slash >= 0) target.prepend(name.left(slash + 1));
        }
        name = target;
    }
    return ELOOP;
}

}  // namespace

// Written on the system's calls rather than QSaveFile, which takes a name
// only as Qt decodes it and so could not write a file whose name is not
// UTF-8; it does what QSaveFile does: a new file beside the old one,
// flushed to the disk, then renamed over it.
AtomicFileWriter::AtomicFileWriter(const QString& path) : path_(path) {
    const std::optional<QByteArray> name = FileNameBytes(path);
    if (!name) {
        failure_ = UnrepresentableNameText(path);
        return;
    }
    struct stat info {};
    const bool exists = ::stat(name->constData(), &info) == 0;
    // A path the system refuses to follow (a link loop, a folder that may
    // not be searched) is refused as reading it would be, links untouched.
    if (!exists && errno != ENOENT) {
        fail(qt_error_string(errno));
        return;
    }
    if (exists && !S_ISREG(info.st_mode)) {
        failure_ = NotRegularText(path);
        return;
    }
    // A file the user may not write to is not replaced, though its folder
    // would allow it.
    if (exists && ::access(name->constData(), W_OK) != 0) {
        fail(qt_error_string(errno));
        return;
    }
    const std::variant<QByteArray, int> target = FinalTarget(*name);
    if (const int* error = std::get_if<int>(&target)) {
        fail(qt_error_string(*error));
        return;
    }
    finalName_ = std::get<QByteArray>(target);
    createTemporary(exists ? std::optional<mode_t>(info.st_mode & 07777) : std::nullopt);
}

namespace {

// The folder a file's bytes name it in: "." for a bare name.
QByteArray FolderBytes(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : name.left(slash);
}

// A name beside `beside`, in its folder, that is short whatever its length:
// a name of 255 bytes leaves no room for a suffix.
QByteArray TemporaryNameBeside(const QByteArray& beside) {
    const qsizetype slash = beside.lastIndexOf('/');
    return beside.left(slash + 1) + ".quantaro-" +
           QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

// How a file open only by its descriptor is named for linking it.
QByteArray DescriptorPath(int descriptor) {
    return "/proc/self/fd/" + QByteArray::number(descriptor);
}

}  // namespace

// The new content is first an unnamed file in the target's folder, where
// the file system allows one: whatever ends the program before the commit,
// even SIGKILL, leaves nothing behind. Elsewhere it is a file of a short
// name beside the target, removed when the writer goes.
void AtomicFileWriter::createTemporary(std::optional<mode_t> keptMode) {
    // A new file is created as any is, so that the user's umask applies;
    // one that replaces a file is private until it has that file's
    // permissions.
    const mode_t mode = keptMode ? 0600 : 0666;
    descriptor_ =
        ::open(FolderBytes(finalName_).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    // Linking it in needs /proc.
    if (descriptor_ >= 0 && ::access(DescriptorPath(descriptor_).constData(), F_OK) != 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
    unnamed_ = descriptor_ >= 0;
    for (int attempt = 0; descriptor_ < 0 && attempt < 100; ++attempt) {
        temporaryName_ = TemporaryNameBeside(finalName_);
        descriptor_ = ::open(temporaryName_.constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (descriptor_ < 0 && errno != EEXIST) break;
    }
    if (descriptor_ < 0) {
        temporaryName_.clear();
        fail(qt_error_string(errno));
        return;
    }
    // The file replaced keeps its permissions.
    if (keptMode && ::fchmod(descriptor_, *keptMode) != 0) fail(qt_error_string(errno));
}

// An unnamed file is linked under a temporary name beside the target, to be
// renamed over it; a target that does not exist yet is linked in directly.
bool AtomicFileWriter::nameUnnamedFile() {
    const QByteArray self = DescriptorPath(descriptor_);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, finalName_.constData(), AT_SYMLINK_FOLLOW) ==
        0) {
        linkedInPlace_ = true;
        return true;
    }
    if (errno != EEXIST) return false;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName_ = TemporaryNameBeside(finalName_);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, temporaryName_.constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        if (errno != EEXIST) break;
    }
    const int error = errno;
    temporaryName_.clear();
    errno = error;
    return false;
}

// A writer that goes without a commit removes what it wrote.
AtomicFileWriter::~AtomicFileWriter() {
    discard();
}

void AtomicFileWriter::discard() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    if (!temporaryName_.isEmpty()) ::unlink(temporaryName_.constData());
    temporaryName_.clear();
}

std::optional<QString> AtomicFileWriter::fail(const QString& reason) {
    failure_ = QStringLiteral("%1 cannot be written: %2").arg(Shown(path_), reason);
    discard();
    return failure_;
}

std::optional<QString> AtomicFileWriter::write(std::string_view bytes) {
    if (failure_) return failure_;
    const char* next = bytes.data();
    std::size_t remaining = bytes.size();
    while (remaining > 0) {
        // A short write (a full disk, a size limit) is no error by itself;
        // writing the rest either completes or fails with the reason.
        const ssize_t written = ::write(descriptor_, next, remaining);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return fail(qt_error_string(written < 0 ? errno : EIO));
        next += written;
        remaining -= static_cast<std::size_t>(written);
    }
    return std::nullopt;
}

std::optional<QString> AtomicFileWriter::commit() {
    if (failure_) return failure_;
    if (::fsync(descriptor_) != 0) return fail(qt_error_string(errno));
    if (unnamed_ && !nameUnnamedFile()) return fail(qt_error_string(errno));
    const int closed = ::close(descriptor_);
    descriptor_ = -1;
    if (closed != 0) {
        const int error = errno;
        // A file already in the target's place may be incomplete.
        if (linkedInPlace_) ::unlink(finalName_.constData());
        return fail(qt_error_string(error));
    }
    if (!linkedInPlace_ && ::rename(temporaryName_.constData(), finalName_.constData()) != 0) {
        return fail(qt_error_string(errno));
    }
    temporaryName_.clear();
    return std::nullopt;
}

}  // namespace quantaro
