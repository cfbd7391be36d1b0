#include "TableFile.h"

#include "FileBytes.h"
#include "TableFormat.h"
#include "TextEncoding.h"

namespace quantaro {

TableLoad LoadTableFile(const QString& path, NameTable& table) {
    const FileReadResult file = ReadDocumentFile(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, 0, file.errorText};
    }
    // The whole content decides the character set; the cells are then
    // decoded one by one, so that no decoded copy of the file is made.
    const std::string_view content = ContentBeforeEndMark(file.bytes);
    const int usedRows =
        ParseTableFile(content, table, IsValidUtf8(content) ? nullptr : &Latin1ToUtf8);
    return {LoadStatus::Loaded, usedRows, {}};
}

std::optional<QString> SaveTableFile(const QString& path, const NameTable& table) {
    return WriteFileAtomically(path, SerializeTableFile(table));
}

}  // namespace quantaro
