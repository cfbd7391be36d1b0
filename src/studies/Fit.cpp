#include "studies/Fit.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <set>

#include "engine/Engine.h"
#include "engine/NameFolding.h"
#include "engine/Numbers.h"
#include "engine/Trajectory.h"
#include "studies/InputTrials.h"

namespace quantaro {
namespace {

using Vector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;
using Matrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;

// The residuals of an evaluation that failed: far beyond any the fit has
// seen, so that the step there is refused and the trust region shrinks.
constexpr long double kFailedResidual = 1e100L;
// Columns of the unit-scaled Jacobian below this, relative to the largest
// pivot, leave the parameters indistinguishable.
constexpr long double kSingularRatio = 1e-15L;
// How many failing rows a message names before it counts the rest.
constexpr std::size_t kRowsNamed = 3;

const long double kNaN = std::numeric_limits<long double>::quiet_NaN();

// A parameter moves freely, or through x = lo + (hi - lo) (1 + sin u) / 2
// between its bounds.
std::string RowText(std::size_t row) {
    return "row " + std::to_string(row + 1);
}

// The model's values at every row for one set of parameter values: the
// matched results after each row's run, or after the row's pass of one run
// of the loop; a failing row's message instead.
class ModelRuns {
  public:
    ModelRuns(const Worksheet& sheet, const DataTable& data, const FitSetup& setup,
              StudyControl* control)
        : data_(data), setup_(setup), control_(control) {
        for (const FitParameter& p : setup.parameters)
            cells_.push_back(*FindInputCell(sheet, p.name));
        for (const FitColumn& match : setup.matches) {
            resultRows_.push_back(sheet.variables.findRow(match.name));
            matchColumns_.push_back(data.findColumn(match.column));
        }
        if (setup.byPass) {
            loop_ = std::make_unique<Loop>(sheet, setup);
            const int passColumn =
                setup.passColumn.empty() ? -1 : data.findColumn(setup.passColumn);
            for (std::size_t row = 0; row < data.rowCount(); ++row) {
                const auto pass = passColumn < 0
                                      ? static_cast<std::int64_t>(row + 1)
                                      : static_cast<std::int64_t>(data.at(row, passColumn));
                passes_.push_back(pass);
                measuredPasses_.insert(pass);
            }
            std::vector<std::string> names;
            for (const int row : resultRows_) names.push_back(sheet.variables.name(row));
            loop_->trajectory.restart(names);
        } else {
            std::vector<InputCell> cells = cells_;
            for (const FitColumn& input : setup.inputs) {
                cells.push_back(*FindInputCell(sheet, input.name));
                inputColumns_.push_back(data.findColumn(input.column));
            }
            trials_ = std::make_unique<InputTrials>(sheet, cells, resultRows_, setup.run, nullptr);
        }
    }

    std::size_t matchCount() const { return resultRows_.size(); }
    int evaluations() const { return evaluations_; }
    bool cancelled() const { return cancelled_; }

    // Fills model (rows by matches) and failures (a message per row, empty
    // where the row ran); false when cancelled.
    bool evaluate(std::span<const long double> x, std::vector<long double>& model,
                  std::vector<std::string>& failures) {
        model.assign(data_.rowCount() * matchCount(), kNaN);
        failures.assign(data_.rowCount(), {});
        const bool finished =
            loop_ ? evaluateByPass(x, model, failures) : evaluateByRow(x, model, failures);
        if (!finished) {
            cancelled_ = true;
            return false;
        }
        ++evaluations_;
        if (control_) control_->countDone();
        return true;
    }

  private:
    // The worksheet of a fit by pass, run as the loop runs it.
    struct Loop {
        Loop(const Worksheet& start, const FitSetup& setup)
            : startVariables(start.variables),
              sheet(start),
              engine(sheet),
              resultRows(engine.resultRows(setup.run.equation)),
              equation(setup.run.equation) {}
        NameTable startVariables;
        Worksheet sheet;
        Engine engine;
        std::vector<int> resultRows;
        int equation;
        Trajectory trajectory;
    };

