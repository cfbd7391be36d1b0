#include "studies/UnitCheck.h"

#include <algorithm>
#include <array>
#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <optional>
#include <string_view>

#include "engine/EngineTables.h"
#include "engine/EquationSplitter.h"
#include "engine/EvaluationMachine.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"
#include "engine/OperatorRegistry.h"
#include "engine/Tokeniser.h"
#include "studies/UnitRules.h"

namespace quantaro {
namespace {

constexpr std::size_t kMostOperators = 128;

// The rule of each operator, by its row in the registry.
const std::array<UnitRule, kMostOperators>& RulesByRow() {
    static const std::array<UnitRule, kMostOperators> rules = [] {
        std::array<UnitRule, kMostOperators> byRow{};
        const auto all = Operators().all();
        for (std::size_t k = 0; k < all.size() && k < kMostOperators; ++k)
            byRow[k] = UnitRuleOf(all[k].name).value_or(UnitRule::Bracket);
        return byRow;
    }();
    return rules;
}

// A value's unit as the check follows it.
struct Traced {
    bool checked = true;
    Unit unit;
    std::optional<long double> known;  // a number word's or a constant's value
    bool numberWord = false;           // written in the formula as a number
    std::string written;               // a cell's unit as typed
    int variableRow = 0;               // the variable it was read from
    std::string_view token;            // the token it was read at
};

std::string Label(const Traced& value) {
    if (!value.written.empty()) return value.written;
    if (value.unit.terms.empty() && value.unit.scale == 1 && value.unit.radians == 0)
        return "a plain number";
    return ShownUnit(value.unit);
}

bool Plain(const Unit& unit) {
    return unit.dimensionless() && unit.radians == 0 && unit.scale == 1 && unit.offset == 0;
}

Unit AngleOf(AngleUnit angle) {
    Unit unit;
    unit.radians = 1;
    if (angle == AngleUnit::Degrees) {
        unit.scale = std::numbers::pi_v<long double> / 180;
        unit.terms = {{"degree", 1}};
    } else {
        unit.terms = {{"rad", 1}};
    }
    return unit;
}

// The cells' units of one table, each read once per check.
class CellCache {
  public:
    CellCache(const NameTable& table, UnitLibrary& library)
        : table_(table), library_(library), cells_(table.rowCount() + 1) {}
    const CellUnits& at(int row) {
        std::optional<CellUnits>& cell = cells_[row];
        if (!cell) cell = library_.readCell(table_.units(row));
        return *cell;
    }

  private:
    const NameTable& table_;
    UnitLibrary& library_;
    std::vector<std::optional<CellUnits>> cells_;
};

// What the check needs of the equation under way.
struct EquationPlace {
    int number = 0;
    std::string_view text;                    // the equation as cut
    const std::vector<std::size_t>* offsets;  // of its characters in the formula
    std::size_t offsetOf(std::string_view token) const {
        const auto at = static_cast<std::size_t>(token.data() - text.data());
        return at < offsets->size() ? (*offsets)[at] : 0;
    }
};

// Runs the evaluation machine on units: the operands are values' units,
// each operator applies its rule and writes down what it finds.
class UnitBackend {
  public:
    using Operand = std::size_t;  // into values_; 0 is the plain number

    UnitBackend(const EngineTables& tables, CellCache& constants, CellCache& variables,
                AngleUnit angle, const EquationPlace& place, std::string_view& at)
        : tables_(tables),
          constants_(constants),
          variables_(variables),
          angle_(angle),
          place_(place),
          at_(at) {
        values_.reserve(32);
        values_.emplace_back();
    }

    Operand literal(long double value) {
        Traced number;
        number.known = value;
        number.numberWord = true;
        return push(std::move(number));
    }

