#include "run/TrajectoryRecorder.h"

#include "engine/NameTable.h"

namespace quantaro {

std::vector<RecordChoice> TrajectoryRecorder::choices() const {
    std::vector<RecordChoice> choices;
    std::set<std::string> seen;
    for (int row = 1; row <= variables_.rowCount(); ++row) {
        const std::string& name = variables_.name(row);
        if (name.empty() || !seen.insert(FoldToUpper(name)).second) continue;
        choices.push_back({name, !switchedOff_.contains(FoldToUpper(name))});
    }
    return choices;
}

std::vector<std::string> TrajectoryRecorder::chosenNames() const {
    std::vector<std::string> names;
    for (RecordChoice& choice : choices()) {
        if (choice.recorded) names.push_back(std::move(choice.name));
    }
    return names;
}

void TrajectoryRecorder::setRecorded(const std::string& name, bool recorded) {
    const std::string folded = FoldToUpper(name);
    const bool changed =
        recorded ? switchedOff_.erase(folded) > 0 : switchedOff_.insert(folded).second;
    if (!changed) return;
    clear();
    takeChoice();
}

// The names are taken when a history starts, and again while it is empty
// and the table's names change; a history once started keeps its columns.
void TrajectoryRecorder::passCounted(std::int64_t pass) {
    takeChoice();
    if (trajectory_.columnCount() == 0) return;
    trajectory_.record(pass, variables_);
}

void TrajectoryRecorder::takeChoice() {
    if (trajectory_.rowCount() != 0 || variables_.namesStamp() == choiceStamp_) return;
    trajectory_.restart(chosenNames());
    choiceStamp_ = variables_.namesStamp();
}

void TrajectoryRecorder::clear() {
    trajectory_.clear();
    choiceStamp_ = 0;
}

}  // namespace quantaro
