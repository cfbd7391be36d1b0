#include "CommandGuard.h"

#include <gtest/gtest.h>

#include "FloatingPointFault.h"
#include "ScriptedInteraction.h"

namespace quantaro::testing {
namespace {

TEST(CommandGuardTest, AFloatingPointFaultEndsTheCommandWithItsTextInAnErrorBox) {
    ScriptedInteraction user;
    bool finished = false;
    const bool ok = RunCommand(user, nullptr, [&] {
        RaiseFault(FaultKind::Overflow);
        finished = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(finished);
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(user.boxes[0].text, "Floating point overflow");
}

TEST(CommandGuardTest, ACommandThatSucceedsShowsNothing) {
    ScriptedInteraction user;
    int runs = 0;
    EXPECT_TRUE(RunCommand(user, nullptr, [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace quantaro::testing
