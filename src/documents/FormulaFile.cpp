#include "FormulaFile.h"

#include "FormulaFormat.h"
#include "TextEncoding.h"

namespace quantaro {

FormulaLoad LoadFormulaFile(const QString& path) {
    const FileReadResult file = ReadFileBytes(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, AngleUnit::Degrees, {}, file.errorText};
    }
    // The angle unit is the file's first byte, whatever it is; only the text
    // after it is decoded.
    const FormulaContent content = ParseFormulaFile(file.bytes);
    return {LoadStatus::Loaded, content.unit, DecodeFileText(content.text), {}};
}

std::optional<QString> SaveFormulaFile(const QString& path, AngleUnit unit, std::string_view text) {
    return WriteFileAtomically(path, SerializeFormulaFile(unit, text));
}

}  // namespace quantaro
