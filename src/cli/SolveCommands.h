#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <string>

#include "cli/BatchRunner.h"
#include "cli/OptionTable.h"
#include "engine/Worksheet.h"
#include "studies/Optimise.h"
#include "studies/Solve.h"

namespace quantaro {

// The option texts of a solve and of an optimisation, read without the
// worksheet; the names are checked against its tables when it is loaded.
// Each returns nothing and sets fault to the reason when a text is bad.

// Each --solve's "RESULT=TARGET", --by's "NAME[,NAME...]" and each
// --bounds's "NAME=LO:HI", which must bound one of those names.
std::optional<SolveSetup> ParseSolveOptions(const QStringList& solve, const QString& by,
                                            const QStringList& bounds, std::string& fault);

// --by's "NAME=LO:HI[,NAME=LO:HI...]" and each --subject-to's "RESULT<=VALUE",
// "RESULT>=VALUE" or "RESULT=VALUE".
std::optional<OptimiseSetup> ParseOptimiseOptions(OptimiseSense sense, const QString& objective,
                                                  const QString& by, const QStringList& subjectTo,
                                                  std::string& fault);

// Solves or optimises; on success leaves sheet's tables as the final run at
// the values found left them and returns 0, else reports on err and returns
// the exit code: 64 for a setup that does not fit the worksheet, 12 when
// there is no solution. A stop asked for ends it within a few milliseconds.
// The report, if any, takes the values found as a table; given a report
// file, it writes there the table the window exports (73 when it cannot).
int RunSolveCommand(Worksheet& sheet, const SolveSetup& setup, std::ostream& err,
                    PendingStop pendingStop, const QString& reportFile = QString(),
                    JsonReport* report = nullptr);
int RunOptimiseCommand(Worksheet& sheet, const OptimiseSetup& setup, std::ostream& err,
                       PendingStop pendingStop, const QString& reportFile = QString(),
                       JsonReport* report = nullptr);

// The rows of the batch runner's table: --solve, --minimize and --maximize,
// which share --by with --seek, and print the tables at the values found.
StudyRow SolveStudy();
StudyRow MinimizeStudy();
StudyRow MaximizeStudy();

}  // namespace quantaro
