#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "FileIo.h"
#include "RawFiles.h"
#include "TextEncoding.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>

namespace quantaro {
namespace {

using namespace std::string_literals;
using testing::ReadRaw;
using testing::WriteRaw;

class FileIoTest : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QStringList entries() const {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir_;
};

TEST_F(FileIoTest, ReadsEveryByteOfAFile) {
    const std::string bytes = "0A\0B\x1A\xFF\r\n"s;
    WriteRaw(path("a.FOR"), bytes);
    const FileReadResult read = ReadDocumentFile(path("a.FOR"));
    EXPECT_EQ(read.status, LoadStatus::Loaded);
    EXPECT_EQ(read.bytes, bytes);
    EXPECT_TRUE(read.errorText.isEmpty());
}

TEST_F(FileIoTest, ReadsOnlyARegularFileOfAtMostTheLimitAndNamesWhatItRefuses) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.VAR")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.VAR")));
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.VAR"));
    ASSERT_TRUE(QFile::link(path("loop2.VAR"), path("loop1.VAR")));
    ASSERT_TRUE(QFile::link(path("loop1.VAR"), path("loop2.VAR")));
    ASSERT_TRUE(QFile::link(path("gone.VAR"), path("dangling.VAR")));
    QFile large(path("large.VAR"));  // sparse: costs no disk
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(17 * 1024 * 1024));
    large.close();
    WriteRaw(path("limit.VAR"), std::string(100, 'x'));

    struct Case {
        const char* name;
        LoadStatus status;
        QString text;  // after the path
        std::size_t limit = kDocumentFileLimit;
    };
    const Case cases[] = {
        {"none.VAR", LoadStatus::Missing, ""},
        {"dangling.VAR", LoadStatus::Missing, ""},
        {"fifo.VAR", LoadStatus::Failed, " is not a regular file"},
        {"zero.VAR", LoadStatus::Failed, " is not a regular file"},
        {"folder.VAR", LoadStatus::Failed, " is not a regular file"},
        {"loop1.VAR", LoadStatus::Failed, " cannot be read: Too many levels of symbolic links"},
        {"large.VAR", LoadStatus::Failed, " is too large to open (18 MB; the limit is 16 MB)"},
        {"limit.VAR", LoadStatus::Loaded, "", 100},
        {"limit.VAR", LoadStatus::Failed, " is too large to open (0 MB; the limit is 0 MB)", 99},
    };
    for (const Case& c : cases) {
        const FileReadResult read = ReadDocumentFile(path(c.name), c.limit);
        EXPECT_EQ(read.status, c.status) << c.name;
        EXPECT_EQ(read.errorText, c.text.isEmpty() ? QString() : path(c.name) + c.text) << c.name;
        EXPECT_EQ(read.bytes.size(), c.status == LoadStatus::Loaded ? c.limit : 0) << c.name;
    }
    // Root may read anything, so only another user can see the refusal.
    if (geteuid() != 0) {
        WriteRaw(path("secret.VAR"), "x");
        ASSERT_TRUE(QFile::setPermissions(path("secret.VAR"), {}));
        EXPECT_EQ(ReadDocumentFile(path("secret.VAR")).errorText,
                  path("secret.VAR") + " cannot be read: Permission denied");
    }

    // The start of a file is read whatever its size; the rest is never touched.
    const FileReadResult start = ReadFileStart(path("large.VAR"), 3);
    EXPECT_EQ(start.status, LoadStatus::Loaded);
    EXPECT_EQ(start.bytes, std::string(3, '\0'));
    EXPECT_EQ(ReadFileStart(path("fifo.VAR"), 3).status, LoadStatus::Failed);

    EXPECT_FALSE(FileExists(path("none.VAR")));
    for (const char* there : {"fifo.VAR", "loop1.VAR", "dangling.VAR", "folder.VAR"}) {
        EXPECT_TRUE(FileExists(path(there))) << there;
    }
}

