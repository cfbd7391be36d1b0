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

std::optional<QString> CsvRecorder::record(int pass, const NameTable& variables) {
    AppendTrajectoryCsvRow(buffer_, pass, variables, rows_);
    if (buffer_.size() >= kPieceSize) return flush();
    return std::nullopt;
}

std::optional<QString> CsvRecorder::finish() {
    if (std::optional<QString> failure = flush()) return failure;
    return file_.commit();
}

std::optional<QString> CsvRecorder::flush() {
    std::optional<QString> failure = file_.write(buffer_);
    buffer_.clear();
    return failure;
}

}  // namespace quantaro
