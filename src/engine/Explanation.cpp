#include "engine/Explanation.h"

#include <algorithm>
#include <cfenv>
#include <functional>
#include <string_view>

#include "engine/EquationSplitter.h"
#include "engine/EvaluationMachine.h"
#include "engine/Evaluator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"
#include "engine/Tokeniser.h"

namespace quantaro {
namespace {

constexpr char kStepIndent[] = "  ";

// A run tests the fault flags after each operator, so writing a line between
// two operators must leave them as they were.
class FaultFlagsKept {
  public:
    FaultFlagsKept() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
    ~FaultFlagsKept() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
    FaultFlagsKept(const FaultFlagsKept&) = delete;
    FaultFlagsKept& operator=(const FaultFlagsKept&) = delete;

  private:
    std::fexcept_t saved_;
};

// Works on values exactly as a run does, and writes a line for each
// operator applied and for the result stored. "=" gives no step of its own:
// its value is the stored result. A bracket yields nothing and is left out.
class ExplainingBackend : public ValueBackend {
  public:
    ExplainingBackend(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                      NameTable& variables, AngleUnit angle, std::string& errorItem,
                      std::vector<std::string>& lines)
        : ValueBackend(variables, angle, errorItem),
          tokens_(tokens),
          tables_(tables),
          lines_(lines) {}

    ResultCode apply(const OperatorDefinition& op, std::string_view text, Operand left,
                     Operand right, Operand& result) {
        const ResultCode code = ValueBackend::apply(op, text, left, right, result);
        if (code == ResultCode::Success && text != "=") {
            writeStep(text, op.operandCount, left, right, result);
        }
        return code;
    }

    void store(int variableRow, Operand value) {
        ValueBackend::store(variableRow, value);
        const FaultFlagsKept kept;
        lines_.push_back(kStepIndent + variables().name(variableRow) + " = " +
                         variables().value(variableRow));
    }

  private:
    void writeStep(std::string_view name, int operands, Operand left, Operand right,
                   Operand result) {
        if (operands == 0) return;
        const FaultFlagsKept kept;
        const std::string op(name);
        std::string step = kStepIndent;
        if (operands == 2) {
            step += FormatNumberExactly(left) + ' ' + op + ' ' + FormatNumberExactly(right);
        } else if (followsOperand(name)) {
            step += FormatNumberExactly(left) + ' ' + op;
        } else {
            step += op + ' ' + FormatNumberExactly(left);
        }
        lines_.push_back(step + " = " + FormatNumberExactly(result));
    }

    // Whether a one-operand operator is written after its operand: the token
    // before it ends an operand. The operator's text is a view of its own
    // token, and the tokens are views in the order of the equation's text,
    // so its place is found by where its characters are.
    bool followsOperand(std::string_view name) const {
        const auto at = std::lower_bound(tokens_.begin(), tokens_.end(), name.data(),
                                         [](std::string_view token, const char* text) {
                                             return std::less<>()(token.data(), text);
                                         });
        if (at == tokens_.begin() || at == tokens_.end() || at->data() != name.data()) return false;
        const std::string_view before = *(at - 1);
        return before == ")" || MeaningOf(before, tables_).kind != TokenMeaning::Other;
    }

    const std::vector<std::string_view>& tokens_;
    const EngineTables& tables_;
    std::vector<std::string>& lines_;
};

std::string_view TrimmedBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Explains one equation as the run tokenises and evaluates it; returns the
// run's code for it, with the error item and the piece of the equation at
// fault.
ResultCode ExplainEquation(std::string_view equation, int number, const EngineTables& tables,
                           NameTable& variables, AngleUnit angle, std::vector<std::string>& lines,
                           std::string& errorItem, std::string_view& at) {
    lines.push_back("Equation " + std::to_string(number) + ": " +
                    std::string(TrimmedBlanks(equation)));
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    if (!Tokeniser(tables).tokenise(equation, tokens, failedWord)) {
        errorItem = failedWord;
        at = failedWord;
        return ResultCode::UnknownItem;
    }
    ExplainingBackend backend(tokens, tables, variables, angle, errorItem, lines);
    return EvaluationMachine<ExplainingBackend>(tables, backend, errorItem, &at)
        .EvaluateTokens(tokens);
}

}  // namespace

// A run writes only into the variable table, so only that table is copied.
Explanation ExplainEquations(const Worksheet& sheet, int selection) {
    Explanation explanation;
    explanation.variables = sheet.variables;
    if (sheet.formula().empty()) {
        explanation.outcome = FailedRun(ResultCode::EmptyFormula, 0, {}, std::nullopt);
        explanation.lines.push_back(explanation.outcome.message);
        return explanation;
    }
    TableIndexes indexes;
    const EngineTables tables = indexes.follow(sheet.constants, explanation.variables);
    EquationSplitter splitter(sheet.formula());
    int number = 0;
    ClearFaultFlags();
    for (std::size_t start = 0; const auto equation = splitter.next();
         start = splitter.position()) {
        ++number;
        if (selection != 0 && selection != number) continue;
        // An equation of blanks only has no token and changes nothing.
        if (TrimmedBlanks(*equation).empty()) continue;
        std::string errorItem;
        std::string_view at;
        ResultCode code = ResultCode::Success;
        FaultKind fault = FaultKind::Overflow;
        try {
            code = ExplainEquation(*equation, number, tables, explanation.variables, sheet.angle,
                                   explanation.lines, errorItem, at);
        } catch (const FloatingPointFault& thrown) {
            code = ResultCode::FloatingPointFault;
            fault = thrown.kind();
        }
        if (code == ResultCode::Success) continue;
        explanation.outcome = FailedEquation(code, number, std::move(errorItem), fault,
                                             sheet.formula(), start, *equation, at);
        explanation.lines.push_back(explanation.outcome.message);
        return explanation;
    }
    explanation.outcome.equationNumber = number;
    return explanation;
}

}  // namespace quantaro
