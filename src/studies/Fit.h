#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Outcome.h"
#include "engine/Worksheet.h"
#include "studies/DataCsv.h"
#include "studies/ResultTable.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// "Which values of K and C make the worksheet's results match the
// measurements?": weighted nonlinear least squares over the rows of a data
// table.

struct FitParameter {
    std::string name;  // a constant or a variable
    // The values it may take, ends in either order; without them, any.
    std::optional<std::pair<long double, long double>> bounds;
};

// A column of the data and the cell or result it stands for.
struct FitColumn {
    std::string name;    // the constant or variable
    std::string column;  // the data's column
};

enum class FitWeighting { None, Weights, Sigmas };

struct FitSetup {
    std::vector<FitParameter> parameters;
    // Measured columns, each matched by a result variable of the formula.
    std::vector<FitColumn> matches;
    // Columns typed into their cells before each row's run (not by pass).
    std::vector<FitColumn> inputs;
    // By pass: the loop runs once per evaluation, up to the last measured
    // pass, and each row is compared at its pass: the passColumn's whole
    // number, or the row's number when passColumn is empty.
    bool byPass = false;
    std::string passColumn;
    // A column of weights (1/sigma^2) or of standard deviations.
    FitWeighting weighting = FitWeighting::None;
    std::string weightColumn;
    // Leaves out the rows whose run fails at the start, instead of failing.
    bool skipFailingRows = false;
    // Each row's run (not by pass: passes per row; by pass: the equation).
    StudyRun run;
};

inline constexpr std::size_t kMaxFitParameters = 20;
inline constexpr int kMaxFitEvaluations = 4000;

// The mapping a user gets without choosing: each column named as a variable
// that the formula stores into is matched by it, each other column named as
// a constant or a variable sets it; the parameters, the pass column and the
// weight column are left out.
void MapColumnsByName(const Worksheet& sheet, const DataTable& data, FitSetup& setup);
// Adds to the setup's own mapping the columns left to their names: of each
// kind (matches, inputs) whose mapping was not given, those MapColumnsByName
// would map and that no given column takes already.
void MapRemainingColumnsByName(const Worksheet& sheet, const DataTable& data, bool matchesGiven,
                               bool inputsGiven, FitSetup& setup);

// What stops the fit from running on the worksheet and the data, in words
// for its user; empty when nothing does.
std::string FitSetupError(const Worksheet& sheet, const DataTable& data, const FitSetup& setup);

enum class FitStatus { Fitted, NotConverged, RowsFail, Cancelled };

// One measured value and the model's at the solution.
struct FitObservation {
    std::size_t row = 0;    // of the data, from 0
    std::size_t match = 0;  // index into the setup's matches
    long double measured = 0.0L;
    long double fitted = 0.0L;
    long double residual = 0.0L;  // measured - fitted
};

struct FitRowFailure {
    std::size_t row = 0;  // of the data, from 0
    std::string message;
};

struct FitResult : Outcome<FitStatus> {
    std::vector<std::string> names;  // as the tables spell them
    std::vector<long double> values;
    std::vector<std::string> valueTexts;
    // NaN where they cannot be had: no degrees of freedom, or parameters
    // the data cannot tell apart.
    std::vector<long double> standardErrors;
    std::vector<long double> correlations;    // names.size() squared, row by row
    long double residualSumOfSquares = 0.0L;  // weighted
    long double residualDeviation = 0.0L;     // sqrt(RSS / dof)
    long double rSquared = 0.0L;
    int degreesOfFreedom = 0;
    int evaluations = 0;  // of every row
    std::string stopReason;
    std::vector<FitObservation> observations;
    // Rows left out at the start, or failing at the solution.
    std::vector<FitRowFailure> failures;
};

// Fits the parameters by Levenberg-Marquardt (MINPACK's lmdif in Eigen, in
// extended precision), residuals sqrt(w) (measured - model), starting from
// the parameters' values in the tables; a bounded parameter moves through a
// sine of its own unknown. The Jacobian is by central differences in
// decimal steps, so that the 15-digit values typed into the cells differ;
// standard errors are from s^2 (J^T J)^-1 at the solution, s^2 = RSS / dof.
// The setup must be free of faults.
FitResult Fit(const Worksheet& sheet, const DataTable& data, const FitSetup& setup,
              StudyControl* control = nullptr);

// The parameters, one row each: value, standard error and the correlations.
ResultTable FitParameterReport(const FitResult& result);
// RSS, residual standard deviation, R^2, degrees of freedom, evaluations
// and the reason it stopped.
ResultTable FitStatisticsReport(const FitResult& result);
// The data, then each matched column's fitted value and residual.
ResultTable FitDataReport(const FitResult& result, const DataTable& data, const FitSetup& setup);

}  // namespace quantaro
