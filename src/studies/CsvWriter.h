#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "studies/ResultTable.h"
#include "studies/Sweep.h"

namespace quantaro {

// Comma-separated values as RFC 4180 has them: records end in CR LF and the
// first record names the columns. The texts go out byte for byte (they are
// UTF-8 already), so a value reads back exactly as the table held it. Every
// study's export, the batch runner's and the windows', is written here.

// A field as the file holds it: in double quotes, with its quotes doubled,
// only when it holds a comma, a double quote, a CR or an LF.
std::string CsvField(std::string_view text);
void AppendCsvField(std::string& out, std::string_view text);

// Appends a number's text, as FormatNumber writes it; it never needs quotes.
void AppendCsvNumber(std::string& out, long double number);

// Appends one record: the fields, separated by commas, and CR LF.
void AppendCsvRecord(std::string& out, std::span<const std::string_view> fields);
// The same after fields already appended: each field after a comma.
void AppendCsvRecordEnd(std::string& out, std::span<const std::string_view> fields);

// A result table's file: its columns, then one record per row.
std::string ResultTableCsv(const ResultTable& table);

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

}  // namespace quantaro
