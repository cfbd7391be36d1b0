#include "studies/Optimise.h"

#include <nlopt.h>
#include <Eigen/Dense>
#include <unsupported/Eigen/NonLinearOptimization>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>

#include "engine/Numbers.h"
#include "studies/InputTrials.h"
#include "studies/RandomSource.h"

namespace quantaro {
namespace {

// What NLopt is told of a point where the run failed: far worse than any
// value a run gives there, scaled as the objective is.
constexpr double kFailedValue = 1e30;
// A constraint holds within this, relative to its value (or to 1 for 0);
// within kActive it is met as an equality.
constexpr long double kFeasible = 1e-9L;
constexpr long double kActive = 1e-8L;
// A polished point within kSettled of every constraint, and worse than the
// best start by no more than kPolishLoss (relative), is kept.
constexpr long double kSettled = 1e-12L;
constexpr long double kPolishLoss = 1e-8L;
// The polish's evaluations of the optimality conditions, each of which
// costs 1 + 2n trials.
constexpr int kMaxPolishSteps = 60;
// An input within this fraction of its range from a bound stays there.
constexpr long double kAtBound = 1e-9L;
// The residuals of the conditions where a run failed.
constexpr long double kFailedCondition = 1e100L;

long double Scale(long double value) {
    return value == 0 ? 1.0L : std::fabs(value);
}

// A point as the study judges it: the objective to minimise (R, or -R for a
// maximum), each constraint as g <= 0 (= 0 for an equality), scaled.
struct Evaluation {
    bool ok = false;
    std::vector<long double> x;
    long double objective = 0.0L;
    std::vector<long double> constraints;
    std::vector<std::string> texts;  // R first, then the constraints' results
    std::vector<long double> values;

    long double violation(const std::vector<OptimiseConstraint>& setup) const {
        long double worst = 0;
        for (std::size_t k = 0; k < constraints.size(); ++k) {
            const long double g =
                setup[k].kind == ConstraintKind::Equal ? std::fabs(constraints[k]) : constraints[k];
            worst = std::max(worst, g);
        }
        return worst;
    }
};

// The ends of one start: the best point it evaluated, feasible points before
// infeasible ones, and what it cost.
struct StartEnd {
    std::optional<Evaluation> best;
    // Where NLopt ended, for the polish, whose end is its answer.
    std::optional<Evaluation> final;
    int evaluations = 0;
    std::string lastFailure;  // the message of the last run that failed
    std::vector<std::pair<int, long double>> history;
};

class Problem;

// One search with NLopt from one start, on one worker's trials.
class LocalSearch {
  public:
    LocalSearch(const Problem& problem, InputTrials& trials) : problem_(problem), trials_(trials) {}
    StartEnd run(std::vector<long double> start, nlopt_algorithm algorithm, int maxEvaluations);

  private:
    const Evaluation& evaluate(const double* x);
    static double Objective(unsigned n, const double* x, double* grad, void* data);
    static double Constraint(unsigned n, const double* x, double* grad, void* data);
    double scaled(long double objective) const {
        return static_cast<double>((objective - reference_) / Scale(reference_));
    }

    const Problem& problem_;
    InputTrials& trials_;
    nlopt_opt opt_ = nullptr;
    std::optional<Evaluation> last_;
    long double reference_ = 0.0L;
    bool haveReference_ = false;
    StartEnd end_;
    struct ConstraintData {
        LocalSearch* search;
        std::size_t index;
    };
    std::vector<ConstraintData> constraintData_;
};

class Problem {
  public:
    Problem(const Worksheet& sheet, const OptimiseSetup& setup) : setup_(setup) {
        for (const OptimiseInput& input : setup.inputs) {
            const InputCell cell = *FindInputCell(sheet, input.name);
            cells_.push_back(cell);
            const NameTable& table = TableOf(sheet, cell.table);
            inputNames_.push_back(table.name(cell.row));
            const long double low = std::min(input.low, input.high);
            const long double high = std::max(input.low, input.high);
            const long double value = table.overflows(cell.row) ? 0.0L : table.number(cell.row);
            low_.push_back(low);
            high_.push_back(high);
            start_.push_back(RoundedToDigits(std::clamp(value, low, high)));
        }
        rows_.push_back(sheet.variables.findRow(setup.objective));
        for (const OptimiseConstraint& c : setup.constraints)
            rows_.push_back(sheet.variables.findRow(c.result));
    }

