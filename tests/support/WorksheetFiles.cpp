#include "WorksheetFiles.h"

#include "documents/FormulaFile.h"
#include "documents/TableFile.h"

namespace quantaro::testing {
namespace {

// "path: missing" or "path: " and the system's reason; "" when it was read.
template <class Load>
std::string Failure(const QString& path, const Load& load) {
    if (load.status == LoadStatus::Loaded) return {};
    const QString reason = load.status == LoadStatus::Missing ? "missing" : load.errorText;
    return (path + ": " + reason).toStdString();
}

}  // namespace

std::string LoadWorksheetFiles(Worksheet& sheet, const QString& base) {
    const FormulaLoad formula = LoadFormulaFile(base + ".FOR");
    std::string failure = Failure(base + ".FOR", formula);
    if (!failure.empty()) return failure;
    sheet.setFormula(formula.text);
    sheet.angle = formula.unit;
    for (auto [extension, table] :
         {std::pair{".CON", &sheet.constants}, {".VAR", &sheet.variables}}) {
        failure = Failure(base + extension, LoadTableFile(base + extension, *table));
        if (!failure.empty()) break;
    }
    return failure;
}

}  // namespace quantaro::testing
