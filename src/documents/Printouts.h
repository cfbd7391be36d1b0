#pragma once

#include <QString>
#include <QStringView>

#include "documents/DocumentState.h"
#include "documents/PrintChannel.h"
#include "engine/NameTable.h"

namespace quantaro {

// The listings the program prints, each written to its own channel: a heading
// line with the document's kind and file name as held, an empty line, then the
// document.

// The word that heads a document's printout: "FORMULA", "CONSTANTS" or
// "VARIABLES".
QString PrintoutKind(Document document);

// formulaText is the editor's text, lines separated by CR LF.
void PrintFormula(PrintChannel& channel, const QString& fileName, const QString& formulaText);

// One line "name = value units" per row from row 1, up to the first row with
// an empty name or the table's last row, the hidden slot included.
void PrintTable(PrintChannel& channel, QStringView heading, const QString& fileName,
                const NameTable& table);
void PrintConstants(PrintChannel& channel, const QString& fileName, const NameTable& constants);
void PrintVariables(PrintChannel& channel, const QString& fileName, const NameTable& variables);

}  // namespace quantaro
