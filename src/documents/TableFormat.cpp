#include "documents/TableFormat.h"

#include <algorithm>

#include "documents/FileBytes.h"

namespace quantaro {
namespace {

// Reads the content of a file front to back and never past its end.
class ByteReader {
  public:
    ByteReader(std::string_view bytes, CellDecoder decode)
        : rest_(ContentBeforeEndMark(bytes)), decode_(decode) {}

    // The characters up to (not including) stop or the end, decoded; stop is
    // not consumed.
    std::string takeUntil(char stop) {
        const std::string_view taken = rest_.substr(0, rest_.find(stop));
        rest_.remove_prefix(taken.size());
        return decode_ ? decode_(taken) : std::string(taken);
    }

    void skip(std::size_t count) { rest_.remove_prefix(std::min(count, rest_.size())); }

  private:
    std::string_view rest_;
    CellDecoder decode_;
};

std::string_view WithoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

}  // namespace

int ParseTableFile(std::string_view bytes, NameTable& table, CellDecoder decode) {
    ByteReader reader(bytes, decode);
    int usedRows = 0;
    for (int row = 1; row <= kTableFileLines; ++row) {
        std::string name = reader.takeUntil(' ');
        reader.skip(1);
        std::string value = reader.takeUntil(' ');
        reader.skip(1);
        std::string units = reader.takeUntil('\r');
        reader.skip(2);

        if (!value.empty()) {
            usedRows = row;
        }
        table.setCell(NameColumn, row, std::move(name));
        table.setCell(ValueColumn, row, std::move(value));
        table.setCell(UnitsColumn, row, std::move(units));
    }
    return usedRows;
}

std::string SerializeTableFile(const NameTable& table) {
    std::string bytes;
    for (int row = 1; row <= kTableFileLines; ++row) {
        bytes += table.name(row);
        bytes += ' ';
        bytes += WithoutLeadingBlanks(table.value(row));
        bytes += ' ';
        bytes += table.units(row);
        bytes += "\r\n";
    }
    return bytes;
}

}  // namespace quantaro
