#include "documents/CsvFile.h"

#include <algorithm>
#include <string>

#include "documents/CsvFormat.h"
#include "documents/FileIo.h"

namespace quantaro {

std::optional<QString> SaveTrajectoryCsv(const QString& path, const Trajectory& trajectory) {
    return WriteFileAtomically(path, TrajectoryCsv(trajectory));
}

// Written in pieces, so that ten million points take no more memory than a
// few thousand; a failed write ends it at once.
std::optional<QString> SaveSweepCsv(const QString& path, const SweepResults& results) {
    constexpr std::size_t kPointsPerPiece = 16'384;
    AtomicFileWriter file(path);
    std::string piece = SweepCsvHeader(results.inputNames(), results.outputNames());
    for (std::size_t from = 0; from < results.size(); from += kPointsPerPiece) {
        AppendSweepCsvRows(piece, results, from, std::min(results.size(), from + kPointsPerPiece));
        if (std::optional<QString> failure = file.write(piece)) return failure;
        piece.clear();
    }
    if (std::optional<QString> failure = file.write(piece)) return failure;
    return file.commit();
}

std::optional<QString> SaveResultTableCsv(const QString& path, const ResultTable& table) {
    return WriteFileAtomically(path, ResultTableCsv(table));
}

std::optional<QString> SaveTablesCsv(const QString& path, const NameTable& constants,
                                     const NameTable& variables) {
    return WriteFileAtomically(path, TablesCsv(constants, variables));
}

}  // namespace quantaro
