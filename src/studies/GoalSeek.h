#pragma once

#include <optional>
#include <string>
#include <utility>

#include "engine/Outcome.h"
#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// "Set RESULT to TARGET by changing INPUT".
struct SeekSetup {
    std::string result;  // a variable
    long double target = 0.0L;
    std::string input;  // a constant or a variable
    // The search interval, its ends in either order; without one the search
    // goes outward from the input's value in the tables.
    std::optional<std::pair<long double, long double>> interval;
    StudyRun run;
};

inline constexpr int kMaxSeekTrials = 200;

// What stops the search from running on the worksheet, in words for its
// user; empty when nothing does.
std::string SeekSetupError(const Worksheet& sheet, const SeekSetup& setup);

// Whether a search found a value; its first value is success.
enum class SeekStatus { Found, NoSolution };

// What a search came to: found, with the value; else the message says why
// nothing was found, naming INPUT, RESULT and the interval searched.
struct SeekResult : Outcome<SeekStatus> {
    // The input's value found, and its text, which a point writes into the
    // input's cell.
    long double value = 0.0L;
    std::string valueText;
    // RESULT's text after the run at that value.
    std::string resultText;
    // How often the formula ran.
    int trials = 0;
};

// Searches for the value of the input that sets the result to the target.
// Each trial runs the formula as a sweep's point does, from the tables as
// they are in sheet, with the input's cell set to the trial value's text, so
// only values of 15 significant digits are tried; a failing run counts as no
// value there. Once RESULT - TARGET changes sign between two values, Brent's
// method (bisection, secant and inverse quadratic steps) narrows them until
// RESULT equals TARGET or no 15-digit value lies between them, then takes
// the one whose RESULT is nearer TARGET. At most kMaxSeekTrials trials, each
// counted in control. The setup must be free of faults (SeekSetupError). It
// may run on any thread while no other writes the worksheet: a window
// passes a copy of its own.
SeekResult GoalSeek(const Worksheet& sheet, const SeekSetup& setup,
                    StudyControl* control = nullptr);

}  // namespace quantaro
