#include "documents/FileName.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace quantaro {
namespace {

constexpr char16_t kEscapedBytes = 0xDC00;

bool IsEscapedByte(QChar c) {
    return c.unicode() >= kEscapedBytes + 0x80 && c.unicode() <= kEscapedBytes + 0xFF;
}

// The length of the valid UTF-8 sequence that starts at bytes[at]; 0 when
// none does there.
qsizetype ValidSequenceLength(QByteArrayView bytes, qsizetype at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) return 1;
    const qsizetype length = lead < 0xC0   ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF8 ? 4
                                           : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    return bytes.sliced(at, length).isValidUtf8() ? length : 0;
}

// Walks a name: text(run) for each run of characters a name may hold,
// byte(b) for each byte held as an escape, invalid() for each character no
// name can hold.
template <typename Text, typename Byte, typename Invalid>
void WalkName(const QString& name, Text text, Byte byte, Invalid invalid) {
    qsizetype runStart = 0;
    const auto endRun = [&](qsizetype end) {
        if (end > runStart) text(QStringView(name).sliced(runStart, end - runStart));
    };
    for (qsizetype at = 0; at < name.size(); ++at) {
        const QChar c = name[at];
        if (c.isHighSurrogate() && at + 1 < name.size() && name[at + 1].isLowSurrogate()) {
            ++at;
            continue;
        }
        if (!c.isSurrogate() && !c.isNull()) continue;
        endRun(at);
        if (IsEscapedByte(c)) {
            byte(static_cast<unsigned char>(c.unicode() - kEscapedBytes));
        } else {
            invalid();
        }
        runStart = at + 1;
    }
    endRun(name.size());
}

bool Exists(const QString& name) {
    const std::optional<QByteArray> bytes = FileNameBytes(name);
    struct stat info {};
    return bytes && ::lstat(bytes->constData(), &info) == 0;
}

// The entry of folder that a dialog shows as `shown`: shown itself when
// none is, nothing when more than one is.
std::optional<QString> EntryShownAs(const QString& folder, const QString& shown) {
    const std::optional<QByteArray> folderBytes = FileNameBytes(folder);
    if (!folderBytes) return shown;
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::opendir(folderBytes->constData()),
                                                      &::closedir);
    if (!entries) return shown;
    std::optional<QString> found;
    while (const dirent* entry = ::readdir(entries.get())) {
        if (QFile::decodeName(entry->d_name) != shown) continue;
        if (found) return std::nullopt;
        found = FileNameFromBytes(entry->d_name);
    }
    return found ? found : shown;
}

}  // namespace

QString FileNameFromBytes(QByteArrayView bytes) {
    QString name;
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        if (const qsizetype length = ValidSequenceLength(bytes, at)) {
            at += length;
            continue;
        }
        name += QString::fromUtf8(bytes.sliced(runStart, at - runStart));
        name += QChar(static_cast<char16_t>(kEscapedBytes + static_cast<unsigned char>(bytes[at])));
        runStart = ++at;
    }
    return name + QString::fromUtf8(bytes.sliced(runStart));
}

std::optional<QByteArray> FileNameBytes(const QString& name) {
    QByteArray bytes;
    bool representable = true;
    WalkName(
        name, [&](QStringView run) { bytes += run.toUtf8(); },
        [&](unsigned char byte) { bytes += static_cast<char>(byte); },
        [&] { representable = false; });
    if (!representable) return std::nullopt;
    return bytes;
}

QString ShownFileName(const QString& name) {
    QString shown;
    WalkName(
        name, [&](QStringView run) { shown += run; },
        [&](unsigned char byte) {
            shown += QStringLiteral("\\x") + QString::number(byte, 16).toUpper();
        },
        [&] { shown += QChar::ReplacementCharacter; });
    return QDir::toNativeSeparators(shown);
}

QString UnrepresentableNameText(const QString& name) {
    return QStringLiteral("%1 cannot be used: the file name cannot be represented exactly")
        .arg(ShownFileName(name));
}

QString CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return QStringLiteral(".");
        buffer.resize(buffer.size() * 2);
    }
    return FileNameFromBytes(buffer.data());
}

QString AbsoluteFileName(const QString& name) {
    return QDir::cleanPath(name.startsWith(QLatin1Char('/')) ? name
                                                             : CurrentDirectory() + '/' + name);
}

QString FolderOf(const QString& name) {
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QStringLiteral(".");
    return slash == 0 ? QStringLiteral("/") : name.left(slash);
}

std::optional<QString> FileNameFromDialog(const QString& shown) {
    if (!shown.contains(QChar::ReplacementCharacter)) return shown;
    const QStringList parts = shown.split(QLatin1Char('/'));
    QString resolved;
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const QString& part = parts[k];
        const QString folder = k == 0               ? QStringLiteral(".")
                               : resolved.isEmpty() ? QStringLiteral("/")
                                                    : resolved;
        const QString asShown = k == 0 ? part : resolved + QLatin1Char('/') + part;
        std::optional<QString> name = part;
        if (part.contains(QChar::ReplacementCharacter) && !Exists(asShown)) {
            name = EntryShownAs(folder, part);
        }
        if (!name) return std::nullopt;
        resolved = k == 0 ? *name : resolved + QLatin1Char('/') + *name;
    }
    return resolved;
}

QString DialogFileName(const QString& name) {
    const std::optional<QByteArray> bytes = FileNameBytes(name);
    return bytes ? QFile::decodeName(*bytes) : name;
}

}  // namespace quantaro
