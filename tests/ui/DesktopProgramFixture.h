#pragma once

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "ScriptedInteraction.h"
#include "ui/StartUp.h"
#include "ui/TFormCalculator.h"

namespace quantaro::testing {

// The whole desktop program started in an empty temporary directory, its
// main window shown, every box answered by a script. A derived fixture may
// name a user guide for help to fall back on.
class DesktopProgramFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(startDir.isValid());
        program = std::make_unique<DesktopProgram>(user, startDir.path(), guideDirectory);
        program->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program->mainWindow()));
    }

    TFormCalculator& main() { return program->mainWindow(); }
    Session& session() { return program->session(); }

    template <typename T>
    static T* child(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir startDir;
    QString guideDirectory;
    ScriptedInteraction user;
    std::unique_ptr<DesktopProgram> program;
};

}  // namespace quantaro::testing
