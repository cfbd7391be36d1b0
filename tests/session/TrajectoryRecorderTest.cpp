#include "session/TrajectoryRecorder.h"

#include <functional>

#include <gtest/gtest.h>

#include "TrajectoryVariables.h"

namespace quantaro {
namespace {

// Each step changes the table or the ticks, then counts a pass; the history
// must then hold the names and passes given.
TEST(TrajectoryRecorderTest, ANewHistoryStartsWhenTheNamesChangeAndPassesNeverRepeat) {
    NameTable variables = testing::TrajectoryVariables();
    TrajectoryRecorder recorder(variables);
    const Trajectory& history = recorder.trajectory();
    using Names = std::vector<std::string>;
    struct Step {
        std::function<void()> change;
        std::int64_t pass;
        Names names;
        std::vector<std::int64_t> passes;
    };
    const Step steps[] = {
        {[] {}, 1, {"X", "Y"}, {1}},
        {[] {}, 2, {"X", "Y"}, {1, 2}},
        // The loop counted from 1 again: the history goes on after pass 2.
        {[] {}, 1, {"X", "Y"}, {1, 2, 3}},
        {[&] { recorder.setRecorded("y", false); }, 2, {"X"}, {2}},
        {[&] { variables.setCell(NameColumn, 3, "Z"); }, 3, {"X", "Z"}, {3}},
        {[&] { variables.setCell(NameColumn, 1, "W"); }, 1, {"W", "Z"}, {1}},
        // Names the same as before: the history goes on.
        {[&] { variables.setCell(NameColumn, 1, "W"); }, 2, {"W", "Z"}, {1, 2}},
        {[&] { recorder.clear(); }, 7, {"W", "Z"}, {7}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(&step - steps);
        step.change();
        recorder.passCounted(step.pass);
        EXPECT_EQ(history.names(), step.names);
        std::vector<std::int64_t> passes;
        for (std::size_t row = 0; row < history.rowCount(); ++row) {
            passes.push_back(history.pass(row));
        }
        EXPECT_EQ(passes, step.passes);
    }
}

}  // namespace
}  // namespace quantaro
