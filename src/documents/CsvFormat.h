#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/NameTable.h"
#include "engine/Trajectory.h"
#include "studies/CsvWriter.h"

namespace quantaro {

// The files of a loop's trajectory and of the tables, written as every
// study's CSV is (see studies/CsvWriter.h).

// The first record of a trajectory file: "pass" and the recorded names.
std::string TrajectoryCsvHeader(std::span<const std::string> names);

// Appends one record of a trajectory file: the pass number, then the values.
void AppendTrajectoryCsvRow(std::string& out, std::int64_t pass,
                            std::span<const std::string_view> values);

// The same from the variables in the given rows of a table: a stored result
// is written straight from its number, as FormatNumber writes it.
void AppendTrajectoryCsvRow(std::string& out, std::int64_t pass, const NameTable& table,
                            std::span<const int> rows);

// A whole trajectory file: the header and one record per recorded row.
std::string TrajectoryCsv(const Trajectory& trajectory);

// The named rows of the constant table, then those of the variable table, in
// table order, under the header "name,value,units".
std::string TablesCsv(const NameTable& constants, const NameTable& variables);

}  // namespace quantaro
