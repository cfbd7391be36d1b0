#include "ReferenceWorksheet.h"

#include "FormulaFile.h"
#include "TableFile.h"

namespace quantaro::bench {

QString ReferencePath(const char* fileName) {
    return QStringLiteral(QUANTARO_BENCH_DATA_DIR "/") + QLatin1String(fileName);
}

namespace {

bool LoadTable(const char* fileName, NameTable& table, std::string& error) {
    const TableLoad load = LoadTableFile(ReferencePath(fileName), table);
    if (load.status == LoadStatus::Loaded) return true;
    error = ReferencePath(fileName).toStdString() + ": " +
            (load.status == LoadStatus::Missing ? std::string("missing")
                                                : load.errorText.toStdString());
    return false;
}

}  // namespace

void LoadReferenceWorksheet(ReferenceWorksheet& sheet) {
    const FormulaLoad formula = LoadFormulaFile(ReferencePath("reference.FOR"));
    if (formula.status != LoadStatus::Loaded) {
        sheet.error = ReferencePath("reference.FOR").toStdString() + ": cannot be read";
        return;
    }
    sheet.host.setFormula(formula.text, formula.unit);
    sheet.ok = LoadTable("reference.CON", sheet.constants, sheet.error) &&
               LoadTable("reference.VAR", sheet.variables, sheet.error);
}

}  // namespace quantaro::bench
