#include <QClipboard>
#include <QKeyEvent>

#include "MainWindowFixture.h"

namespace quantaro::testing {
namespace {

class FormulaEditorTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        focusEditor();
    }

    void type(const char* text) { QTest::keyClicks(memo(), QString::fromLatin1(text)); }

    void sendKey(QEvent::Type type, int key, const QString& text, bool autoRepeat) {
        QKeyEvent event(type, key, Qt::NoModifier, text, autoRepeat);
        QApplication::sendEvent(memo(), &event);
    }

    void insertOperatorRow(int row) {
        selectRow(grid("StringGridOperators"), row);
        window->ButtonInsertOperatorClick();
    }
};

TEST_F(FormulaEditorTest, StartsWithEveryEditCommandDisabled) {
    for (QAction* item : {edit().undo, edit().redo, edit().cut, edit().copy, edit().paste,
                          edit().del, edit().selectAll}) {
        EXPECT_FALSE(item->isEnabled()) << item->text().toStdString();
    }
    EXPECT_FALSE(button("ButtonClear")->isEnabled());
    EXPECT_EQ(history().undoCount, 0);
    EXPECT_EQ(editorText(), "");
}

TEST_F(FormulaEditorTest, OneTypedCharacterIsOneStepThatUndoAndRedoWalk) {
    type("a");
    EXPECT_EQ(editorText(), "a");
    EXPECT_EQ(history().undoCount, 1);
    EXPECT_TRUE(edit().undo->isEnabled());
    EXPECT_TRUE(button("ButtonClear")->isEnabled());
    EXPECT_TRUE(edit().cut->isEnabled());
    EXPECT_TRUE(session->documents().isChanged(Document::Formula));

    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "");
    EXPECT_FALSE(edit().undo->isEnabled());
    EXPECT_TRUE(edit().redo->isEnabled());
    EXPECT_FALSE(edit().cut->isEnabled());  // the editor is empty again

    window->formulaEditor().ButtonRedoClick();
    EXPECT_EQ(editorText(), "a");
    EXPECT_FALSE(edit().redo->isEnabled());
    EXPECT_TRUE(edit().undo->isEnabled());
}

TEST_F(FormulaEditorTest, ACapitalWithShiftRecordsTwoSteps) {
    // QTest presses and releases Shift around the letter.
    QTest::keyClick(memo(), 'A', Qt::ShiftModifier);
    EXPECT_EQ(editorText(), "A");
    EXPECT_EQ(history().undoCount, 2);
}

TEST_F(FormulaEditorTest, AnArrowKeyIsAStepThatUndoUsesUpWithoutChangingTheText) {
    type("xy");
    QTest::keyClick(memo(), Qt::Key_Left);
    EXPECT_EQ(history().undoCount, 3);
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "xy");
    EXPECT_EQ(history().undoCount, 2);
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "x");
}

TEST_F(FormulaEditorTest, AHeldKeyCountsOneStepAndUndoGoesBackOnlyOverTheLastRepeat) {
    const QString a = QStringLiteral("a");
    sendKey(QEvent::KeyPress, Qt::Key_A, a, false);
    sendKey(QEvent::KeyRelease, Qt::Key_A, a, true);
    sendKey(QEvent::KeyPress, Qt::Key_A, a, true);
    sendKey(QEvent::KeyRelease, Qt::Key_A, a, true);
    sendKey(QEvent::KeyPress, Qt::Key_A, a, true);
    sendKey(QEvent::KeyRelease, Qt::Key_A, a, false);
    EXPECT_EQ(editorText(), "aaa");
    EXPECT_EQ(history().undoCount, 1);
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "aa");
    EXPECT_FALSE(edit().undo->isEnabled());
}

TEST_F(FormulaEditorTest, BackspaceToEmptyLeavesTheEditCommandsEnabled) {
    type("ab");
    QTest::keyClick(memo(), Qt::Key_Backspace);
    QTest::keyClick(memo(), Qt::Key_Backspace);
    EXPECT_EQ(editorText(), "");
    EXPECT_TRUE(button("ButtonClear")->isEnabled());
    EXPECT_TRUE(edit().selectAll->isEnabled());
}

TEST_F(FormulaEditorTest, InsertOperatorAddsTheNameAndOneBlankAtTheCaret) {
    insertOperatorRow(4);   // "+"
    insertOperatorRow(13);  // "10^"
    EXPECT_EQ(editorText(), "+ 10^ ");
    EXPECT_EQ(history().undoCount, 2);
    EXPECT_TRUE(button("ButtonClear")->isEnabled());
    EXPECT_TRUE(edit().copy->isEnabled());
    EXPECT_TRUE(memo()->hasFocus());
    EXPECT_TRUE(session->documents().isChanged(Document::Formula));
}

