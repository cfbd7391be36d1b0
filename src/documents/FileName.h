#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quantaro {

// File names as the program holds them: QStrings that keep the system's
// bytes exactly, whatever their character set. The bytes that are valid
// UTF-8 are held as their characters; every other byte b is held as the
// lone surrogate U+DC00 + b, which no character read from UTF-8 can be. A
// Latin-1 name such as "caf\xE9.VAR" thus names that very file, where Qt's
// own decoding would turn the byte into U+FFFD and name another.
QString FileNameFromBytes(QByteArrayView bytes);

// The bytes a name stands for; nothing when it holds a character no file
// name can: a NUL, or a surrogate that stands for no byte.
std::optional<QByteArray> FileNameBytes(const QString& name);

// The name as a person reads it: each byte that is not UTF-8 as \xHH, any
// character no name can hold as U+FFFD, with the platform's separators.
QString ShownFileName(const QString& name);

// The text that says a name cannot be used.
QString UnrepresentableNameText(const QString& name);

// The process's working directory, as a file name.
QString CurrentDirectory();

// The name from the root, without "." and ".." steps: a relative name is
// taken from the working directory.
QString AbsoluteFileName(const QString& name);

// The folder part of a name: "." for a bare name, "/" for a name at the root.
QString FolderOf(const QString& name);

// A name that a Qt file dialog gave or shows, as the file it stands for.
// The dialog decodes the names it lists the way QFile::decodeName does,
// which turns every byte that is not UTF-8 into U+FFFD, so such a name no
// longer leads to its file. Each part of the path that holds U+FFFD and
// leads nowhere is matched against its folder's entries decoded the same
// way. Nothing when a part matches more than one entry, so that no other
// file than the one chosen can be taken.
std::optional<QString> FileNameFromDialog(const QString& shown);

// The name as a Qt file dialog shows it, for one to start with.
QString DialogFileName(const QString& name);

}  // namespace quantaro
