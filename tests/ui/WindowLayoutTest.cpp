#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include <span>
#include <utility>

#include "DesktopProgramFixture.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormSelectEquation.h"
#include "run/TFormTrajectory.h"
#include "studywindows/TFormGoalSeek.h"
#include "studywindows/TFormOptimise.h"
#include "studywindows/TFormSolve.h"
#include "studywindows/TFormSweep.h"
#include "studywindows/TFormUncertainty.h"
#include "ui/FormulaEditor.h"
#include "ui/MainMenus.h"

namespace quantaro::testing {
namespace {

// What a control shows as its text: a window's title, a button's or a
// label's caption, a frame's title, an edit's text.
QString ControlText(const QWidget* control) {
    if (control->isWindow()) return control->windowTitle();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(control)) return label->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) return frame->title();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    return {};
}

class WindowLayoutTest : public DesktopProgramFixture {
  protected:
    // Each item of the table is there; an edit item is the editor's own
    // action, and a check item follows its option.
    void checkItems(QMenu* menu, const std::vector<MenuItemEntry>& items) {
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(items.size())) << menu->objectName().toStdString();
        for (std::size_t i = 0; i < items.size(); ++i) {
            const MenuItemEntry& item = items[i];
            QAction* action = actions[qsizetype(i)];
            if (item.editAction) {
                EXPECT_EQ(action, main().formulaEditor().actions().*item.editAction);
            }
            if (item.option) checkFollowsOption(action, item.option);
        }
    }

    // A check item shows its option, and choosing it sets the option.
    void checkFollowsOption(QAction* action, bool SessionOptions::*option) {
        const bool before = session().options().*option;
        EXPECT_EQ(action->isChecked(), before);
        action->trigger();
        EXPECT_EQ(session().options().*option, !before);
        session().setOption(option, before);
        EXPECT_EQ(action->isChecked(), before);
    }
};

// Every control of each window's table is there, the main window at its
// smallest size in its place, with its hint only while hints are switched
// on (or always); the texts are those the user reads.
TEST_F(WindowLayoutTest, EveryWindowShowsItsControlsAsItsTableDescribesThem) {
    TFormLoopSelect& loop = program->loopWindow();
    loop.showTrajectoryWindow();
    auto* trajectory = loop.findChild<TFormTrajectory*>();
    ASSERT_NE(trajectory, nullptr);
    trajectory->setHintsShown(false);  // it follows the loop window's hints
    main().Sweep1Click();
    main().GoalSeek1Click();
    main().Solve1Click();
    main().Optimise1Click();
    main().Uncertainty1Click();
    main().resize(0, 0);
    QApplication::processEvents();

    const std::pair<QWidget*, std::span<const ControlEntry>> windows[] = {
        {&main(), TFormCalculator::Layout()},
        {&loop, TFormLoopSelect::Layout()},
        {&program->selectEquation(), TFormSelectEquation::Layout()},
        {trajectory, TFormTrajectory::Layout()},
        {main().sweepWindow(), TFormSweep::Layout()},
        {main().goalSeekWindow(), TFormGoalSeek::Layout()},
        {main().solveWindow(), TFormSolve::Layout()},
        {main().optimiseWindow(), TFormOptimise::Layout()},
        {main().uncertaintyWindow(), TFormUncertainty::Layout()},
    };
    for (const bool hintsOn : {true, false}) {
        SCOPED_TRACE(hintsOn ? "hints on" : "hints off");
        session().setOption(&SessionOptions::showHints, hintsOn);
        session().showHintsNow();
        EXPECT_EQ(session().hintsShown(), hintsOn);
        trajectory->setHintsShown(hintsOn);
        for (const auto& [window, layout] : windows) {
            for (const ControlEntry& entry : layout) {
                SCOPED_TRACE(entry.name);
                QWidget* control = FindNamedControl(window, entry.name);
                ASSERT_NE(control, nullptr);
                const bool hintShown =
                    entry.hintDisplay == HintDisplay::Always || (hintsOn && !entry.hint.isEmpty());
                EXPECT_EQ(!control->toolTip().isEmpty(), hintShown);
                if (!entry.place.isNull()) {
                    EXPECT_EQ(control->geometry(), entry.place);
                }
            }
        }
    }
    QWidget* seek = main().goalSeekWindow();
    const auto text = [](QWidget* window, const char* name) {
        return ControlText(FindNamedControl(window, name));
    };
    EXPECT_EQ(QStringList({text(seek, "TFormGoalSeek"), text(seek, "ButtonStore"),
                           text(&loop, "TFormLoopSelect"), text(&loop, "ButtonStart")}),
              QStringList(
                  {"Quantaro - Goal Seek", "&Store", "Quantaro - Continuous loop", "&Start loop"}));
}

// The menu bar and the File menu's pop-up menus hold their tables' items.
TEST_F(WindowLayoutTest, TheMenusHoldTheirItemsAsTheirTablesDescribeThem) {
    const QList<QAction*> bar = main().menuBar()->actions();
    ASSERT_EQ(bar.size(), qsizetype(MainMenus().size()));
    for (std::size_t i = 0; i < MainMenus().size(); ++i) {
        if (QMenu* menu = bar[qsizetype(i)]->menu()) checkItems(menu, MainMenus()[i].items);
    }
    for (const MenuEntry& entry : PopupMenus()) {
        auto* menu = main().findChild<QMenu*>(QLatin1String(entry.name));
        ASSERT_NE(menu, nullptr) << entry.name;
        checkItems(menu, entry.items);
    }
    QStringList file;
    for (QAction* item : bar[0]->menu()->actions()) file << item->text();
    EXPECT_EQ(file, QStringList({"&New", "&Open", "Open &Recent", "&Save", "Save &As",
                                 "Export &Trajectory as CSV\u2026", "Export Ta&bles as CSV\u2026",
                                 "", "&Print", "", "&Exit"}));
}

}  // namespace
}  // namespace quantaro::testing
