#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <ostream>
#include <string>

#include "cli/BatchRunner.h"
#include "cli/OptionTable.h"
#include "studies/Fit.h"

namespace quantaro {

// What --fit's options ask for, read without the worksheet or the data;
// the names are checked against both once they are loaded.
struct FitRequest {
    QString dataFile;
    FitSetup setup;
    // Columns mapped on the command line; the others by their names.
    bool matchesGiven = false;
    bool inputsGiven = false;
    QString saveConstantsFile;  // empty when not asked for
    // --csv: each row's data, fitted values and residuals, as the window exports them.
    QString reportFile;
};

// Fits the parameters to the data file's rows; on success prints the
// parameters and the statistics, leaves sheet's tables as a final run at the
// solution left them and returns 0, else reports on err and returns the exit
// code: 66 or 74 for a data file that is missing or cannot be read, 64 for
// a file or setup at fault, 12 when the fit fails. The report, if any,
// takes the data file and the fit's tables too.
int RunFitCommand(Worksheet& sheet, const FitRequest& request, std::ostream& out, std::ostream& err,
                  PendingStop pendingStop, JsonReport* report = nullptr);

// The row of the batch runner's table: --fit with its options.
StudyRow FitStudy();

}  // namespace quantaro