    Operand read(const NameTable& table, int row) {
        const bool constant = &table == &tables_.constants;
        const CellUnits& cell = (constant ? constants_ : variables_).at(row);
        if (cell.status != CellUnits::Empty) readsUnits_ = true;
        Traced value;
        value.unit = cell.unit;
        value.written = cell.unitText;
        if (!constant) value.variableRow = row;
        value.token = at_;
        if (constant && !table.overflows(row)) value.known = table.number(row);
        if (cell.status == CellUnits::NotUnderstood) {
            value.checked = false;
            noteNotUnderstood(table, row, cell, constant);
        }
        return push(std::move(value));
    }

    Operand zero() { return 0; }

    ResultCode apply(const OperatorDefinition& op, std::string_view text, Operand left,
                     Operand right, Operand& result) {
        const auto row = static_cast<std::size_t>(&op - Operators().all().data());
        const UnitRule rule = RulesByRow()[row];
        if (rule == UnitRule::Bracket) {
            result = 0;
            return ResultCode::Success;
        }
        if (rule != UnitRule::Assign) ++step_;
        operands_ = op.operandCount;
        // Copies: the rule may push onto values_.
        const Traced l = values_[left];
        const Traced r = values_[right];
        Traced out = applyRule(rule, text, l, r);
        stepUnits_.push_back(out.checked ? ShownUnit(out.unit) : "?");
        result = push(std::move(out));
        return ResultCode::Success;
    }

    void store(int, Operand) {}

    std::vector<UnitFinding>& findings() { return findings_; }
    std::vector<std::string>& stepUnits() { return stepUnits_; }
    bool readsUnits() const { return readsUnits_; }

  private:
    Operand push(Traced value) {
        values_.push_back(std::move(value));
        return values_.size() - 1;
    }

    static Traced Unchecked() {
        Traced value;
        value.checked = false;
        return value;
    }
    static Traced Of(Unit unit) {
        Traced value;
        value.unit = std::move(unit);
        return value;
    }

    // A finding at "=" spans the result word too, where the result is stored.
    void find(UnitFinding::Kind kind, std::string_view op, std::string reason,
              std::string_view through = {}) {
        UnitFinding finding;
        finding.kind = kind;
        finding.equation = place_.number;
        finding.step = rule_ == UnitRule::Assign ? step_ + 1 : step_;
        finding.op = op;
        finding.reason = std::move(reason);
        finding.at = place_.offsetOf(op);
        finding.length = op.size();
        if (!through.empty() && through.data() > op.data())
            finding.length = place_.offsetOf(through) + through.size() - finding.at;
        findings_.push_back(std::move(finding));
    }

    void noteNotUnderstood(const NameTable& table, int row, const CellUnits& cell, bool constant) {
        for (const NotUnderstoodCell& seen : notUnderstood_) {
            if (seen.constant == constant && seen.row == row) return;
        }
        notUnderstood_.push_back(
            {constant, row, place_.offsetOf(at_), at_.size(), table.name(row), cell.note});
    }

    Traced applyRule(UnitRule rule, std::string_view op, const Traced& l, const Traced& r) {
        rule_ = rule;
        switch (rule) {
            case UnitRule::SameDimension:
                return alike(op, l, r,
                             op == "-" ? "subtracts " + Label(r) + " from " + Label(l)
                                       : "adds " + Label(r) + " to " + Label(l));
            case UnitRule::Compare:
                alike(op, l, r, "compares " + Label(l) + " with " + Label(r));
                return {};
            case UnitRule::IntegerDivide: {
                const bool mod = NamesEqual(op, "MOD");
                Traced out = alike(op, l, r,
                                   (mod ? "takes the remainder of " : "divides ") + Label(l) +
                                       " by " + Label(r) + " as whole numbers");
                return mod ? out : Traced{};
            }
            case UnitRule::Multiply:
                if (Converts(l, r, false)) return {};
                return both(l, r) ? Of(Multiplied(l.unit, r.unit)) : Unchecked();
            case UnitRule::Divide:
                if (Converts(l, r, true)) return {};
                return both(l, r) ? Of(Divided(l.unit, r.unit)) : Unchecked();
            case UnitRule::Reciprocal:
                return raised(l, -1);
            case UnitRule::Square:
                return raised(l, 2);
            case UnitRule::Cube:
                return raised(l, 3);
            case UnitRule::SquareRoot:
                return raised(l, 0.5);
            case UnitRule::CubeRoot:
                return raised(l, 1.0 / 3);
            case UnitRule::Power:
                return power(op, l, r, false, "raises " + Label(l) + " to a power in " + Label(r));
            case UnitRule::Root:
                return power(op, r, l, true,
                             "takes a root of " + Label(r) + " whose index is in " + Label(l));
            case UnitRule::Dimensionless:
                plainOperand(op, l);
                if (operands_ == 2) plainOperand(op, r);
                return {};
            case UnitRule::Circular:
                circular(op, l);
                return {};
            case UnitRule::InverseCircular:
                if (l.checked && !l.unit.dimensionless())
                    find(UnitFinding::Dimension, op,
                         std::string(op) + " of " + Label(l) + ", which needs a plain number");
                return Of(AngleOf(angle_));
            case UnitRule::KeepDimension: {
                Traced kept = l;
                kept.known.reset();
                return kept;
            }
            case UnitRule::Assign:
                assign(op, l, r);
                return l;
            case UnitRule::Bracket:
                break;
        }
        return {};
    }

