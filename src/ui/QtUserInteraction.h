#pragma once

#include <QUrl>

#include "UserInteraction.h"

namespace quantaro {

// Message boxes, beep and help through Qt and the desktop.
class QtUserInteraction : public UserInteraction {
  public:
    BoxAnswer showBox(QWidget* owner, BoxKind kind, const QString& text,
                      BoxButtons buttons) override;
    void showPlainBox(const QString& title, const QString& text) override;
    void beep() override;
    void showHelp(const QString& helpPath, int context) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
};

// The address handed to the desktop for a help request: the help file, with
// the context number as its fragment when it is not 0.
QUrl HelpUrl(const QString& helpPath, int context);

}  // namespace quantaro
