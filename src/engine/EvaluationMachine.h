#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"
#include "engine/Messages.h"
#include "engine/Numbers.h"
#include "engine/OperatorRegistry.h"
#include "engine/Tokeniser.h"

namespace quantaro {

// Evaluates the token list of one equation from its last token to its first
// with an operand stack and an operator stack, so that operators apply
// strictly left to right and brackets group. On success the value of "=" is
// stored into the result variable.
//
// What an operand is belongs to the backend: the evaluator's backend works
// on values; the compiler's works on the slots of a program and records each
// operator it would apply. The backend provides
//   Operand literal(long double value);           a number token
//   Operand read(const NameTable& table, int row); a constant or variable
//   Operand zero();                                a missing operand, a bracket's value
//   ResultCode apply(const OperatorDefinition& op, std::string_view text,
//                    Operand left, Operand right, Operand& result);
//                       the operator as the registry defines it and as typed;
//                       Success, or DomainError with the detail in the error item
//   void store(int variableRow, Operand value);
template <class Backend>
class EvaluationMachine {
  public:
    using Operand = typename Backend::Operand;

    // When given, `at` follows the token being worked on, the operator
    // while it is applied: after a failure or a fault it is the one at fault.
    EvaluationMachine(const EngineTables& tables, Backend& backend, std::string& errorItem,
                      std::string_view* at = nullptr)
        : tables_(tables),
          backend_(backend),
          errorItem_(errorItem),
          at_(at),
          lastResult_(backend.zero()) {}

    // A machine serves one equation.
    ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens) {
        for (std::size_t k = tokens.size(); k-- > 0 && code_ == ResultCode::Success;) {
            const std::string_view token = tokens[k];
            if (at_) *at_ = token;
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

  private:
    enum class EvalState {
        Scanning = 0,
        FinalUnwinding = 1,
        AssignmentCheck = 2,
        BracketUnwinding = 3
    };

    struct TOperatorStackRecord {
        std::string_view text;  // as typed
        const OperatorDefinition* op;
        int operandCount() const { return op->operandCount; }
    };

    struct Popped {
        TOperatorStackRecord op;
        Operand left;
        Operand right;
        bool operandMissing = false;
    };

    // Pushes the token's operand, or its operator record while scanning. The
    // result variable is named as MayNameResult says. False: an unknown item.
    bool classify(std::string_view token) {
        const TokenMeaning meaning = MeaningOf(token, tables_);
        if (!resultVariable_ && MayNameResult(meaning.kind)) resultVariable_ = token;
        if (meaning.kind == TokenMeaning::Number) {
            PushOperand(backend_.literal(*ParseNumber(token)));
            return true;
        }
        if (meaning.table) {
            PushOperand(backend_.read(*meaning.table, meaning.row));
            return true;
        }
        const OperatorDefinition* op = Operators().find(token);
        if (op == nullptr) return false;
        // A "(" switches to bracket unwinding and is never pushed; ")" is.
        if (evalState_ == EvalState::Scanning && token != "(") PushOperator({token, op});
        return true;
    }

    void PushOperand(Operand value) { operandStack_.push_back(value); }
    void PushOperator(TOperatorStackRecord record) { operatorStack_.push_back(record); }

    std::optional<Operand> PopOperand() {
        if (operandStack_.empty()) return std::nullopt;
        const Operand value = operandStack_.back();
        operandStack_.pop_back();
        return value;
    }

    std::optional<TOperatorStackRecord> PopOperator() {
        if (operatorStack_.empty()) return std::nullopt;
        const TOperatorStackRecord record = operatorStack_.back();
        operatorStack_.pop_back();
        return record;
    }

    std::optional<Popped> popOperatorWithOperands() {
        const auto record = PopOperator();
        if (!record) return std::nullopt;
        Popped popped{*record, backend_.zero(), backend_.zero()};
        if (popped.op.operandCount() >= 1) {
            const auto left = PopOperand();
            if (left) popped.left = *left;
            popped.operandMissing = !left;
        }
        if (popped.op.operandCount() == 2) {
            const auto right = PopOperand();
            if (right) popped.right = *right;
            popped.operandMissing = popped.operandMissing || !right;
        }
        return popped;
    }

    void apply(const Popped& popped) {
        if (at_) *at_ = popped.op.text;
        code_ =
            backend_.apply(*popped.op.op, popped.op.text, popped.left, popped.right, lastResult_);
    }

    // Applies the operators of a bracketed group; a missing operand counts
    // as 0, so an operator's own domain error wins over the missing operand.
    void unwindBracket() {
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
            } else if (popped->op.operandCount() > 0) {
                PushOperand(lastResult_);
            }
        }
    }

    // After the first token: applies the remaining operators up to "=".
    void unwindFinal() {
        while (evalState_ == EvalState::FinalUnwinding && code_ == ResultCode::Success) {
            const auto popped = popOperatorWithOperands();
            if (!popped) {
                code_ = ResultCode::MissingEquals;
                return;
            }
            if (popped->operandMissing) code_ = ResultCode::TooFewOperands;
            if (code_ == ResultCode::Success) apply(*popped);
            // A domain error also discards the value the operator would have replaced.
            if (code_ == ResultCode::DomainError && !PopOperand()) {
                code_ = ResultCode::TooFewOperands;
            }
            if (popped->op.text == "=") {
                evalState_ = EvalState::AssignmentCheck;
            } else if (popped->op.operandCount() > 0) {
                PushOperand(lastResult_);
            }
        }
    }

    void checkAssignment() {
        if (PopOperand()) code_ = ResultCode::TooManyOperands;
        if (openCount_ > closeCount_) code_ = ResultCode::TooFewCloseBrackets;
        if (closeCount_ > openCount_) code_ = ResultCode::TooManyCloseBrackets;
        if (code_ != ResultCode::Success) return;
        const int row = resultVariable_ ? tables_.variableNames.findRow(*resultVariable_) : 0;
        if (row == 0) {
            code_ = ResultCode::ResultNotVariable;
            return;
        }
        backend_.store(row, lastResult_);
    }

    const EngineTables& tables_;
    Backend& backend_;
    std::string& errorItem_;
    std::string_view* at_;

    std::vector<Operand> operandStack_;
    std::vector<TOperatorStackRecord> operatorStack_;
    EvalState evalState_ = EvalState::Scanning;
    ResultCode code_ = ResultCode::Success;
    int openCount_ = 0;
    int closeCount_ = 0;
    std::optional<std::string_view> resultVariable_;
    Operand lastResult_;
};

}  // namespace quantaro
