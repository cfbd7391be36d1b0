#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QTableView>

#include "RunProgramFixture.h"
#include "studywindows/TFormSweep.h"

namespace quantaro::testing {
namespace {

// Every window open, the sweep's table holding results: from any table or
// list, Tab and Shift+Tab move on to another control; the sweep's list and
// table then tell a screen reader of no focused item.
TEST_F(RunProgramTest, TabLeavesEveryTableAndNoItemStaysFocused) {
    setVariable(1, "X", "1");
    setVariable(2, "Y", "0");
    setFormula("X * 2 = Y\r\n");
    for (const char* item : {"Constants1", "Variables1", "Trajectory1", "GoalSeek1", "Sweep1"}) {
        action(item)->trigger();
    }
    TFormSweep& sweep = *main().sweepWindow();
    child<QLineEdit>(sweep, "EditFrom1")->setText(QStringLiteral("1"));
    child<QLineEdit>(sweep, "EditTo1")->setText(QStringLiteral("3"));
    child<QPushButton>(sweep, "ButtonRun")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sweep.running(); }, 60000));
    QTest::qWait(100);  // the progress timer's tick that shows the results
    int views = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
            if (view->window() != window || !view->isVisible() || !view->isEnabled() ||
                view->focusPolicy() == Qt::NoFocus)
                continue;
            SCOPED_TRACE(view->objectName().toStdString());
            ++views;
            // Offscreen, a window shown before may still take the activation.
            const auto focus = [window, view] {
                for (int tries = 0; tries < 50 && !view->hasFocus(); ++tries) {
                    window->activateWindow();
                    QTest::qWait(10);
                    view->setFocus();
                }
                return view->hasFocus();
            };
            for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
                ASSERT_TRUE(focus());
                view->setCurrentIndex(view->model()->index(0, 0));
                QTest::keyClick(view, Qt::Key_Tab, modifiers);
                EXPECT_NE(window->focusWidget(), view);
            }
            if (window != &sweep) continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view);
            for (int i = 0; i < accessible->childCount(); ++i) {
                EXPECT_FALSE(accessible->child(i)->state().focused) << i;
            }
            ASSERT_TRUE(focus());
            EXPECT_EQ(view->currentIndex(), view->model()->index(0, 0));  // back with the focus
        }
    }
    EXPECT_GT(child<QTableView>(sweep, "TableResults")->model()->rowCount(), 0);
    EXPECT_GE(views, 9);  // three grids, the entry screens', the loop's, trajectory's, sweep's
}

}  // namespace
}  // namespace quantaro::testing
