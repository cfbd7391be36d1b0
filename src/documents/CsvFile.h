#pragma once

#include <QString>

#include <optional>

#include "engine/NameTable.h"
#include "engine/Trajectory.h"
#include "studies/ResultTable.h"
#include "studies/Sweep.h"

namespace quantaro {

// Writes the trajectory, a sweep's results, a study's result table, or the
// named rows of both tables, as a CSV file, atomically. Returns a text naming the file and the
// reason when it could not be written.
std::optional<QString> SaveTrajectoryCsv(const QString& path, const Trajectory& trajectory);
std::optional<QString> SaveSweepCsv(const QString& path, const SweepResults& results);
std::optional<QString> SaveResultTableCsv(const QString& path, const ResultTable& table);
std::optional<QString> SaveTablesCsv(const QString& path, const NameTable& constants,
                                     const NameTable& variables);

}  // namespace quantaro
