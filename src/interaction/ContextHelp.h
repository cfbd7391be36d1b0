#pragma once

#include <QObject>
#include <QString>

#include "interaction/HelpFiles.h"

class QAction;
class QWidget;

namespace quantaro {

class UserInteraction;

// Help context numbers carried by windows, controls and menu items, and the
// F1 key that opens the help file at the number of what has the focus.
namespace ContextHelp {

void setContext(QObject* object, int context);
int contextOf(const QObject* object);

// Marks a window as one that names the help file; F1 in other windows opens
// no help.
void setNamesHelpFile(QWidget* window, bool names = true);

// The context for F1 with focus on widget: its own number or, when that is
// 0, the nearest enclosing widget's, up to its window. 0 when none has a
// number or the window names no help file.
int contextForFocus(const QWidget* widget);

// The context for F1 on a highlighted menu item: the item's number, else
// the menu's.
int contextForMenuItem(const QAction* item, const QObject* menu);

}  // namespace ContextHelp

// Application-wide event filter that turns F1 into a help request.
class HelpKeyFilter : public QObject {
  public:
    HelpKeyFilter(UserInteraction& interaction, HelpFiles help, QObject* parent = nullptr);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    UserInteraction& interaction_;
    HelpFiles help_;
};

}  // namespace quantaro
