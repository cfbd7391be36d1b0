#include "studies/ResultTable.h"

#include <stdexcept>

namespace quantaro {

ResultTable::ResultTable(std::vector<std::string> columns) : columns_(std::move(columns)) {}

void ResultTable::addRow(std::vector<std::string> fields) {
    if (fields.size() > columns_.size()) {
        throw std::invalid_argument("a result row has " + std::to_string(fields.size()) +
                                    " fields for " + std::to_string(columns_.size()) + " columns");
    }
    fields.resize(columns_.size());
    rows_.push_back(std::move(fields));
}

}  // namespace quantaro
