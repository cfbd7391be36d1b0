#include "engine/Evaluator.h"

#include "engine/ApplyOperator.h"
#include "engine/Numbers.h"

namespace quantaro {

ResultCode Evaluator::EvaluateTokens(const std::vector<std::string_view>& tokens) {
    for (std::size_t k = tokens.size(); k-- > 0 && code_ == ResultCode::Success;) {
        const std::string_view token = tokens[k];
        if (!classify(token)) {
            code_ = ResultCode::UnknownItem;
            errorItem_ = token;
            break;
        }
        if (token == "(") {
            evalState_ = EvalState::BracketUnwinding;
            ++openCount_;
        } else if (token == ")") {
            ++closeCount_;
        }
        if (k == 0) evalState_ = EvalState::FinalUnwinding;
        unwindBracket();
        unwindFinal();
        if (evalState_ == EvalState::AssignmentCheck) checkAssignment();
    }
    return code_;
}

// Pushes the token's operand, or its operator record while scanning. The
// first token from the right that is neither a number nor a constant names
// the result variable.
bool Evaluator::classify(std::string_view token) {
    if (const auto number = ParseNumber(token)) {
        PushOperand(*number);
        return true;
    }
    if (const Lookup constant = LookupName(token, tables_.constants); constant.found) {
        PushOperand(constant.value);
        return true;
    }
    if (!resultVariable_) resultVariable_ = token;
    if (const Lookup variable = LookupName(token, tables_.variables); variable.found) {
        PushOperand(variable.value);
        return true;
    }
    const Lookup op = LookupName(token, tables_.operators);
    if (!op.found) return false;
    // A "(" switches to bracket unwinding and is never pushed; ")" is.
    if (evalState_ == EvalState::Scanning && token != "(") {
        PushOperator({token, TruncateToInteger(op.value)});
    }
    return true;
}

std::optional<long double> Evaluator::PopOperand() {
    if (operandStack_.empty()) return std::nullopt;
    const long double value = operandStack_.back();
    operandStack_.pop_back();
    return value;
}

std::optional<Evaluator::TOperatorStackRecord> Evaluator::PopOperator() {
    if (operatorStack_.empty()) return std::nullopt;
    const TOperatorStackRecord record = operatorStack_.back();
    operatorStack_.pop_back();
    return record;
}

std::optional<Evaluator::Popped> Evaluator::popOperatorWithOperands() {
    const auto record = PopOperator();
    if (!record) return std::nullopt;
    Popped popped{*record};
    if (popped.op.operandCount >= 1) {
        const auto left = PopOperand();
        popped.left = left.value_or(0.0L);
        popped.operandMissing = !left;
    }
    if (popped.op.operandCount == 2) {
        const auto right = PopOperand();
        popped.right = right.value_or(0.0L);
        popped.operandMissing = popped.operandMissing || !right;
    }
    return popped;
}

void Evaluator::apply(const Popped& popped) {
    const OperatorOutcome outcome =
        ApplyOperator(FoldToUpper(popped.op.text), popped.left, popped.right, angle_, errorItem_);
    code_ = outcome.code;
    lastResult_ = outcome.value;
}

// Applies the operators of a bracketed group; a missing operand counts as 0,
// so an operator's own domain error wins over the missing operand.
void Evaluator::unwindBracket() {
    while (evalState_ == EvalState::BracketUnwinding && code_ == ResultCode::Success) {
        const auto popped = popOperatorWithOperands();
        if (!popped) {
            code_ = ResultCode::TooFewCloseBrackets;
            return;
        }
        apply(*popped);
        if (popped->operandMissing && code_ == ResultCode::Success)
            code_ = ResultCode::TooFewOperands;
        if (popped->op.text == ")") {
            evalState_ = EvalState::Scanning;
        } else if (popped->op.operandCount > 0) {
            PushOperand(lastResult_);
        }
    }
}

// After the first token: applies the remaining operators up to "=".
void Evaluator::unwindFinal() {
    while (evalState_ == EvalState::FinalUnwinding && code_ == ResultCode::Success) {
        const auto popped = popOperatorWithOperands();
        if (!popped) {
            code_ = ResultCode::MissingEquals;
            return;
        }
        if (popped->operandMissing) code_ = ResultCode::TooFewOperands;
        if (code_ == ResultCode::Success) apply(*popped);
        // A domain error also discards the value the operator would have replaced.
        if (code_ == ResultCode::DomainError && !PopOperand()) code_ = ResultCode::TooFewOperands;
        if (popped->op.text == "=") {
            evalState_ = EvalState::AssignmentCheck;
        } else if (popped->op.operandCount > 0) {
            PushOperand(lastResult_);
        }
    }
}

void Evaluator::checkAssignment() {
    if (PopOperand()) code_ = ResultCode::TooManyOperands;
    if (openCount_ > closeCount_) code_ = ResultCode::TooFewCloseBrackets;
    if (closeCount_ > openCount_) code_ = ResultCode::TooManyCloseBrackets;
    if (code_ != ResultCode::Success) return;
    if (!resultVariable_ || !StoreResult(*resultVariable_, tables_.variables, lastResult_)) {
        code_ = ResultCode::ResultNotVariable;
    }
}

}  // namespace quantaro
