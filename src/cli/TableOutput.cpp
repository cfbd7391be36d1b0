#include "cli/TableOutput.h"

#include "cli/JsonReport.h"
#include "documents/WorksheetFiles.h"

namespace quantaro {

void PrintRow(const NameTable& table, int row, std::ostream& out) {
    out << table.name(row) << " = " << table.value(row) << ' ' << table.cell(UnitsColumn, row)
        << '\n';
}

void PrintConstant(const NameTable& constants, int row, std::ostream& out, JsonReport* report) {
    PrintRow(constants, row, out);
    if (report) report->addConstant(constants, row);
}

void PrintVariables(const NameTable& variables, std::ostream& out, JsonReport* report) {
    if (report) report->setVariables(variables);
    for (int row = 1; row <= variables.rowCount(); ++row) {
        if (!variables.name(row).empty()) PrintRow(variables, row, out);
    }
}

bool SaveVariables(const QString& path, const Worksheet& sheet, FileEncoding encoding,
                   std::ostream& err) {
    WorksheetEncodings encodings;
    encodings[Document::Variables] = encoding;
    const PerDocument<SaveOutcome> saved =
        SaveWorksheet(sheet, OneDocumentFile(Document::Variables, path), encodings);
    const SaveOutcome& variables = saved[Document::Variables];
    if (!variables.succeeded()) err << variables.message << '\n';
    return variables.succeeded();
}

}  // namespace quantaro
