#include "cli/CsvRecorder.h"

#include "documents/CsvFormat.h"

namespace quantaro {
namespace {

// The file is written unbuffered, so the rows go out in large pieces.
constexpr std::size_t kPieceSize = std::size_t{1} << 20;

}  // namespace

CsvRecorder::CsvRecorder(const QString& path, const NameTable& variables, std::vector<int> rows)
    : file_(path), rows_(std::move(rows)) {
    std::vector<std::string> names;
    for (const int row : rows_) names.push_back(variables.name(row));
    buffer_ = TrajectoryCsvHeader(names);
}

void CsvRecorder::record(int pass, const NameTable& variables) {
    AppendTrajectoryCsvRow(buffer_, pass, variables, rows_);
    if (buffer_.size() >= kPieceSize) flush();
}

std::optional<QString> CsvRecorder::finish() {
    flush();
    return file_.commit();
}

// After a failed write the later ones fail too, and finish() reports it.
void CsvRecorder::flush() {
    file_.write(buffer_);
    buffer_.clear();
}

}  // namespace quantaro