TEST_F(FormulaEditorTest, InsertFromARowWithoutANameInsertsABlank) {
    selectRow(grid("StringGridConstants"), 5);
    window->ButtonInsertConstantClick();
    EXPECT_EQ(editorText(), " ");
}

TEST_F(FormulaEditorTest, InsertConstantReplacesTheSelection) {
    session->setCell(Document::Constants, NameColumn, 1, "g");
    type("A + B");
    QTextCursor cursor = memo()->textCursor();
    cursor.setPosition(4);
    cursor.setPosition(5, QTextCursor::KeepAnchor);
    memo()->setTextCursor(cursor);
    selectRow(grid("StringGridConstants"), 1);
    window->ButtonInsertConstantClick();
    EXPECT_EQ(editorText(), "A + g ");
}

TEST_F(FormulaEditorTest, DoubleClickOnAGridRowInsertsItsName) {
    QTableView* operators = grid("StringGridOperators");
    const QRect cell = operators->visualRect(operators->model()->index(3, 0));  // "+"
    // A double click: a click, then a second press that the system reports
    // as a double click.
    QTest::mouseClick(operators->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(operators->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(editorText(), "+ ");
}

TEST_F(FormulaEditorTest, NewLineInsertsBlankCarriageReturnLineFeed) {
    type("X");
    window->formulaEditor().ButtonNewLineClick();
    type("Y");
    EXPECT_EQ(session->formulaText(), "X \r\nY");
}

TEST_F(FormulaEditorTest, ClearThenUndoRestoresTheTextAndRedoEmptiesItAgain) {
    type("1 = X");
    window->formulaEditor().ButtonClearClick();
    EXPECT_EQ(editorText(), "");
    EXPECT_FALSE(button("ButtonClear")->isEnabled());
    EXPECT_FALSE(edit().cut->isEnabled());
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "1 = X");
    EXPECT_FALSE(button("ButtonClear")->isEnabled());  // Undo leaves the button alone
    window->formulaEditor().ButtonRedoClick();
    EXPECT_EQ(editorText(), "");
}

TEST_F(FormulaEditorTest, ARecordedEditAfterUndoKeepsRedoWhichThenRestoresTheNewText) {
    type("ab");
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "a");
    window->formulaEditor().ButtonNewLineClick();
    const QString afterEdit = editorText();
    EXPECT_TRUE(edit().redo->isEnabled());
    window->formulaEditor().ButtonRedoClick();
    EXPECT_EQ(editorText(), afterEdit);
}

TEST_F(FormulaEditorTest, BeyondAHundredStepsUndoGoesOnButBringsEmptyTexts) {
    constexpr int kSteps = 105;
    for (int i = 0; i < kSteps; ++i) insertOperatorRow(4);
    EXPECT_EQ(history().undoCount, kSteps);
    for (int i = 1; i <= kFormulaStackSlots; ++i) {
        window->formulaEditor().ButtonUndoClick();
        ASSERT_EQ(editorText(), QString("+ ").repeated(kSteps - i)) << "undo " << i;
    }
    for (int i = kFormulaStackSlots + 1; i <= kSteps; ++i) {
        ASSERT_TRUE(edit().undo->isEnabled());
        window->formulaEditor().ButtonUndoClick();
        ASSERT_EQ(editorText(), "") << "undo " << i;
    }
    EXPECT_EQ(history().undoCount, 0);
    EXPECT_EQ(history().redoCount, kSteps);
    EXPECT_FALSE(edit().undo->isEnabled());
    window->formulaEditor().ButtonUndoClick();  // nothing left to undo
    EXPECT_EQ(history().redoCount, kSteps);
}

TEST_F(FormulaEditorTest, PasteStaysDisabledUntilCutOrCopy) {
    QApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
    type("abc");
    EXPECT_FALSE(edit().paste->isEnabled());
    QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "abc");

    window->formulaEditor().SelectAll1Click();
    window->formulaEditor().Copy1Click();
    EXPECT_TRUE(edit().paste->isEnabled());
    EXPECT_EQ(QApplication::clipboard()->text(), "abc");
}

TEST_F(FormulaEditorTest, CutOfTheWholeTextDisablesEditingAndPasteBringsItBack) {
    type("A = B");
    window->formulaEditor().SelectAll1Click();
    window->formulaEditor().Cut1Click();
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "A = B");
    EXPECT_FALSE(edit().cut->isEnabled());
    EXPECT_TRUE(edit().paste->isEnabled());
    window->formulaEditor().Paste1Click();
    EXPECT_EQ(editorText(), "A = B");
    EXPECT_TRUE(edit().cut->isEnabled());
    window->formulaEditor().ButtonUndoClick();
    EXPECT_EQ(editorText(), "");
}

