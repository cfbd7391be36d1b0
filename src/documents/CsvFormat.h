#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/NameTable.h"
#include "engine/Trajectory.h"
#include "studies/Sweep.h"

namespace quantaro {

// Comma-separated values as RFC 4180 has them: records end in CR LF and the
// first record names the columns. The texts go out byte for byte (they are
// UTF-8 already), so a value reads back exactly as the table held it.

// A field as the file holds it: in double quotes, with its quotes doubled,
// only when it holds a comma, a double quote, a CR or an LF.
std::string CsvField(std::string_view text);

// Appends one record: the fields, separated by commas, and CR LF.
void AppendCsvRecord(std::string& out, std::span<const std::string_view> fields);

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

// The first record of a sweep file: "point", the inputs' names, the outputs'
// names and "message".
std::string SweepCsvHeader(std::span<const std::string> inputs,
                           std::span<const std::string> outputs);

// Appends one record per point: its number in the whole sweep, the inputs'
// texts, the outputs' texts and the failing run's message, empty for a clean
// point.
void AppendSweepCsvRows(std::string& out, const SweepResults& results);
// The same for the points held at begin to end - 1.
void AppendSweepCsvRows(std::string& out, const SweepResults& results, std::size_t begin,
                        std::size_t end);

// A whole sweep file: the header and one record per point.
std::string SweepCsv(const SweepResults& results);

// The named rows of the constant table, then those of the variable table, in
// table order, under the header "name,value,units".
std::string TablesCsv(const NameTable& constants, const NameTable& variables);

}  // namespace quantaro