    static bool both(const Traced& l, const Traced& r) { return l.checked && r.checked; }
    static bool ZeroWord(const Traced& value) {
        return value.numberWord && value.known && *value.known == 0;
    }

    // RATE / 100 with RATE in %, or RATE * 0.01: a number word that is a
    // dimensionless unit's own factor turns its value into a plain number,
    // as values are the numbers in the cells.
    static bool Converts(const Traced& l, const Traced& r, bool dividing) {
        if (!l.checked || !r.checked || !r.known || *r.known == 0 || !Plain(r.unit) ||
            !r.written.empty())
            return false;
        const Unit& unit = l.unit;
        if (!unit.dimensionless() || unit.radians != 0 || unit.offset != 0 || unit.scale == 1)
            return false;
        const long double factor = dividing ? 1 / *r.known : *r.known;
        return std::fabs(factor - unit.scale) <= 1e-12L * unit.scale;
    }

    static Traced raised(const Traced& value, double power) {
        return value.checked ? Of(Raised(value.unit, power)) : Unchecked();
    }

    // Sums, differences, comparisons, whole-number division: one dimension,
    // and one scale unless one side is a plain number and the other an angle.
    Traced alike(std::string_view op, const Traced& l, const Traced& r, const std::string& what) {
        if (!both(l, r)) return Unchecked();
        // Zero is zero in every unit: 0 - K * V negates, Y >= 0 asks for a sign.
        if (ZeroWord(l) || ZeroWord(r)) {
            Traced out = ZeroWord(l) ? r : l;
            out.known.reset();
            return out;
        }
        if (!l.unit.sameDimension(r.unit)) {
            find(UnitFinding::Dimension, op, what);
            return Unchecked();
        }
        if (l.unit.angle() != r.unit.angle() && (Plain(l.unit) || Plain(r.unit)))
            return Plain(l.unit) ? r : l;
        if (!r.unit.sameScale(l.unit))
            find(UnitFinding::Scale, op, what + ": " + ConversionText(r.unit, l.unit));
        Traced out = l;
        out.known.reset();
        return out;
    }

    // base ^ exponent, and exponent ROOT base: the exponent must be a plain
    // number, known when checking, for the result to be known.
    Traced power(std::string_view op, const Traced& base, const Traced& exponent, bool root,
                 const std::string& what) {
        if (!exponent.checked) return Unchecked();
        if (!exponent.unit.dimensionless()) {
            find(UnitFinding::Dimension, op, what);
            return Unchecked();
        }
        if (!base.checked) return Unchecked();
        if (exponent.known && !(root && *exponent.known == 0)) {
            const double by = static_cast<double>(*exponent.known);
            return Of(Raised(base.unit, root ? 1 / by : by));
        }
        return Plain(base.unit) ? Traced{} : Unchecked();
    }

