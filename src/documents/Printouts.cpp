#include "documents/Printouts.h"

#include "documents/FileName.h"

namespace quantaro {
namespace {

void WriteHeading(PrintChannel& channel, QStringView heading, const QString& fileName) {
    channel.writeLine(heading.toString() + u' ' + ShownFileName(fileName));
    channel.writeLine();
}

}  // namespace

QString PrintoutKind(Document document) {
    switch (document) {
        case Document::Formula:
            return QStringLiteral("FORMULA");
        case Document::Constants:
            return QStringLiteral("CONSTANTS");
        case Document::Variables:
            return QStringLiteral("VARIABLES");
    }
    return {};
}

void PrintFormula(PrintChannel& channel, const QString& fileName, const QString& formulaText) {
    WriteHeading(channel, PrintoutKind(Document::Formula), fileName);
    channel.writeLine(formulaText);
}

void PrintTable(PrintChannel& channel, QStringView heading, const QString& fileName,
                const NameTable& table) {
    WriteHeading(channel, heading, fileName);
    for (int row = 1; row <= table.rowCount() && !table.name(row).empty(); ++row) {
        channel.writeLine(QString::fromStdString(table.name(row)) + QLatin1String(" = ") +
                          QString::fromStdString(table.value(row)) + u' ' +
                          QString::fromStdString(table.cell(UnitsColumn, row)));
    }
}

void PrintConstants(PrintChannel& channel, const QString& fileName, const NameTable& constants) {
    PrintTable(channel, PrintoutKind(Document::Constants), fileName, constants);
}

void PrintVariables(PrintChannel& channel, const QString& fileName, const NameTable& variables) {
    PrintTable(channel, PrintoutKind(Document::Variables), fileName, variables);
}

}  // namespace quantaro
