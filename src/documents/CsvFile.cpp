#include "documents/CsvFile.h"

#include "documents/CsvFormat.h"
#include "documents/FileIo.h"

namespace quantaro {

std::optional<QString> SaveTrajectoryCsv(const QString& path, const Trajectory& trajectory) {
    return WriteFileAtomically(path, TrajectoryCsv(trajectory));
}

std::optional<QString> SaveSweepCsv(const QString& path, const SweepResults& results) {
    return WriteFileAtomically(path, SweepCsv(results));
}

std::optional<QString> SaveTablesCsv(const QString& path, const NameTable& constants,
                                     const NameTable& variables) {
    return WriteFileAtomically(path, TablesCsv(constants, variables));
}

}  // namespace quantaro
