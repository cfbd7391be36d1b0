#include "documents/FormulaFile.h"

#include "documents/FormulaFormat.h"

#include <utility>

namespace quantaro {

FormulaLoad LoadFormulaFile(const QString& path) {
    FileReadResult file = ReadDocumentFile(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, AngleUnit::Degrees, {}, file.errorText};
    }
    // The angle unit is the file's first byte, whatever it is; only the text
    // after it is decoded. The bytes move from step to step, never copied.
    FormulaContent content = ParseFormulaFile(std::move(file.bytes));
    const FileEncoding encoding = EncodingOf(content.text);
    return {LoadStatus::Loaded,
            content.unit,
            DecodeFileText(std::move(content.text), encoding),
            {},
            encoding};
}

std::optional<QString> SaveFormulaFile(const QString& path, AngleUnit unit, std::string_view text,
                                       FileEncoding encoding) {
    return WriteFileAtomically(path, EncodeFileText(SerializeFormulaFile(unit, text), encoding));
}

}  // namespace quantaro
