#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "engine/Worksheet.h"
#include "studies/Jacobian.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// The value of a cell holding x's text: x rounded to 15 significant digits,
// the values a study can try.
long double RoundedToDigits(long double x);

// One unit of the 15th significant digit of x; 0 for 0.
long double LastDigitUnit(long double x);

// An input a search keeps within bounds by moving it through a sine of an
// unknown of its own, so that a search without bounds never leaves them;
// without bounds the unknown is the value.
struct BoundedInput {
    bool bounded = false;
    long double low = 0.0L;
    long double high = 0.0L;

    // The bounds may come in either order; none: unbounded.
    static BoundedInput Of(const std::optional<std::pair<long double, long double>>& bounds);
    long double value(long double u) const;
    long double derivative(long double u) const;
    long double unknown(long double x) const;
    // The unknown to start from at the value start, taken to 15 digits: from
    // the middle when start is not inside, as on a bound the sine stands still.
    long double startingUnknown(long double start) const;
};

// What a trial of several inputs gave: each result's number, at the full
// precision the run stored it in, and its text; or why there is none.
struct TrialReading {
    bool ok = false;
    std::vector<long double> values;
    std::vector<std::string> texts;
    std::string failure;  // when not ok
};

// Runs trials for a study that sets several inputs and reads several
// results (solve, optimise), on a worksheet of its own: each trial types
// the inputs' 15-digit texts, runs the formula as a goal seek's trial does
// and reads the results. Counts every finished trial in control.
class InputTrials {
  public:
    InputTrials(const Worksheet& sheet, std::vector<InputCell> inputs, std::vector<int> resultRows,
                StudyRun run, StudyControl* control);

    // Nothing when control asks to stop during the trial.
    std::optional<TrialReading> run(std::span<const long double> inputs);

    int trials() const { return trials_; }
    bool cancelled() const { return control_ && control_->cancelled(); }
    const std::vector<std::string>& resultNames() const { return resultNames_; }

  private:
    PointRunner runner_;
    std::vector<InputCell> inputs_;
    std::vector<int> resultRows_;
    std::vector<std::string> resultNames_;
    StudyControl* control_;
    std::vector<long double> typed_;
    int trials_ = 0;
};

// The Jacobian of residuals at x, each unknown stepped by a millionth of
// its decimal magnitude, so that the values stepped to keep 15 digits and
// the quotient divides by the distance the cells actually moved.
JacobianResult DecimalStepJacobian(const ResidualFunction& residuals,
                                   std::span<const long double> x, std::size_t residualCount);

// "A, B and C", for messages that name several things.
std::string JoinedNames(const std::vector<std::string>& names);

}  // namespace quantaro
