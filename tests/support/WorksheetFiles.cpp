#include "WorksheetFiles.h"

#include "documents/FormulaFile.h"
#include "documents/TableFile.h"

namespace quantaro::testing {
namespace {

std::string Failure(const QString& path, LoadStatus status, const QString& errorText) {
    if (status == LoadStatus::Loaded) return {};
    return path.toStdString() + ": " +
           (status == LoadStatus::Missing ? std::string("missing") : errorText.toStdString());
}

std::string LoadTable(const QString& path, NameTable& table) {
    const TableLoad load = LoadTableFile(path, table);
    return Failure(path, load.status, load.errorText);
}

}  // namespace

std::string LoadWorksheetFiles(Worksheet& sheet, const QString& base) {
    const QString formulaPath = base + QStringLiteral(".FOR");
    const FormulaLoad formula = LoadFormulaFile(formulaPath);
    if (std::string failure = Failure(formulaPath, formula.status, formula.errorText);
        !failure.empty()) {
        return failure;
    }
    sheet.setFormula(formula.text);
    sheet.angle = formula.unit;
    std::string failure = LoadTable(base + QStringLiteral(".CON"), sheet.constants);
    if (failure.empty()) failure = LoadTable(base + QStringLiteral(".VAR"), sheet.variables);
    return failure;
}

}  // namespace quantaro::testing
