#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Outcome.h"

namespace quantaro {

// Measurements read from a CSV file: named columns and rows of numbers.
class DataTable {
  public:
    DataTable() = default;
    explicit DataTable(std::vector<std::string> columns) : columns_(std::move(columns)) {}

    const std::vector<std::string>& columns() const { return columns_; }
    std::size_t columnCount() const { return columns_.size(); }
    std::size_t rowCount() const { return columns_.empty() ? 0 : values_.size() / columns_.size(); }

    long double at(std::size_t row, std::size_t column) const {
        return values_[row * columns_.size() + column];
    }
    // Adds a row of columnCount() numbers.
    void addRow(const std::vector<long double>& values) {
        values_.insert(values_.end(), values.begin(), values.end());
    }

    // The first column of that name, with ASCII case folding, as a run reads
    // a name; -1 when none is.
    int findColumn(std::string_view name) const;

  private:
    std::vector<std::string> columns_;
    std::vector<long double> values_;  // row by row
};

enum class DataStatus { Read, Faulty };

struct DataReading : Outcome<DataStatus> {
    DataTable table;
};

// Reads a CSV file of measurements (RFC 4180: fields separated by commas,
// records by CR LF or LF, fields in double quotes where they hold a comma, a
// quote or a line break): a header row of column names, then rows of
// numbers as the engine writes them, with a decimal point. A fault names the
// row (the first data row is row 1) and the column; a decimal comma is
// refused with a message that says so.
DataReading ReadDataCsv(std::string_view text);

}  // namespace quantaro
