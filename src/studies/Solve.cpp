#include "studies/Solve.h"

#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "engine/Numbers.h"
#include "studies/InputTrials.h"
#include "studies/Jacobian.h"

namespace quantaro {
namespace {

using Vector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;
using Matrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;

// The residuals of a trial whose run failed: far beyond any the search has
// seen, so that the step there is refused and the trust region shrinks.
constexpr long double kFailedResidual = 1e100L;
// Rank below this, relative to the largest column, counts as singular.
constexpr long double kSingularRatio = 1e-13L;

std::string Plural(std::size_t count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

// How an input moves: freely, or through x = lo + (hi - lo) (1 + sin u) / 2.
class Solver {
  public:
    Solver(const Worksheet& sheet, const SolveSetup& setup, StudyControl* control)
        : setup_(setup),
          control_(control),
          trials_(sheet, Cells(sheet, setup), Rows(sheet, setup), setup.run, control),
          m_(setup.targets.size()),
          n_(setup.inputs.size()) {
        for (const SolveInput& input : setup.inputs) {
            const InputCell cell = *FindInputCell(sheet, input.name);
            const NameTable& table = TableOf(sheet, cell.table);
            inputNames_.push_back(table.name(cell.row));
            const BoundedInput map = BoundedInput::Of(input.bounds);
            maps_.push_back(map);
            start_.push_back(
                map.startingUnknown(table.overflows(cell.row) ? 0.0L : table.number(cell.row)));
        }
        for (const SolveTarget& target : setup.targets) {
            scales_.push_back(target.target == 0 ? 1.0L : std::fabs(target.target));
            targetTexts_.push_back(FormatNumber(target.target));
        }
        residualFunction_ = [this](std::span<const long double> u, std::span<long double> out) {
            return residuals(u, out);
        };
    }

    SolveResult solve();

    // What Eigen's solvers call: the residuals, and the Jacobian. A negative
    // return ends the search.
    int operator()(const Vector& u, Vector& fvec);
    int df(const Vector& u, Matrix& fjac);
    int values() const { return static_cast<int>(m_); }
    int inputs() const { return static_cast<int>(n_); }

  private:
    static std::vector<InputCell> Cells(const Worksheet& sheet, const SolveSetup& setup) {
        std::vector<InputCell> cells;
        for (const SolveInput& input : setup.inputs)
            cells.push_back(*FindInputCell(sheet, input.name));
        return cells;
    }
    static std::vector<int> Rows(const Worksheet& sheet, const SolveSetup& setup) {
        std::vector<int> rows;
        for (const SolveTarget& target : setup.targets)
            rows.push_back(sheet.variables.findRow(target.result));
        return rows;
    }

    std::vector<long double> inputValues(std::span<const long double> u) const {
        std::vector<long double> x(n_);
        for (std::size_t j = 0; j < n_; ++j) x[j] = RoundedToDigits(maps_[j].value(u[j]));
        return x;
    }
    bool residuals(std::span<const long double> u, std::span<long double> out);
    bool atDigitLevel(std::span<const long double> r, std::span<const long double> u) const;
    bool stopping() const {
        return converged_ || cancelled_ || trials_.trials() >= kMaxSolveTrials;
    }
    std::string singularity(const Jacobian& jacobian) const;

    SolveResult found() const;
    SolveResult notFound(const std::string& why) const;
    std::string failureReason(bool progressStopped) const;

    const SolveSetup& setup_;
    StudyControl* control_;
    InputTrials trials_;
    std::size_t m_;
    std::size_t n_;
    std::vector<std::string> inputNames_;
    std::vector<BoundedInput> maps_;
    std::vector<long double> start_;
    std::vector<long double> scales_;
    std::vector<std::string> targetTexts_;
    ResidualFunction residualFunction_;

    std::optional<Jacobian> jacobian_;  // the latest
    // The last point whose run succeeded, with its residuals, and the step
    // whose run failed after it.
    std::optional<std::pair<Vector, Vector>> lastGood_;
    std::optional<Vector> failedAt_;
    bool converged_ = false;
    bool cancelled_ = false;
    bool jacobianFailed_ = false;
    std::string singular_;
    std::string lastFailure_;
    int validTrials_ = 0;
    std::vector<std::pair<int, long double>> history_;
    // The trial of the smallest residual norm so far.
    long double bestNorm_ = INFINITY;
    std::vector<long double> bestU_;
    std::vector<long double> bestX_;
    std::vector<long double> bestValues_;
    std::vector<long double> bestResiduals_;
    std::vector<std::string> bestTexts_;
};

bool Solver::residuals(std::span<const long double> u, std::span<long double> out) {
    if (stopping()) return false;
    const std::vector<long double> x = inputValues(u);
    const std::optional<TrialReading> reading = trials_.run(x);
    if (!reading) {
        cancelled_ = true;
        return false;
    }
    if (!reading->ok) {
        lastFailure_ = reading->failure;
        return false;
    }
    ++validTrials_;
    long double sum = 0;
    for (std::size_t i = 0; i < m_; ++i) {
        out[i] = (reading->values[i] - setup_.targets[i].target) / scales_[i];
        sum += out[i] * out[i];
    }
    const long double norm = std::sqrt(sum);
    history_.emplace_back(trials_.trials(), norm);
    if (norm < bestNorm_) {
        bestNorm_ = norm;
        bestU_.assign(u.begin(), u.end());
        bestX_ = x;
        bestValues_ = reading->values;
        bestResiduals_.assign(out.begin(), out.end());
        bestTexts_ = reading->texts;
        // Every result reads as its target: no 15-digit input can do better.
        converged_ = true;
        for (std::size_t i = 0; i < m_; ++i) {
            if (bestTexts_[i] != targetTexts_[i]) converged_ = false;
        }
    }
    return true;
}

// Whether no 15-digit value of an input could bring any result nearer its
// target: each residual within what one unit of every input's 15th digit
// moves it by, by the latest Jacobian, and half a unit of the target's.
bool Solver::atDigitLevel(std::span<const long double> r, std::span<const long double> u) const {
    for (std::size_t i = 0; i < m_; ++i) {
        long double tolerance = LastDigitUnit(setup_.targets[i].target) / 2 / scales_[i];
        if (jacobian_) {
            for (std::size_t j = 0; j < n_; ++j) {
                const long double slope = maps_[j].derivative(u[j]);
                if (slope == 0) continue;
                tolerance +=
                    std::fabs(jacobian_->at(i, j) / slope) * LastDigitUnit(maps_[j].value(u[j]));
            }
        }
        if (!(std::fabs(r[i]) <= tolerance)) return false;
    }
    return true;
}

int Solver::operator()(const Vector& u, Vector& fvec) {
    if (stopping()) return -1;
    // The point the search restarts from was tried already.
    if (lastGood_ && lastGood_->first == u) {
        fvec = lastGood_->second;
        return 0;
    }
    if (!residuals({u.data(), n_}, {fvec.data(), m_})) {
        if (cancelled_ || stopping()) return -1;
        if (m_ == n_) {
            // Powell's method would fold these residuals into its Broyden
            // update of the Jacobian; it stops instead, and starts again with
            // a shorter step (solve()).
            failedAt_ = u;
            return -1;
        }
        fvec.setConstant(kFailedResidual);
        return 0;
    }
    lastGood_.emplace(u, fvec);
    return stopping() ? -1 : 0;
}

int Solver::df(const Vector& u, Matrix& fjac) {
    if (stopping()) return -1;
    const JacobianResult result = FiniteDifferenceJacobian(residualFunction_, {u.data(), n_}, m_);
    if (!result.ok) {
        if (!stopping()) jacobianFailed_ = true;
        return -1;
    }
    const bool first = !jacobian_;
    jacobian_ = result.jacobian;
    for (std::size_t i = 0; i < m_; ++i) {
        for (std::size_t j = 0; j < n_; ++j) fjac(i, j) = jacobian_->at(i, j);
    }
    if (first && m_ == n_) {
        singular_ = singularity(*jacobian_);
        if (!singular_.empty()) return -1;
    }
    return 0;
}

// Why the Jacobian has no inverse, or nothing when it has one: an input
// that moves no result is named; otherwise the columns, each made of unit
// length, are of lower rank.
std::string Solver::singularity(const Jacobian& jacobian) const {
    Matrix columns(m_, n_);
    std::vector<std::string> idle;
    for (std::size_t j = 0; j < n_; ++j) {
        long double sum = 0;
        for (std::size_t i = 0; i < m_; ++i) {
            columns(i, j) = jacobian.at(i, j);
            sum += columns(i, j) * columns(i, j);
        }
        if (sum == 0) {
            idle.push_back(inputNames_[j]);
        } else {
            columns.col(j) /= std::sqrt(sum);
        }
    }
    if (!idle.empty()) {
        return "no result changes with " + JoinedNames(idle) + " at the start (the Jacobian is " +
               "singular)";
    }
    Eigen::ColPivHouseholderQR<Matrix> qr(columns);
    qr.setThreshold(kSingularRatio);
    if (qr.rank() == static_cast<Eigen::Index>(n_)) return {};
    return "the results do not change independently with the inputs at the start (the "
           "Jacobian is singular)";
}

SolveResult Solver::solve() {
    Vector u = Eigen::Map<const Vector>(start_.data(), static_cast<Eigen::Index>(n_));
    bool progressStopped = false;
    bool ok = true;
    if (m_ == n_) {
        Eigen::HybridNonLinearSolver<Solver, long double> solver(*this);
        solver.parameters.xtol = 1e-18L;
        solver.parameters.maxfev = kMaxSolveTrials;
        auto status = Eigen::HybridNonLinearSolverSpace::Running;
        for (;;) {
            status = solver.solveInit(u);
            while (status == Eigen::HybridNonLinearSolverSpace::Running)
                status = solver.solveOneStep(u);
            if (!failedAt_ || stopping() || !lastGood_) break;
            // A step into a failing run: from the last point that ran, the
            // next first step may go half as far, in the scaled norm.
            const Vector diag =
                solver.diag.size() == u.size() ? solver.diag : Vector::Ones(u.size());
            const long double step = diag.cwiseProduct(*failedAt_ - u).stableNorm();
            const long double norm = diag.cwiseProduct(u).stableNorm();
            failedAt_.reset();
            solver.parameters.factor = (norm > 0 ? step / norm : step) / 2;
            if (!(solver.parameters.factor > 0)) break;
        }
        progressStopped = status == Eigen::HybridNonLinearSolverSpace::NotMakingProgressJacobian ||
                          status == Eigen::HybridNonLinearSolverSpace::NotMakingProgressIterations;
    } else {
        Eigen::LevenbergMarquardt<Solver, long double> solver(*this);
        solver.parameters.xtol = 1e-18L;
        solver.parameters.ftol = 1e-18L;
        solver.parameters.maxfev = kMaxSolveTrials;
        auto status = solver.minimizeInit(u);
        if (status == Eigen::LevenbergMarquardtSpace::NotStarted) {
            do {
                status = solver.minimizeOneStep(u);
            } while (status == Eigen::LevenbergMarquardtSpace::Running);
        }
        // Every status but these is a minimum as near as the digits allow.
        ok = status != Eigen::LevenbergMarquardtSpace::ImproperInputParameters &&
             status != Eigen::LevenbergMarquardtSpace::TooManyFunctionEvaluation &&
             status != Eigen::LevenbergMarquardtSpace::UserAsked;
    }
    if (cancelled_) return notFound("the search was cancelled");
    if (converged_) return found();
    // Once the search settles, the best trial is judged by the 15-digit
    // level the latest Jacobian sets.
    if (!bestU_.empty() && jacobian_ && atDigitLevel(bestResiduals_, bestU_)) return found();
    if (m_ > n_ && ok && singular_.empty() && !jacobianFailed_ && !bestU_.empty()) return found();
    return notFound(failureReason(progressStopped));
}

std::string Solver::failureReason(bool progressStopped) const {
    if (bestU_.empty()) return "the formula fails at the start (" + lastFailure_ + ")";
    if (!singular_.empty()) return singular_;
    std::string nearest;
    for (std::size_t i = 0; i < m_; ++i) {
        nearest += (i == 0 ? "" : ", ") + trials_.resultNames()[i] + " = " + bestTexts_[i];
    }
    nearest += " at ";
    for (std::size_t j = 0; j < n_; ++j) {
        nearest += (j == 0 ? "" : ", ") + inputNames_[j] + " = " + FormatNumber(bestX_[j]);
    }
    if (jacobianFailed_) {
        return "the formula fails next to the values reached (" + lastFailure_ +
               "); nearest: " + nearest;
    }
    if (trials_.trials() >= kMaxSolveTrials) {
        return "none was found in " + std::to_string(kMaxSolveTrials) +
               " trials; nearest: " + nearest;
    }
    return std::string(progressStopped ? "the search makes no more progress"
                                       : "the search stopped short") +
           "; nearest: " + nearest;
}

SolveResult Solver::found() const {
    SolveResult result;
    result.leastSquares = m_ > n_;
    result.inputNames = inputNames_;
    result.values = bestX_;
    for (const long double x : bestX_) result.valueTexts.push_back(FormatNumber(x));
    result.resultNames = trials_.resultNames();
    result.resultTexts = bestTexts_;
    for (std::size_t i = 0; i < m_; ++i) {
        result.residuals.push_back(bestValues_[i] - setup_.targets[i].target);
        result.sumOfSquares += bestResiduals_[i] * bestResiduals_[i];
    }
    result.trials = trials_.trials();
    result.history = history_;
    return result;
}

SolveResult Solver::notFound(const std::string& why) const {
    SolveResult result;
    result.status = SolveStatus::NoSolution;
    result.inputNames = inputNames_;
    result.resultNames = trials_.resultNames();
    result.trials = trials_.trials();
    result.history = history_;
    std::vector<std::string> targets;
    for (std::size_t i = 0; i < m_; ++i)
        targets.push_back(trials_.resultNames()[i] + " = " +
                          FormatNumber(setup_.targets[i].target));
    result.message = "No " + Plural(n_, "value", "values") + " of " + JoinedNames(inputNames_) +
                     " " + Plural(n_, "makes", "make") + " " + JoinedNames(targets) + ": " + why;
    return result;
}

}  // namespace

std::string SolveSetupError(const Worksheet& sheet, const SolveSetup& setup) {
    if (setup.targets.empty() || setup.targets.size() > kMaxSolveNames)
        return "Give 1 to " + std::to_string(kMaxSolveNames) + " targets, not " +
               std::to_string(setup.targets.size());
    if (setup.inputs.empty() || setup.inputs.size() > kMaxSolveNames)
        return "Give 1 to " + std::to_string(kMaxSolveNames) + " inputs, not " +
               std::to_string(setup.inputs.size());
    if (setup.targets.size() < setup.inputs.size())
        return "Give at least as many targets as inputs: " + std::to_string(setup.targets.size()) +
               " " + Plural(setup.targets.size(), "target", "targets") + " cannot fix " +
               std::to_string(setup.inputs.size()) + " inputs";
    std::vector<InputCell> cells;
    for (const SolveInput& input : setup.inputs) {
        const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
        if (!cell) return QuotedName(input.name) + " is neither a constant nor a variable";
        for (const InputCell& other : cells) {
            if (other.table == cell->table && other.row == cell->row)
                return QuotedName(input.name) + " is given twice as an input";
        }
        cells.push_back(*cell);
        if (input.bounds &&
            !(std::isfinite(input.bounds->first) && std::isfinite(input.bounds->second)))
            return "The bounds of " + QuotedName(input.name) + " must be numbers";
    }
    std::vector<int> rows;
    for (const SolveTarget& target : setup.targets) {
        const int row = sheet.variables.findRow(target.result);
        if (row == 0) return QuotedName(target.result) + " is not a variable of the variable table";
        if (std::find(rows.begin(), rows.end(), row) != rows.end())
            return QuotedName(target.result) + " is given twice as a target";
        rows.push_back(row);
        if (!std::isfinite(target.target))
            return "The target of " + QuotedName(target.result) + " must be a number";
    }
    return StudyRunError(setup.run);
}

SolveResult Solve(const Worksheet& sheet, const SolveSetup& setup, StudyControl* control) {
    return Solver(sheet, setup, control).solve();
}

ResultTable SolveReport(const SolveResult& result, const SolveSetup& setup) {
    ResultTable table({"Name", "Value", "Target", "Residual"});
    for (std::size_t j = 0; j < result.valueTexts.size(); ++j)
        table.addRow({result.inputNames[j], result.valueTexts[j]});
    for (std::size_t i = 0; i < result.resultTexts.size(); ++i) {
        table.addRow({result.resultNames[i], result.resultTexts[i],
                      FormatNumber(setup.targets[i].target), FormatNumber(result.residuals[i])});
    }
    return table;
}

}  // namespace quantaro
