#pragma once

#include <cstdint>

#include <QObject>
#include <QString>
#include <QTextCursor>

#include <functional>
#include <optional>

#include "ui/FormulaStacks.h"

class QAction;
class QKeyEvent;
class QPlainTextEdit;
class QPushButton;
class QTextDocument;

namespace quantaro {

class Session;

// The commands of the Edit menu, in menu order.
struct EditActions {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    QAction* cut = nullptr;
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* del = nullptr;
    QAction* selectAll = nullptr;
};

// Everything that changes the formula editor's text from the user interface:
// typing, the insert commands, New Line, Clear Formula and the Edit menu.
// The editor shows the session's formula document. The document's own undo
// is switched off; Undo and Redo work only through the two formula stacks,
// which hold whole texts and are filled one step per key release and per
// command.
class FormulaEditor : public QObject {
    Q_OBJECT

  public:
    // memo is MemoFormula, showing the session's formula document, and
    // buttonClear is ButtonClear; the edit actions are created as children of
    // window, all disabled.
    FormulaEditor(QPlainTextEdit* memo, QPushButton* buttonClear, Session& session,
                  QWidget* window);

    const EditActions& actions() const { return actions_; }
    const FormulaHistory& history() const { return history_; }

    // Replaces the whole text without recording a step, as the file commands do.
    void setFormulaText(const QString& text);

    // Recorded edits.
    void InsertName(const QString& name);  // the name and one blank
    // Inserts a name as InsertName does, in place of the selection or else
    // of the typedLength characters before the caret.
    void InsertCompletion(const QString& name, int typedLength);

    // The characters of the word before the caret on its line, or nothing
    // while text is selected.
    QString wordBeforeCaret() const;
    void ButtonNewLineClick();
    void ButtonClearClick();
    void ButtonDeleteClick();
    void Cut1Click();
    void Paste1Click();
    // Commands that change no text.
    void Copy1Click();
    void SelectAll1Click();

    void ButtonUndoClick();
    void ButtonRedoClick();

    // Enables or disables Cut, Copy, Delete and Select All together.
    void SetEdit(bool enabled);

  signals:
    // Ctrl+Space asks for the names that complete the word before the caret.
    void completionRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createActions(QWidget* window);
    void record(const std::function<void()>& change, const std::function<void()>& ownEnabling);
    void replaceSelection(const QString& text);
    QString editorText() const;
    // The text packed as the stacks keep it, made once for each revision,
    // so that every push of an unchanged text shares one copy.
    const QByteArray& stackedText();
    // Replaces the text, leaving the caret at `caret`.
    void setEditorText(QString text, QTextCursor::MoveOperation caret = QTextCursor::End);
    void setEditByEmptiness();
    // One step of Undo or Redo: the current text goes onto the other stack
    // and the top of `from` becomes the text; backAction can then go back.
    void takeStep(FormulaStack& from, int& fromCount, FormulaStack& to, int& toCount,
                  QAction* backAction);

    void connectCommand(QAction* action, void (FormulaEditor::*command)());
    void forgetModifierSteps();
    void forgetHeldKeys();
    bool keyFilter(QKeyEvent* key, bool pressed);
    void MemoFormulaKeyDown();
    void MemoFormulaKeyUp();
    void MemoFormulaKeyPress();

    QPlainTextEdit* memo_;
    Session& session_;
    std::optional<QByteArray> stackedText_;
    std::uint64_t stackedRevision_ = 0;
    QPushButton* buttonClear_;
    EditActions actions_;
    FormulaHistory history_;

    // Keys whose press the editor recorded and whose release it awaits: a
    // release counts as a step only after its own press.
    QList<int> heldKeys_;
    // Modifier keys pressed since the last other key and the steps their
    // presses pushed. When they turn out to be part of a menu shortcut, those
    // steps are taken back, so that Ctrl+Z undoes the last edit rather than
    // the press of Ctrl itself.
    QList<int> heldModifiers_;
    int modifierSteps_ = 0;
    // Steps pushed by key presses and not yet counted by a release.
    int unreleasedPushes_ = 0;
};

}  // namespace quantaro
