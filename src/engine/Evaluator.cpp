#include "engine/Evaluator.h"

#include "engine/EvaluationMachine.h"

namespace quantaro {
namespace {

class ValueBackend {
  public:
    using Operand = long double;

    ValueBackend(NameTable& variables, AngleUnit angle, std::string& errorItem)
        : variables_(variables), angle_(angle), errorItem_(errorItem) {}

    Operand literal(long double value) { return value; }
    Operand read(const NameTable& table, int row) { return table.number(row); }
    Operand zero() { return 0.0L; }

    ResultCode apply(std::string_view name, Operand left, Operand right, Operand& result) {
        const OperatorOutcome outcome =
            ApplyOperator(FoldToUpper(name), left, right, angle_, errorItem_);
        result = outcome.value;
        return outcome.code;
    }

    void store(int variableRow, Operand value) { variables_.setResult(variableRow, value); }

  private:
    NameTable& variables_;
    AngleUnit angle_;
    std::string& errorItem_;
};

}  // namespace

ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                          AngleUnit angle, std::string& errorItem) {
    ValueBackend values(tables.variables, angle, errorItem);
    return EvaluationMachine<ValueBackend>(tables, values, errorItem).EvaluateTokens(tokens);
}

}  // namespace quantaro
