#include "studies/Uncertainty.h"

#include <algorithm>
#include <cfenv>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"
#include "studies/Jacobian.h"

namespace quantaro {
namespace {

constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();

// The check's step, as a multiple of the step.
constexpr long double kCheckStepRatio = 10.0L;
// A sensitivity whose part in u(R) moves by more than this share of u(R)
// between the two steps is reported as unsure.
constexpr long double kStepAgreement = 1e-4L;

bool SameCell(const InputCell& a, const InputCell& b) {
    return a.table == b.table && a.row == b.row;
}

std::string InputError(const Worksheet& sheet, const UncertainInput& input) {
    const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
    if (!cell) return QuotedName(input.name) + " is neither a constant nor a variable";
    const NameTable& table = TableOf(sheet, cell->table);
    const std::string& name = table.name(cell->row);
    if (!std::isfinite(input.amount) || input.amount < 0) {
        return "The uncertainty of " + name + " must be a number of 0 or more";
    }
    if (input.halfWidth && input.distribution == Distribution::Normal) {
        return "The half-width of " + name +
               " needs a uniform or triangular distribution: a normal one has none";
    }
    if (table.overflows(cell->row))
        return "The value of " + name + " is beyond the range of numbers";
    return {};
}

}  // namespace

const char* DistributionName(Distribution distribution) {
    switch (distribution) {
        case Distribution::Uniform:
            return "uniform";
        case Distribution::Triangular:
            return "triangular";
        case Distribution::Normal:
            break;
    }
    return "normal";
}

std::string ReadUncertaintyAmount(std::string_view text, UncertainInput& input) {
    std::string quoted(1, '\'');
    quoted.append(text).append(1, '\'');
    std::string_view amount = text;
    while (amount.starts_with(' ')) amount.remove_prefix(1);
    while (amount.ends_with(' ')) amount.remove_suffix(1);
    input.halfWidth = false;
    for (const std::string_view mark : {std::string_view("±"), std::string_view("+-")}) {
        if (amount.starts_with(mark)) {
            input.halfWidth = true;
            amount.remove_prefix(mark.size());
            break;
        }
    }
    input.relative = amount.ends_with('%');
    if (input.relative) amount.remove_suffix(1);
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const std::optional<long double> value = ReadNumber(amount).value;
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    if (!value || !std::isfinite(*value)) return "the uncertainty " + quoted + " is not a number";
    if (*value < 0) return "the uncertainty " + quoted + " must be 0 or more";
    input.amount = *value;
    return {};
}

std::vector<std::string> DefaultUncertaintyResults(const Worksheet& sheet,
                                                   const std::vector<UncertainInput>& inputs) {
    std::vector<std::string> results;
    for (int row = 1; row <= sheet.variables.rowCount(); ++row) {
        const std::string& name = sheet.variables.name(row);
        if (name.empty() || sheet.variables.findRow(name) != row) continue;
        const bool isInput = std::any_of(inputs.begin(), inputs.end(), [&](const auto& input) {
            const std::optional<InputCell> cell = FindInputCell(sheet, input.name);
            return cell && SameCell(*cell, {InputTable::Variables, row});
        });
        if (!isInput) results.push_back(name);
    }
    return results;
}

std::string UncertaintySetupError(const Worksheet& sheet, const UncertaintySetup& setup) {
    if (setup.inputs.empty()) return "Give at least one input and its uncertainty";
    std::vector<InputCell> cells;
    for (const UncertainInput& input : setup.inputs) {
        if (std::string error = InputError(sheet, input); !error.empty()) return error;
        const InputCell cell = *FindInputCell(sheet, input.name);
        if (std::any_of(cells.begin(), cells.end(), [&](auto c) { return SameCell(c, cell); })) {
            return TableOf(sheet, cell.table).name(cell.row) + " is given twice";
        }
        cells.push_back(cell);
    }
    for (const std::string& result : setup.results) {
        if (sheet.variables.findRow(result) == 0) {
            return QuotedName(result) + " is not a variable of the variable table";
        }
    }
    return StudyRunError(setup.run);
}

UncertaintyPlan::UncertaintyPlan(const Worksheet& sheet, UncertaintySetup setup)
    : setup_(std::move(setup)) {
    for (const UncertainInput& given : setup_.inputs) {
        Input input;
        input.cell = *FindInputCell(sheet, given.name);
        const NameTable& table = TableOf(sheet, input.cell.table);
        input.name = table.name(input.cell.row);
        input.units = table.units(input.cell.row);
        input.value = table.number(input.cell.row);
        input.distribution = given.distribution;
        const long double amount =
            given.relative ? std::fabs(input.value) * given.amount / 100 : given.amount;
        const long double root = input.distribution == Distribution::Uniform      ? std::sqrt(3.0L)
                                 : input.distribution == Distribution::Triangular ? std::sqrt(6.0L)
                                                                                  : 1.0L;
        input.standard = given.halfWidth ? amount / root : amount;
        input.halfWidth = input.distribution == Distribution::Normal ? 0.0L
                          : given.halfWidth                          ? amount
                                                                     : amount * root;
        cells_.push_back(input.cell);
        inputs_.push_back(std::move(input));
    }
    const std::vector<std::string> names =
        setup_.results.empty() ? DefaultUncertaintyResults(sheet, setup_.inputs) : setup_.results;
    for (const std::string& name : names) {
        const int row = sheet.variables.findRow(name);
        resultRows_.push_back(row);
        resultNames_.push_back(sheet.variables.name(row));
        resultUnits_.push_back(sheet.variables.units(row));
    }
}

std::vector<long double> UncertaintyPlan::centre() const {
    std::vector<long double> values;
    for (const Input& input : inputs_) values.push_back(input.value);
    return values;
}

long double ResultNumber(const NameTable& variables, int row) {
    // A stored result reads back as its text does.
    if (variables.storedResult(row))
        return variables.overflows(row) ? kNoNumber : variables.number(row);
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    const std::optional<long double> number = ReadNumber(variables.value(row)).value;
    // As its text would show it, as a stored result is.
    const TextRoundTrip shown = RoundThroughText(number.value_or(0.0L));
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    return number && !shown.overflows ? shown.value : kNoNumber;
}

std::string NoNumberMessage(const Worksheet& sheet, int row) {
    return sheet.variables.name(row) + " holds " + QuotedName(sheet.variables.value(row)) +
           " after the run, which is no number";
}

long double DrawValue(const UncertaintyPlan::Input& input, long double u) {
    if (input.distribution == Distribution::Triangular) {
        // The inverse of the distribution function, each half from its end.
        return u < 0.5L ? input.value - input.halfWidth * (1 - std::sqrt(2 * u))
                        : input.value + input.halfWidth * (1 - std::sqrt(2 * (1 - u)));
    }
    return input.value + input.halfWidth * (2 * u - 1);
}

// A point uniform in the square (-1, 1)^2 is kept when it lies inside the
// unit circle, as pi / 4 of them do; its squared radius s is then uniform and
// its direction independent of it, so x and y scaled by sqrt(-2 ln s / s) are
// two independent normals, with no sine or cosine to work out.
//
// The scaling runs in double precision: a draw reaches its cell through
// fifteen significant digits, which double's relative error of a few 2^-53
// leaves alone in all but a handful of draws in ten thousand (their last
// digit), and the double logarithm costs a fraction of the extended one. The
// uniforms are odd multiples of 2^-64 in (0, 1), so 2u - 1 is exact and at
// least 2^-63 from 0, which double keeps apart from 0 as well: s > 0. Near
// +-1 it may round to +-1, and s < 1 turns that point away.
std::pair<long double, long double> NormalPair(const CounterRandomSource& source,
                                               std::uint64_t seed, std::uint64_t draw,
                                               std::size_t k) {
    // 64 points in a row outside the circle come once in 10^42 draws.
    constexpr std::uint64_t kAttempts = 64;
    for (std::uint64_t attempt = 0; attempt < kAttempts; ++attempt) {
        const auto [u1, u2] = source.uniformPair(seed, draw, 2 * k + (attempt << 32));
        const auto x = static_cast<double>(2 * u1 - 1);
        const auto y = static_cast<double>(2 * u2 - 1);
        const double s = x * x + y * y;
        if (s < 1) {
            const double scale = std::sqrt(-2 * std::log(s) / s);
            return {x * scale, y * scale};
        }
    }
    return {0.0L, 0.0L};
}

// Two normal inputs side by side, 2m and 2m + 1, share the pair drawn at 2m's
// counters: two independent normals for one logarithm.
void UncertaintyPlan::drawInputs(const CounterRandomSource& source, std::uint64_t seed,
                                 std::uint64_t draw, std::span<long double> values) const {
    const auto normal = [&](std::size_t k) {
        return k < inputs_.size() && inputs_[k].distribution == Distribution::Normal;
    };
    for (std::size_t k = 0; k < inputs_.size(); ++k) {
        if (!normal(k)) {
            values[k] = DrawValue(inputs_[k], source.uniform(seed, draw, 2 * k));
            continue;
        }
        const auto [first, second] = NormalPair(source, seed, draw, k);
        values[k] = inputs_[k].value + inputs_[k].standard * first;
        if (k % 2 == 0 && normal(k + 1)) {
            ++k;
            values[k] = inputs_[k].value + inputs_[k].standard * second;
        }
    }
}

int DifferenceStepExponent(long double value, long double uncertainty) {
    const long double base = value != 0 ? std::fabs(value) : uncertainty;
    if (!(base > 0) || !std::isfinite(base)) return -6;
    return static_cast<int>(std::floor(std::log10(base))) - 4;
}

long double DifferenceStep(long double value, long double uncertainty) {
    return std::pow(10.0L, DifferenceStepExponent(value, uncertainty));
}

namespace {

// x 10^exponent, rounded once.
long double TimesPowerOfTen(long double x, int exponent) {
    if (exponent >= 0 && exponent <= kMaxExactPowerOfTen) {
        return x * ScaleByExactPowerOfTen(1.0L, exponent);
    }
    if (exponent < 0 && -exponent <= kMaxExactPowerOfTen) {
        return x / ScaleByExactPowerOfTen(1.0L, -exponent);
    }
    return x * std::pow(10.0L, exponent);
}

// The central difference (r+ - r-) / (2 step) of two results near `value`.
// Both are decimals of 15 digits, read with errors of 2^-64 of their size:
// their difference is a whole number of units one digit below value's
// fifteenth, which the errors cannot blur, so it is taken as that and the
// quotient rounded once. So a result that is linear in an input gives its
// slope exactly, not with a wrong fifteenth digit.
long double CentralQuotient(long double difference, long double value, int stepExponent) {
    const long double plain = TimesPowerOfTen(difference, -stepExponent) / 2;
    if (value == 0 || !std::isfinite(value)) return plain;
    const int unit = static_cast<int>(std::floor(std::log10(std::fabs(value)))) - 15;
    const long double units = std::round(TimesPowerOfTen(difference, -unit));
    if (!(std::fabs(units) < 0x1p63L)) return plain;
    return TimesPowerOfTen(units, unit - stepExponent) / 2;
}

// The worksheet at a point given as steps from the inputs' values: input k
// at value_k + t_k h_k, so that one Jacobian in t serves inputs of any size
// with their own steps (t = 0 takes the absolute step).
class SteppedRuns {
  public:
    SteppedRuns(const Worksheet& sheet, const UncertaintyPlan& plan, std::vector<int> rows,
                StudyControl* control)
        : plan_(plan), runner_(sheet, plan.setup().run), rows_(std::move(rows)), control_(control) {
        for (std::size_t k = 0; k < plan.inputCount(); ++k) {
            exponents_.push_back(
                DifferenceStepExponent(plan.input(k).value, plan.input(k).standard));
            steps_.push_back(std::pow(10.0L, exponents_.back()));
        }
        point_.resize(plan.inputCount());
    }

