#include "studies/DataCsv.h"

#include <algorithm>
#include <optional>

#include "engine/NameFolding.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

constexpr const char* kDecimalPoint =
    "Quantaro reads numbers with a decimal point, in columns separated by commas";

// The fields of one record at a time, as RFC 4180 writes them.
class CsvRecords {
  public:
    explicit CsvRecords(std::string_view text) : text_(text) {}

    // The next record's fields; nothing at the end of the text, or when a
    // quoted field is not closed (then unclosed() is true).
    std::optional<std::vector<std::string>> next() {
        if (at_ >= text_.size()) return std::nullopt;
        std::vector<std::string> fields(1);
        bool quoted = false;
        while (at_ < text_.size()) {
            const char c = text_[at_++];
            if (quoted) {
                if (c != '"') {
                    fields.back() += c;
                } else if (at_ < text_.size() && text_[at_] == '"') {
                    fields.back() += '"';
                    ++at_;
                } else {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == ',') {
                fields.emplace_back();
            } else if (c == '\n') {
                return fields;
            } else if (c == '\r' && at_ < text_.size() && text_[at_] == '\n') {
                ++at_;
                return fields;
            } else {
                fields.back() += c;
            }
        }
        if (quoted) {
            unclosed_ = true;
            return std::nullopt;
        }
        return fields;
    }
    bool unclosed() const { return unclosed_; }

  private:
    std::string_view text_;
    std::size_t at_ = 0;
    bool unclosed_ = false;
};

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool IsBlankRecord(const std::vector<std::string>& fields) {
    return fields.size() == 1 && Trimmed(fields[0]).empty();
}

DataReading Fault(std::string message) {
    DataReading reading;
    reading.status = DataStatus::Faulty;
    reading.message = std::move(message);
    return reading;
}

std::string Place(std::size_t row, std::size_t column, const std::vector<std::string>& names) {
    return "Row " + std::to_string(row) + ", column " + std::to_string(column + 1) + " (" +
           names[column] + ")";
}

}  // namespace

int DataTable::findColumn(std::string_view name) const {
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (NamesEqual(columns_[c], name)) return static_cast<int>(c);
    }
    return -1;
}

DataReading ReadDataCsv(std::string_view text) {
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    CsvRecords records(text);
    std::optional<std::vector<std::string>> header = records.next();
    if (!header || IsBlankRecord(*header))
        return Fault("The file has no header row of column names");
    std::vector<std::string> names;
    for (const std::string& field : *header) names.push_back(Trimmed(field));
    if (names.size() == 1 && names[0].find(';') != std::string::npos)
        return Fault(
            "The columns are separated by semicolons, as where a decimal comma is "
            "written; " +
            std::string(kDecimalPoint));
    for (std::size_t c = 0; c < names.size(); ++c) {
        if (names[c].empty())
            return Fault("Column " + std::to_string(c + 1) + " has no name in the header row");
        for (std::size_t d = 0; d < c; ++d) {
            if (NamesEqual(names[c], names[d]))
                return Fault("Two columns are named \"" + names[c] + "\"");
        }
    }
    DataReading reading;
    reading.table = DataTable(names);
    std::vector<long double> values(names.size());
    std::size_t row = 0;
    while (std::optional<std::vector<std::string>> fields = records.next()) {
        ++row;
        if (IsBlankRecord(*fields)) {
            --row;  // blank lines between and after the rows are skipped
            continue;
        }
        if (fields->size() != names.size()) {
            std::string message = "Row " + std::to_string(row) + " has " +
                                  std::to_string(fields->size()) + " fields; the header has " +
                                  std::to_string(names.size());
            if (fields->size() > names.size()) message += " (a decimal comma?)";
            return Fault(message);
        }
        for (std::size_t c = 0; c < names.size(); ++c) {
            const std::string field = Trimmed((*fields)[c]);
            const NumberReading number = ReadNumber(field);
            if (number.value) {
                values[c] = *number.value;
                continue;
            }
            if (number.overflows)
                return Fault(Place(row, c, names) + ": " + field +
                             " is beyond the range of numbers");
            std::string pointed = field;
            std::replace(pointed.begin(), pointed.end(), ',', '.');
            if (pointed != field && ReadNumber(pointed).value)
                return Fault(Place(row, c, names) + ": \"" + field + "\" has a decimal comma; " +
                             kDecimalPoint);
            return Fault(Place(row, c, names) + ": " +
                         (field.empty() ? std::string("the field is empty")
                                        : "\"" + field + "\" is not a number"));
        }
        reading.table.addRow(values);
    }
    if (records.unclosed()) return Fault("A quoted field is not closed at the end of the file");
    if (row == 0) return Fault("The file has a header row but no rows of data");
    return reading;
}

}  // namespace quantaro
