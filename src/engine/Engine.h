#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineTables.h"
#include "engine/Messages.h"
#include "engine/Worksheet.h"

namespace quantaro {

// What a run came to. The engine shows nothing; its callers decide how to
// tell the user.
struct RunOutcome {
    ResultCode code = ResultCode::Success;
    // The failing equation; after success, the number of equations found.
    int equationNumber = 0;
    // The word that could not be read, or the detail of a domain error.
    std::string errorItem;
    // The text for the user, empty after success.
    std::string message;

    bool succeeded() const { return code == ResultCode::Success; }
};

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
    // at the first failing equation. A floating-point fault escapes as
    // FloatingPointFault, with nothing stored for that equation.
    RunOutcome ExecuteEquations(int selection);

  private:
    // Makes the equations ready and returns how many there are: the
    // programs are compiled again when the formula or the names of a table
    // have changed since they were compiled; the texts are split afresh.
    std::size_t prepareEquations();
    ResultCode runEquation(std::size_t index, std::string& errorItem);
    // Tokenises and evaluates one equation.
    ResultCode TokeniseEquation(std::string_view equation, std::string& errorItem);

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
    Stamps compiledFrom_;
};

}  // namespace quantaro