    long double step(std::size_t input) const { return steps_[input]; }
    int stepExponent(std::size_t input) const { return exponents_[input]; }
    const std::string& failure() const { return failure_; }
    bool cancelled() const { return cancelled_; }

    bool operator()(std::span<const long double> t, std::span<long double> results) {
        for (std::size_t k = 0; k < point_.size(); ++k) {
            point_[k] = plan_.input(k).value + t[k] * steps_[k];
        }
        const std::optional<RunOutcome> outcome = runner_.run(plan_.inputCells(), point_, control_);
        if (!outcome) {
            cancelled_ = true;
            return false;
        }
        if (!outcome->succeeded()) {
            failure_ = outcome->message;
            return false;
        }
        for (std::size_t r = 0; r < rows_.size(); ++r) {
            results[r] = ResultNumber(runner_.sheet().variables, rows_[r]);
            if (!std::isfinite(results[r])) failure_ = NoNumberMessage(runner_.sheet(), rows_[r]);
        }
        return true;
    }

    ResidualFunction function() {
        return [this](std::span<const long double> t, std::span<long double> r) {
            return (*this)(t, r);
        };
    }

  private:
    const UncertaintyPlan& plan_;
    PointRunner runner_;
    std::vector<int> rows_;
    StudyControl* control_;
    std::vector<long double> steps_;
    std::vector<int> exponents_;  // steps_ are 10^exponents_
    std::vector<long double> point_;
    std::string failure_;
    bool cancelled_ = false;
};

}  // namespace

FirstOrderBudget PropagateFirstOrder(const Worksheet& sheet, const UncertaintyPlan& plan,
                                     StudyControl* control) {
    FirstOrderBudget budget;
    for (std::size_t r = 0; r < plan.resultCount(); ++r) {
        FirstOrderLine line;
        line.name = plan.resultNames()[r];
        line.units = plan.resultUnits()[r];
        line.inputs.resize(plan.inputCount());
        budget.results.push_back(std::move(line));
    }
    const std::size_t inputs = plan.inputCount();
    const std::vector<long double> origin(inputs, 0.0L);

    // The run at the inputs' values: its results, and which are numbers.
    PointRunner centre(sheet, plan.setup().run);
    const std::optional<RunOutcome> outcome = centre.run(plan.inputCells(), plan.centre(), control);
    if (!outcome) {
        budget.cancelled = true;
        return budget;
    }
    std::vector<int> numericRows;
    std::vector<std::size_t> numericLines;
    for (std::size_t r = 0; r < plan.resultCount(); ++r) {
        FirstOrderLine& line = budget.results[r];
        if (!outcome->succeeded()) {
            line.failure = "The run at the inputs' values fails: " + outcome->message;
            continue;
        }
        line.value = ResultNumber(centre.sheet().variables, plan.resultRows()[r]);
        if (!std::isfinite(line.value)) {
            line.failure = NoNumberMessage(centre.sheet(), plan.resultRows()[r]);
            continue;
        }
        numericRows.push_back(plan.resultRows()[r]);
        numericLines.push_back(r);
    }
    if (numericRows.empty()) return budget;

    SteppedRuns runs(sheet, plan, numericRows, control);
    const JacobianResult main =
        FiniteDifferenceJacobian(runs.function(), origin, numericRows.size(), {1.0L, 1.0L});
    if (runs.cancelled()) {
        budget.cancelled = true;
        return budget;
    }
    if (!main.ok) {
        const UncertaintyPlan::Input& input = plan.input(main.failedColumn);
        const std::string why = "The run fails near " + input.name + " = " +
                                FormatNumber(input.value) + ", a step of " +
                                FormatNumber(runs.step(main.failedColumn)) +
                                " away: " + runs.failure();
        for (const std::size_t r : numericLines) budget.results[r].failure = why;
        return budget;
    }
    const JacobianResult check = FiniteDifferenceJacobian(
        runs.function(), origin, numericRows.size(), {1.0L, kCheckStepRatio});
    if (runs.cancelled()) {
        budget.cancelled = true;
        return budget;
    }
    for (std::size_t n = 0; n < numericLines.size(); ++n) {
        FirstOrderLine& line = budget.results[numericLines[n]];
        long double variance = 0.0L;
        for (std::size_t k = 0; k < inputs; ++k) {
            SensitivityLine& part = line.inputs[k];
            // The Jacobian's columns are steps of t, 2 and 20 wide.
            const int exponent = runs.stepExponent(k);
            part.sensitivity = CentralQuotient(2 * main.jacobian.at(n, k), line.value, exponent);
            part.checkSensitivity =
                check.ok ? CentralQuotient(20 * check.jacobian.at(n, k), line.value, exponent + 1)
                         : kNoNumber;
            part.contribution = std::fabs(part.sensitivity) * plan.input(k).standard;
            variance += part.contribution * part.contribution;
        }
        line.uncertainty = std::sqrt(variance);
        for (std::size_t k = 0; k < inputs; ++k) {
            SensitivityLine& part = line.inputs[k];
            part.share = variance > 0 ? 100 * part.contribution * part.contribution / variance : 0;
            const long double moved =
                std::fabs(part.sensitivity - part.checkSensitivity) * plan.input(k).standard;
            part.stepAgrees = check.ok && !(moved > kStepAgreement * line.uncertainty);
        }
    }
    return budget;
}

ResultTable FirstOrderTable(const UncertaintyPlan& plan, const FirstOrderBudget& budget) {
    ResultTable table({"result", "input", "value", "uncertainty", "units", "sensitivity",
                       "contribution", "share (%)", "note"});
    for (const FirstOrderLine& line : budget.results) {
        if (!line.failure.empty()) {
            table.addRow({line.name, "", "", "", line.units, "", "", "", line.failure});
            continue;
        }
        table.addRow(
            {line.name, "", FormatNumber(line.value), FormatNumber(line.uncertainty), line.units});
        for (std::size_t k = 0; k < line.inputs.size(); ++k) {
            const SensitivityLine& part = line.inputs[k];
            std::string note;
            if (!part.stepAgrees) {
                note = "unsure: " + FormatNumber(part.checkSensitivity) + " at ten times the step";
            }
            table.addRow({line.name, plan.input(k).name, "", "", "", FormatNumber(part.sensitivity),
                          FormatNumber(part.contribution), FormatNumber(part.share), note});
        }
    }
    return table;
}

}  // namespace quantaro
