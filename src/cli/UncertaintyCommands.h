#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "cli/OptionTable.h"
#include "cli/StudyCommands.h"
#include "studies/Uncertainty.h"

namespace quantaro {

// "NAME=U[%][:normal|uniform|triangular]", U a standard uncertainty, or
// "±A" (or "+-A") the half-width of a uniform or triangular distribution.
std::optional<UncertainInput> ParseUncertaintyOption(const QString& text, std::string& fault);

struct UncertaintyCommand {
    std::vector<UncertainInput> inputs;
    std::optional<QStringList> report;  // without it, every variable but the inputs
    StudyRun run;
    // Monte Carlo: the number of draws, none for the first order alone.
    std::optional<std::uint64_t> draws;
    std::uint64_t seed = 1;
    std::optional<Shard> shard;
    std::optional<QString> csvFile;
};

// Prints the first-order table to out and, with draws, runs them on every
// core, writes their file when asked and prints their summary; returns the
// exit code. A stop asked for ends it within a few milliseconds and leaves
// the file as it was. The report, if any, takes the tables too.
int RunUncertaintyCommand(const Worksheet& sheet, const UncertaintyCommand& command,
                          std::ostream& out, std::ostream& err, PendingStop pendingStop,
                          JsonReport* report = nullptr);

// Prints the summary of the draws in the files, read as one study.
int RunSummarizeCommand(const QStringList& files, std::ostream& out, std::ostream& err,
                        JsonReport* report = nullptr);

// --uncertainty, with --monte-carlo, --seed, --report, --shard (a sweep's)
// and --csv; --summarize, which reads no worksheet.
StudyRow UncertaintyStudy();
StudyRow SummarizeStudy();

}  // namespace quantaro
