#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AngleUnit.h"
#include "engine/EngineTables.h"
#include "engine/Messages.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

// One equation made ready to run many times. Compiling cuts it into tokens
// and drives the evaluation machine once, recording instead of computing:
// the values its tokeniser reads, then each operator the machine applies, on
// numbered slots, and how the equation ends. Everything but the values and
// the domain checks follows from the text and the names in the tables, so a
// program holds until either changes.
class EquationProgram {
  public:
    EquationProgram(std::string equation, const EngineTables& tables);

    // The equation as the splitter cut it, for messages and for evaluating it
    // afresh.
    const std::string& text() const { return text_; }

    // Runs the program on the current values. Raises the fault a read
    // raises; the fault flags must be clear when it starts. Returns nothing
    // when an operator's domain check failed or raised a fault, or a fault
    // flag is raised at the end: the program has then stored nothing, and
    // only evaluating the equation afresh, with the flags cleared, gives the
    // exact outcome and the first fault.
    std::optional<ResultCode> run(NameTable& variables, AngleUnit angle, std::string& errorItem);

    // Runs the program as run does, but leaves the fault flags untested, for
    // a pass that tests them once at its end, and notes its store in log.
    // True when it succeeded and stored its result (or had none to store);
    // false, having stored nothing, when it ends in any other way but a
    // fault: its outcome is then the checked run's to find. Raises the fault
    // a read raises.
    bool runUnchecked(NameTable& variables, AngleUnit angle, NameTable::StoreLog& log);

    // The variable row a successful run stores into; 0 when it stores
    // nothing. Evaluating the equation afresh stores into no other row.
    int resultRow() const { return resultRow_; }

    // The word of the text that cannot be cut, when the equation fails at
    // one; else empty.
    std::string_view faultAt() const {
        return std::string_view(text_).substr(failedWordAt_, failedWordSize_);
    }

  private:
    using Slot = std::uint32_t;

    // A constant or variable row the tokeniser reads, loaded into a slot.
    struct Read {
        const NameTable* table;
        int row;
        Slot slot;
    };
    struct Step {
        OperatorFunction apply;
        InlineCode code;
        Slot left;
        Slot right;
        Slot result;
    };
    class Recorder;

    // The reads, then the steps' results; false when a step needs the
    // checked evaluation. The fault flags are left as the steps leave them.
    bool compute(AngleUnit angle);
    bool runSteps(const long double* const* operands, long double* slots, AngleUnit angle) const;
    bool recordReads(const std::vector<std::string_view>& tokens, const EngineTables& tables);
    Slot slotOf(const NameTable& table, int row);

    std::string text_;
    bool numberWordFaults_ = false;  // reading one of its number words overflows
    std::vector<Read> reads_;
    std::vector<Step> steps_;
    std::vector<long double> slots_;  // slot 0 holds 0, then numbers, reads, results
    // Where each slot's value is read from while the program runs: a read's
    // from its table cell, the others' from slots_.
    std::vector<const long double*> operands_;
    // How the equation ends when no operator fails.
    ResultCode code_ = ResultCode::Success;
    std::string errorItem_;
    std::size_t failedWordAt_ = 0;
    std::size_t failedWordSize_ = 0;
    int resultRow_ = 0;  // 0: the machine stored nothing
    Slot resultSlot_ = 0;
};

}  // namespace quantaro
