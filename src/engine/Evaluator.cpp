#include "engine/Evaluator.h"

#include <cassert>

#include "engine/ApplyOperator.h"
#include "engine/EvaluationMachine.h"

namespace quantaro {

ResultCode ValueBackend::apply(const OperatorDefinition& op, std::string_view, Operand left,
                               Operand right, Operand& result) {
    const OperatorOutcome outcome = ApplyOperator(op, left, right, angle_, errorItem_);
    result = outcome.value;
    return outcome.code;
}

ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens, const EngineTables& tables,
                          NameTable& variables, AngleUnit angle, std::string& errorItem,
                          std::string_view* at) {
    assert(&tables.variables == &variables);
    ValueBackend values(variables, angle, errorItem);
    return EvaluationMachine<ValueBackend>(tables, values, errorItem, at).EvaluateTokens(tokens);
}

}  // namespace quantaro
