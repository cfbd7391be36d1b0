#pragma once

#include <QKeySequence>
#include <QString>

#include <span>
#include <vector>

#include "session/Session.h"
#include "ui/FormulaEditor.h"

class QMenu;
class QMenuBar;
class QWidget;

namespace quantaro {

class TFormCalculator;

// What a menu item of the main window does.
using MenuHandler = void (*)(TFormCalculator&);

// One item of a menu: a command, a check item that shows and sets one of the
// session's options, an item of the formula editor's Edit commands, an
// empty submenu that its owner fills, or a separator (no name).
struct MenuItemEntry {
    const char* name = nullptr;
    QString text{};
    int helpContext = 0;
    QKeySequence shortcut{};
    MenuHandler handler = nullptr;
    bool SessionOptions::*option = nullptr;
    QAction* EditActions::*editAction = nullptr;
    bool submenu = false;
};

// A menu of the menu bar or a pop-up menu. Without items, a menu-bar item
// that acts when it is clicked; with items, handler runs as the menu opens.
struct MenuEntry {
    const char* name = nullptr;
    QString title{};
    int helpContext = 0;
    MenuHandler handler = nullptr;
    std::vector<MenuItemEntry> items{};
};

// The menu bar's menus in order, and the pop-up menus of the File menu.
std::span<const MenuEntry> MainMenus();
std::span<const MenuEntry> PopupMenus();

// Makes the menus of the tables for window: items named, with their
// shortcuts and help contexts, connected to their handlers; check items
// follow the session's options both ways.
void BuildMenus(TFormCalculator& window, QMenuBar* bar, Session& session, const EditActions& edit);

}  // namespace quantaro