    const OptimiseSetup& setup() const { return setup_; }
    std::size_t n() const { return cells_.size(); }
    std::unique_ptr<InputTrials> trials(const Worksheet& sheet, StudyControl* control) const {
        return std::make_unique<InputTrials>(sheet, cells_, rows_, setup_.run, control);
    }
    const std::vector<long double>& low() const { return low_; }
    const std::vector<long double>& high() const { return high_; }
    const std::vector<std::string>& inputNames() const { return inputNames_; }

    // The k-th start: the tables' values first, then points drawn evenly
    // within the bounds, each a function of the seed and k alone.
    std::vector<long double> start(int k) const {
        if (k == 0) return start_;
        const PhiloxRandomSource random;
        std::vector<long double> x(n());
        for (std::size_t j = 0; j < n(); ++j) {
            const long double u = random.uniform(setup_.seed, static_cast<std::uint64_t>(k), j);
            x[j] =
                RoundedToDigits(std::clamp(low_[j] + (high_[j] - low_[j]) * u, low_[j], high_[j]));
        }
        return x;
    }

    Evaluation judge(std::vector<long double> x, const TrialReading& reading) const {
        Evaluation e;
        e.x = std::move(x);
        if (!reading.ok) return e;
        e.ok = true;
        const long double r = reading.values[0];
        e.objective = setup_.sense == OptimiseSense::Maximise ? -r : r;
        for (std::size_t k = 0; k < setup_.constraints.size(); ++k) {
            const OptimiseConstraint& c = setup_.constraints[k];
            const long double difference = (reading.values[k + 1] - c.value) / Scale(c.value);
            e.constraints.push_back(c.kind == ConstraintKind::AtLeast ? -difference : difference);
        }
        e.texts = reading.texts;
        e.values = reading.values;
        return e;
    }

    // Whether a is better than b: feasible before infeasible, then the
    // smaller objective, or the smaller violation among infeasible points.
    bool better(const Evaluation& a, const Evaluation& b) const {
        const long double va = a.violation(setup_.constraints);
        const long double vb = b.violation(setup_.constraints);
        const bool fa = va <= kFeasible, fb = vb <= kFeasible;
        if (fa != fb) return fa;
        if (!fa) return va < vb;
        return a.objective < b.objective;
    }
    bool feasible(const Evaluation& e) const {
        return e.violation(setup_.constraints) <= kFeasible;
    }

