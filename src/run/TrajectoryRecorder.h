#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/Trajectory.h"
#include "run/LoopRunner.h"

namespace quantaro {

class NameTable;

// A named variable the loop may record, and whether it does.
struct RecordChoice {
    std::string name;
    bool recorded = true;
};

// Records the chosen variables of the variable table after every pass the
// loop counts. Every named variable is recorded unless the user has switched
// it off, so that a variable added later is recorded too. A history takes the
// variables chosen when its first pass is recorded; a change of choice starts
// a new one.
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
    // While no pass is recorded, the history takes the names chosen now, so
    // that a view shows them before the loop runs.
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
};

}  // namespace quantaro
