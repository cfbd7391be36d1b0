#include "ui/MainMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "commands/DocumentCommands.h"
#include "commands/PrintCommands.h"
#include "interaction/ContextHelp.h"
#include "run/RunControl.h"
#include "ui/TFormCalculator.h"

namespace quantaro {
namespace {

// Help context numbers of the menus and their items.
constexpr int kFileHelp = 10;
constexpr int kConstantScreenHelp = 12;
constexpr int kVariableScreenHelp = 13;
constexpr int kRunItemHelp = 14;
constexpr int kRunMenuHelp = 15;
constexpr int kHelpMenuHelp = 23;
constexpr int kUncertaintyHelp = 25;

using W = TFormCalculator;

MenuItemEntry Command(const char* name, const QString& text, int helpContext, MenuHandler handler,
                      const QKeySequence& shortcut = {}) {
    return {.name = name,
            .text = text,
            .helpContext = helpContext,
            .shortcut = shortcut,
            .handler = handler};
}

MenuItemEntry Check(const char* name, const QString& text, bool SessionOptions::*option,
                    MenuHandler handler = nullptr) {
    return {.name = name, .text = text, .handler = handler, .option = option};
}

MenuItemEntry Edit(QAction* EditActions::*action) {
    return {.editAction = action};
}

const MenuItemEntry kSeparator{};

const std::vector<MenuEntry>& MenuBarTable() {
    static const std::vector<MenuEntry> menus = {
        {"File1",
         QStringLiteral("&File"),
         kFileHelp,
         [](W& w) { w.File1Click(); },
         {Command("New1", QStringLiteral("&New"), kFileHelp, [](W& w) { w.New1Click(); }),
          Command("Open1", QStringLiteral("&Open"), kFileHelp, [](W& w) { w.Open1Click(); }),
          {.name = "OpenRecent1",
           .text = QStringLiteral("Open &Recent"),
           .helpContext = kFileHelp,
           .submenu = true},
          Command(
              "Save1", QStringLiteral("&Save"), kFileHelp, [](W& w) { w.Save1Click(); },
              QKeySequence(Qt::CTRL | Qt::Key_S)),
          Command("SaveAs1", QStringLiteral("Save &As"), kFileHelp, [](W& w) { w.SaveAs1Click(); }),
          Command("ExportTrajectory1", QStringLiteral("Export &Trajectory as CSV\u2026"), kFileHelp,
                  [](W& w) { w.documentCommands().ExportTrajectory1Click(); }),
          Command("ExportTables1", QStringLiteral("Export Ta&bles as CSV\u2026"), kFileHelp,
                  [](W& w) { w.documentCommands().ExportTables1Click(); }),
          kSeparator,
          Command("Print1", QStringLiteral("&Print"), kFileHelp, [](W& w) { w.Print1Click(); }),
          kSeparator,
          Command("Exit1", QStringLiteral("&Exit"), kFileHelp, [](W& w) { w.Exit1Click(); })}},
        {"Edit1",
         QStringLiteral("&Edit"),
         0,
         nullptr,
         {Edit(&EditActions::undo), Edit(&EditActions::redo), kSeparator, Edit(&EditActions::cut),
          Edit(&EditActions::copy), Edit(&EditActions::paste), Edit(&EditActions::del),
          Edit(&EditActions::selectAll)}},
        {"Constants1", QStringLiteral("&Constants"), kConstantScreenHelp,
         [](W& w) { w.Constants1Click(); }},
        {"Variables1", QStringLiteral("&Variables"), kVariableScreenHelp,
         [](W& w) { w.Variables1Click(); }},
        {"Options1",
         QStringLiteral("&Options"),
         0,
         [](W& w) { w.Options1Click(); },
         {Check("RunOption1", QStringLiteral("&Prompt on every loop"),
                &SessionOptions::promptOnEveryLoop),
          Check("RunOption2", QStringLiteral("Show entire &variable table after executing"),
                &SessionOptions::showVariablesAfterExecuting),
          Check("Showhints1", QStringLiteral("Show &hints"), &SessionOptions::showHints,
                [](W& w) { w.Showhints1Click(); }),
          kSeparator,
          Check("HighlightEquations1", QStringLiteral("Highlight &Equations"),
                &SessionOptions::highlightEquations)}},
        {"Run1",
         QStringLiteral("&Run"),
         kRunMenuHelp,
         nullptr,
         {Command(
              "ExecuteAllFormulas1", QStringLiteral("Execute &All Equations"), kRunItemHelp,
              [](W& w) { w.runControl().ExecuteAllFormulas1Click(); }, Qt::Key_F9),
          Command(
              "TestOneEquation1", QStringLiteral("Test &One Equation"), kRunItemHelp,
              [](W& w) { w.runControl().TestOneEquation1Click(); }, Qt::Key_F8),
          Command("ContinuousLoop1", QStringLiteral("&Continuous Loop"), kRunItemHelp,
                  [](W& w) { w.runControl().ContinuousLoop1Click(); }),
          Command("Trajectory1", QStringLiteral("&Trajectory"), kRunItemHelp,
                  [](W& w) { w.Trajectory1Click(); }),
          Command("ExplainEquations1", QStringLiteral("&Explain Equations"), kRunItemHelp,
                  [](W& w) { w.ExplainEquations1Click(); }),
          Command("Sweep1", QStringLiteral("S&weep\u2026"), kRunItemHelp,
                  [](W& w) { w.Sweep1Click(); }),
          Command("GoalSeek1", QStringLiteral("&Goal Seek\u2026"), kRunItemHelp,
                  [](W& w) { w.GoalSeek1Click(); }),
          Command(
              "CheckUnits1", QStringLiteral("Check &Units"), kRunItemHelp,
              [](W& w) { w.CheckUnits1Click(); }, Qt::Key_F7),
          Command("Uncertainty1", QStringLiteral("U&ncertainty\u2026"), kUncertaintyHelp,
                  [](W& w) { w.Uncertainty1Click(); }),
          Command("Solve1", QStringLiteral("So&lve\u2026"), kRunItemHelp,
                  [](W& w) { w.Solve1Click(); }),
          Command("Optimise1", QStringLiteral("O&ptimise\u2026"), kRunItemHelp,
                  [](W& w) { w.Optimise1Click(); }),
          Command("Fit1", QStringLiteral("&Fit\u2026"), kRunItemHelp,
                  [](W& w) { w.Fit1Click(); })}},
        {"Help1",
         QStringLiteral("&Help"),
         kHelpMenuHelp,
         nullptr,
         {Command("About1", QStringLiteral("&Using The Program"), kHelpMenuHelp,
                  [](W& w) { w.About1Click(); }),
          Command("About2", QStringLiteral("&About"), kHelpMenuHelp,
                  [](W& w) { w.About2Click(); })}},
    };
    return menus;
}

const std::vector<MenuEntry>& PopupTable() {
    static const std::vector<MenuEntry> menus = {
        {"PopupMenuNew",
         {},
         kFileHelp,
         nullptr,
         {Command("NewAll1", QStringLiteral("New &All"), kFileHelp,
                  [](W& w) { w.documentCommands().NewAll1Click(); }),
          Command("NewFormula1", QStringLiteral("New &Formula"), kFileHelp,
                  [](W& w) { w.documentCommands().NewFormula1Click(); }),
          Command("NewConstantTable1", QStringLiteral("New &Constant Table"), kFileHelp,
                  [](W& w) { w.documentCommands().NewConstantTable1Click(); }),
          Command("NewVariableTable1", QStringLiteral("New &VariableTable"), kFileHelp,
                  [](W& w) { w.documentCommands().NewVariableTable1Click(); })}},
        {"PopupMenuOpen",
         {},
         kFileHelp,
         nullptr,
         {Command("OpenAll1", QStringLiteral("Open &All"), kFileHelp,
                  [](W& w) { w.documentCommands().OpenAll1Click(); }),
          Command("OpenFormulaFileOnly1", QStringLiteral("Open &Formula File Only"), kFileHelp,
                  [](W& w) { w.documentCommands().OpenFormulaFileOnly1Click(); }),
          Command("OpenConstantFileOnly1", QStringLiteral("Open &Constant File Only"), kFileHelp,
                  [](W& w) { w.documentCommands().OpenConstantFileOnly1Click(); }),
          Command("OpenVariableFileOnly1", QStringLiteral("Open &Variable File Only"), kFileHelp,
                  [](W& w) { w.documentCommands().OpenVariableFileOnly1Click(); })}},
        {"PopupMenuSave",
         {},
         kFileHelp,
         nullptr,
         {Command("SaveAll1", QStringLiteral("Save &All"), kFileHelp,
                  [](W& w) { w.documentCommands().SaveAll1Click(); }),
          Command("SaveFormulaFileAs1", QStringLiteral("Save &Formula File As"), kFileHelp,
                  [](W& w) { w.documentCommands().SaveFormulaFileAs1Click(); }),
          Command("SaveConstantFileAs1", QStringLiteral("Save &Constant File As"), kFileHelp,
                  [](W& w) { w.documentCommands().SaveConstantFileAs1Click(); }),
          Command("SaveVariableFileAs1", QStringLiteral("Save &Variable File As"), kFileHelp,
                  [](W& w) { w.documentCommands().SaveVariableFileAs1Click(); })}},
        {"PopupMenuPrint",
         {},
         kFileHelp,
         nullptr,
         {Command("PrintAll1", QStringLiteral("Print &All"), kFileHelp,
                  [](W& w) { w.printCommands().PrintAll1Click(); }),
          Command("PrintFormulaOnly1", QStringLiteral("Print &Formula Only"), kFileHelp,
                  [](W& w) { w.printCommands().PrintFormulaOnly1Click(); }),
          Command("PrintConstantsOnly1", QStringLiteral("Print &Constants Only"), kFileHelp,
                  [](W& w) { w.printCommands().PrintConstantsOnly1Click(); }),
          Command("PrintVariablesOnly1", QStringLiteral("Print &Variables Only"), kFileHelp,
                  [](W& w) { w.printCommands().PrintVariablesOnly1Click(); })}},
    };
    return menus;
}

void AddItem(QMenu* menu, const MenuItemEntry& item, TFormCalculator& window, Session& session,
             const EditActions& edit) {
    if (item.editAction) {
        menu->addAction(edit.*item.editAction);
        return;
    }
    if (!item.name) {
        menu->addSeparator();
        return;
    }
    if (item.submenu) {
        QMenu* submenu = menu->addMenu(item.text);
        submenu->setObjectName(QLatin1String(item.name));
        ContextHelp::setContext(submenu, item.helpContext);
        return;
    }
    QAction* action = menu->addAction(item.text);
    action->setObjectName(QLatin1String(item.name));
    action->setShortcut(item.shortcut);
    ContextHelp::setContext(action, item.helpContext);
    if (const auto option = item.option) {
        action->setCheckable(true);
        action->setChecked(session.options().*option);
        QObject::connect(action, &QAction::toggled, &session,
                         [&session, option](bool on) { session.setOption(option, on); });
        QObject::connect(&session, &Session::optionsChanged, action, [action, &session, option] {
            action->setChecked(session.options().*option);
        });
    }
    if (const MenuHandler handler = item.handler) {
        QObject::connect(action, &QAction::triggered, &window,
                         [&window, handler] { handler(window); });
    }
}

}  // namespace

std::span<const MenuEntry> MainMenus() {
    return MenuBarTable();
}

std::span<const MenuEntry> PopupMenus() {
    return PopupTable();
}

void BuildMenus(TFormCalculator& window, QMenuBar* bar, Session& session, const EditActions& edit) {
    for (const MenuEntry& entry : MainMenus()) {
        if (entry.items.empty()) {
            QAction* item = bar->addAction(entry.title);
            item->setObjectName(QLatin1String(entry.name));
            ContextHelp::setContext(item, entry.helpContext);
            QObject::connect(item, &QAction::triggered, &window,
                             [&window, handler = entry.handler] { handler(window); });
            continue;
        }
        QMenu* menu = bar->addMenu(entry.title);
        menu->setObjectName(QLatin1String(entry.name));
        ContextHelp::setContext(menu, entry.helpContext);
        if (const MenuHandler handler = entry.handler) {
            QObject::connect(menu, &QMenu::aboutToShow, &window,
                             [&window, handler] { handler(window); });
        }
        for (const MenuItemEntry& item : entry.items) AddItem(menu, item, window, session, edit);
    }
    for (const MenuEntry& entry : PopupMenus()) {
        auto* menu = new QMenu(&window);
        menu->setObjectName(QLatin1String(entry.name));
        ContextHelp::setContext(menu, entry.helpContext);
        for (const MenuItemEntry& item : entry.items) AddItem(menu, item, window, session, edit);
    }
}

}  // namespace quantaro