  private:
    const OptimiseSetup& setup_;
    std::vector<InputCell> cells_;
    std::vector<int> rows_;
    std::vector<std::string> inputNames_;
    std::vector<long double> low_;
    std::vector<long double> high_;
    std::vector<long double> start_;
};

const Evaluation& LocalSearch::evaluate(const double* x) {
    const std::size_t n = problem_.n();
    std::vector<long double> point(n);
    for (std::size_t j = 0; j < n; ++j) point[j] = RoundedToDigits(x[j]);
    if (last_ && last_->x == point) return *last_;
    const std::optional<TrialReading> reading = trials_.run(point);
    if (!reading) {
        nlopt_force_stop(opt_);
        last_ = Evaluation{false, point, 0, {}, {}, {}};
        return *last_;
    }
    last_ = problem_.judge(point, *reading);
    if (!reading->ok) end_.lastFailure = reading->failure;
    if (last_->ok) {
        if (!haveReference_) {
            reference_ = last_->objective;
            haveReference_ = true;
        }
        const long double r = problem_.setup().sense == OptimiseSense::Maximise ? -last_->objective
                                                                                : last_->objective;
        end_.history.emplace_back(trials_.trials(), r);
        if (!end_.best || problem_.better(*last_, *end_.best)) end_.best = *last_;
    }
    if (trials_.cancelled()) nlopt_force_stop(opt_);
    return *last_;
}

double LocalSearch::Objective(unsigned, const double* x, double*, void* data) {
    auto* self = static_cast<LocalSearch*>(data);
    const Evaluation& e = self->evaluate(x);
    if (!e.ok) return kFailedValue;
    const double value = self->scaled(e.objective);
    return value;
}

double LocalSearch::Constraint(unsigned, const double* x, double*, void* data) {
    auto* link = static_cast<ConstraintData*>(data);
    LocalSearch* self = link->search;
    const Evaluation& e = self->evaluate(x);
    if (!e.ok) return kFailedValue;
    const double value = static_cast<double>(e.constraints[link->index]);
    return value;
}

StartEnd LocalSearch::run(std::vector<long double> start, nlopt_algorithm algorithm,
                          int maxEvaluations) {
    const std::size_t n = problem_.n();
    opt_ = nlopt_create(algorithm, static_cast<unsigned>(n));
    std::vector<double> x(start.begin(), start.end());
    std::vector<double> low(problem_.low().begin(), problem_.low().end());
    std::vector<double> high(problem_.high().begin(), problem_.high().end());
    nlopt_set_lower_bounds(opt_, low.data());
    nlopt_set_upper_bounds(opt_, high.data());
    nlopt_set_min_objective(opt_, Objective, this);
    const std::vector<OptimiseConstraint>& constraints = problem_.setup().constraints;
    constraintData_.clear();
    for (std::size_t k = 0; k < constraints.size(); ++k) constraintData_.push_back({this, k});
    for (std::size_t k = 0; k < constraints.size(); ++k) {
        if (constraints[k].kind == ConstraintKind::Equal) {
            nlopt_add_equality_constraint(opt_, Constraint, &constraintData_[k], 1e-12);
        } else {
            nlopt_add_inequality_constraint(opt_, Constraint, &constraintData_[k], 0);
        }
    }
    nlopt_set_xtol_rel(opt_, 1e-15);
    nlopt_set_maxeval(opt_, maxEvaluations);
    const int before = trials_.trials();
    double value = 0;
    nlopt_optimize(opt_, x.data(), &value);
    if (!trials_.cancelled()) {
        const Evaluation& last = evaluate(x.data());
        if (last.ok) end_.final = last;
    }
    end_.evaluations = trials_.trials() - before;
    nlopt_destroy(opt_);
    opt_ = nullptr;
    return std::move(end_);
}

using Vector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;
using Matrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;

// The last digits of an optimum, which the objective's value cannot tell
// apart, since it is flat there to second order: the conditions that hold
// at the optimum, the gradient of the Lagrangian zero and each active
// constraint met, solved by Powell's hybrid method for the free inputs and
// the constraints' multipliers. The gradients come by central differences,
// good to about the 13th digit, and so then are the inputs.
class KktPolish {
  public:
    KktPolish(const Problem& problem, InputTrials& trials, const Evaluation& from)
        : problem_(problem), trials_(trials), x_(from.x) {
        const std::vector<OptimiseConstraint>& constraints = problem.setup().constraints;
        for (std::size_t k = 0; k < constraints.size(); ++k) {
            if (constraints[k].kind == ConstraintKind::Equal ||
                std::fabs(from.constraints[k]) <= kActive)
                active_.push_back(k);
        }
        for (std::size_t j = 0; j < problem.n(); ++j) {
            const long double margin = kAtBound * (problem.high()[j] - problem.low()[j]);
            if (x_[j] - problem.low()[j] <= margin) {
                x_[j] = problem.low()[j];
            } else if (problem.high()[j] - x_[j] <= margin) {
                x_[j] = problem.high()[j];
            } else {
                free_.push_back(j);
            }
        }
        objectiveScale_ = Scale(from.objective);
    }

    // The point where the conditions hold, when they can be solved there.
    std::optional<Evaluation> run();

    int operator()(const Vector& z, Vector& conditions) const;
    int values() const { return static_cast<int>(free_.size() + active_.size()); }
    int inputs() const { return values(); }

  private:
    std::vector<long double> point(const Vector& z) const {
        std::vector<long double> x = x_;
        for (std::size_t f = 0; f < free_.size(); ++f) x[free_[f]] = RoundedToDigits(z[f]);
        return x;
    }
    // The value and the gradients over the free inputs of the objective
    // (row 0, scaled) and of every constraint, at x.
    bool gradients(const std::vector<long double>& x, Evaluation& at, Matrix& rows) const;

