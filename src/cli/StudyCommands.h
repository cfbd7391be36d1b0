#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/BatchRunner.h"
#include "cli/OptionTable.h"
#include "engine/Worksheet.h"
#include "studies/GoalSeek.h"
#include "studies/Sweep.h"

namespace quantaro {

// The option texts of a sweep and of a goal seek, read without the
// worksheet; the names are checked against its tables when it is loaded.
// Each returns nothing and sets fault to the reason when the text is bad.

// "NAME=FROM:TO:COUNT[:log]".
std::optional<SweepAxis> ParseSweepOption(const QString& text, std::string& fault);

// The I-th of N contiguous blocks of a sweep's points, from "I/N".
struct Shard {
    std::uint64_t index = 1;
    std::uint64_t count = 1;
};
std::optional<Shard> ParseShardOption(const QString& text, std::string& fault);

// The shard's first and last point of a sweep of pointCount points:
// floor((I - 1) M / N) + 1 to floor(I M / N); last < first for an empty one.
std::pair<std::uint64_t, std::uint64_t> ShardPoints(const Shard& shard, std::uint64_t pointCount);

// "RESULT=TARGET", the input's name and, when given, "LO:HI".
std::optional<SeekSetup> ParseSeekOptions(const QString& seek, const QString& by,
                                          const std::optional<QString>& between,
                                          std::string& fault);

struct SweepCommand {
    std::vector<SweepAxis> axes;
    std::optional<QStringList> record;  // without it, every variable but the inputs
    Shard shard;
    QString csvFile;  // "-" for standard output
    StudyRun run;
};

// Runs the sweep's points on every core and writes the CSV file, or the CSV
// to out, block by block; returns the exit code. Says on err how many points
// failed, and warns of an input whose value changes nothing. A stop asked
// for ends it within a few milliseconds, inside a point too, and leaves the
// file as it was; so does a write that fails, at once.
// The report, if any, takes the points as a table, and their count.
int RunSweepCommand(const Worksheet& sheet, const SweepCommand& command, std::ostream& out,
                    std::ostream& err, PendingStop pendingStop, JsonReport* report = nullptr);

// Seeks the value; on success leaves sheet's tables as the final run at the
// value found left them and returns 0, else reports on err and returns the
// exit code. A stop asked for ends it within a few milliseconds, inside a
// trial too.
int RunSeekCommand(Worksheet& sheet, const SeekSetup& setup, std::ostream& err,
                   PendingStop pendingStop, JsonReport* report = nullptr);

// The rows of the batch runner's table: --sweep, with --shard, writes a CSV
// file; --seek, with --by and --between, prints the tables at the value found.
StudyRow SweepStudy();
StudyRow SeekStudy();

}  // namespace quantaro
