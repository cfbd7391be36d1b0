#include "StandardWorksheet.h"

#include "TableRows.h"

namespace quantaro::testing {

Worksheet StandardWorksheet() {
    Worksheet sheet;
    FillRows(sheet.constants, {{"PI", "3.14159265358979"}, {"E", "2.71828182845905"}});
    FillRows(sheet.variables, {{"A", "10"}, {"B", "4"}, {"X", "old"}, {"Y", "old"}});
    return sheet;
}

Worksheet CopyOfTexts(const Worksheet& sheet) {
    Worksheet copy;
    copy.setFormula(sheet.formula());
    copy.angle = sheet.angle;
    copy.constants = CopyOfTexts(sheet.constants);
    copy.variables = CopyOfTexts(sheet.variables);
    return copy;
}

}  // namespace quantaro::testing
