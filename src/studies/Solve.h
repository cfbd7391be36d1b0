#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Outcome.h"
#include "engine/Worksheet.h"
#include "studies/ResultTable.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// "Make R1 = T1, ..., Rm = Tm by changing I1, ..., In".
struct SolveTarget {
    std::string result;  // a variable
    long double target = 0.0L;
};

struct SolveInput {
    std::string name;  // a constant or a variable
    // The values it may take, ends in either order; without them, any.
    std::optional<std::pair<long double, long double>> bounds;
};

struct SolveSetup {
    std::vector<SolveTarget> targets;
    std::vector<SolveInput> inputs;
    StudyRun run;
};

// At most so many targets and so many inputs, and so many trials.
inline constexpr std::size_t kMaxSolveNames = 20;
inline constexpr int kMaxSolveTrials = 2000;

// What stops the search from running on the worksheet, in words for its
// user; empty when nothing does.
std::string SolveSetupError(const Worksheet& sheet, const SolveSetup& setup);

enum class SolveStatus { Solved, NoSolution };

// What a search came to. Found: the inputs' values and texts, the results'
// texts and residuals (result - target), and for more targets than inputs
// the least-squares fit, with its sum of squared scaled residuals. Not
// found: the message names the targets and the inputs and says why.
struct SolveResult : Outcome<SolveStatus> {
    bool leastSquares = false;
    std::vector<std::string> inputNames;  // as the tables spell them
    std::vector<long double> values;
    std::vector<std::string> valueTexts;
    std::vector<std::string> resultNames;
    std::vector<std::string> resultTexts;
    std::vector<long double> residuals;
    long double sumOfSquares = 0.0L;
    int trials = 0;
    // The norm of the scaled residuals at every trial that ran cleanly, by
    // trial number: what the convergence chart draws.
    std::vector<std::pair<int, long double>> history;
};

// The found values and results, one row each, for a window or an export.
ResultTable SolveReport(const SolveResult& result, const SolveSetup& setup);

// Searches for the inputs' values that make each result equal its target.
// The residuals, (result - target) / |target| (or / 1 for a target of 0),
// go to Powell's hybrid method when there are as many targets as inputs,
// else to Levenberg-Marquardt, which minimises their sum of squares, both
// in extended precision with the Jacobian by central differences. A bounded
// input moves through a sine of its own unknown, so it never leaves its
// bounds. A trial whose run fails counts as no value there, and the step
// to it is shortened: Powell's method starts again from the last point that
// ran with a first step half as long; for Levenberg-Marquardt its residuals
// are made so large that the step is refused. The search stops once every
// result reads as its target, when it settles, or after kMaxSolveTrials
// trials; its best trial is a solution when every residual is at the level
// of the 15th digit (no 15-digit value of an input would move a result
// nearer its target than that), and for more targets than inputs whenever
// Levenberg-Marquardt converged. The setup must be free of faults.
SolveResult Solve(const Worksheet& sheet, const SolveSetup& setup, StudyControl* control = nullptr);

}  // namespace quantaro
