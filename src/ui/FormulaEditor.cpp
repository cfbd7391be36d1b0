#include "ui/FormulaEditor.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

#include "interaction/ContextHelp.h"
#include "session/FormulaText.h"
#include "session/Session.h"

namespace quantaro {
namespace {

constexpr int kEditMenuHelpContext = 11;

// Keys with which the text editor would edit on its own, bypassing the
// formula stacks; they reach the text only through the Edit menu.
bool IsBuiltInEditingKey(const QKeyEvent* key) {
    for (auto standard : {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut,
                          QKeySequence::Copy, QKeySequence::Paste}) {
        if (key->matches(standard)) return true;
    }
    return key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier;
}

// Ctrl+Space asks for completion.
bool IsCompletionKey(const QKeyEvent* key) {
    return key->key() == Qt::Key_Space && key->modifiers() == Qt::ControlModifier;
}

bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_AltGr;
}

QAction* MakeAction(QWidget* window, const QString& text,
                    const QList<QKeySequence>& shortcuts = {}) {
    auto* action = new QAction(text, window);
    action->setShortcuts(shortcuts);
    action->setEnabled(false);
    ContextHelp::setContext(action, kEditMenuHelpContext);
    return action;
}

}  // namespace

FormulaEditor::FormulaEditor(QPlainTextEdit* memo, QPushButton* buttonClear, Session& session,
                             QWidget* window)
    : memo_(memo), session_(session), buttonClear_(buttonClear) {
    memo_->setUndoRedoEnabled(false);
    // A formula read from a file is shown from its start.
    connect(&session, &Session::formulaReplaced, this,
            [this] { memo_->moveCursor(QTextCursor::Start); });
    memo_->setTabChangesFocus(true);
    memo_->setAcceptDrops(false);  // a drop would change the text unrecorded
    memo_->installEventFilter(this);
    memo_->viewport()->installEventFilter(this);
    createActions(window);

    // The editor's own context menu would edit past the stacks; offer the
    // Edit menu's commands instead.
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu;
        menu.addActions({actions_.undo, actions_.redo});
        menu.addSeparator();
        menu.addActions(
            {actions_.cut, actions_.copy, actions_.paste, actions_.del, actions_.selectAll});
        menu.exec(memo_->mapToGlobal(at));
    });
}