TEST_F(FileIoTest, WriteCreatesOrReplacesTheWholeFile) {
    EXPECT_EQ(WriteFileAtomically(path("x.VAR"), "first content, rather long"), std::nullopt);
    EXPECT_EQ(ReadRaw(path("x.VAR")), "first content, rather long");
    EXPECT_EQ(WriteFileAtomically(path("x.VAR"), "new\0\x1A"s), std::nullopt);
    EXPECT_EQ(ReadRaw(path("x.VAR")), "new\0\x1A"s);
    EXPECT_EQ(WriteFileAtomically(path("x.VAR"), ""), std::nullopt);
    EXPECT_EQ(ReadRaw(path("x.VAR")), "");
    EXPECT_EQ(entries(), QStringList{"x.VAR"});
}

TEST_F(FileIoTest, FailedWriteReportsTheReasonAndCreatesNothing) {
    const auto error = WriteFileAtomically(path("no-such-folder/x.FOR"), "0\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_TRUE(entries().isEmpty());
}

TEST_F(FileIoTest, WriteReplacesOnlyARegularFileAndWritesThroughALinkToOne) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.VAR")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.VAR"));
    WriteRaw(path("folder.VAR/inside"), "kept");
    std::vector<const char*> names = {"fifo.VAR", "folder.VAR"};
    // A device of its own for root, for whom a fault here would replace the
    // system's /dev/null; any other user may not replace that one.
    if (mknod(QFile::encodeName(path("null.VAR")).constData(), S_IFCHR | 0666, makedev(1, 3)) ==
            0 ||
        (geteuid() != 0 && QFile::link("/dev/null", path("null.VAR")))) {
        names.push_back("null.VAR");
    }
    for (const char* name : names) {
        const QFileInfo before(path(name));
        EXPECT_EQ(WriteFileAtomically(path(name), "  \r\n"), path(name) + " is not a regular file")
            << name;
        const QFileInfo after(path(name));
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << name;
        EXPECT_EQ(after.isDir(), before.isDir()) << name;
        EXPECT_EQ(after.isFile(), before.isFile()) << name;
    }
    EXPECT_EQ(ReadRaw(path("folder.VAR/inside")), "kept");

    WriteRaw(path("target.VAR"), "old");
    ASSERT_TRUE(QFile::link(path("target.VAR"), path("link.VAR")));
    EXPECT_EQ(WriteFileAtomically(path("link.VAR"), "new"), std::nullopt);
    EXPECT_TRUE(QFileInfo(path("link.VAR")).isSymLink());
    EXPECT_EQ(ReadRaw(path("target.VAR")), "new");
}

// Lowers the largest file size this process may write, so that a write fails
// part way through even when running as root.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST_F(FileIoTest, WriteCutShortKeepsThePreviousFile) {
    WriteRaw(path("old.VAR"), "previous content");
    std::optional<QString> error;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        error = WriteFileAtomically(path("old.VAR"), std::string(5000, 'x'));
    }
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_EQ(ReadRaw(path("old.VAR")), "previous content");
    EXPECT_EQ(entries(), QStringList{"old.VAR"});
}

TEST(TextEncodingTest, KeepsValidUtf8ByteForByte) {
    std::string ascii;
    for (int byte = 0; byte < 0x80; ++byte) {
        ascii += static_cast<char>(byte);
    }
    EXPECT_EQ(DecodeFileText(ascii), ascii);
    EXPECT_EQ(DecodeFileText(""), "");
    const std::string utf8 =
        "\xEF\xBB\xBF"
        "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\r\n";
    EXPECT_EQ(DecodeFileText(utf8), utf8);
}

TEST(TextEncodingTest, ReadsAnythingElseAsLatin1) {
    EXPECT_EQ(DecodeFileText("caf\xE9 \xB0"
                             "C"),
              "caf\xC3\xA9 \xC2\xB0"
              "C");
    EXPECT_EQ(DecodeFileText("\x80\xFF"), "\xC2\x80\xC3\xBF");
    // One bad sequence turns the whole text to Latin-1, valid-looking pairs included.
    EXPECT_EQ(DecodeFileText("\xC3\xA9\xE9"), "\xC3\x83\xC2\xA9\xC3\xA9");
    EXPECT_EQ(DecodeFileText("ab\xC3"), "ab\xC3\x83");                      // cut-off sequence
    EXPECT_EQ(DecodeFileText("\xC0\xAF"), "\xC3\x80\xC2\xAF");              // overlong form
    EXPECT_EQ(DecodeFileText("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // surrogate
}

}  // namespace
}  // namespace quantaro
