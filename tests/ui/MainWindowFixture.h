#pragma once

#include <QAction>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "ScriptedInteraction.h"
#include "WidgetTesting.h"
#include "commands/DocumentCommands.h"
#include "session/Session.h"
#include "tables/NameTableModel.h"
#include "ui/FormulaEditor.h"
#include "ui/TFormCalculator.h"

namespace quantaro::testing {

// A main window on a session started in an empty temporary directory, shown
// and active, with every box answered by a script.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(startDir.isValid());
        start();
    }

    void start() {
        // A fresh session, as a program started again has.
        window.reset();
        session = std::make_unique<Session>(startDir.path());
        window = std::make_unique<TFormCalculator>(*session, user);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T>
    T* child(const char* name) {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QPlainTextEdit* memo() { return child<QPlainTextEdit>("MemoFormula"); }
    QAction* action(const char* name) { return child<QAction>(name); }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QTableView* grid(const char* name) { return child<QTableView>(name); }
    const FormulaHistory& history() { return window->formulaEditor().history(); }
    const EditActions& edit() { return window->formulaEditor().actions(); }

    QString editorText() { return memo()->toPlainText(); }

    // Selects table row `row` (1 based) of a grid as the user would.
    void selectRow(QTableView* view, int row) {
        view->setCurrentIndex(view->model()->index(NameTableModel::gridRow(row), 0));
    }

    void focusEditor() {
        memo()->setFocus();
        QApplication::processEvents();
    }

    QTemporaryDir startDir;
    ScriptedInteraction user;
    std::unique_ptr<Session> session;
    std::unique_ptr<TFormCalculator> window;
};

}  // namespace quantaro::testing