    bool evaluateByRow(std::span<const long double> x, std::vector<long double>& model,
                       std::vector<std::string>& failures) {
        std::vector<long double> values(x.begin(), x.end());
        values.resize(x.size() + inputColumns_.size());
        for (std::size_t row = 0; row < data_.rowCount(); ++row) {
            if (control_ && control_->cancelled()) return false;
            for (std::size_t k = 0; k < inputColumns_.size(); ++k)
                values[x.size() + k] = data_.at(row, inputColumns_[k]);
            const std::optional<TrialReading> reading = trials_->run(values);
            if (!reading) return false;
            if (!reading->ok) {
                failures[row] = reading->failure;
                continue;
            }
            std::copy(reading->values.begin(), reading->values.end(),
                      model.begin() + static_cast<std::ptrdiff_t>(row * matchCount()));
        }
        return true;
    }

    bool evaluateByPass(std::span<const long double> x, std::vector<long double>& model,
                        std::vector<std::string>& failures) {
        Loop& loop = *loop_;
        loop.sheet.variables.restoreValues(loop.startVariables, loop.resultRows);
        for (std::size_t j = 0; j < cells_.size(); ++j)
            TableOf(loop.sheet, cells_[j].table).setTypedNumber(cells_[j].row, x[j]);
        loop.trajectory.clear();
        const std::int64_t last = *measuredPasses_.rbegin();
        std::int64_t failedPass = 0;
        std::string failure;
        for (std::int64_t pass = 1; pass <= last; ++pass) {
            if (control_ && control_->cancelled()) return false;
            const RunOutcome outcome = loop.engine.ExecuteEquations(loop.equation);
            if (!outcome.succeeded()) {
                failedPass = pass;
                failure = "pass " + std::to_string(pass) + ": " + outcome.message;
                break;
            }
            if (measuredPasses_.count(pass)) loop.trajectory.record(pass, loop.sheet.variables);
        }
        std::map<std::int64_t, std::size_t> recorded;
        for (std::size_t r = 0; r < loop.trajectory.rowCount(); ++r)
            recorded[loop.trajectory.pass(r)] = r;
        for (std::size_t row = 0; row < data_.rowCount(); ++row) {
            if (failedPass != 0 && passes_[row] >= failedPass) {
                failures[row] = failure;
                continue;
            }
            const auto kept = recorded.find(passes_[row]);
            if (kept == recorded.end()) {  // beyond what a trajectory keeps
                failures[row] = "pass " + std::to_string(passes_[row]) + " was not recorded";
                continue;
            }
            const std::size_t at = kept->second;
            for (std::size_t k = 0; k < matchCount(); ++k) {
                const long double value = loop.trajectory.number(at, k);
                if (!std::isfinite(value)) {
                    failures[row] = loop.trajectory.names()[k] + " holds \"" +
                                    loop.trajectory.text(at, k) + "\" at pass " +
                                    std::to_string(passes_[row]) + ", which is no number";
                    break;
                }
                model[row * matchCount() + k] = value;
            }
        }
        return true;
    }

    const DataTable& data_;
    const FitSetup& setup_;
    StudyControl* control_;
    std::vector<InputCell> cells_;
    std::vector<int> resultRows_;
    std::vector<int> matchColumns_;
    std::vector<int> inputColumns_;
    std::unique_ptr<InputTrials> trials_;
    std::unique_ptr<Loop> loop_;
    std::vector<std::int64_t> passes_;
    std::set<std::int64_t> measuredPasses_;
    int evaluations_ = 0;
    bool cancelled_ = false;
};

// The failing rows named, the first few of them.
std::string FailingRows(const std::vector<FitRowFailure>& failures) {
    std::string text;
    for (std::size_t k = 0; k < failures.size() && k < kRowsNamed; ++k)
        text += (k ? "; " : "") + RowText(failures[k].row) + ": " + failures[k].message;
    if (failures.size() > kRowsNamed)
        text += "; and " + std::to_string(failures.size() - kRowsNamed) + " more";
    return text;
}

class Fitter {
  public:
    Fitter(const Worksheet& sheet, const DataTable& data, const FitSetup& setup,
           StudyControl* control)
        : data_(data), setup_(setup), control_(control), model_(sheet, data, setup, control) {
        n_ = setup.parameters.size();
        for (const FitParameter& p : setup.parameters) {
            const InputCell cell = *FindInputCell(sheet, p.name);
            const NameTable& table = TableOf(sheet, cell.table);
            names_.push_back(table.name(cell.row));
            const BoundedInput map = BoundedInput::Of(p.bounds);
            maps_.push_back(map);
            start_.push_back(
                map.startingUnknown(table.overflows(cell.row) ? 0.0L : table.number(cell.row)));
        }
        const int weightColumn =
            setup.weighting == FitWeighting::None ? -1 : data.findColumn(setup.weightColumn);
        for (std::size_t row = 0; row < data.rowCount(); ++row) {
            long double w = 1.0L;
            if (setup.weighting == FitWeighting::Weights) w = data.at(row, weightColumn);
            if (setup.weighting == FitWeighting::Sigmas)
                w = 1 / std::pow(data.at(row, weightColumn), 2);
            rootWeights_.push_back(std::sqrt(w));
        }
        for (const FitColumn& match : setup.matches)
            matchColumns_.push_back(data.findColumn(match.column));
    }

