#include "commands/RecentWorksheetsMenu.h"

#include <QDir>
#include <QMenu>

#include "commands/DocumentCommands.h"
#include "documents/FileName.h"

namespace quantaro {

RecentWorksheetsMenu::RecentWorksheetsMenu(QMenu* menu, DocumentCommands& commands)
    : QObject(menu), menu_(menu), commands_(commands) {
    menu_->setToolTipsVisible(true);
    refresh();
}

void RecentWorksheetsMenu::refresh() {
    menu_->clear();
    const QStringList paths = commands_.recentWorksheets().paths();
    int number = 0;
    for (const QString& path : paths) {
        QAction* item = menu_->addAction(RecentItemText(++number, path));
        item->setObjectName(QStringLiteral("RecentWorksheet%1").arg(number));
        item->setToolTip(ShownFileName(path));
        connect(item, &QAction::triggered, this, [this, path] { commands_.OpenRecent(path); });
    }
    menu_->addSeparator();
    QAction* clear = menu_->addAction(QStringLiteral("Clear Menu"));
    clear->setObjectName(QStringLiteral("ClearRecent1"));
    connect(clear, &QAction::triggered, this, [this] {
        commands_.recentWorksheets().clear();
        refresh();
    });
    menu_->menuAction()->setEnabled(!paths.isEmpty());
}

QString RecentItemText(int number, const QString& path) {
    QString shown = ShownFileName(path);
    const QString home = QDir::toNativeSeparators(QDir::homePath()) + QDir::separator();
    if (shown.startsWith(home)) shown = QStringLiteral("~") + shown.mid(home.size() - 1);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    // The tenth is "1&0": its accelerator is the 0 key.
    const QString digits = QString::number(number);
    return digits.left(digits.size() - 1) + QLatin1Char('&') + digits.right(1) + QLatin1Char(' ') +
           shown;
}

}  // namespace quantaro
