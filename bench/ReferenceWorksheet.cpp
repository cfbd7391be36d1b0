#include "ReferenceWorksheet.h"

#include "documents/FormulaFile.h"
#include "documents/TableFile.h"

namespace quantaro::bench {

QString ReferencePath(const char* fileName) {
    return QStringLiteral(QUANTARO_BENCH_DATA_DIR "/") + QLatin1String(fileName);
}

namespace {

// Why a file could not be read, or "" when it was.
std::string Failure(const QString& path, LoadStatus status, const QString& errorText) {
    if (status == LoadStatus::Loaded) return {};
    return path.toStdString() + ": " +
           (status == LoadStatus::Missing ? std::string("missing") : errorText.toStdString());
}

std::string LoadTable(const std::string& fileName, NameTable& table) {
    const QString path = ReferencePath(fileName.c_str());
    const TableLoad load = LoadTableFile(path, table);
    return Failure(path, load.status, load.errorText);
}

}  // namespace

void LoadReferenceWorksheet(ReferenceWorksheet& sheet, const char* base) {
    const std::string name(base);
    const QString formulaPath = ReferencePath((name + ".FOR").c_str());
    const FormulaLoad formula = LoadFormulaFile(formulaPath);
    sheet.error = Failure(formulaPath, formula.status, formula.errorText);
    if (!sheet.ok()) return;
    sheet.setFormula(formula.text);
    sheet.angle = formula.unit;
    sheet.error = LoadTable(name + ".CON", sheet.constants);
    if (sheet.ok()) sheet.error = LoadTable(name + ".VAR", sheet.variables);
}

}  // namespace quantaro::bench
