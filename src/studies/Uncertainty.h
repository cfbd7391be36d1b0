#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/Worksheet.h"
#include "studies/RandomSource.h"
#include "studies/ResultTable.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// How sure a worksheet's results are, given how sure its inputs are: the
// first-order law of propagation for uncorrelated inputs, and Monte Carlo
// (MonteCarlo.h). An input is a constant or a variable with a standard
// uncertainty; the results are variables.

enum class Distribution { Normal, Uniform, Triangular };

// "normal", "uniform", "triangular".
const char* DistributionName(Distribution distribution);

struct UncertainInput {
    std::string name;
    // The standard uncertainty, or with `halfWidth` the half-width a of a
    // uniform or triangular distribution; a percentage of the value with
    // `relative`.
    long double amount = 0.0L;
    bool relative = false;
    bool halfWidth = false;
    Distribution distribution = Distribution::Normal;
};

// Reads an uncertainty as the user writes it, "U", "U%", "±A" or "+-A" (a
// half-width), "±A%", into input; returns the fault in words ("the
// uncertainty '-1' must be 0 or more"), empty when there is none.
std::string ReadUncertaintyAmount(std::string_view text, UncertainInput& input);

struct UncertaintySetup {
    std::vector<UncertainInput> inputs;
    // The variables to report, in this order; see DefaultUncertaintyResults.
    std::vector<std::string> results;
    StudyRun run;
};

// Every named variable but the inputs, in table order.
std::vector<std::string> DefaultUncertaintyResults(const Worksheet& sheet,
                                                   const std::vector<UncertainInput>& inputs);

// What stops the study from running on the worksheet, in words for its
// user; empty when nothing does.
std::string UncertaintySetupError(const Worksheet& sheet, const UncertaintySetup& setup);

// A study checked against its worksheet: each input's cell, the value it
// holds, its standard uncertainty and how it is drawn; the results' rows.
class UncertaintyPlan {
  public:
    UncertaintyPlan() = default;
    // The setup must be free of faults (UncertaintySetupError).
    UncertaintyPlan(const Worksheet& sheet, UncertaintySetup setup);

    const UncertaintySetup& setup() const { return setup_; }
    std::size_t inputCount() const { return inputs_.size(); }
    std::size_t resultCount() const { return resultRows_.size(); }

    struct Input {
        InputCell cell;
        std::string name;  // as the table spells it
        std::string units;
        long double value = 0.0L;     // as the cell reads
        long double standard = 0.0L;  // u
        // The half-width a of a uniform (a = u sqrt 3) or triangular
        // (a = u sqrt 6) distribution; 0 for a normal one.
        long double halfWidth = 0.0L;
        Distribution distribution = Distribution::Normal;
    };
    const Input& input(std::size_t index) const { return inputs_[index]; }
    const std::vector<InputCell>& inputCells() const { return cells_; }
    std::vector<long double> centre() const;

    const std::vector<int>& resultRows() const { return resultRows_; }
    const std::vector<std::string>& resultNames() const { return resultNames_; }
    const std::vector<std::string>& resultUnits() const { return resultUnits_; }

    // Draw `draw`'s value of each input, a function of the seed, the draw
    // and the inputs' places and distributions alone: the draw is the random
    // source's stream and 2 x input and 2 x input + 1 its counters.
    void drawInputs(const CounterRandomSource& source, std::uint64_t seed, std::uint64_t draw,
                    std::span<long double> values) const;

  private:
    UncertaintySetup setup_;
    std::vector<Input> inputs_;
    std::vector<InputCell> cells_;
    std::vector<int> resultRows_;
    std::vector<std::string> resultNames_;
    std::vector<std::string> resultUnits_;
};

// A result as a number: the result a run stored, else its cell's text read
// as a number; NaN when it is none or beyond the extended range. Leaves the
// floating-point flags as they were.
long double ResultNumber(const NameTable& variables, int row);
// Why a result has no number after a run that succeeded.
std::string NoNumberMessage(const Worksheet& sheet, int row);

// The value of a uniform or triangular input from a uniform u in (0, 1), by
// the inverse of its distribution function: an exact transform, so the draws
// have the distribution asked for, up to the rounding of the extended
// precision.
long double DrawValue(const UncertaintyPlan::Input& input, long double u);

// Two independent standard normals for input k at draw `draw`, by the polar
// method of Marsaglia and Bray (exact, like the transforms above). Attempt a
// reads the uniform pair at counter 2k + a * 2^32 of the draw's stream.
std::pair<long double, long double> NormalPair(const CounterRandomSource& source,
                                               std::uint64_t seed, std::uint64_t draw,
                                               std::size_t k);

// One input's part in one result's uncertainty.
struct SensitivityLine {
    long double sensitivity = 0.0L;   // dR / dX
    long double contribution = 0.0L;  // |dR / dX| u(X)
    long double share = 0.0L;         // per cent of u(R)^2
    // dR / dX at ten times the step: a sensitivity that differs much from
    // it is unsure (the run is not smooth there, or a step is too small).
    long double checkSensitivity = 0.0L;
    bool stepAgrees = true;
};

struct FirstOrderLine {
    std::string name;
    std::string units;
    // Empty when the result has a value and an uncertainty; else why not.
    std::string failure;
    long double value = 0.0L;
    long double uncertainty = 0.0L;
    std::vector<SensitivityLine> inputs;  // in the plan's order
};

struct FirstOrderBudget {
    std::vector<FirstOrderLine> results;
    bool cancelled = false;
};

// The step of an input's central difference: a power of ten, so that the
// stepped values are exact in the 15 digits a cell holds; 10^-4 to 10^-5 of
// the value (its leading digit's place less four), about where the
// difference's truncation (of order h^2) meets the rounding of the results'
// 15-digit texts (of order 10^-15 / h). At 0, the same of the uncertainty,
// or 10^-6.
long double DifferenceStep(long double value, long double uncertainty);
// Its exponent: the step is 10^DifferenceStepExponent.
int DifferenceStepExponent(long double value, long double uncertainty);

// Runs the worksheet at the inputs' values and, for each input, a step
// either side (twice: the step and ten times it, the check).
FirstOrderBudget PropagateFirstOrder(const Worksheet& sheet, const UncertaintyPlan& plan,
                                     StudyControl* control = nullptr);

// The budget as the user reads it: a row per result (the input column empty,
// the value and u), then one per input under it.
ResultTable FirstOrderTable(const UncertaintyPlan& plan, const FirstOrderBudget& budget);

}  // namespace quantaro
