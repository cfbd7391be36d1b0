#include "interaction/GuardedApplication.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

#include "ScriptedInteraction.h"
#include "engine/FloatingPointFault.h"

namespace quantaro::testing {
namespace {

// An object whose handler of a user event runs the given command.
class CommandReceiver : public QObject {
  public:
    explicit CommandReceiver(std::function<void()> command) : command_(std::move(command)) {}

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User) return QObject::event(event);
        command_();
        return true;
    }

  private:
    std::function<void()> command_;
};

class GuardedApplicationTest : public ::testing::Test {
  protected:
    // Delivers one event to a handler running command, through the event
    // loop, with the boxes going to `user`.
    void deliver(std::function<void()> command) {
        auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
        app->setInteraction(&user);
        CommandReceiver receiver(std::move(command));
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        app->setInteraction(nullptr);
    }

    ScriptedInteraction user;
};

TEST_F(GuardedApplicationTest, AFloatingPointFaultEndsTheHandlerWithItsTextInAnErrorBox) {
    bool finished = false;
    deliver([&] {
        RaiseFault(FaultKind::Overflow);
        finished = true;
    });
    EXPECT_FALSE(finished);
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(user.boxes[0].text, "Floating point overflow");
}

TEST_F(GuardedApplicationTest, AnyOtherFailureShowsItsTextInsteadOfLeavingTheEventLoop) {
    deliver([] { throw std::runtime_error("Disk full"); });
    deliver([] { throw std::bad_alloc(); });  // whose own text says nothing to a user
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(user.boxTexts(),
              (QStringList{"Disk full", "There is not enough memory to complete the command."}));
}

TEST_F(GuardedApplicationTest, AHandlerThatSucceedsShowsNothing) {
    int runs = 0;
    deliver([&] { ++runs; });
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace quantaro::testing