TEST_F(FormulaEditorTest, DeleteWithoutASelectionIsRecordedButChangesNothing) {
    type("AB");
    window->formulaEditor().ButtonDeleteClick();
    EXPECT_EQ(editorText(), "AB");
    EXPECT_EQ(history().undoCount, 3);
    window->formulaEditor().SelectAll1Click();
    window->formulaEditor().ButtonDeleteClick();
    EXPECT_EQ(editorText(), "");
}

TEST_F(FormulaEditorTest, CtrlXCutsThroughTheCommandOnceTypingHasEnabledIt) {
    type("x");
    QApplication::clipboard()->setText(QStringLiteral("old"));
    QTest::keyClick(memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(QApplication::clipboard()->text(), "x");
    EXPECT_TRUE(edit().paste->isEnabled());
}

TEST_F(FormulaEditorTest, EditingKeysOfDisabledCommandsLeaveTextAndClipboardAlone) {
    QApplication::clipboard()->setText(QStringLiteral("old"));
    window->formulaEditor().setFormulaText(QStringLiteral("kept"));
    memo()->selectAll();
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(history().redoCount, 0);  // Undo was disabled and did not run
    QTest::keyClick(memo(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "kept");
    EXPECT_EQ(QApplication::clipboard()->text(), "old");
}

TEST_F(FormulaEditorTest, CtrlZUndoesTheLastTypedStepNotTheControlKeyItself) {
    type("ab");
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "a");
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "");
    // Redo walks back through the same texts.
    window->formulaEditor().ButtonRedoClick();
    EXPECT_EQ(editorText(), "a");
    window->formulaEditor().ButtonRedoClick();
    EXPECT_EQ(editorText(), "ab");
}

// Tab's press moves the focus, and it comes up in the next control: the
// first Ctrl+Z there still undoes the last edit; Ctrl+Y and Ctrl+Shift+Z redo.
TEST_F(FormulaEditorTest, AfterTabLeavesTheEditorCtrlZUndoesAndBothRedoKeysRedo) {
    type("ab");
    QTest::keyPress(memo(), Qt::Key_Tab);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "a");
    window->formulaEditor().ButtonUndoClick();
    QTest::keyClick(memo(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(editorText(), "a");
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(editorText(), "ab");
}

TEST_F(FormulaEditorTest, ControlPressedAndReleasedAloneIsAStep) {
    type("ab");
    QTest::keyClick(memo(), Qt::Key_Control);
    EXPECT_EQ(history().undoCount, 3);
}

TEST_F(FormulaEditorTest, AKeyReleasedWithoutItsPressReachingTheEditorRecordsNothing) {
    QTest::keyRelease(memo(), Qt::Key_Tab);
    EXPECT_EQ(history().undoCount, 0);
    EXPECT_FALSE(edit().undo->isEnabled());
}

TEST_F(FormulaEditorTest, TheTextEditorsOwnUndoIsOff) {
    type("abc");
    memo()->undo();
    EXPECT_EQ(editorText(), "abc");
}

TEST_F(FormulaEditorTest, FormulaTextUsesCarriageReturnLineFeedBothWays) {
    window->formulaEditor().setFormulaText(QStringLiteral("A = B\r\nB = C\r\n"));
    EXPECT_EQ(memo()->document()->blockCount(), 3);
    EXPECT_EQ(session->formulaText(), "A = B\r\nB = C\r\n");
    EXPECT_EQ(history().undoCount, 0);  // setting the text records nothing
}

// A formula of many short lines is held in few paragraphs; its text, the
// line breaks typed into it, the word before the caret and the stacks must
// not show it.
TEST_F(FormulaEditorTest, ALongFormulaReadsBackLineForLineThroughEditingAndUndo) {
    QString text;
    for (int line = 0; line < 20000; ++line) text += QStringLiteral("A%1 + 1 = X\r\n").arg(line);
    FormulaEditor& editor = window->formulaEditor();
    editor.setFormulaText(text);
    EXPECT_EQ(session->formulaText(), text);
    EXPECT_LT(memo()->document()->blockCount(), 20000 / 32);

    memo()->moveCursor(QTextCursor::End);  // a file's formula is shown from its start
    QTest::keyClick(memo(), Qt::Key_Return, Qt::ShiftModifier);  // a line separator
    type("Z");
    EXPECT_EQ(editor.wordBeforeCaret(), "Z");
    EXPECT_EQ(session->formulaText(), text + "\r\nZ");
    while (history().undoCount > 0) editor.ButtonUndoClick();
    EXPECT_EQ(session->formulaText(), text);
}

}  // namespace
}  // namespace quantaro::testing
