#include "interaction/QtUserInteraction.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPrintDialog>
#include <QUrl>

#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "interaction/ContextHelp.h"

namespace quantaro {
namespace {

constexpr int kPrintDialogHelp = 10;

QString TitleOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::Warning:
            return QStringLiteral("Warning");
        case BoxKind::Error:
            return QStringLiteral("Error");
        case BoxKind::Information:
            return QStringLiteral("Information");
        case BoxKind::Confirmation:
            return QStringLiteral("Confirm");
    }
    return {};
}

QMessageBox::Icon IconOf(BoxKind kind) {
    switch (kind) {
        case BoxKind::Warning:
            return QMessageBox::Warning;
        case BoxKind::Error:
            return QMessageBox::Critical;
        case BoxKind::Information:
            return QMessageBox::Information;
        case BoxKind::Confirmation:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(BoxButtons buttons) {
    switch (buttons) {
        case BoxButtons::Ok:
            return QMessageBox::Ok;
        case BoxButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case BoxButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case BoxButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

BoxAnswer AnswerOf(int button, BoxButtons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return BoxAnswer::Ok;
        case QMessageBox::Yes:
            return BoxAnswer::Yes;
        case QMessageBox::No:
            return BoxAnswer::No;
        case QMessageBox::Cancel:
            return BoxAnswer::Cancel;
        default:
            break;
    }
    return buttons == BoxButtons::YesNo ? BoxAnswer::No : BoxAnswer::Cancel;
}

// Asks before a file is replaced, as the dialog does for the files it sees.
bool MayReplace(UserInteraction& user, QWidget* owner, const QString& name) {
    if (!FileExists(name)) return true;
    return user.showBox(owner, BoxKind::Confirmation,
                        QStringLiteral("%1 already exists.\nDo you want to replace it?")
                            .arg(ShownFileName(name)),
                        BoxButtons::YesNo) == BoxAnswer::Yes;
}

// Qt's own dialog rather than the desktop's: a native open dialog accepts
// only files that exist, so it could not offer to create one, and F1 would
// not reach the help file from it.
QString RunFileDialog(UserInteraction& user, QWidget* owner, const FileDialogOptions& options,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner, options.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(options.filter);
    dialog.setDefaultSuffix(options.defaultSuffix);
    ContextHelp::setNamesHelpFile(&dialog, options.helpContext != 0);
    ContextHelp::setContext(&dialog, options.helpContext);
    if (!options.initialName.isEmpty()) dialog.selectFile(DialogFileName(options.initialName));
    // Besides the folders Qt's dialog remembers itself, those of the
    // worksheets used last.
    QStringList history = dialog.history();
    for (const QString& folder : options.history) {
        if (!history.contains(folder)) history << folder;
    }
    dialog.setHistory(history);
    const bool offerToCreate = mode == QFileDialog::AcceptOpen;
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return {};
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty()) return {};
        // The dialog names a file whose name is not UTF-8 as Qt decodes it,
        // and so did not see it to ask before it is replaced.
        const std::optional<QString> name = FileNameFromDialog(chosen.front());
        if (!name) {
            user.showWarning(&dialog, UnrepresentableNameText(chosen.front()));
        } else if (mode == QFileDialog::AcceptOpen || *name == chosen.front() ||
                   MayReplace(user, &dialog, *name)) {
            if (CheckChosenFile(user, &dialog, *name, offerToCreate) == ChosenFile::Accept) {
                return *name;
            }
        }
        dialog.selectFile(chosen.front());
    }
}

QString StartAndEnd(const QString& text) {
    if (text.size() <= kBoxTextLimit) return text;
    const qsizetype half = kBoxTextLimit / 2;
    QString start = text.left(half);
    QString end = text.right(half);
    // Neither piece may keep half of a character that is cut in two.
    if (start.back().isHighSurrogate()) start.chop(1);
    if (end.front().isLowSurrogate()) end.remove(0, 1);
    return start + kBoxEllipsis + end;
}

// A plain-text label wraps only where a line may break, so a word wider than
// the box would run off its edge. A zero-width space every few characters of
// a long word lets it wrap without changing what is shown.
QString BreakableWords(const QString& text) {
    constexpr int kRun = 16;
    QString breakable;
    breakable.reserve(text.size() + text.size() / kRun);
    int run = 0;
    for (const QChar c : text) {
        if (c.isSpace()) {
            run = 0;
        } else if (run >= kRun && !c.isLowSurrogate()) {
            breakable += kBoxWordBreak;
            run = 0;
        }
        breakable += c;
        ++run;
    }
    return breakable;
}

// Texts in boxes come from files and formulas as often as from the program:
// they are shown character for character, never read as markup.
void SetBoxText(QMessageBox& box, const QString& text) {
    box.setTextFormat(Qt::PlainText);
    box.setText(TextForBox(text));
    // A box keeps its text narrow; a long text is given the width of a
    // wide box instead, so that it stays short enough to show its buttons.
    constexpr qsizetype kLongText = 400;
    constexpr int kWideBox = 760;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (text.size() > kLongText && grid) {
        grid->addItem(new QSpacerItem(kWideBox, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
}

}  // namespace

BoxAnswer QtUserInteraction::showBox(QWidget* owner, BoxKind kind, const QString& text,
                                     BoxButtons buttons) {
    QMessageBox box(IconOf(kind), TitleOf(kind), QString(), ButtonsOf(buttons), owner);
    SetBoxText(box, text);
    if (buttons == BoxButtons::YesNo) box.setEscapeButton(QMessageBox::No);
    return AnswerOf(box.exec(), buttons);
}

void QtUserInteraction::showPlainBox(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok);
    SetBoxText(box, text);
    box.exec();
}

QString TextForBox(const QString& text) {
    return BreakableWords(StartAndEnd(text));
}

QString QtUserInteraction::chooseFileToOpen(QWidget* owner, const FileDialogOptions& options) {
    return RunFileDialog(*this, owner, options, QFileDialog::AcceptOpen);
}

QString QtUserInteraction::chooseFileToSave(QWidget* owner, const FileDialogOptions& options) {
    // The dialog itself asks before an existing file is replaced.
    return RunFileDialog(*this, owner, options, QFileDialog::AcceptSave);
}

ChosenFile CheckChosenFile(UserInteraction& user, QWidget* owner, const QString& path,
                           bool offerToCreate) {
    const QString folder = FolderOf(path);
    if (!FolderExists(folder)) {
        user.showWarning(
            owner, QStringLiteral("The folder %1 does not exist.").arg(ShownFileName(folder)));
        return ChosenFile::Retry;
    }
    if (!offerToCreate || FileExists(path)) return ChosenFile::Accept;
    const BoxAnswer create =
        user.showBox(owner, BoxKind::Confirmation,
                     QStringLiteral("%1 does not exist. Create it?").arg(ShownFileName(path)),
                     BoxButtons::YesNo);
    return create == BoxAnswer::Yes ? ChosenFile::Accept : ChosenFile::Retry;
}

void QtUserInteraction::beep() {
    QApplication::beep();
}

void QtUserInteraction::copyToClipboard(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtUserInteraction::showHelp(const QString& helpPath, int context) {
    return QDesktopServices::openUrl(HelpUrl(helpPath, context));
}

QUrl HelpUrl(const QString& helpPath, int context) {
    QUrl url = QUrl::fromLocalFile(helpPath);
    if (context != 0) url.setFragment(QStringLiteral("context-%1").arg(context));
    return url;
}

bool QtUserInteraction::choosePrinter(QWidget* owner, QPrinter& printer) {
    QPrintDialog dialog(&printer, owner);
    ContextHelp::setNamesHelpFile(&dialog);
    ContextHelp::setContext(&dialog, kPrintDialogHelp);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintSelection);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace quantaro
