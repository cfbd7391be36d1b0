#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quantaro {

// A study's results as the user reads them: named columns, and rows of
// texts, each a value as the engine writes it, a name or a message. The
// studies of a few rows (an uncertainty budget, a solution, a fit's
// parameters) report through one, so that one model shows it and one writer
// exports it; a sweep's many points keep their own compact store.
class ResultTable {
  public:
    ResultTable() = default;
    explicit ResultTable(std::vector<std::string> columns);

    const std::vector<std::string>& columns() const { return columns_; }
    std::size_t columnCount() const { return columns_.size(); }
    std::size_t rowCount() const { return rows_.size(); }
    bool empty() const { return rows_.empty(); }

    // Adds a row, its fields in column order; fields left out are empty.
    // More fields than columns is a mistake of the caller's:
    // std::invalid_argument.
    void addRow(std::vector<std::string> fields);

    std::span<const std::string> row(std::size_t index) const { return rows_.at(index); }
    const std::string& cell(std::size_t row, std::size_t column) const {
        return rows_.at(row).at(column);
    }

  private:
    std::vector<std::string> columns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace quantaro
