#include "CommandGuard.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <stdexcept>

#include "FloatingPointFault.h"
#include "GuardedApplication.h"
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

// An object whose event handler fails.
class FailingReceiver : public QObject {
  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw std::runtime_error("Disk full");
        return QObject::event(event);
    }
};

TEST(GuardedApplicationTest, AFailingHandlerEndsWithAnErrorBoxInsteadOfLeavingTheEventLoop) {
    auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
    ScriptedInteraction user;
    app->setInteraction(&user);
    FailingReceiver receiver;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    app->setInteraction(nullptr);
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(user.boxes[0].text, "Disk full");
}

}  // namespace
}  // namespace quantaro::testing
