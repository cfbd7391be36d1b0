#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/Trajectory.h"
#include "session/LoopRunner.h"

namespace quantaro {

class NameTable;

// A named variable the loop may record, and whether it does.
struct RecordChoice {
    std::string name;
    bool recorded = true;
};

// Records the chosen variables of the variable table after every pass the
// loop counts. Every named variable is recorded unless the user has switched
// it off, so that a variable added later is recorded too.
//
// A history holds one set of names in one order: when the chosen names change
// (a table opened or replaced, a row renamed, a tick changed) a new history
// starts with the new names. Pass numbers in a history never repeat: when the
// loop counts from 1 again, the history goes on counting from its last pass.
class TrajectoryRecorder : public PassRecorder {
  public:
    explicit TrajectoryRecorder(const NameTable& variables) : variables_(variables) {}

    // The table's named variables in table order, each name once.
    std::vector<RecordChoice> choices() const;
    void setRecorded(const std::string& name, bool recorded);

    // PassRecorder
    void passCounted(std::int64_t pass) override;

    // Drops the history, as the loop's Reset does.
    void clear();
    // Starts a new history when the chosen names are no longer those
    // recorded, so that a view shows what will be recorded before the loop
    // runs. Cheap while the table's names stay as they were.
    void takeChoice();

    // The same object for the recorder's whole life, whatever it records.
    const Trajectory& trajectory() const { return trajectory_; }

  private:
    std::vector<std::string> chosenNames() const;

    const NameTable& variables_;
    std::set<std::string> switchedOff_;  // folded names
    Trajectory trajectory_;
    // The names stamp of the table when the chosen names were last taken;
    // 0 asks for them to be taken again.
    std::uint64_t choiceStamp_ = 0;
    // Added to the loop's pass number, so that a loop counted from 1 again
    // carries on after the history's last pass.
    std::int64_t passOffset_ = 0;
};

}  // namespace quantaro