    void plainOperand(std::string_view op, const Traced& value) {
        if (!value.checked) return;
        if (!value.unit.dimensionless()) {
            find(UnitFinding::Dimension, op,
                 std::string(op) + " of " + Label(value) + ", which needs a plain number");
        } else if (!value.unit.angle() && !value.unit.sameScale(PlainNumber())) {
            find(UnitFinding::Scale, op,
                 std::string(op) + " of " + Label(value) + ": " +
                     ConversionText(value.unit, PlainNumber()));
        }
    }

    void circular(std::string_view op, const Traced& value) {
        if (!value.checked) return;
        if (!value.unit.dimensionless()) {
            find(UnitFinding::Dimension, op,
                 std::string(op) + " of " + Label(value) + ", which is neither an angle nor a " +
                     "plain number");
            return;
        }
        const Unit wanted = AngleOf(angle_);
        if (value.unit.angle() && !value.unit.sameScale(wanted)) {
            find(UnitFinding::Scale, op,
                 std::string(op) + " of " + Label(value) + " while working in " +
                     (angle_ == AngleUnit::Degrees ? "degrees" : "radians") + ": " +
                     ConversionText(value.unit, wanted));
        }
    }

    void assign(std::string_view op, const Traced& result, const Traced& variable) {
        if (!both(result, variable) || variable.variableRow == 0) return;
        const std::string& name = tables_.variables.name(variable.variableRow);
        const std::string says = variable.written.empty()
                                     ? name + " has no units"
                                     : name + "'s units say " + variable.written;
        const std::string shown = ShownUnit(result.unit);
        if (!result.unit.sameDimension(variable.unit)) {
            find(UnitFinding::Dimension, op, "the result is " + shown + " but " + says,
                 variable.token);
            return;
        }
        if (result.unit.angle() != variable.unit.angle() &&
            (Plain(result.unit) || Plain(variable.unit)))
            return;
        if (result.unit.sameScale(variable.unit)) return;
        const bool offset = result.unit.offset != 0 || variable.unit.offset != 0;
        const std::string in = variable.written.empty() ? "1" : variable.written;
        const std::string which =
            offset ? ConversionText(result.unit, variable.unit) + " in " + in
                   : FormatNumber(ConversionFactor(result.unit, variable.unit)) + " " + in;
        find(UnitFinding::Scale, op,
             "the result is " + shown + ", which is " + which + ", stored in " + name + " whose " +
                 (variable.written.empty() ? "units are empty" : "units say " + variable.written),
             variable.token);
    }

  public:
    // The cells not understood come after the steps' findings of the
    // equation, in one finding, in the order the equation names them.
    void finish() {
        if (notUnderstood_.empty()) return;
        std::sort(
            notUnderstood_.begin(), notUnderstood_.end(),
            [](const NotUnderstoodCell& a, const NotUnderstoodCell& b) { return a.at < b.at; });
        UnitFinding finding;
        finding.kind = UnitFinding::NotUnderstood;
        finding.equation = place_.number;
        finding.at = notUnderstood_.front().at;
        finding.length = notUnderstood_.front().length;
        finding.reason = "the units of ";
        for (std::size_t k = 0; k < notUnderstood_.size(); ++k) {
            const NotUnderstoodCell& cell = notUnderstood_[k];
            if (k > 0) finding.reason += k + 1 == notUnderstood_.size() ? " and " : ", ";
            finding.reason += cell.name + " (\"" + cell.text + "\")";
        }
        finding.reason += " could not be read; the equation is checked only in part";
        findings_.push_back(std::move(finding));
    }

  private:
    const EngineTables& tables_;
    CellCache& constants_;
    CellCache& variables_;
    AngleUnit angle_;
    const EquationPlace& place_;
    std::string_view& at_;
    std::vector<Traced> values_;
    int step_ = 0;
    int operands_ = 0;
    bool readsUnits_ = false;
    UnitRule rule_ = UnitRule::Bracket;
    std::vector<UnitFinding> findings_;
    struct NotUnderstoodCell {
        bool constant;
        int row;
        std::size_t at;
        std::size_t length;
        std::string name;
        std::string text;
    };
    std::vector<NotUnderstoodCell> notUnderstood_;
    std::vector<std::string> stepUnits_;
};

// Leaves the floating-point status flags as they were found.
class FaultFlagsKept {
  public:
    FaultFlagsKept() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
    ~FaultFlagsKept() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
    FaultFlagsKept(const FaultFlagsKept&) = delete;
    FaultFlagsKept& operator=(const FaultFlagsKept&) = delete;

