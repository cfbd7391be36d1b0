#include "documents/CsvFile.h"

#include "documents/CsvFormat.h"
#include "documents/FileIo.h"

namespace quantaro {

std::optional<QString> SaveTrajectoryCsv(const QString& path, const Trajectory& trajectory) {
    return WriteFileAtomically(path, TrajectoryCsv(trajectory));
}

std::optional<QString> SaveTablesCsv(const QString& path, const NameTable& constants,
                                     const NameTable& variables) {
    return WriteFileAtomically(path, TablesCsv(constants, variables));
}

}  // namespace quantaro