    const Problem& problem_;
    InputTrials& trials_;
    std::vector<long double> x_;
    std::vector<std::size_t> free_;
    std::vector<std::size_t> active_;
    long double objectiveScale_ = 1.0L;
    // What the solver's evaluations found, which it asks for through a
    // const functor.
    mutable int steps_ = 0;
    mutable long double bestNorm_ = INFINITY;
    mutable std::optional<Evaluation> best_;
    mutable Vector bestMultipliers_;
};

bool KktPolish::gradients(const std::vector<long double>& x, Evaluation& at, Matrix& rows) const {
    const std::optional<TrialReading> reading = trials_.run(x);
    if (!reading || !reading->ok) return false;
    at = problem_.judge(x, *reading);
    const std::size_t count = 1 + problem_.setup().constraints.size();
    std::vector<long double> full = x;
    const ResidualFunction functions = [&](std::span<const long double> y,
                                           std::span<long double> out) {
        for (std::size_t f = 0; f < free_.size(); ++f) full[free_[f]] = y[f];
        const std::optional<TrialReading> r = trials_.run(full);
        if (!r || !r->ok) return false;
        const Evaluation e = problem_.judge(full, *r);
        out[0] = e.objective / objectiveScale_;
        std::copy(e.constraints.begin(), e.constraints.end(), out.begin() + 1);
        return true;
    };
    std::vector<long double> y;
    for (const std::size_t j : free_) y.push_back(x[j]);
    const JacobianResult result = DecimalStepJacobian(functions, y, count);
    if (!result.ok) return false;
    rows.resize(static_cast<Eigen::Index>(count), static_cast<Eigen::Index>(free_.size()));
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t f = 0; f < free_.size(); ++f) rows(i, f) = result.jacobian.at(i, f);
    }
    return true;
}

int KktPolish::operator()(const Vector& z, Vector& conditions) const {
    if (trials_.cancelled() || ++steps_ > kMaxPolishSteps) return -1;
    const std::size_t nf = free_.size();
    const std::vector<long double> x = point(z);
    Evaluation at;
    Matrix rows;
    if (!gradients(x, at, rows)) {
        if (trials_.cancelled()) return -1;
        conditions.setConstant(kFailedCondition);
        return 0;
    }
    const Vector multipliers = z.tail(static_cast<Eigen::Index>(active_.size()));
    Vector lagrangian = rows.row(0).transpose();
    for (std::size_t a = 0; a < active_.size(); ++a)
        lagrangian += multipliers[a] * rows.row(1 + active_[a]).transpose();
    conditions.head(static_cast<Eigen::Index>(nf)) = lagrangian;
    for (std::size_t a = 0; a < active_.size(); ++a)
        conditions[static_cast<Eigen::Index>(nf + a)] = at.constraints[active_[a]];
    const long double norm = conditions.stableNorm();
    if (norm < bestNorm_) {
        bestNorm_ = norm;
        best_ = std::move(at);
        bestMultipliers_ = multipliers;
    }
    return 0;
}

std::optional<Evaluation> KktPolish::run() {
    const std::size_t nf = free_.size();
    if (nf == 0 || active_.size() > nf) return std::nullopt;  // a vertex: nothing is free
    Evaluation at;
    Matrix rows;
    if (!gradients(x_, at, rows)) return std::nullopt;
    // The multipliers that best balance the gradients at the start.
    Matrix normals(static_cast<Eigen::Index>(nf), static_cast<Eigen::Index>(active_.size()));
    for (std::size_t a = 0; a < active_.size(); ++a)
        normals.col(static_cast<Eigen::Index>(a)) = rows.row(1 + active_[a]).transpose();
    Vector z(static_cast<Eigen::Index>(nf + active_.size()));
    for (std::size_t f = 0; f < nf; ++f) z[f] = x_[free_[f]];
    if (!active_.empty()) {
        z.tail(static_cast<Eigen::Index>(active_.size())) =
            normals.colPivHouseholderQr().solve(-rows.row(0).transpose());
    }
    Eigen::HybridNonLinearSolver<KktPolish, long double> solver(*this);
    solver.parameters.xtol = 1e-18L;
    solver.parameters.epsfcn = 1e-14L;
    solver.hybrd1(z, 1e-18L);
    if (!best_) return std::nullopt;
    // An inequality pulling the wrong way is not active at the optimum.
    const std::vector<OptimiseConstraint>& constraints = problem_.setup().constraints;
    for (std::size_t a = 0; a < active_.size(); ++a) {
        if (constraints[active_[a]].kind != ConstraintKind::Equal &&
            bestMultipliers_[static_cast<Eigen::Index>(a)] < 0)
            return std::nullopt;
    }
    for (std::size_t j = 0; j < problem_.n(); ++j) {
        if (best_->x[j] < problem_.low()[j] || best_->x[j] > problem_.high()[j])
            return std::nullopt;
    }
    return best_;
}

