#pragma once

#include <string>
#include <string_view>

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

// Runs the equations of a worksheet's formula against its tables.
class Engine {
  public:
    explicit Engine(Worksheet& sheet) : sheet_(sheet) {}

    // Runs every equation (selection 0) or only the selection-th, and stops
    // at the first failing equation. A floating-point fault escapes as
    // FloatingPointFault, with nothing stored for that equation.
    RunOutcome ExecuteEquations(int selection);

  private:
    // Tokenises and evaluates one equation.
    ResultCode TokeniseEquation(std::string_view equation, std::string& errorItem);

    Worksheet& sheet_;
};

}  // namespace quantaro
