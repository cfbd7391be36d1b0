#include "Printouts.h"

namespace quantaro {
namespace {

void WriteHeading(PrintChannel& channel, QStringView heading, const QString& fileName) {
    channel.writeLine(heading.toString() + u' ' + fileName);
    channel.writeLine();
}

}  // namespace

void PrintFormula(PrintChannel& channel, const QString& fileName, const QString& formulaText) {
    WriteHeading(channel, u"FORMULA", fileName);
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
    PrintTable(channel, u"CONSTANTS", fileName, constants);
}

void PrintVariables(PrintChannel& channel, const QString& fileName, const NameTable& variables) {
    PrintTable(channel, u"VARIABLES", fileName, variables);
}

}  // namespace quantaro
