#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QListWidget>
#include <QTableView>

#include "RunProgramFixture.h"
#include "run/TFormSweep.h"

namespace quantaro::testing {
namespace {

// The program with a sweep of X run, its table holding results.
class FocusTest : public RunProgramTest {
  protected:
    void SetUp() override {
        RunProgramTest::SetUp();
        setVariable(1, "X", "1");
        setVariable(2, "Y", "0");
        setFormula("X * 2 = Y\r\n");
        action("Sweep1")->trigger();
        TFormSweep& sweep = *main().sweepWindow();
        auto* input = child<QComboBox>(sweep, "ComboInput1");
        input->setCurrentIndex(input->findText(QStringLiteral("X")));
        child<QLineEdit>(sweep, "EditFrom1")->setText(QStringLiteral("1"));
        child<QLineEdit>(sweep, "EditTo1")->setText(QStringLiteral("3"));
        child<QPushButton>(sweep, "ButtonRun")->click();
        const QAbstractItemModel* results = child<QTableView>(sweep, "TableResults")->model();
        ASSERT_TRUE(QTest::qWaitFor([&] { return results->rowCount() > 0; }, 60000));
        sweep.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&sweep));
    }
};

// Every window open: from any cell of any table or list, Tab and Shift+Tab
// move the focus on to another control.
TEST_F(FocusTest, TabAndShiftTabLeaveEveryTableInEveryWindow) {
    for (const char* item :
         {"Constants1", "Variables1", "Trajectory1", "ExplainEquations1", "GoalSeek1"}) {
        action(item)->trigger();
    }
    int views = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>()) {
            if (!view->isVisible() || view->focusPolicy() == Qt::NoFocus) continue;
            SCOPED_TRACE(view->objectName().toStdString());
            ++views;
            for (const Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
                view->setFocus();
                view->setCurrentIndex(view->model()->index(0, 0));
                QTest::keyClick(view, Qt::Key_Tab, modifiers);
                EXPECT_NE(QApplication::focusWidget(), view) << "Shift " << int(modifiers != 0);
            }
        }
    }
    // The main window's three grids, both entry screens', the loop window's,
    // the trajectory's and the sweep's list and table at the least.
    EXPECT_GE(views, 9);
}

// A screen reader hears of a focused item in the sweep's list and table only
// while they have the focus; the keyboard's place in them comes back with it.
TEST_F(FocusTest, TheStudyViewsItemsAreFocusedOnlyWithTheirView) {
    TFormSweep& sweep = *main().sweepWindow();
    QWidget* elsewhere = child<QPushButton>(sweep, "ButtonRun");
    for (const char* name : {"ListOutputs", "TableResults"}) {
        SCOPED_TRACE(name);
        auto* view = child<QAbstractItemView>(sweep, name);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(0, 0));
        const auto focusedItems = [view] {
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view);
            int focused = 0;
            for (int i = 0; i < accessible->childCount(); ++i) {
                focused += accessible->child(i)->state().focused ? 1 : 0;
            }
            return focused;
        };
        EXPECT_EQ(focusedItems(), 1);
        elsewhere->setFocus();
        EXPECT_EQ(focusedItems(), 0);
        view->setFocus();
        EXPECT_EQ(view->currentIndex(), view->model()->index(0, 0));
    }
}

}  // namespace
}  // namespace quantaro::testing
