#include "documents/TableFile.h"

#include "documents/FileBytes.h"
#include "documents/TableFormat.h"

namespace quantaro {

TableLoad LoadTableFile(const QString& path, NameTable& table) {
    const FileReadResult file = ReadDocumentFile(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, 0, file.errorText};
    }
    // The whole content decides the character set; the cells are then
    // decoded one by one, so that no decoded copy of the file is made.
    const std::string_view content = ContentBeforeEndMark(file.bytes);
    const FileEncoding encoding = EncodingOf(content);
    const int usedRows =
        ParseTableFile(content, table, encoding == FileEncoding::Latin1 ? &Latin1ToUtf8 : nullptr);
    return {LoadStatus::Loaded, usedRows, {}, encoding};
}

std::optional<QString> SaveTableFile(const QString& path, const NameTable& table,
                                     FileEncoding encoding) {
    return WriteFileAtomically(path, EncodeFileText(SerializeTableFile(table), encoding));
}

}  // namespace quantaro
