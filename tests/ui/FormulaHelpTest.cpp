#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>

#include "MainWindowFixture.h"
#include "engine/OperatorRegistry.h"
#include "ui/FormulaCompletion.h"
#include "ui/FormulaHighlighter.h"

namespace quantaro::testing {
namespace {

// Everything Undo and Redo work from, in one comparable list.
QStringList Stacks(const FormulaHistory& history) {
    QStringList all{QString::number(history.undoCount), QString::number(history.redoCount)};
    for (int slot = 1; slot <= kFormulaStackSlots; ++slot) {
        all << history.undoStack.slot(slot) << history.redoStack.slot(slot);
    }
    return all;
}

class FormulaHelpTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        loadNames(Document::Variables, {"A", "X"});
        focusEditor();
    }

    void loadNames(Document table, std::initializer_list<const char*> names) {
        NameTable grid = MakeVariableTable();
        int row = 0;
        for (const char* name : names) grid.setCell(NameColumn, ++row, name);
        session->acceptRows(table, grid, row);
    }

    // Whether the character at a text position is drawn underlined in red.
    bool underlined(int position) {
        const QTextBlock block = memo()->document()->findBlock(position);
        const int at = position - block.position();
        for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
            if (range.start <= at && at < range.start + range.length &&
                range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline) {
                return true;
            }
        }
        return false;
    }

    // What highlighting must never touch.
    std::string untouched() {
        return (Stacks(history()) << QString::number(session->formulaRevision())
                                  << QString::number(
                                         session->documents().isChanged(Document::Formula)))
            .join(QLatin1Char('|'))
            .toStdString();
    }
};

TEST_F(FormulaHelpTest, UnknownWordsAreUnderlinedWithTheRunsMessageAndNothingIsRecorded) {
    QTest::keyClicks(memo(), QStringLiteral("A * 2Q = X"));
    QApplication::processEvents();
    EXPECT_EQ(history().undoCount, 10);  // one step per key, none for colouring
    FormulaHighlighter& highlighter = window->formulaHighlighter();
    EXPECT_TRUE(underlined(4) && underlined(5));
    EXPECT_FALSE(underlined(0) || underlined(9));
    EXPECT_EQ(highlighter.messageAt(5), "Equation 1: Unknown Item \"2Q\"");

    // A constant named Q makes the word cut: colouring follows the table.
    const std::string before = untouched();
    loadNames(Document::Constants, {"Q"});
    EXPECT_FALSE(underlined(5));
    EXPECT_EQ(highlighter.messageAt(5), "");

    // Switched off, the text is plain.
    action("HighlightEquations1")->trigger();
    EXPECT_TRUE(memo()->document()->firstBlock().layout()->formats().isEmpty());
    EXPECT_EQ(untouched(), before);

    // The choice is kept for the next start.
    start();
    EXPECT_FALSE(action("HighlightEquations1")->isChecked());
    action("HighlightEquations1")->trigger();
}

// A megabyte of equations, lines of 11 characters, is coloured where the
// editor shows it, before and after Ctrl+End, unknown words numbered by
// their equation; lines far from the view are left plain.
TEST_F(FormulaHelpTest, AMegabyteFormulaIsColouredWhereTheEditorShowsIt) {
    constexpr int kLines = 100'000;
    window->formulaEditor().setFormulaText(QStringLiteral("A + 2Q = X\r\n").repeated(kLines));
    QApplication::processEvents();
    FormulaHighlighter& highlighter = window->formulaHighlighter();
    EXPECT_EQ(highlighter.messageAt(5 * 11 + 4), "Equation 6: Unknown Item \"2Q\"");
    EXPECT_TRUE(underlined(4) && !underlined(kLines / 2 * 11 + 4));
    QTest::keyClick(memo(), Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_TRUE(underlined((kLines - 1) * 11 + 4));
    EXPECT_EQ(highlighter.messageAt((kLines - 1) * 11 + 4),
              QStringLiteral("Equation %1: Unknown Item \"2Q\"").arg(kLines));
}

TEST_F(FormulaHelpTest, CompletionInsertsAsTheGridInsertDoesAndEscapeOnlyCloses) {
    const struct {
        Qt::Key key;
        QString text;
    } cases[] = {
        {Qt::Key_Tab, "2 + SIN "}, {Qt::Key_Return, "2 + SIN "}, {Qt::Key_Escape, "2 + SI"}};
    for (const auto& c : cases) {
        // The grid's insert of the same name in place of the same word.
        start();
        window->formulaEditor().setFormulaText(QStringLiteral("2 + SI"));
        memo()->moveCursor(QTextCursor::End);
        QTextCursor cursor = memo()->textCursor();
        cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, 2);
        memo()->setTextCursor(cursor);
        const auto sin = Operators().find("SIN") - Operators().all().data();
        selectRow(grid("StringGridOperators"), NameTableModel::tableRow(static_cast<int>(sin)));
        window->ButtonInsertOperatorClick();
        const QStringList gridInsert = Stacks(history());

        start();
        window->formulaEditor().setFormulaText(QStringLiteral("2 + SI"));
        memo()->moveCursor(QTextCursor::End);
        focusEditor();
        const QStringList opened = Stacks(history());
        QTest::keyClick(memo(), Qt::Key_Space, Qt::ControlModifier);
        FormulaCompletion& completion = window->formulaCompletion();
        ASSERT_TRUE(completion.isOpen());
        EXPECT_EQ(completion.list()->currentItem()->text(0), "SIN");
        EXPECT_EQ(completion.list()->topLevelItemCount(), 2);  // SIN, SINH
        QTest::keyClick(completion.list(), c.key);
        EXPECT_FALSE(completion.isOpen());
        EXPECT_EQ(editorText(), c.text);
        EXPECT_EQ(Stacks(history()), c.key == Qt::Key_Escape ? opened : gridInsert) << c.key;
    }
}

}  // namespace
}  // namespace quantaro::testing
