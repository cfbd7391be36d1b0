#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/Outcome.h"
#include "engine/Worksheet.h"
#include "studies/ResultTable.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// "Minimise | Maximise R by changing I1..In, each between LOi and HIi,
// subject to C1 <= | >= | = V1, ...".
enum class OptimiseSense { Minimise, Maximise };

struct OptimiseInput {
    std::string name;  // a constant or a variable
    long double low = 0.0L;
    long double high = 0.0L;
};

enum class ConstraintKind { AtMost, AtLeast, Equal };

struct OptimiseConstraint {
    std::string result;  // a variable
    ConstraintKind kind = ConstraintKind::AtMost;
    long double value = 0.0L;
};

struct OptimiseSetup {
    OptimiseSense sense = OptimiseSense::Minimise;
    std::string objective;  // a variable
    std::vector<OptimiseInput> inputs;
    std::vector<OptimiseConstraint> constraints;
    // The first start is the inputs' values in the tables (within their
    // bounds); the others are drawn from the seed.
    int starts = 1;
    std::uint64_t seed = 1;
    StudyRun run;
};

inline constexpr std::size_t kMaxOptimiseInputs = 20;
inline constexpr std::size_t kMaxConstraints = 20;
inline constexpr int kMaxStarts = 1000;
// Evaluations of the formula for each start.
inline constexpr int kMaxOptimiseTrials = 5000;

// "<=", ">=" or "=".
const char* ConstraintSign(ConstraintKind kind);

std::string OptimiseSetupError(const Worksheet& sheet, const OptimiseSetup& setup);

enum class OptimiseStatus { Found, NoSolution };

struct ConstraintState {
    std::string name;     // as the variable table spells it
    std::string text;     // the result's text at the inputs found
    bool active = false;  // holds as an equality there
};

// What a search came to: the inputs found, R's text, each constraint's
// value and whether it is active, the evaluations of all starts and how
// many starts ended at other inputs. Not found (no feasible point, every
// run failing, cancelled): the message names the constraints.
struct OptimiseResult : Outcome<OptimiseStatus> {
    std::vector<std::string> inputNames;
    std::vector<long double> values;
    std::vector<std::string> valueTexts;
    std::string objectiveName;
    std::string objectiveText;
    long double objective = 0.0L;
    std::vector<ConstraintState> constraints;
    int evaluations = 0;
    int startsElsewhere = 0;
    // R at every clean evaluation of the start that won, by its number.
    std::vector<std::pair<int, long double>> history;
};

ResultTable OptimiseReport(const OptimiseResult& result, const OptimiseSetup& setup);

// Searches within the bounds: BOBYQA when there are no constraints, else
// COBYLA, each from every start, on `workers` threads, each with its own
// copy of the worksheet; then, from the best, a gradient polish (SLSQP with
// derivatives by central differences) settles the last digits, which the
// value of R alone cannot tell apart. The best feasible end wins, the
// earliest start on a tie, so the answer is the same on any number of
// workers. A run that fails counts as a very poor value there.
OptimiseResult Optimise(const Worksheet& sheet, const OptimiseSetup& setup,
                        StudyControl* control = nullptr, unsigned workers = 1);

}  // namespace quantaro
