#pragma once

#include <QString>

#include <optional>

namespace quantaro {

class Session;

// The quantaro-cli line that runs the loop's recorded passes again from the
// saved files: --passes N, the loop's equation, the recorded variables and
// --csv trajectory.csv, which then holds what Export Trajectory as CSV
// writes. A loop's passes write the variable table, so the table's changed
// flag tells nothing here: the passes are run again from the files instead,
// and the line is given only when they record the very same history.
// Otherwise nothing, and fault says why (the loop still running, a history
// thinned or not from pass 1, files that do not give it).
std::optional<QString> LoopCommandLine(Session& session, QString& fault);

}  // namespace quantaro