std::string ConstraintsText(const OptimiseSetup& setup, const std::vector<std::string>& names) {
    std::vector<std::string> parts;
    for (std::size_t k = 0; k < setup.constraints.size(); ++k) {
        parts.push_back(names[k + 1] + " " + ConstraintSign(setup.constraints[k].kind) + " " +
                        FormatNumber(setup.constraints[k].value));
    }
    return JoinedNames(parts);
}

}  // namespace

const char* ConstraintSign(ConstraintKind kind) {
    switch (kind) {
        case ConstraintKind::AtMost:
            return "<=";
        case ConstraintKind::AtLeast:
            return ">=";
        case ConstraintKind::Equal:
            return "=";
    }
    return "";
}

std::string OptimiseSetupError(const Worksheet& sheet, const OptimiseSetup& setup) {
    if (setup.inputs.empty() || setup.inputs.size() > kMaxOptimiseInputs)
        return "Give 1 to " + std::to_string(kMaxOptimiseInputs) + " inputs, not " +
               std::to_string(setup.inputs.size());
    if (setup.constraints.size() > kMaxConstraints)
        return "Give at most " + std::to_string(kMaxConstraints) + " constraints, not " +
               std::to_string(setup.constraints.size());
    if (sheet.variables.findRow(setup.objective) == 0)
        return QuotedName(setup.objective) + " is not a variable of the variable table";
    std::vector<InputCell> cells;
    for (const OptimiseInput& input : setup.inputs) {
        const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
        if (!cell) return QuotedName(input.name) + " is neither a constant nor a variable";
        for (const InputCell& other : cells) {
            if (other.table == cell->table && other.row == cell->row)
                return QuotedName(input.name) + " is given twice as an input";
        }
        cells.push_back(*cell);
        if (!(std::isfinite(input.low) && std::isfinite(input.high)))
            return "The bounds of " + QuotedName(input.name) + " must be numbers";
        if (!(input.low < input.high))
            return "The lower bound of " + QuotedName(input.name) + " must be below its upper";
    }
    for (const OptimiseConstraint& c : setup.constraints) {
        if (sheet.variables.findRow(c.result) == 0)
            return QuotedName(c.result) + " is not a variable of the variable table";
        if (!std::isfinite(c.value))
            return "The limit of " + QuotedName(c.result) + " must be a number";
    }
    if (setup.starts < 1 || setup.starts > kMaxStarts)
        return "The number of starts must be 1 to " + std::to_string(kMaxStarts);
    return StudyRunError(setup.run);
}

