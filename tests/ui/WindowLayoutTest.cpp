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
#include "interaction/ContextHelp.h"
#include "run/TFormGoalSeek.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormSelectEquation.h"
#include "run/TFormSweep.h"
#include "run/TFormTrajectory.h"
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
    void checkItems(QMenu* menu, const std::vector<MenuItemEntry>& items) {
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(items.size())) << menu->objectName().toStdString();
        for (std::size_t i = 0; i < items.size(); ++i) {
            const MenuItemEntry& item = items[i];
            QAction* action = actions[qsizetype(i)];
            if (item.editAction) {
                EXPECT_EQ(action, main().formulaEditor().actions().*item.editAction);
                continue;
            }
            SCOPED_TRACE(item.name ? item.name : "separator");
            EXPECT_EQ(action->isSeparator(), item.name == nullptr);
            if (!item.name) continue;
            QObject* named = item.submenu ? static_cast<QObject*>(action->menu()) : action;
            ASSERT_NE(named, nullptr);
            EXPECT_EQ(named->objectName(), item.name);
            EXPECT_EQ(action->text(), item.text);
            EXPECT_EQ(action->shortcut(), item.shortcut);
            EXPECT_EQ(ContextHelp::contextOf(named), item.helpContext);
            EXPECT_EQ(action->isCheckable(), item.option != nullptr);
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

// Each window shows what its table says, the main window at its smallest
// size: every control under its name, with its text, its hint only while
// hints are switched on (or always), its help context and its place.
TEST_F(WindowLayoutTest, EveryWindowShowsItsControlsAsItsTableDescribesThem) {
    TFormLoopSelect& loop = program->loopWindow();
    loop.showTrajectoryWindow();
    auto* trajectory = loop.findChild<TFormTrajectory*>();
    ASSERT_NE(trajectory, nullptr);
    trajectory->setHintsShown(false);  // it follows the loop window's hints
    main().Sweep1Click();
    main().GoalSeek1Click();
    main().resize(0, 0);
    QApplication::processEvents();

    const std::pair<QWidget*, std::span<const ControlEntry>> windows[] = {
        {&main(), TFormCalculator::Layout()},
        {&loop, TFormLoopSelect::Layout()},
        {&program->selectEquation(), TFormSelectEquation::Layout()},
        {trajectory, TFormTrajectory::Layout()},
        {main().sweepWindow(), TFormSweep::Layout()},
        {main().goalSeekWindow(), TFormGoalSeek::Layout()},
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
                if (!entry.text.isEmpty()) {
                    EXPECT_EQ(ControlText(control), entry.text);
                }
                const bool hintShown =
                    entry.hintDisplay == HintDisplay::Always || (hintsOn && !entry.hint.isEmpty());
                EXPECT_EQ(control->toolTip(), hintShown ? ToolTipText(entry.hint) : QString());
                EXPECT_EQ(ContextHelp::contextOf(control), entry.helpContext);
                if (!entry.place.isNull()) {
                    EXPECT_EQ(control->geometry(), entry.place);
                }
            }
        }
    }
}

// The menu bar holds its menus in the table's order, each item with its
// name, text, shortcut and help context; the File menu's pop-up menus too.
TEST_F(WindowLayoutTest, TheMenusHoldTheirItemsAsTheirTablesDescribeThem) {
    const QList<QAction*> bar = main().menuBar()->actions();
    ASSERT_EQ(bar.size(), qsizetype(MainMenus().size()));
    for (std::size_t i = 0; i < MainMenus().size(); ++i) {
        const MenuEntry& entry = MainMenus()[i];
        SCOPED_TRACE(entry.name);
        QAction* item = bar[qsizetype(i)];
        EXPECT_EQ(item->text(), entry.title);
        QObject* named = item->menu() ? static_cast<QObject*>(item->menu()) : item;
        EXPECT_EQ(named->objectName(), entry.name);
        EXPECT_EQ(ContextHelp::contextOf(named), entry.helpContext);
        EXPECT_EQ(item->menu() == nullptr, entry.items.empty());
        if (item->menu()) checkItems(item->menu(), entry.items);
    }
    for (const MenuEntry& entry : PopupMenus()) {
        auto* menu = main().findChild<QMenu*>(QLatin1String(entry.name));
        ASSERT_NE(menu, nullptr) << entry.name;
        EXPECT_EQ(ContextHelp::contextOf(menu), entry.helpContext);
        checkItems(menu, entry.items);
    }
}

}  // namespace
}  // namespace quantaro::testing
