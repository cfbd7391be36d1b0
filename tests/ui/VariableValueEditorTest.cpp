#include <QLineEdit>

#include <functional>
#include <vector>

#include "MainWindowFixture.h"
#include "RawFiles.h"

namespace quantaro::testing {
namespace {

class VariableValueEditorTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        setRow(Document::Variables, 1, "X", "2", "m");
        setRow(Document::Variables, 2, "Y", "", "m");
        setRow(Document::Variables, 3, "Z", "7", "M");
        setRow(Document::Constants, 1, "g", "9.81", "m");
        setRow(Document::Constants, 2, "h", "", "m");
        setRow(Document::Constants, 3, "k", " 1.50", "");
        // As if both tables had been read from their files.
        session->documents().setChanged(Document::Variables, false);
        session->documents().setChanged(Document::Constants, false);
    }

    void setRow(Document table, int row, const char* name, const char* value, const char* units) {
        session->setCell(table, NameColumn, row, name);
        session->setCell(table, ValueColumn, row, value);
        session->setCell(table, UnitsColumn, row, units);
    }

    QLineEdit* editor() { return child<QLineEdit>("EditVariable"); }
    QColor textColour() { return editor()->palette().color(QPalette::Text); }
    std::string variableValue(int row) { return session->variables().value(row); }
    void selectVariable(int row) { ClickCell(grid("StringGridVariables"), row); }
    void selectConstant(int row) {
        grid("StringGridConstants")
            ->setCurrentIndex(
                grid("StringGridConstants")->model()->index(NameTableModel::gridRow(row), 0));
    }
    bool variablesChanged() { return session->documents().isChanged(Document::Variables); }
};

TEST_F(VariableValueEditorTest, SelectingARowWithoutANameLeavesTheEditorClosed) {
    selectVariable(5);
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_FALSE(variablesChanged());
}

TEST_F(VariableValueEditorTest, SelectingAVariableOpensTheEditorBlueWithItsValueAndFocus) {
    selectVariable(3);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), "7");
    EXPECT_TRUE(editor()->hasFocus());
    // Blue lightened as little as lets it read on the black ground: pure
    // blue there has a contrast of 2.4:1.
    EXPECT_EQ(textColour(), QColor(0x60, 0x60, 0xff));
    // Opening with a new text writes that same number back.
    EXPECT_EQ(variableValue(3), "7");
    EXPECT_TRUE(variablesChanged());
}

TEST_F(VariableValueEditorTest, AValueLongerThanTheEditorHoldsIsNotOpenedForEditing) {
    const std::string digits(static_cast<std::size_t>(editor()->maxLength()) + 1, '1');
    setRow(Document::Variables, 4, "L", digits.c_str(), "");
    selectVariable(4);
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_GT(user.beeps, 0);
    EXPECT_EQ(variableValue(4), digits);  // not cut short
}

TEST_F(VariableValueEditorTest, MovingTheSelectionWithTheKeyboardOpensTheEditorOnTheNewRow) {
    QTableView* variables = grid("StringGridVariables");
    {
        QSignalBlocker quiet(variables->selectionModel());
        selectRow(variables, 2);
    }
    variables->setFocus();
    QTest::keyClick(variables, Qt::Key_Down);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), "7");
    EXPECT_TRUE(editor()->hasFocus());
}

TEST_F(VariableValueEditorTest, TypingWritesEachNumberAndKeepsTheLastOneWhileTheTextIsNot) {
    selectVariable(1);
    editor()->clear();
    QTest::keyClicks(editor(), "1");
    EXPECT_EQ(variableValue(1), "1");
    EXPECT_EQ(textColour(), QColor(0, 255, 0));
    QTest::keyClicks(editor(), "e");
    EXPECT_EQ(variableValue(1), "1");
    EXPECT_EQ(textColour(), QColor(255, 0, 0));
    QTest::keyClicks(editor(), "5");
    EXPECT_EQ(variableValue(1), "1e5");
    EXPECT_EQ(grid("StringGridVariables")->model()->index(0, 1).data().toString(), "1e5");
}

TEST_F(VariableValueEditorTest, LeadingBlanksAreKeptAndATrailingBlankIsNotANumber) {
    selectVariable(1);
    editor()->clear();
    QTest::keyClicks(editor(), " 5");
    EXPECT_EQ(variableValue(1), " 5");
    QTest::keyClicks(editor(), " ");
    EXPECT_EQ(variableValue(1), " 5");
    EXPECT_EQ(textColour(), QColor(255, 0, 0));
}