  private:
    std::fexcept_t saved_;
};

std::string_view TrimmedBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

const char* KindName(UnitFinding::Kind kind) {
    switch (kind) {
        case UnitFinding::Dimension:
            return "dimension";
        case UnitFinding::Scale:
            return "scale";
        case UnitFinding::NotUnderstood:
            return "not understood";
    }
    return "";
}

std::string FindingLine(const UnitFinding& finding) {
    std::string line = "equation " + std::to_string(finding.equation);
    if (finding.step > 0)
        line += ", step " + std::to_string(finding.step) + " (" + finding.op + ")";
    return line + ": " + KindName(finding.kind) + ": " + finding.reason;
}

bool UnitReport::hasDimensionFinding() const {
    for (const UnitFinding& finding : findings) {
        if (finding.kind == UnitFinding::Dimension) return true;
    }
    return false;
}

UnitReport CheckUnits(const Worksheet& sheet, UnitLibrary& library, int selection) {
    // Runs test the fault flags, and a check may come between two passes.
    const FaultFlagsKept kept;
    UnitReport report;
    TableIndexes indexes;
    const EngineTables tables = indexes.follow(sheet.constants, sheet.variables);
    CellCache constants(sheet.constants, library);
    CellCache variables(sheet.variables, library);
    EquationSplitter splitter(sheet.formula());
    std::vector<std::size_t> offsets;
    std::vector<std::string_view> tokens;
    int number = 0;
    while (const auto equation = splitter.next(offsets)) {
        ++number;
        if ((selection != 0 && selection != number) || TrimmedBlanks(*equation).empty()) continue;
        tokens.clear();
        std::string_view failedWord;
        if (!Tokeniser(tables).cut(*equation, tokens, failedWord)) continue;
        const EquationPlace place{number, *equation, &offsets};
        std::string_view at;
        UnitBackend backend(tables, constants, variables, sheet.angle, place, at);
        std::string errorItem;
        ResultCode code = ResultCode::Success;
        try {
            code = EvaluationMachine<UnitBackend>(tables, backend, errorItem, &at)
                       .EvaluateTokens(tokens);
        } catch (const FloatingPointFault&) {
            // A number word beyond the range: the run reports it.
            continue;
        }
        if (code != ResultCode::Success) continue;
        backend.finish();
        for (UnitFinding& finding : backend.findings()) {
            finding.equationBegin = offsets.empty() ? 0 : offsets.front();
            finding.equationEnd = offsets.empty() ? 0 : offsets.back() + 1;
            report.findings.push_back(std::move(finding));
        }
        report.equations.push_back({number, std::move(backend.stepUnits()), backend.readsUnits()});
    }
    return report;
}

std::vector<std::string> WithStepUnits(const std::vector<std::string>& explanation,
                                       const UnitReport& report) {
    std::vector<std::string> lines;
    lines.reserve(explanation.size());
    const EquationUnits* equation = nullptr;
    std::size_t step = 0;
    auto next = report.equations.begin();
    for (const std::string& line : explanation) {
        lines.push_back(line);
        if (line.starts_with("Equation ")) {
            const int number = std::atoi(line.c_str() + 9);
            while (next != report.equations.end() && next->equation < number) ++next;
            const bool found = next != report.equations.end() && next->equation == number;
            equation = found && next->readsUnits ? &*next : nullptr;
            step = 0;
        } else if (line.starts_with("  ") && equation && step < equation->stepUnits.size()) {
            lines.back() += "   [" + equation->stepUnits[step++] + "]";
        }
    }
    return lines;
}

}  // namespace quantaro
