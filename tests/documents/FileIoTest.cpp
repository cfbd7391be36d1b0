#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <string>
#include <utility>
#include <vector>

#include "RawFiles.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "documents/TextEncoding.h"

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

TEST_F(FileIoTest, ReadsOnlyARegularFileWithinTheLimitAndNamesWhatItRefuses) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero")) && QDir(dir_.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link(path("loop"), path("loop")));
    for (const auto& [name, size] : {std::pair{"large", 17 << 20}, {"just-over", (16 << 20) + 1}}) {
        QFile large(path(name));  // sparse: costs no disk
        ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(size));
    }
    const std::pair<const char*, const char*> refusals[] = {
        {"fifo", " is not a regular file"},
        {"zero", " is not a regular file"},
        {"folder", " is not a regular file"},
        {"loop", " cannot be read: Too many levels of symbolic links"},
        {"large", " is too large to open (17 MiB; the limit is 16 MiB)"},
        {"just-over", " is too large to open (16.1 MiB; the limit is 16 MiB)"},
    };
    for (const auto& [name, reason] : refusals) {
        EXPECT_EQ(ReadDocumentFile(path(name)).errorText, path(name) + reason);
        EXPECT_TRUE(FileExists(path(name))) << name;
    }
    EXPECT_EQ(ReadDocumentFile(path("none")).status, LoadStatus::Missing);
    EXPECT_FALSE(FileExists(path("none")));
    EXPECT_EQ(ReadFileStart(path("large"), 3).bytes, std::string(3, '\0'));
    if (geteuid() != 0) {  // root may read anything
        WriteRaw(path("secret"), "x");
        ASSERT_TRUE(QFile::setPermissions(path("secret"), {}));
        EXPECT_EQ(ReadDocumentFile(path("secret")).errorText,
                  path("secret") + " cannot be read: Permission denied");
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

    // Until the commit the new content has no name, so that nothing is left
    // however the program ends; a name of the longest length is written too.
    const QString longest = QString(251, 'n') + ".csv";
    for (int round = 0; round < 2; ++round) {
        AtomicFileWriter writer(path(longest));
        EXPECT_EQ(writer.write("a,b\r\n"), std::nullopt);
        EXPECT_EQ(entries().size(), round + 1);
        EXPECT_EQ(writer.commit(), std::nullopt);
    }
    EXPECT_EQ(ReadRaw(path(longest)), "a,b\r\n");
    EXPECT_EQ(entries().size(), 2);
}

TEST_F(FileIoTest, FailedWriteReportsTheReasonAndCreatesNothing) {
    const auto error = WriteFileAtomically(path("no-such-folder/x.FOR"), "0\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->isEmpty());
    EXPECT_TRUE(entries().isEmpty());
    if (geteuid() != 0) {  // root may write anything
        WriteRaw(path("kept.VAR"), "old");
        ASSERT_TRUE(QFile::setPermissions(path("kept.VAR"), QFile::ReadOwner));
        EXPECT_EQ(WriteFileAtomically(path("kept.VAR"), "new"),
                  path("kept.VAR") + " cannot be written: Permission denied");
        EXPECT_EQ(ReadRaw(path("kept.VAR")), "old");
    }
}

TEST_F(FileIoTest, WriteReplacesOnlyARegularFileAndWritesThroughALinkToOne) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    std::vector<const char*> names = {"fifo", "folder"};
    // A device of its own for root, for whom a fault here would replace the
    // system's /dev/null; other users may not replace that one.
    if (mknod(QFile::encodeName(path("null")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0 ||
        (geteuid() != 0 && QFile::link("/dev/null", path("null")))) {
        ASSERT_TRUE(QFile::link(path("null"), path("link-to-null")));
        names.insert(names.end(), {"null", "link-to-null"});
    }
    for (const char* name : names) {
        EXPECT_EQ(WriteFileAtomically(path(name), "  \r\n"), path(name) + " is not a regular file");
        EXPECT_FALSE(QFileInfo(path(name)).isFile()) << name;
    }
    WriteRaw(path("target"), "old");
    ASSERT_TRUE(QFile::link(path("target"), path("link")));
    EXPECT_EQ(WriteFileAtomically(path("link"), "new"), std::nullopt);
    EXPECT_TRUE(QFileInfo(path("link")).isSymLink());
    EXPECT_EQ(ReadRaw(path("target")), "new");
    ASSERT_TRUE(QFile::link("later", path("dangling")));
    EXPECT_EQ(WriteFileAtomically(path("dangling"), "made"), std::nullopt);
    EXPECT_TRUE(QFileInfo(path("dangling")).isSymLink());
    EXPECT_EQ(ReadRaw(path("later")), "made");
}

// A name is its bytes: one that is not UTF-8 is written, read and shown as
// that very file; a link loop is refused with the system's reason and left
// as it is; a name no file can have is refused, writing nothing; a name as a
// file dialog shows it leads back to the one file it stands for.
TEST_F(FileIoTest, NamesInAnyEncodingLoopsAndNamesThatCannotBe) {
    const QByteArray folder = QFile::encodeName(dir_.path()) + '/';
    const testing::EntriesByBytes entries{folder.constData()};
    // Latin-1, a cut-off sequence, a surrogate, a stray byte after a
    // character beyond 16 bits.
    const std::pair<QByteArray, const char*> names[] = {
        {"caf\xE9.VAR", "caf\\xE9.VAR"},
        {"\xC3\xA9t\xC3", "\xC3\xA9t\\xC3"},
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        {"\xF0\x9F\x98\x80\xFF", "\xF0\x9F\x98\x80\\xFF"},
    };
    for (const auto& [bytes, shown] : names) {
        const QString name = FileNameFromBytes(folder + bytes);
        EXPECT_EQ(ShownFileName(name), dir_.path() + '/' + QString::fromUtf8(shown));
        EXPECT_EQ(WriteFileAtomically(name, bytes.toStdString()), std::nullopt);
        EXPECT_EQ(testing::ReadRawBytes(folder + bytes), bytes.toStdString());
        EXPECT_EQ(ReadDocumentFile(name).bytes, bytes.toStdString());
    }
    EXPECT_EQ(entries.count(), 4);  // nothing under another name

    ASSERT_EQ(symlink("l\xE9", (folder + "loop").constData()), 0);
    ASSERT_EQ(symlink("loop", (folder + "l\xE9").constData()), 0);
    EXPECT_EQ(WriteFileAtomically(FileNameFromBytes(folder + "l\xE9"), "x"),
              dir_.path() + "/l\\xE9 cannot be written: Too many levels of symbolic links");
    EXPECT_TRUE(QFileInfo(path("loop")).isSymLink());

    for (const QString& name : {path("nul") + QChar(0) + 'x', path("half") + QChar(0xD800)}) {
        EXPECT_EQ(FileNameBytes(name), std::nullopt);
        EXPECT_EQ(ReadDocumentFile(name).status, LoadStatus::BadName);
        const std::optional<QString> failure = WriteFileAtomically(name, "x");
        EXPECT_TRUE(failure && failure->endsWith("cannot be represented exactly"));
    }
    EXPECT_EQ(entries.count(), 6);

    const QString shownByDialog = path(QStringLiteral("caf\uFFFD.VAR"));
    EXPECT_EQ(FileNameFromDialog(shownByDialog), FileNameFromBytes(folder + "caf\xE9.VAR"));
    ASSERT_EQ(WriteFileAtomically(FileNameFromBytes(folder + "caf\xE8.VAR"), ""), std::nullopt);
    EXPECT_EQ(FileNameFromDialog(shownByDialog), std::nullopt);  // which of the two?
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