TEST_F(VariableValueEditorTest, EnterCommitsANumberAndHidesTheEditor) {
    selectVariable(1);
    editor()->setText(QStringLiteral("42"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_EQ(variableValue(1), "42");
    EXPECT_EQ(user.beeps, 0);
}

TEST_F(VariableValueEditorTest, LeavingWithANonNumberBeepsOnceHidesAndKeepsTheLastNumber) {
    selectVariable(1);
    editor()->setText(QStringLiteral("3"));
    editor()->setText(QStringLiteral("3x"));
    memo()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(editor()->isHidden());
    EXPECT_EQ(variableValue(1), "3");
}

TEST_F(VariableValueEditorTest, EnterOnANonNumberBeepsOnlyOnce) {
    selectVariable(1);
    editor()->setText(QStringLiteral("abc"));
    QTest::keyClick(editor(), Qt::Key_Return);
    EXPECT_EQ(user.beeps, 1);
    EXPECT_TRUE(editor()->isHidden());
}

TEST_F(VariableValueEditorTest, WritesGoToTheRowSelectedAtTheMomentOfTheWrite) {
    selectVariable(1);
    // The selection moves without the editor reopening (as after a click on
    // a row whose name is empty).
    QSignalBlocker quiet(grid("StringGridVariables")->selectionModel());
    selectVariable(3);
    editor()->setText(QStringLiteral("8"));
    EXPECT_EQ(variableValue(3), "8");
    EXPECT_EQ(variableValue(1), "2");
}

TEST_F(VariableValueEditorTest, TransferRefusesABlankConstantOrVariable) {
    selectConstant(2);
    selectVariable(1);
    user.clear();
    button("ButtonTransfer")->click();
    EXPECT_EQ(user.onlyBoxText(), "The selected constant is blank ");
    EXPECT_EQ(user.boxes.at(0).kind, BoxKind::Information);

    user.clear();
    selectConstant(1);
    selectVariable(2);  // named, but its value is empty
    button("ButtonTransfer")->click();
    EXPECT_EQ(user.onlyBoxText(), "The selected variable is blank ");
    EXPECT_EQ(variableValue(2), "");
}

TEST_F(VariableValueEditorTest, TransferAsksAboutUnitsThatDifferOnlyInCase) {
    selectConstant(1);
    selectVariable(3);
    user.clear();
    user.answers.push_back(BoxAnswer::No);
    button("ButtonTransfer")->click();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Warning);
    EXPECT_EQ(user.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(user.boxes[0].text, "The units do not match!  Transfer g to Z anyway?");
    EXPECT_EQ(variableValue(3), "7");
}

TEST_F(VariableValueEditorTest, TransferWithMatchingUnitsConfirmsAndCopiesTheTextExactly) {
    setRow(Document::Variables, 4, "W", "0", "");
    selectConstant(3);
    selectVariable(4);
    memo()->setFocus();
    QApplication::processEvents();
    user.clear();
    button("ButtonTransfer")->click();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Confirmation);
    EXPECT_EQ(user.boxes[0].text, "Transfer k to W?");
    EXPECT_EQ(variableValue(4), " 1.50");
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_EQ(editor()->text(), " 1.50");
    EXPECT_FALSE(editor()->hasFocus());
    EXPECT_TRUE(variablesChanged());
}

TEST_F(VariableValueEditorTest, ReplacingTheVariableTableClosesTheEditorWithoutWriting) {
    const QString file = startDir.filePath(QStringLiteral("Other.VAR"));
    WriteRaw(file, "V 5 s\r\n");
    const std::vector<std::function<void()>> replacements = {
        [&] { window->documentCommands().NewVariableTable1Click(); },
        [&] { window->documentCommands().OpenVariableFile(file); },
        [&] { session->acceptRows(Document::Variables, MakeVariableTable(), 0); },
    };
    for (const auto& replace : replacements) {
        selectConstant(1);
        selectVariable(1);
        user.answers = {BoxAnswer::Yes, BoxAnswer::No};  // transfer g; do not save
        button("ButtonTransfer")->click();
        replace();
        EXPECT_TRUE(editor()->isHidden());
        memo()->setFocus();
        QApplication::processEvents();
        EXPECT_NE(variableValue(1), "9.81");
        setRow(Document::Variables, 1, "X", "2", "m");
    }
}

}  // namespace
}  // namespace quantaro::testing
