#include "session/TrajectoryRecorder.h"

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
    choiceStamp_ = 0;
    takeChoice();
}

void TrajectoryRecorder::passCounted(std::int64_t pass) {
    takeChoice();
    if (trajectory_.columnCount() == 0) return;
    const std::size_t rows = trajectory_.rowCount();
    if (rows != 0 && pass + passOffset_ <= trajectory_.pass(rows - 1)) {
        passOffset_ = trajectory_.pass(rows - 1) - pass + 1;
    }
    trajectory_.record(pass + passOffset_, variables_);
}

void TrajectoryRecorder::takeChoice() {
    if (variables_.namesStamp() == choiceStamp_) return;
    choiceStamp_ = variables_.namesStamp();
    std::vector<std::string> names = chosenNames();
    if (names == trajectory_.names()) return;
    trajectory_.restart(std::move(names));
    passOffset_ = 0;
}

void TrajectoryRecorder::clear() {
    trajectory_.clear();
    passOffset_ = 0;
}

}  // namespace quantaro
