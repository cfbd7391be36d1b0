#include "FormulaFile.h"

#include "FileBytes.h"
#include "FormulaFormat.h"
#include "TextEncoding.h"

namespace quantaro {

FormulaLoad LoadFormulaFile(const QString& path) {
    const FileReadResult file = ReadFileBytes(path);
    if (file.status != LoadStatus::Loaded) {
        return {file.status, AngleUnit::Degrees, {}, file.errorText};
    }
    FormulaContent content = ParseFormulaFile(DecodeFileText(ContentBeforeEndMark(file.bytes)));
    return {LoadStatus::Loaded, content.unit, std::move(content.text), {}};
}

std::optional<QString> SaveFormulaFile(const QString& path, AngleUnit unit, std::string_view text) {
    return WriteFileAtomically(path, SerializeFormulaFile(unit, text));
}

}  // namespace quantaro
