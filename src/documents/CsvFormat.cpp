#include "documents/CsvFormat.h"

namespace quantaro {
namespace {

void AppendNamedRows(std::string& out, const NameTable& table) {
    for (int row = 1; row <= table.rowCount(); ++row) {
        if (table.name(row).empty()) continue;
        const std::string value = table.value(row);
        const std::string_view fields[] = {table.name(row), value, table.units(row)};
        AppendCsvRecord(out, fields);
    }
}

}  // namespace

std::string TrajectoryCsvHeader(std::span<const std::string> names) {
    std::vector<std::string_view> fields{"pass"};
    fields.insert(fields.end(), names.begin(), names.end());
    std::string header;
    AppendCsvRecord(header, fields);
    return header;
}

void AppendTrajectoryCsvRow(std::string& out, std::int64_t pass,
                            std::span<const std::string_view> values) {
    // The pass number never needs quotes.
    out += std::to_string(pass);
    AppendCsvRecordEnd(out, values);
}

void AppendTrajectoryCsvRow(std::string& out, std::int64_t pass, const NameTable& table,
                            std::span<const int> rows) {
    out += std::to_string(pass);
    for (const int row : rows) {
        out += ',';
        const long double* const result = table.storedResult(row);
        if (result == nullptr) {
            AppendCsvField(out, table.value(row));
        } else {
            AppendCsvNumber(out, *result);
        }
    }
    out += "\r\n";
}

std::string TrajectoryCsv(const Trajectory& trajectory) {
    std::string csv = TrajectoryCsvHeader(trajectory.names());
    std::vector<std::string> texts(trajectory.columnCount());
    std::vector<std::string_view> values(trajectory.columnCount());
    for (std::size_t row = 0; row < trajectory.rowCount(); ++row) {
        for (std::size_t column = 0; column < texts.size(); ++column) {
            texts[column] = trajectory.text(row, column);
            values[column] = texts[column];
        }
        AppendTrajectoryCsvRow(csv, trajectory.pass(row), values);
    }
    return csv;
}

std::string TablesCsv(const NameTable& constants, const NameTable& variables) {
    std::string csv;
    const std::string_view header[] = {"name", "value", "units"};
    AppendCsvRecord(csv, header);
    AppendNamedRows(csv, constants);
    AppendNamedRows(csv, variables);
    return csv;
}

}  // namespace quantaro
