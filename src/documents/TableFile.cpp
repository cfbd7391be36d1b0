#include "TableFile.h"

#include "FileBytes.h"
#include "TableFormat.h"
#include "TextEncoding.h"

namespace quantaro {

TableLoad LoadTableFile(const QString& path, NameTable& table) {
    const FileReadResult file = ReadFileBytes(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, 0, file.errorText};
    }
    const int usedRows = ParseTableFile(DecodeFileText(ContentBeforeEndMark(file.bytes)), table);
    return {LoadStatus::Loaded, usedRows, {}};
}

std::optional<QString> SaveTableFile(const QString& path, const NameTable& table) {
    return WriteFileAtomically(path, SerializeTableFile(table));
}

}  // namespace quantaro