    FitResult fit();

    // What Eigen's Levenberg-Marquardt calls: the residuals and the
    // Jacobian at the unknowns u. A negative return ends the search.
    int operator()(const Vector& u, Vector& fvec);
    int df(const Vector& u, Matrix& fjac);
    int values() const { return static_cast<int>(observed_.size()); }
    int inputs() const { return static_cast<int>(n_); }

  private:
    std::vector<long double> parameterValues(std::span<const long double> u) const {
        std::vector<long double> x(n_);
        for (std::size_t j = 0; j < n_; ++j) x[j] = RoundedToDigits(maps_[j].value(u[j]));
        return x;
    }
    long double measured(std::size_t k) const {
        return data_.at(observed_[k].first, matchColumns_[observed_[k].second]);
    }
    bool stopping() const {
        return model_.cancelled() || model_.evaluations() >= kMaxFitEvaluations;
    }
    // The weighted residuals of the rows fitted at the parameters x.
    bool residuals(std::span<const long double> x, std::span<long double> out);
    FitResult finish(FitStatus status, std::string reason);
    void addErrorEstimates(FitResult& result, const std::vector<long double>& x);

    const DataTable& data_;
    const FitSetup& setup_;
    StudyControl* control_;
    ModelRuns model_;
    std::size_t n_ = 0;
    std::vector<std::string> names_;
    std::vector<BoundedInput> maps_;
    std::vector<long double> start_;
    std::vector<long double> rootWeights_;
    std::vector<int> matchColumns_;
    // The (row, match) pairs fitted: every row's, less those left out.
    std::vector<std::pair<std::size_t, std::size_t>> observed_;
    std::vector<FitRowFailure> leftOut_;
    ResidualFunction residualFunction_ = [this](std::span<const long double> x,
                                                std::span<long double> out) {
        return residuals(x, out);
    };
    std::vector<long double> modelValues_;
    std::vector<std::string> rowFailures_;
    std::string lastFailure_;
    bool jacobianFailed_ = false;
    long double lastSum_ = 0.0L;
    long double bestSum_ = INFINITY;
    std::vector<long double> bestX_;
};

bool Fitter::residuals(std::span<const long double> x, std::span<long double> out) {
    if (stopping() || !model_.evaluate(x, modelValues_, rowFailures_)) return false;
    long double sum = 0;
    for (std::size_t k = 0; k < observed_.size(); ++k) {
        const auto [row, match] = observed_[k];
        if (!rowFailures_[row].empty()) {
            lastFailure_ = RowText(row) + ": " + rowFailures_[row];
            return false;
        }
        out[k] =
            rootWeights_[row] * (measured(k) - modelValues_[row * model_.matchCount() + match]);
        if (!std::isfinite(out[k])) {
            lastFailure_ = RowText(row) + ": the residual is no number";
            return false;
        }
        sum += out[k] * out[k];
    }
    lastSum_ = sum;
    return true;
}

int Fitter::operator()(const Vector& u, Vector& fvec) {
    if (stopping()) return -1;
    const std::vector<long double> x = parameterValues({u.data(), n_});
    if (!residuals(x, {fvec.data(), observed_.size()})) {
        if (stopping()) return -1;
        fvec.setConstant(kFailedResidual);
        return 0;
    }
    // The Jacobian's steps do not count: they may lie beyond a bound.
    if (lastSum_ < bestSum_) {
        bestSum_ = lastSum_;
        bestX_ = x;
    }
    return 0;
}

int Fitter::df(const Vector& u, Matrix& fjac) {
    if (stopping()) return -1;
    const std::vector<long double> x = parameterValues({u.data(), n_});
    const JacobianResult result = DecimalStepJacobian(residualFunction_, x, observed_.size());
    if (!result.ok) {
        if (!stopping()) jacobianFailed_ = true;
        return -1;
    }
    for (std::size_t k = 0; k < observed_.size(); ++k) {
        for (std::size_t j = 0; j < n_; ++j)
            fjac(k, j) = result.jacobian.at(k, j) * maps_[j].derivative(u[j]);
    }
    return 0;
}

FitResult Fitter::fit() {
    // The rows that fail at the start fail the fit, or are left out.
    std::vector<long double> x = parameterValues(start_);
    if (!model_.evaluate(x, modelValues_, rowFailures_)) return finish(FitStatus::Cancelled, {});
    for (std::size_t row = 0; row < data_.rowCount(); ++row) {
        if (!rowFailures_[row].empty()) {
            leftOut_.push_back({row, rowFailures_[row]});
            continue;
        }
        for (std::size_t match = 0; match < model_.matchCount(); ++match)
            observed_.emplace_back(row, match);
    }
    if (!leftOut_.empty() && !setup_.skipFailingRows) {
        return finish(FitStatus::RowsFail, "The run fails at " + std::to_string(leftOut_.size()) +
                                               " of " + std::to_string(data_.rowCount()) +
                                               " rows at the start: " + FailingRows(leftOut_));
    }
    if (observed_.size() < n_) {
        return finish(FitStatus::RowsFail, "Only " + std::to_string(observed_.size()) +
                                               " measured values are left for " +
                                               std::to_string(n_) +
                                               " parameters, once the rows whose run fails (" +
                                               FailingRows(leftOut_) + ") are left out");
    }

    Vector u = Eigen::Map<const Vector>(start_.data(), static_cast<Eigen::Index>(n_));
    Eigen::LevenbergMarquardt<Fitter, long double> solver(*this);
    solver.parameters.ftol = 1e-20L;
    solver.parameters.xtol = 1e-16L;
    solver.parameters.gtol = 0.0L;
    solver.parameters.maxfev = kMaxFitEvaluations;
    // A first step no longer than the scaled parameters themselves: the
    // customary hundredfold step throws starts far from the solution (such
    // as NIST's BoxBOD from 1, 1) onto a plateau where the model no longer
    // depends on a parameter.
    solver.parameters.factor = 1.0L;
    auto status = solver.minimizeInit(u);
    if (status == Eigen::LevenbergMarquardtSpace::NotStarted) {
        do {
            status = solver.minimizeOneStep(u);
        } while (status == Eigen::LevenbergMarquardtSpace::Running);
    }
    using namespace Eigen::LevenbergMarquardtSpace;
    if (model_.cancelled()) return finish(FitStatus::Cancelled, "the fit was cancelled");
    if (bestX_.empty())
        return finish(FitStatus::NotConverged,
                      "the formula fails at every trial (" + lastFailure_ + ")");
    if (model_.evaluations() >= kMaxFitEvaluations || status == TooManyFunctionEvaluation)
        return finish(
            FitStatus::NotConverged,
            "no minimum was reached in " + std::to_string(kMaxFitEvaluations) + " evaluations");
    if (jacobianFailed_ || status == UserAsked)
        return finish(FitStatus::NotConverged,
                      "the formula fails next to the values reached (" + lastFailure_ + ")");
    switch (status) {
        case RelativeReductionTooSmall:
            return finish(FitStatus::Fitted, "the sum of squares stopped falling");
        case RelativeErrorTooSmall:
            return finish(FitStatus::Fitted, "the parameters stopped moving");
        case RelativeErrorAndReductionTooSmall:
            return finish(FitStatus::Fitted,
                          "the sum of squares and the parameters stopped changing");
        case CosinusTooSmall:
            return finish(FitStatus::Fitted,
                          "the residuals are orthogonal to the Jacobian's columns");
        case FtolTooSmall:
        case XtolTooSmall:
        case GtolTooSmall:
            return finish(FitStatus::Fitted,
                          "no smaller sum of squares can be told apart in the digits");
        default:
            return finish(FitStatus::NotConverged, "the search stopped short");
    }
}

FitResult Fitter::finish(FitStatus status, std::string reason) {
    FitResult result;
    result.status = status;
    result.names = names_;
    result.evaluations = model_.evaluations();
    result.failures = leftOut_;
    if (status == FitStatus::Cancelled || status == FitStatus::RowsFail || bestX_.empty()) {
        result.message = status == FitStatus::Cancelled ? "The fit was cancelled" : reason;
        if (status == FitStatus::NotConverged)
            result.message = "No fit of " + JoinedNames(names_) + ": " + reason;
        return result;
    }
    result.stopReason = reason;
    if (status != FitStatus::Fitted)
        result.message = "No fit of " + JoinedNames(names_) + ": " + reason;
    result.values = bestX_;
    for (const long double x : bestX_) result.valueTexts.push_back(FormatNumber(x));
    // The solution's own run, for its fitted values.
    if (!model_.evaluate(bestX_, modelValues_, rowFailures_)) {
        result.status = FitStatus::Cancelled;
        result.message = "The fit was cancelled";
        return result;
    }
    std::vector<long double> sums(model_.matchCount()), weights(model_.matchCount());
    for (std::size_t k = 0; k < observed_.size(); ++k) {
        const auto [row, match] = observed_[k];
        const long double w = rootWeights_[row] * rootWeights_[row];
        FitObservation seen{row, match, measured(k),
                            modelValues_[row * model_.matchCount() + match]};
        seen.residual = seen.measured - seen.fitted;
        result.residualSumOfSquares += w * seen.residual * seen.residual;
        sums[match] += w * seen.measured;
        weights[match] += w;
        result.observations.push_back(seen);
    }
    long double total = 0;
    for (const FitObservation& seen : result.observations) {
        const long double w = rootWeights_[seen.row] * rootWeights_[seen.row];
        total += w * std::pow(seen.measured - sums[seen.match] / weights[seen.match], 2);
    }
    result.rSquared = total > 0 ? 1 - result.residualSumOfSquares / total : kNaN;
    result.degreesOfFreedom = static_cast<int>(observed_.size() - n_);
    result.residualDeviation =
        result.degreesOfFreedom > 0
            ? std::sqrt(result.residualSumOfSquares / result.degreesOfFreedom)
            : kNaN;
    addErrorEstimates(result, bestX_);
    result.evaluations = model_.evaluations();
    return result;
}

// s^2 (J^T J)^-1 by a pivoted QR of J with unit columns, so that neither the
// squaring of J's condition nor the parameters' scales cost digits.
void Fitter::addErrorEstimates(FitResult& result, const std::vector<long double>& x) {
    result.standardErrors.assign(n_, kNaN);
    result.correlations.assign(n_ * n_, kNaN);
    if (result.degreesOfFreedom <= 0) return;
    const JacobianResult jacobian = DecimalStepJacobian(residualFunction_, x, observed_.size());
    if (!jacobian.ok) return;
    const auto m = static_cast<Eigen::Index>(observed_.size());
    const auto n = static_cast<Eigen::Index>(n_);
    Matrix J(m, n);
    Vector norms(n);
    for (Eigen::Index j = 0; j < n; ++j) {
        for (Eigen::Index k = 0; k < m; ++k)
            J(k, j) =
                jacobian.jacobian.at(static_cast<std::size_t>(k), static_cast<std::size_t>(j));
        norms(j) = J.col(j).norm();
        if (norms(j) == 0) return;
        J.col(j) /= norms(j);
    }
    Eigen::ColPivHouseholderQR<Matrix> qr(J);
    qr.setThreshold(kSingularRatio);
    if (qr.rank() < n) {
        result.stopReason +=
            "; the data cannot tell the parameters apart there (the Jacobian is "
            "singular), so they have no standard errors";
        return;
    }
    const Matrix R = qr.matrixR().topLeftCorner(n, n).triangularView<Eigen::Upper>();
    const Matrix Rinv = R.triangularView<Eigen::Upper>().solve(Matrix::Identity(n, n));
    const Matrix permuted = Rinv * Rinv.transpose();
    const Matrix unscaled = qr.colsPermutation() * permuted * qr.colsPermutation().transpose();
    const long double s2 = result.residualSumOfSquares / result.degreesOfFreedom;
    Matrix covariance(n, n);
    for (Eigen::Index i = 0; i < n; ++i) {
        for (Eigen::Index j = 0; j < n; ++j)
            covariance(i, j) = s2 * unscaled(i, j) / (norms(i) * norms(j));
    }
    for (Eigen::Index i = 0; i < n; ++i) {
        result.standardErrors[static_cast<std::size_t>(i)] = std::sqrt(covariance(i, i));
        for (Eigen::Index j = 0; j < n; ++j)
            result.correlations[static_cast<std::size_t>(i * n + j)] =
                unscaled(i, j) / std::sqrt(unscaled(i, i) * unscaled(j, j));
    }
}

std::string NumberOrDash(long double value) {
    return std::isnan(value) ? std::string("-") : FormatNumber(value);
}

}  // namespace

void MapColumnsByName(const Worksheet& sheet, const DataTable& data, FitSetup& setup) {
    setup.matches.clear();
    setup.inputs.clear();
    Worksheet copy = sheet;
    Engine engine(copy);
    const std::vector<int> written = engine.resultRows(setup.run.equation);
    for (const std::string& column : data.columns()) {
        const auto same = [&](const std::string& name) { return NamesEqual(name, column); };
        if (same(setup.passColumn) ||
            (setup.weighting != FitWeighting::None && same(setup.weightColumn)))
            continue;
        if (std::any_of(setup.parameters.begin(), setup.parameters.end(),
                        [&](const FitParameter& p) { return same(p.name); }))
            continue;
        const int row = sheet.variables.findRow(column);
        if (row != 0 && std::find(written.begin(), written.end(), row) != written.end()) {
            setup.matches.push_back({sheet.variables.name(row), column});
        } else if (const std::optional<InputCell> cell = FindInputCell(sheet, column);
                   cell && !setup.byPass) {
            setup.inputs.push_back({TableOf(sheet, cell->table).name(cell->row), column});
        }
    }
}

void MapRemainingColumnsByName(const Worksheet& sheet, const DataTable& data, bool matchesGiven,
                               bool inputsGiven, FitSetup& setup) {
    FitSetup named = setup;
    MapColumnsByName(sheet, data, named);
    const auto given = [&](const std::string& column) {
        const auto same = [&](const FitColumn& c) { return NamesEqual(c.column, column); };
        return std::any_of(setup.matches.begin(), setup.matches.end(), same) ||
               std::any_of(setup.inputs.begin(), setup.inputs.end(), same);
    };
    const auto add = [&](const std::vector<FitColumn>& from, std::vector<FitColumn>& to) {
        for (const FitColumn& column : from) {
            if (!given(column.column)) to.push_back(column);
        }
    };
    std::vector<FitColumn> matches = setup.matches, inputs = setup.inputs;
    if (!matchesGiven) add(named.matches, matches);
    if (!inputsGiven && !setup.byPass) add(named.inputs, inputs);
    setup.matches = std::move(matches);
    setup.inputs = std::move(inputs);
}

std::string FitSetupError(const Worksheet& sheet, const DataTable& data, const FitSetup& setup) {
    if (setup.parameters.empty() || setup.parameters.size() > kMaxFitParameters)
        return "Give 1 to " + std::to_string(kMaxFitParameters) + " parameters to estimate, not " +
               std::to_string(setup.parameters.size());
    std::vector<InputCell> cells;
    const auto taken = [&](const InputCell& cell) {
        return std::any_of(cells.begin(), cells.end(), [&](const InputCell& other) {
            return other.table == cell.table && other.row == cell.row;
        });
    };
    for (const FitParameter& p : setup.parameters) {
        const std::optional<InputCell> cell = FindInputCell(sheet, p.name);
        if (!cell) return QuotedName(p.name) + " is neither a constant nor a variable";
        if (taken(*cell)) return QuotedName(p.name) + " is given twice as a parameter";
        cells.push_back(*cell);
        if (p.bounds && !(std::isfinite(p.bounds->first) && std::isfinite(p.bounds->second)))
            return "The bounds of " + QuotedName(p.name) + " must be numbers";
    }
    const auto missing = [&](const std::string& column) {
        return "The data has no column " + QuotedName(column);
    };
    if (setup.matches.empty()) return "Match at least one measured column by a result variable";
    std::vector<int> rows;
    for (const FitColumn& match : setup.matches) {
        const int row = sheet.variables.findRow(match.name);
        if (row == 0) return QuotedName(match.name) + " is not a variable of the variable table";
        if (std::find(rows.begin(), rows.end(), row) != rows.end())
            return QuotedName(match.name) + " is matched twice";
        rows.push_back(row);
        if (data.findColumn(match.column) < 0) return missing(match.column);
    }
    if (setup.byPass && !setup.inputs.empty())
        return "A fit by pass runs the loop once from the tables; no column can set " +
               QuotedName(setup.inputs.front().name) + " row by row";
    for (const FitColumn& input : setup.inputs) {
        const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
        if (!cell) return QuotedName(input.name) + " is neither a constant nor a variable";
        if (taken(*cell))
            return QuotedName(input.name) + " is both a parameter and set from a column";
        cells.push_back(*cell);
        if (data.findColumn(input.column) < 0) return missing(input.column);
    }
    if (setup.weighting != FitWeighting::None) {
        const int column = data.findColumn(setup.weightColumn);
        if (column < 0) return missing(setup.weightColumn);
        for (std::size_t row = 0; row < data.rowCount(); ++row) {
            const long double w = data.at(row, column);
            if (!(w > 0) || !std::isfinite(w))
                return "The " +
                       std::string(setup.weighting == FitWeighting::Weights ? "weight" : "sigma") +
                       " at " + RowText(row) + " is " + FormatNumber(w) + "; it must be above 0";
        }
    }
    if (setup.byPass && !setup.passColumn.empty()) {
        const int column = data.findColumn(setup.passColumn);
        if (column < 0) return missing(setup.passColumn);
        for (std::size_t row = 0; row < data.rowCount(); ++row) {
            const long double pass = data.at(row, column);
            if (!(pass >= 1 && pass <= 2147483647.0L && pass == std::floor(pass)))
                return "The pass at " + RowText(row) + " is " + FormatNumber(pass) +
                       "; it must be a whole number from 1 to 2147483647";
        }
    }
    if (data.rowCount() * setup.matches.size() < setup.parameters.size())
        return "The data has fewer measured values (" +
               std::to_string(data.rowCount() * setup.matches.size()) + ") than parameters (" +
               std::to_string(setup.parameters.size()) + ")";
    return StudyRunError(setup.run);
}

FitResult Fit(const Worksheet& sheet, const DataTable& data, const FitSetup& setup,
              StudyControl* control) {
    return Fitter(sheet, data, setup, control).fit();
}

ResultTable FitParameterReport(const FitResult& result) {
    std::vector<std::string> columns{"Parameter", "Value", "Standard error"};
    for (const std::string& name : result.names) columns.push_back("Correlation with " + name);
    ResultTable table(columns);
    const std::size_t n = result.names.size();
    for (std::size_t i = 0; i < result.values.size(); ++i) {
        std::vector<std::string> row{result.names[i], result.valueTexts[i],
                                     NumberOrDash(result.standardErrors[i])};
        for (std::size_t j = 0; j < n; ++j)
            row.push_back(NumberOrDash(result.correlations[i * n + j]));
        table.addRow(std::move(row));
    }
    return table;
}

ResultTable FitStatisticsReport(const FitResult& result) {
    ResultTable table({"Statistic", "Value"});
    table.addRow({"Residual sum of squares", FormatNumber(result.residualSumOfSquares)});
    table.addRow({"Residual standard deviation", NumberOrDash(result.residualDeviation)});
    table.addRow({"R squared", NumberOrDash(result.rSquared)});
    table.addRow({"Degrees of freedom", std::to_string(result.degreesOfFreedom)});
    table.addRow({"Evaluations", std::to_string(result.evaluations)});
    table.addRow({"Stopped because", result.stopReason});
    if (!result.failures.empty()) table.addRow({"Rows left out", FailingRows(result.failures)});
    return table;
}

ResultTable FitDataReport(const FitResult& result, const DataTable& data, const FitSetup& setup) {
    std::vector<std::string> columns = data.columns();
    for (const FitColumn& match : setup.matches) {
        columns.push_back(match.name + " fitted");
        columns.push_back(match.name + " residual");
    }
    ResultTable table(columns);
    std::vector<std::vector<std::string>> rows(data.rowCount());
    for (std::size_t row = 0; row < data.rowCount(); ++row) {
        for (std::size_t c = 0; c < data.columnCount(); ++c)
            rows[row].push_back(FormatNumber(data.at(row, c)));
        rows[row].resize(columns.size());
    }
    for (const FitObservation& seen : result.observations) {
        const std::size_t at = data.columnCount() + 2 * seen.match;
        rows[seen.row][at] = FormatNumber(seen.fitted);
        rows[seen.row][at + 1] = FormatNumber(seen.residual);
    }
    for (std::vector<std::string>& row : rows) table.addRow(std::move(row));
    return table;
}

}  // namespace quantaro
