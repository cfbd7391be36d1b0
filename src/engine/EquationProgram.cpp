#include "engine/EquationProgram.h"

#include <algorithm>
#include <utility>

#include "engine/EvaluationMachine.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"
#include "engine/OperatorBodies.h"
#include "engine/Operators.h"
#include "engine/Tokeniser.h"

namespace quantaro {

// The evaluation machine's backend while compiling: an operand is a slot,
// and applying an operator appends a step that writes a new slot.
class EquationProgram::Recorder {
  public:
    using Operand = Slot;

    explicit Recorder(EquationProgram& program) : program_(program) {}

    Operand literal(long double value) { return newSlot(value); }
    Operand read(const NameTable& table, int row) { return program_.slotOf(table, row); }
    Operand zero() { return 0; }

    // A bracket has no function and gives 0, as applying it does; "=" gives
    // its left operand unchanged, so its result is that operand's slot.
    ResultCode apply(const OperatorDefinition& op, std::string_view, Operand left, Operand right,
                     Operand& result) {
        if (op.apply == nullptr) {
            result = zero();
            return ResultCode::Success;
        }
        if (op.apply == &operators::Assign) {
            result = left;
            return ResultCode::Success;
        }
        result = newSlot(0.0L);
        program_.steps_.push_back({op.apply, op.code, left, right, result});
        return ResultCode::Success;
    }

    void store(int variableRow, Operand value) {
        program_.resultRow_ = variableRow;
        program_.resultSlot_ = value;
    }

  private:
    Operand newSlot(long double value) {
        program_.slots_.push_back(value);
        return static_cast<Operand>(program_.slots_.size() - 1);
    }

    EquationProgram& program_;
};

EquationProgram::EquationProgram(std::string equation, const EngineTables& tables)
    : text_(std::move(equation)), slots_{0.0L} {
    std::vector<std::string_view> tokens;
    std::string_view failedWord;
    const bool whole = Tokeniser(tables).cut(text_, tokens, failedWord);
    if (!recordReads(tokens, tables)) return;
    if (!whole) {
        code_ = ResultCode::UnknownItem;
        errorItem_ = failedWord;
        failedWordAt_ = static_cast<std::size_t>(failedWord.data() - text_.data());
        failedWordSize_ = failedWord.size();
        return;
    }
    Recorder recorder(*this);
    code_ = EvaluationMachine<Recorder>(tables, recorder, errorItem_).EvaluateTokens(tokens);
}

// The reads the tokeniser makes, each row once: within one equation a row
// reads the same until the result is stored, and any read that overflows
// ends the run with the same fault. False when a number word overflows, so
// that the equation always faults.
bool EquationProgram::recordReads(const std::vector<std::string_view>& tokens,
                                  const EngineTables& tables) {
    for (const std::string_view token : tokens) {
        const TokenMeaning meaning = MeaningOf(token, tables);
        if (meaning.table) slotOf(*meaning.table, meaning.row);
        if (meaning.kind != TokenMeaning::Number) continue;
        try {
            ParseNumber(token);
        } catch (const FloatingPointFault&) {
            numberWordFaults_ = true;
            reads_.clear();
            return false;
        }
    }
    return true;
}

EquationProgram::Slot EquationProgram::slotOf(const NameTable& table, int row) {
    const auto read = std::find_if(reads_.begin(), reads_.end(), [&](const Read& r) {
        return r.table == &table && r.row == row;
    });
    if (read != reads_.end()) return read->slot;
    slots_.push_back(0.0L);
    const auto slot = static_cast<Slot>(slots_.size() - 1);
    reads_.push_back({&table, row, slot});
    return slot;
}

// The flags are sticky, so they are tested after the last step, or at the
// end of the pass: a fault anywhere leaves one raised. Which fault came
// first and what follows from it is the checked evaluation's to find.
bool EquationProgram::runSteps(const long double* const* operands, long double* slots,
                               AngleUnit angle) const {
    namespace b = bodies;
    for (const Step& step : steps_) {
        const long double l = *operands[step.left];
        const long double r = *operands[step.right];
        long double value = 0.0L;
        switch (step.code) {
            case InlineCode::Add:
                value = b::Add(l, r);
                break;
            case InlineCode::Subtract:
                value = b::Subtract(l, r);
                break;
            case InlineCode::Multiply:
                value = b::Multiply(l, r);
                break;
            case InlineCode::Divide:
                if (b::DivisorFails(r)) return false;
                value = b::Divide(l, r);
                break;
            case InlineCode::Reciprocal:
                if (b::DivisorFails(l)) return false;
                value = b::Reciprocal(l);
                break;
            case InlineCode::Negate:
                value = b::Negate(l);
                break;
            case InlineCode::Square:
                value = b::Square(l);
                break;
            case InlineCode::SquareRoot:
                if (b::RadicandFails(l)) return false;
                value = b::SquareRoot(l);
                break;
            case InlineCode::Equal:
                value = b::Equal(l, r);
                break;
            case InlineCode::NotEqual:
                value = b::NotEqual(l, r);
                break;
            case InlineCode::Less:
                value = b::Less(l, r);
                break;
            case InlineCode::Greater:
                value = b::Greater(l, r);
                break;
            case InlineCode::LessOrEqual:
                value = b::LessOrEqual(l, r);
                break;
            case InlineCode::GreaterOrEqual:
                value = b::GreaterOrEqual(l, r);
                break;
            case InlineCode::Call: {
                // A fault an operator throws may not be the equation's first.
                try {
                    const OperatorResult result = step.apply({l, r, angle});
                    if (result.detail) return false;
                    value = result.value;
                } catch (const FloatingPointFault&) {
                    return false;
                }
                break;
            }
        }
        slots[step.result] = value;
    }
    return true;
}

// The steps read the tables' numbers where they stand, rather than copies:
// nothing is stored into a table while an equation runs.
bool EquationProgram::compute(AngleUnit angle) {
    if (numberWordFaults_) RaiseFault(FaultKind::Overflow);
    if (operands_.empty() || operands_[0] != slots_.data()) {
        operands_.resize(slots_.size());
        for (std::size_t i = 0; i < slots_.size(); ++i) operands_[i] = &slots_[i];
    }
    for (const Read& read : reads_) operands_[read.slot] = read.table->numberAt(read.row);
    return runSteps(operands_.data(), slots_.data(), angle);
}

std::optional<ResultCode> EquationProgram::run(NameTable& variables, AngleUnit angle,
                                               std::string& errorItem) {
    if (!compute(angle) || FaultFlagRaised()) return std::nullopt;
    if (code_ != ResultCode::Success) {
        errorItem = errorItem_;
        return code_;
    }
    // An equation of blanks alone succeeds and stores nothing.
    if (resultRow_ != 0) variables.setResult(resultRow_, *operands_[resultSlot_]);
    return ResultCode::Success;
}

bool EquationProgram::runUnchecked(NameTable& variables, AngleUnit angle,
                                   NameTable::StoreLog& log) {
    if (code_ != ResultCode::Success || !compute(angle)) return false;
    if (resultRow_ != 0) variables.setResult(resultRow_, *operands_[resultSlot_], log);
    return true;
}

}  // namespace quantaro
