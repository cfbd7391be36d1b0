#pragma once

#include <QString>

#include <ostream>

#include "documents/TextEncoding.h"
#include "engine/NameTable.h"
#include "engine/Worksheet.h"

namespace quantaro {

class JsonReport;

// A table's row as the batch runner prints it: "NAME = value units".
void PrintRow(const NameTable& table, int row, std::ostream& out);
// A constant's row, which a study changed; the report, if any, takes it too.
void PrintConstant(const NameTable& constants, int row, std::ostream& out, JsonReport* report);

// Every named row of the variable table, in table order; the report, if
// any, takes them too.
void PrintVariables(const NameTable& variables, std::ostream& out, JsonReport* report = nullptr);

// Writes the variable table alone, in the character set it was read in;
// says on err why it could not, and returns false then.
bool SaveVariables(const QString& path, const Worksheet& sheet, FileEncoding encoding,
                   std::ostream& err);

}  // namespace quantaro