void FormulaEditor::createActions(QWidget* window) {
    actions_.undo = MakeAction(window, tr("&Undo"), {QKeySequence(Qt::CTRL | Qt::Key_Z)});
    // The menu shows the first; the second is the other desktops' habit.
    actions_.redo = MakeAction(
        window, tr("&Redo"),
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    actions_.cut = MakeAction(window, tr("Cu&t"), {QKeySequence(Qt::CTRL | Qt::Key_X)});
    actions_.copy = MakeAction(window, tr("&Copy"), {QKeySequence(Qt::CTRL | Qt::Key_C)});
    actions_.paste = MakeAction(window, tr("&Paste"), {QKeySequence(Qt::CTRL | Qt::Key_V)});
    actions_.del = MakeAction(window, tr("&Delete"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
    actions_.selectAll = MakeAction(window, tr("&Select All"));

    connectCommand(actions_.undo, &FormulaEditor::ButtonUndoClick);
    connectCommand(actions_.redo, &FormulaEditor::ButtonRedoClick);
    connectCommand(actions_.cut, &FormulaEditor::Cut1Click);
    connectCommand(actions_.copy, &FormulaEditor::Copy1Click);
    connectCommand(actions_.paste, &FormulaEditor::Paste1Click);
    connectCommand(actions_.del, &FormulaEditor::ButtonDeleteClick);
    connectCommand(actions_.selectAll, &FormulaEditor::SelectAll1Click);
}

void FormulaEditor::connectCommand(QAction* action, void (FormulaEditor::*command)()) {
    connect(action, &QAction::triggered, this, [this, command] {
        forgetModifierSteps();
        (this->*command)();
    });
}

void FormulaEditor::forgetModifierSteps() {
    unreleasedPushes_ = std::max(0, unreleasedPushes_ - modifierSteps_);
    for (; modifierSteps_ > 0; --modifierSteps_) history_.undoStack.PopFormula();
    for (int key : heldModifiers_) heldKeys_.removeOne(key);
    heldModifiers_.clear();
}

// A key whose press took the focus away (Tab) comes up elsewhere, so no
// release counts the step its press pushed; left on the stack, it would be
// what the next Undo takes, changing nothing. The pushes of presses that
// changed nothing are taken back; a press that changed the text is counted
// as its release would have counted it.
void FormulaEditor::forgetHeldKeys() {
    while (unreleasedPushes_ > 0 && history_.undoStack.slot(1) == stackedText()) {
        history_.undoStack.PopFormula();
        --unreleasedPushes_;
    }
    if (unreleasedPushes_ > 0) MemoFormulaKeyUp();
    unreleasedPushes_ = 0;
    heldKeys_.clear();
    heldModifiers_.clear();
    modifierSteps_ = 0;
}

QString FormulaEditor::editorText() const {
    return EditorText(memo_->document());
}

const QByteArray& FormulaEditor::stackedText() {
    if (stackedRevision_ != session_.formulaRevision() || !stackedText_) {
        stackedText_ = PackFormula(editorText());
        stackedRevision_ = session_.formulaRevision();
    }
    return *stackedText_;
}

void FormulaEditor::setEditorText(QString text, QTextCursor::MoveOperation caret) {
    SetDocumentText(memo_->document(), std::move(text));
    memo_->moveCursor(caret);
}

void FormulaEditor::setFormulaText(const QString& text) {
    session_.setFormulaText(text);
}

void FormulaEditor::SetEdit(bool enabled) {
    for (QAction* action : {actions_.cut, actions_.copy, actions_.del, actions_.selectAll}) {
        action->setEnabled(enabled);
    }
}

void FormulaEditor::setEditByEmptiness() {
    SetEdit(!memo_->document()->isEmpty());
}

void FormulaEditor::record(const std::function<void()>& change,
                           const std::function<void()>& ownEnabling) {
    session_.formulaEditing();
    history_.undoStack.PushFormula(stackedText());
    change();
    history_.redoStack.PushFormula(stackedText());
    memo_->setFocus();
    ++history_.undoCount;
    actions_.undo->setEnabled(true);
    ownEnabling();
}

void FormulaEditor::replaceSelection(const QString& text) {
    QTextCursor cursor = memo_->textCursor();
    cursor.insertText(text);
    memo_->setTextCursor(cursor);
}

void FormulaEditor::InsertName(const QString& name) {
    record([&] { replaceSelection(name + QLatin1Char(' ')); },
           [&] {
               buttonClear_->setEnabled(true);
               SetEdit(true);
           });
}

void FormulaEditor::InsertCompletion(const QString& name, int typedLength) {
    QTextCursor cursor = memo_->textCursor();
    if (!cursor.hasSelection()) {
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, typedLength);
        memo_->setTextCursor(cursor);
    }
    InsertName(name);
}

QString FormulaEditor::wordBeforeCaret() const {
    const QTextCursor cursor = memo_->textCursor();
    if (cursor.hasSelection()) return {};
    const QString line = cursor.block().text().left(cursor.positionInBlock());
    qsizetype start = line.size();
    while (start > 0 && line[start - 1] != QLatin1Char(' ') && !IsLineBreak(line[start - 1])) {
        --start;
    }
    return line.mid(start);
}

void FormulaEditor::ButtonNewLineClick() {
    record([&] { replaceSelection(QStringLiteral(" \n")); }, [] {});
}

void FormulaEditor::ButtonClearClick() {
    record([&] { memo_->clear(); },
           [&] {
               buttonClear_->setEnabled(false);
               SetEdit(false);
           });
}

void FormulaEditor::ButtonDeleteClick() {
    record([&] { memo_->textCursor().removeSelectedText(); }, [&] { SetEdit(true); });
}

void FormulaEditor::Cut1Click() {
    record([&] { memo_->cut(); },
           [&] {
               if (memo_->document()->isEmpty()) SetEdit(false);
               actions_.paste->setEnabled(true);
           });
}

void FormulaEditor::Paste1Click() {
    record([&] { memo_->paste(); },
           [&] {
               if (!memo_->document()->isEmpty()) SetEdit(true);
           });
}

void FormulaEditor::Copy1Click() {
    memo_->copy();
    memo_->setFocus();
    actions_.paste->setEnabled(true);
}

void FormulaEditor::SelectAll1Click() {
    memo_->selectAll();
    memo_->setFocus();
}

void FormulaEditor::ButtonUndoClick() {
    takeStep(history_.undoStack, history_.undoCount, history_.redoStack, history_.redoCount,
             actions_.redo);
    if (history_.undoCount < 1) actions_.undo->setEnabled(false);
}

void FormulaEditor::ButtonRedoClick() {
    takeStep(history_.redoStack, history_.redoCount, history_.undoStack, history_.undoCount,
             actions_.undo);
    if (history_.redoCount < 1) actions_.redo->setEnabled(false);
}

void FormulaEditor::takeStep(FormulaStack& from, int& fromCount, FormulaStack& to, int& toCount,
                             QAction* backAction) {
    if (fromCount <= 0) return;
    session_.formulaEditing();
    to.PushFormula(stackedText());
    memo_->setFocus();
    setEditorText(UnpackFormula(from.PopFormula()));
    --fromCount;
    ++toCount;
    backAction->setEnabled(true);
    setEditByEmptiness();
}

void FormulaEditor::MemoFormulaKeyDown() {
    history_.undoStack.PushFormula(stackedText());
    ++unreleasedPushes_;
    session_.formulaEditing();
}

void FormulaEditor::MemoFormulaKeyUp() {
    unreleasedPushes_ = std::max(0, unreleasedPushes_ - 1);
    history_.redoStack.PushFormula(stackedText());
    ++history_.undoCount;
    actions_.undo->setEnabled(true);
}

void FormulaEditor::MemoFormulaKeyPress() {
    buttonClear_->setEnabled(true);
    SetEdit(true);
}

bool FormulaEditor::keyFilter(QKeyEvent* key, bool pressed) {
    const int code = key->key();
    if (pressed && IsCompletionKey(key)) {
        // A shortcut, not typing: like the Edit menu's, it records nothing.
        forgetModifierSteps();
        emit completionRequested();
        return true;
    }
    if (!pressed) {
        // A held key repeats its press but comes up only once.
        if (key->isAutoRepeat()) return false;
        heldModifiers_.clear();
        modifierSteps_ = 0;
        if (heldKeys_.removeOne(code)) MemoFormulaKeyUp();
        // A repeated press pushes a text of its own that its one release
        // leaves on the stack.
        if (heldKeys_.isEmpty()) unreleasedPushes_ = 0;
        return false;
    }
    MemoFormulaKeyDown();
    if (!heldKeys_.contains(code)) heldKeys_.append(code);
    if (IsModifierKey(code)) {
        if (!heldModifiers_.contains(code)) heldModifiers_.append(code);
        ++modifierSteps_;
    } else {
        heldModifiers_.clear();
        modifierSteps_ = 0;
    }
    if (IsBuiltInEditingKey(key)) return true;
    if (!key->text().isEmpty()) MemoFormulaKeyPress();
    return false;
}

bool FormulaEditor::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Let the Edit menu's shortcuts reach their actions rather than
            // the text editor's built-in handling.
            if (watched == memo_ && IsBuiltInEditingKey(static_cast<QKeyEvent*>(event))) {
                event->ignore();
                return true;
            }
            return false;
        case QEvent::KeyPress:
            return watched == memo_ && keyFilter(static_cast<QKeyEvent*>(event), true);
        case QEvent::KeyRelease:
            return watched == memo_ && keyFilter(static_cast<QKeyEvent*>(event), false);
        case QEvent::FocusOut:
            // Keys released elsewhere never come back up here.
            if (watched == memo_ &&
                static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
                forgetHeldKeys();
            }
            return false;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            // The middle button would paste the X11 selection unrecorded.
            return watched == memo_->viewport() &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
        default:
            return false;
    }
}

}  // namespace quantaro