OptimiseResult Optimise(const Worksheet& sheet, const OptimiseSetup& setup, StudyControl* control,
                        unsigned workers) {
    const Problem problem(sheet, setup);
    const nlopt_algorithm algorithm = setup.constraints.empty() ? NLOPT_LN_BOBYQA : NLOPT_LN_COBYLA;
    std::vector<StartEnd> ends(static_cast<std::size_t>(setup.starts));
    std::atomic<int> next{0};
    const auto work = [&] {
        const std::unique_ptr<InputTrials> trials = problem.trials(sheet, control);
        for (int k = next++; k < setup.starts; k = next++) {
            if (trials->cancelled()) return;
            ends[static_cast<std::size_t>(k)] =
                LocalSearch(problem, *trials).run(problem.start(k), algorithm, kMaxOptimiseTrials);
        }
    };
    // The worksheet is copied here, before any thread reads it.
    std::vector<std::jthread> threads;
    const unsigned count = std::clamp(workers, 1u, static_cast<unsigned>(setup.starts));
    for (unsigned w = 1; w < count; ++w) threads.emplace_back(work);
    work();
    threads.clear();

    OptimiseResult result;
    result.inputNames = problem.inputNames();
    result.objectiveName = sheet.variables.name(sheet.variables.findRow(setup.objective));
    std::vector<std::string> names{result.objectiveName};
    for (const OptimiseConstraint& c : setup.constraints)
        names.push_back(sheet.variables.name(sheet.variables.findRow(c.result)));
    // What a start came to: where NLopt ended, when that is feasible, else
    // the best point it tried.
    const auto answer = [&](const StartEnd& end) -> const Evaluation* {
        if (end.final && problem.feasible(*end.final)) return &*end.final;
        return end.best ? &*end.best : nullptr;
    };
    const StartEnd* winner = nullptr;
    for (const StartEnd& end : ends) {
        result.evaluations += end.evaluations;
        if (answer(end) && (!winner || problem.better(*answer(end), *answer(*winner))))
            winner = &end;
    }
    const auto fail = [&](const std::string& why) {
        result.status = OptimiseStatus::NoSolution;
        result.message = why;
        return result;
    };
    if (control && control->cancelled()) return fail("The search was cancelled");
    if (!winner) {
        return fail("The formula fails at every value tried (" + ends.front().lastFailure + ")");
    }
    const Evaluation& reached = *answer(*winner);
    result.history = winner->history;
    if (!problem.feasible(reached)) {
        std::string nearest;
        for (std::size_t k = 0; k < setup.constraints.size(); ++k)
            nearest += (k ? ", " : "") + names[k + 1] + " = " + reached.texts[k + 1];
        return fail("No inputs within their bounds satisfy " + ConstraintsText(setup, names) +
                    " (nearest: " + nearest + ")");
    }

    // The polish ends where the optimality conditions hold, which may cost
    // a little of the objective that a point bending a constraint within
    // its tolerance won; a polish that ends clearly worse, or less feasible,
    // is dropped.
    std::optional<Evaluation> polished;
    {
        const std::unique_ptr<InputTrials> trials = problem.trials(sheet, control);
        polished = KktPolish(problem, *trials, reached).run();
        result.evaluations += trials->trials();
        if (polished) {
            const bool asFeasible = polished->violation(setup.constraints) <=
                                    std::max(kSettled, reached.violation(setup.constraints));
            const bool asGood =
                polished->objective <= reached.objective + kPolishLoss * Scale(reached.objective);
            if (!asFeasible || !asGood) polished.reset();
        }
    }
    if (control && control->cancelled()) return fail("The search was cancelled");
    const Evaluation& best = polished ? *polished : reached;

    result.values = best.x;
    for (const long double x : best.x) result.valueTexts.push_back(FormatNumber(x));
    result.objectiveText = best.texts[0];
    result.objective = best.values[0];
    for (std::size_t k = 0; k < setup.constraints.size(); ++k) {
        const bool active = setup.constraints[k].kind == ConstraintKind::Equal ||
                            std::fabs(best.constraints[k]) <= kActive;
        result.constraints.push_back({names[k + 1], best.texts[k + 1], active});
    }
    for (const StartEnd& end : ends) {
        if (!answer(end) || &end == winner) continue;
        for (std::size_t j = 0; j < problem.n(); ++j) {
            const long double span = problem.high()[j] - problem.low()[j];
            if (std::fabs(answer(end)->x[j] - reached.x[j]) > 1e-6L * span) {
                ++result.startsElsewhere;
                break;
            }
        }
    }
    return result;
}

ResultTable OptimiseReport(const OptimiseResult& result, const OptimiseSetup& setup) {
    ResultTable table({"Name", "Value", "Limit", "State"});
    for (std::size_t j = 0; j < result.valueTexts.size(); ++j) {
        table.addRow(
            {result.inputNames[j], result.valueTexts[j],
             FormatNumber(setup.inputs[j].low) + " to " + FormatNumber(setup.inputs[j].high)});
    }
    if (!result.succeeded()) return table;
    table.addRow({result.objectiveName, result.objectiveText,
                  setup.sense == OptimiseSense::Maximise ? "maximum" : "minimum"});
    for (std::size_t k = 0; k < result.constraints.size(); ++k) {
        const OptimiseConstraint& c = setup.constraints[k];
        table.addRow({result.constraints[k].name, result.constraints[k].text,
                      std::string(ConstraintSign(c.kind)) + " " + FormatNumber(c.value),
                      result.constraints[k].active ? "active" : "inactive"});
    }
    return table;
}

}  // namespace quantaro
