#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"
#include "engine/Messages.h"
#include "engine/RunOutcome.h"
#include "engine/Worksheet.h"

namespace quantaro {

class EquationProgram;

// How an engine runs an equation. Both give the same outcome and tables.
enum class EngineMode {
    // Compiles the formula once and runs its programs until the formula or a
    // name in the tables changes; the fast way for repeated runs.
    Compiled,
    // Tokenises and evaluates every equation afresh on every run.
    Interpreted,
};

// Runs the equations of a worksheet's formula against its tables.
class Engine {
  public:
    explicit Engine(Worksheet& sheet, EngineMode mode = EngineMode::Compiled);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Runs every equation (selection 0) or only the selection-th, and stops
    // at the first failing equation. Nothing is thrown: a floating-point
    // fault ends the run as its own code, with nothing stored for that
    // equation.
    RunOutcome ExecuteEquations(int selection);

    // The variable rows that a run of the selection may store into, each
    // once: what a run changes in the tables, as they stand now. Compiles
    // the formula, if it is not compiled yet; interpreted, every data row.
    std::vector<int> resultRows(int selection);

  private:
    // Makes the equations ready and returns how many there are: the
    // programs are compiled again when the formula or the names of a table
    // have changed since they were compiled; the texts are split afresh.
    std::size_t prepareEquations();

    // A pass first runs the programs without testing the fault flags, and
    // tests them at its end. When a flag is raised or an equation does not
    // succeed, its stores are taken back and the pass runs again checked,
    // which finds its outcome and stores what stands before the failure.
    // True when the pass succeeded.
    bool runPassUnchecked(int selection);
    RunOutcome runPassChecked(int selection, std::size_t count);

    // How an equation failed: the error item, the piece of its text at fault
    // (empty for the whole equation) and a fault's kind.
    struct Failure {
        std::string item;
        std::string_view at;
        FaultKind fault = FaultKind::Overflow;
    };
    ResultCode runEquation(std::size_t index, Failure& failure);
    // Tokenises and evaluates one equation.
    ResultCode TokeniseEquation(std::string_view equation, Failure& failure);
    std::string_view equationText(std::size_t index) const;

    // What the programs were compiled from.
    struct Stamps {
        std::uint64_t formula = 0;
        std::uint64_t constantNames = 0;
        std::uint64_t variableNames = 0;
        bool operator==(const Stamps&) const = default;
    };
    Stamps currentStamps() const;
    // The tables with the indexes of their names as they are now.
    EngineTables tables() { return indexes_.follow(sheet_.constants, sheet_.variables); }

    Worksheet& sheet_;
    EngineMode mode_;
    TableIndexes indexes_;
    std::vector<EquationProgram> programs_;  // compiled mode
    std::vector<std::string> texts_;         // interpreted mode
    // Where the splitter took each equation from, for the place of a failure.
    std::vector<std::size_t> starts_;
    Stamps compiledFrom_;
    NameTable::StoreLog storeLog_;  // of the unchecked pass
};

}  // namespace quantaro
