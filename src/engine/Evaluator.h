#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AngleUnit.h"
#include "engine/EngineTables.h"
#include "engine/Messages.h"

namespace quantaro {

// Evaluates the token list of one equation from its last token to its first
// with an operand stack and an operator stack, so that operators apply
// strictly left to right and brackets group. On success the value of "=" is
// stored into the result variable.
class Evaluator {
  public:
    Evaluator(const EngineTables& tables, AngleUnit angle, std::string& errorItem)
        : tables_(tables), angle_(angle), errorItem_(errorItem) {}

    // An evaluator serves one equation.
    ResultCode EvaluateTokens(const std::vector<std::string_view>& tokens);

  private:
    enum class EvalState {
        Scanning = 0,
        FinalUnwinding = 1,
        AssignmentCheck = 2,
        BracketUnwinding = 3
    };

    struct TOperatorStackRecord {
        std::string_view text;  // as typed
        int operandCount;
    };

    struct Popped {
        TOperatorStackRecord op;
        long double left = 0.0L;
        long double right = 0.0L;
        bool operandMissing = false;
    };

    bool classify(std::string_view token);  // false: unknown item
    std::optional<Popped> popOperatorWithOperands();
    void apply(const Popped& popped);
    void unwindBracket();
    void unwindFinal();
    void checkAssignment();
    void PushOperand(long double value) { operandStack_.push_back(value); }
    std::optional<long double> PopOperand();
    void PushOperator(TOperatorStackRecord record) { operatorStack_.push_back(record); }
    std::optional<TOperatorStackRecord> PopOperator();

    EngineTables tables_;
    AngleUnit angle_;
    std::string& errorItem_;

    std::vector<long double> operandStack_;
    std::vector<TOperatorStackRecord> operatorStack_;
    EvalState evalState_ = EvalState::Scanning;
    ResultCode code_ = ResultCode::Success;
    int openCount_ = 0;
    int closeCount_ = 0;
    std::optional<std::string_view> resultVariable_;
    long double lastResult_ = 0.0L;
};

}  // namespace quantaro
