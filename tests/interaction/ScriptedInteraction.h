#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

#include "interaction/UserInteraction.h"

namespace quantaro::testing {

// Records every box, file dialog, beep and help request instead of showing
// it, and gives the answers a test has queued (Ok, or Yes for a box without
// Ok, when the queue is empty; a file dialog with no queued path is
// cancelled).
class ScriptedInteraction : public UserInteraction {
  public:
    struct Box {
        BoxKind kind;
        QString text;
        BoxButtons buttons;
        QWidget* owner;
    };
    struct PlainBox {
        QString title;
        QString text;
    };
    struct HelpRequest {
        QString path;
        int context;
    };
    enum class Dialog { Open, Save };
    struct FileRequest {
        Dialog dialog;
        FileDialogOptions options;
        QWidget* owner;
    };

    std::vector<Box> boxes;
    std::vector<PlainBox> plainBoxes;
    std::vector<HelpRequest> helpRequests;
    // Whether the desktop has a program that takes help requests.
    bool desktopOpensHelp = true;
    int printDialogs = 0;
    // The print dialog's answers, Cancel when none is queued. A confirmed
    // dialog sends the printout to a PDF file at pdfFile.
    std::deque<bool> printAnswers;
    QString pdfFile;
    int beeps = 0;
    QString clipboard;  // the text last copied
    std::deque<BoxAnswer> answers;
    // Called for every box while it is "open", before it is answered.
    std::function<void(const Box&)> whileBoxOpen;
    std::vector<FileRequest> fileRequests;
    // The paths the file dialogs return in turn; "" cancels.
    std::deque<QString> chosenFiles;

    BoxAnswer showBox(QWidget* owner, BoxKind kind, const QString& text,
                      BoxButtons buttons) override {
        boxes.push_back({kind, text, buttons, owner});
        if (whileBoxOpen) {
            const Box open = boxes.back();  // the hook may show boxes of its own
            whileBoxOpen(open);
        }
        if (!answers.empty()) {
            BoxAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == BoxButtons::YesNo || buttons == BoxButtons::YesNoCancel ? BoxAnswer::Yes
                                                                                  : BoxAnswer::Ok;
    }
    void showPlainBox(const QString& title, const QString& text) override {
        plainBoxes.push_back({title, text});
    }
    QString chooseFileToOpen(QWidget* owner, const FileDialogOptions& options) override {
        return choose(Dialog::Open, owner, options);
    }
    QString chooseFileToSave(QWidget* owner, const FileDialogOptions& options) override {
        return choose(Dialog::Save, owner, options);
    }
    void beep() override { ++beeps; }
    void copyToClipboard(const QString& text) override { clipboard = text; }
    bool choosePrinter(QWidget*, QPrinter& printer) override {
        ++printDialogs;
        if (printAnswers.empty() || !printAnswers.front()) {
            if (!printAnswers.empty()) printAnswers.pop_front();
            return false;
        }
        printAnswers.pop_front();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfFile);
        return true;
    }
    bool showHelp(const QString& path, int context) override {
        helpRequests.push_back({path, context});
        return desktopOpensHelp;
    }

    // The text of the only box shown since the last clear(), or "" when
    // there was none or more than one.
    QString onlyBoxText() const { return boxes.size() == 1 ? boxes.front().text : QString(); }
    // The texts of every box shown since the last clear(), in order.
    QStringList boxTexts() const {
        QStringList texts;
        for (const Box& box : boxes) texts << box.text;
        return texts;
    }
    void clear() {
        boxes.clear();
        plainBoxes.clear();
        helpRequests.clear();
        printDialogs = 0;
        fileRequests.clear();
        beeps = 0;
    }

  private:
    QString choose(Dialog dialog, QWidget* owner, const FileDialogOptions& options) {
        fileRequests.push_back({dialog, options, owner});
        if (chosenFiles.empty()) return {};
        QString path = chosenFiles.front();
        chosenFiles.pop_front();
        return path;
    }
};

}  // namespace quantaro::testing
