#pragma once

#include <string>
#include <string_view>

#include "engine/EngineHost.h"
#include "engine/EngineTables.h"

namespace quantaro {

// The engine entry: runs the equations of the host's formula text against
// the tables and reports the outcome through the host. Not re-entrant.
class Engine {
  public:
    Engine(EngineTables tables, EngineHost& host) : tables_(tables), host_(host) {}

    // Runs every equation (selection 0) or only the selection-th. Stops at
    // the first failing equation and reports it. A floating-point fault
    // escapes as FloatingPointFault, with nothing stored for that equation.
    void ExecuteEquations(int selection);

    // Tokenises and evaluates one equation; returns its result code.
    int TokeniseEquation(std::string_view equation);

    // The last run's code; the loop window sets it back to 0 when it starts.
    int resultCode() const { return resultCode_; }
    void setResultCode(int code) { resultCode_ = code; }
    const std::string& errorItem() const { return errorItem_; }

  private:
    void endRun(int equationNumber);
    void ReportResult(int code, int equationNumber);

    EngineTables tables_;
    EngineHost& host_;
    int resultCode_ = 0;
    std::string errorItem_;
};

}  // namespace quantaro
