#pragma once

#include <QUrl>

#include "interaction/UserInteraction.h"

namespace quantaro {

// Message boxes, file dialogs, beep and help through Qt and the desktop.
class QtUserInteraction : public UserInteraction {
  public:
    BoxAnswer showBox(QWidget* owner, BoxKind kind, const QString& text,
                      BoxButtons buttons) override;
    void showPlainBox(const QString& title, const QString& text) override;
    QString chooseFileToOpen(QWidget* owner, const FileDialogOptions& options) override;
    QString chooseFileToSave(QWidget* owner, const FileDialogOptions& options) override;
    void beep() override;
    void copyToClipboard(const QString& text) override;
    bool showHelp(const QString& helpPath, int context) override;
    bool choosePrinter(QWidget* owner, QPrinter& printer) override;
};

enum class ChosenFile { Accept, Retry };

// Whether a file dialog may close with path: its folder must exist and, when
// offerToCreate is set, a file that does not exist is taken only once the
// user agrees to create it. Otherwise the dialog stays open. The boxes go
// through user.
ChosenFile CheckChosenFile(UserInteraction& user, QWidget* owner, const QString& path,
                           bool offerToCreate);

// The text a message box shows for text. A box lays out its whole text
// before it shows, which takes seconds for a text of a megabyte: a text
// longer than kBoxTextLimit shows only its start and its end, with "…"
// between. Long words carry invisible break points so that they wrap.
inline constexpr qsizetype kBoxTextLimit = 2000;
inline constexpr QChar kBoxEllipsis{0x2026};
inline constexpr QChar kBoxWordBreak{0x200B};
QString TextForBox(const QString& text);

// The address handed to the desktop for a help request: the help file, with
// the context number as its fragment when it is not 0.
QUrl HelpUrl(const QString& helpPath, int context);

}  // namespace quantaro
