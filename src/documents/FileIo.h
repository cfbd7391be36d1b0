#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quantaro {

enum class LoadStatus {
    Loaded,   // the file was read
    Missing,  // no file of that name exists
    Failed,   // the file is there but was not read; see errorText
    BadName,  // the name cannot be represented as a file name; see errorText
};

struct FileReadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::string bytes;
    QString errorText;  // names the file and the reason
};

// The largest formula, constant or variable file the program opens.
inline constexpr std::size_t kDocumentFileLimit = std::size_t{16} * 1024 * 1024;

// The whole content of a document file. Only a regular file (after following
// symbolic links) is read; it is opened without blocking, so a FIFO or a
// device is refused instead of waited on, and a file larger than limit is
// refused before any of it is read.
FileReadResult ReadDocumentFile(const QString& path, std::size_t limit = kDocumentFileLimit);

// The first `count` bytes of a regular file (fewer if it is shorter); the
// rest is never read, whatever its size.
FileReadResult ReadFileStart(const QString& path, std::size_t count);

// False only when nothing at all is found at path; a path the system refuses
// to look at (a symbolic link loop, a folder the user may not search) exists.
bool FileExists(const QString& path);

// Whether path is a folder, or a link to one.
bool FolderExists(const QString& path);

// Replaces the file at path by bytes in one step: the new content is written
// beside it (as an unnamed file where the file system allows one) and put in
// its place only when completely written, so a failed or interrupted write
// leaves the previous file as it was and no other file behind. A symbolic link to a
// regular file is written through, the link kept; anything else that is not
// a regular file (a device, a FIFO, a socket, a folder, a link to one, a
// link loop) is refused and left untouched. Returns a text naming the file
// and the reason on failure.
std::optional<QString> WriteFileAtomically(const QString& path, std::string_view bytes);

// WriteFileAtomically in steps, for content made while it is written: the
// file at path is replaced only by commit(), and left as it was when the
// writer goes without one. After the first failure every step fails with the
// same text, so a caller may look only at commit().
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(const QString& path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    std::optional<QString> write(std::string_view bytes);
    std::optional<QString> commit();

  private:
    void createTemporary(std::optional<mode_t> keptMode);
    bool nameUnnamedFile();
    std::optional<QString> fail(const QString& reason);
    // Closes and removes the new file, if there is one.
    void discard();

    QString path_;
    QByteArray finalName_;      // the file replaced on commit
    QByteArray temporaryName_;  // the new content's name until then, if it has one
    int descriptor_ = -1;
    bool unnamed_ = false;        // the new content has no name until the commit
    bool linkedInPlace_ = false;  // the commit linked it in as the target itself
    std::optional<QString> failure_;
};

}  // namespace quantaro
