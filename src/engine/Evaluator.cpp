#include "engine/Evaluator.h"

#include "engine/EvaluationMachine.h"

namespace quantaro {

ResultCode ValueBackend::apply(std::string_view name, Operand left, Operand right,
                               Operand& result) {
    const OperatorOutcome outcome =
        ApplyOperator(FoldToUpper(name), left, right, angle_, errorItem_);
    result = outcome.value;
    return outcome.code;
}

ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                          AngleUnit angle, std::string& errorItem) {
    ValueBackend values(tables.variables, angle, errorItem);
    return EvaluationMachine<ValueBackend>(tables, values, errorItem).EvaluateTokens(tokens);
}

}  // namespace quantaro
