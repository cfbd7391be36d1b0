#pragma once

#include <QObject>

class QMenu;

namespace quantaro {

class DocumentCommands;

// File › Open Recent: one numbered item for each recent worksheet, newest
// first, then Clear Menu. The list may change in another window or program,
// so the items are made again each time the File menu opens.
class RecentWorksheetsMenu : public QObject {
  public:
    RecentWorksheetsMenu(QMenu* menu, DocumentCommands& commands);

    // Lists the worksheets as they are now; an empty list disables the menu.
    void refresh();

  private:
    QMenu* menu_;
    DocumentCommands& commands_;
};

// An item's text: its number as the accelerator, then the path with the home
// folder written "~" and every "&" shown as itself.
QString RecentItemText(int number, const QString& path);

}  // namespace quantaro
