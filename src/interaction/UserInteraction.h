#pragma once

#include <QString>
#include <QStringList>

class QPrinter;
class QWidget;

namespace quantaro {

// The four kinds of message box, each with its own title and icon.
enum class BoxKind { Warning, Error, Information, Confirmation };
enum class BoxButtons { Ok, YesNo, YesNoCancel, OkCancel };
enum class BoxAnswer { Ok, Cancel, Yes, No };

// What a file dialog shows: its title, one file type in Qt's filter form
// ("Formula File (*.FOR *.for)"), the extension added to a name typed
// without one, and the file name it starts with (save dialog only; empty
// for none). helpContext is the number F1 opens help at while it is shown;
// history names folders the dialog offers to go to, the most recent first.
struct FileDialogOptions {
    QString title;
    QString filter;
    QString defaultSuffix;
    QString initialName;
    int helpContext = 0;
    QStringList history = {};
};

// Everything that leaves the program's own windows to ask or tell the user
// something: message boxes, file dialogs, the beep, the clipboard and help requests. The
// desktop program uses the Qt implementation; tests script the answers.
class UserInteraction {
  public:
    virtual ~UserInteraction() = default;

    // A modal box titled after its kind ("Warning", "Error", "Information",
    // "Confirm"). Closing the box without a button answers Cancel, or No when
    // the box has no Cancel button.
    virtual BoxAnswer showBox(QWidget* owner, BoxKind kind, const QString& text,
                              BoxButtons buttons) = 0;

    // The platform's plain box with its own title and one OK button, not
    // owned by any window.
    virtual void showPlainBox(const QString& title, const QString& text) = 0;

    // The open dialog: returns the chosen path, or "" when the user cancels.
    // The folder must exist; a file that does not exist is returned only
    // after the user has agreed to create it (the dialog itself creates
    // nothing).
    virtual QString chooseFileToOpen(QWidget* owner, const FileDialogOptions& options) = 0;

    // The save dialog: returns the chosen path, or "" when the user cancels.
    // The folder must exist, and the user is asked before an existing file
    // is chosen for replacing.
    virtual QString chooseFileToSave(QWidget* owner, const FileDialogOptions& options) = 0;

    // The system's default beep.
    virtual void beep() = 0;

    // Puts text on the clipboard, for pasting into another program.
    virtual void copyToClipboard(const QString& text) = 0;

    // Opens the help file at helpPath through the desktop's default handler;
    // context 0 opens it at its start. False when the desktop has no handler
    // to take the request; failures after that are left to the handler.
    virtual bool showHelp(const QString& helpPath, int context) = 0;

    // The system's print dialog: printers, printing to a file, page range and
    // selection. True when the user confirmed; the printer is then set up as
    // chosen.
    virtual bool choosePrinter(QWidget* owner, QPrinter& printer) = 0;

    // Shorthands for the one-button boxes.
    void showError(QWidget* owner, const QString& text) {
        showBox(owner, BoxKind::Error, text, BoxButtons::Ok);
    }
    void showInformation(QWidget* owner, const QString& text) {
        showBox(owner, BoxKind::Information, text, BoxButtons::Ok);
    }
    void showWarning(QWidget* owner, const QString& text) {
        showBox(owner, BoxKind::Warning, text, BoxButtons::Ok);
    }
};

}  // namespace quantaro
