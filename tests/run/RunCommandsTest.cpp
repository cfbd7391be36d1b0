#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

#include "RunProgramFixture.h"
#include "run/RunControl.h"
#include "run/TFormCheckUnits.h"
#include "run/TFormExplain.h"
#include "tables/NameTableModel.h"
#include "ui/FormulaUnitMarks.h"

namespace quantaro::testing {
namespace {

constexpr char kCompletion[] =
    "Execution complete\r\nAnswers appear in the Variables table.\r\n"
    "Answers may change if equations are executed again.";

class RunCommandsTest : public RunProgramTest {
  protected:
    void SetUp() override {
        RunProgramTest::SetUp();
        setVariable(1, "A", "10");
        setVariable(2, "B", "4");
        setVariable(3, "X", "0");
        setVariable(4, "Y", "0");
        // As if the variables had been read from their file.
        session().documents().setChanged(Document::Variables, false);
    }

    // Answers the Select Equation dialog once it is open: the number typed
    // into its spin edit, then OK, Cancel or Escape.
    enum class Close { Ok, Cancel, Escape };
    void answerSelectEquation(int number, Close close) {
        QTimer::singleShot(0, &main(), [this, number, close] {
            auto* spin = child<QSpinBox>(selectEquation(), "SpinEditEquation");
            if (number >= 0) spin->setValue(number);
            if (close == Close::Escape) {
                QTest::keyClick(&selectEquation(), Qt::Key_Escape);
            } else {
                child<QPushButton>(selectEquation(),
                                   close == Close::Ok ? "ButtonOK" : "ButtonCancel")
                    ->click();
            }
        });
    }
    int dialogNumber() { return selectEquation().equationNumber(); }
};

TEST_F(RunCommandsTest, ExecuteAllRunsEveryEquationAndMarksTheVariablesChanged) {
    setFormula("A - B = X\r\n2 + 3 * 4 = Y");
    QTest::keyClick(&main(), Qt::Key_F9);
    EXPECT_EQ(value(3), "6");
    EXPECT_EQ(value(4), "20");
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_TRUE(variablesChanged());
    EXPECT_TRUE(program->variableScreen().isHidden());
}

TEST_F(RunCommandsTest, ExecuteAllWithAnEmptyFormulaReportsItAndStillMarksTheVariables) {
    action("ExecuteAllFormulas1")->trigger();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Information);
    EXPECT_EQ(user.boxes[0].text, "Empty formula");
    EXPECT_TRUE(variablesChanged());
}

TEST_F(RunCommandsTest, AFailingEquationKeepsEarlierResultsAndStillShowsTheVariableScreen) {
    setOption("RunOption2", true);
    setFormula("A + 1 = X\r\nA / 0 = Y\r\nB = X");
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_EQ(value(3), "11");
    EXPECT_EQ(value(4), "0");
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_TRUE(user.boxes[0].text.startsWith("Equation 2: Domain Error: "))
        << user.boxes[0].text.toStdString();
    EXPECT_TRUE(variablesChanged());
    EXPECT_TRUE(program->variableScreen().isVisible());
    // The grid shows the value the run stored.
    QAbstractItemModel* grid = child<QTableView>(main(), "StringGridVariables")->model();
    EXPECT_EQ(grid->index(NameTableModel::gridRow(3), ValueColumn).data().toString(), "11");
}

TEST_F(RunCommandsTest, AFloatingPointFaultIsShownAndKeepsWhatEarlierEquationsStored) {
    setFormula("A + 1 = X\r\n1E4000 * 1E4000 = Y");
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_EQ(value(3), "11");
    EXPECT_EQ(value(4), "0");
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(user.boxes[0].text, "Floating point overflow");
    EXPECT_TRUE(variablesChanged());
}

TEST_F(RunCommandsTest, TestOneRunsTheChosenEquationAndKeepsTheNumberAfterOk) {
    setFormula("A - B = X\r\nA + B = Y");
    answerSelectEquation(2, Close::Ok);
    QTest::keyClick(&main(), Qt::Key_F8);
    EXPECT_EQ(value(3), "0");
    EXPECT_EQ(value(4), "14");
    EXPECT_TRUE(variablesChanged());
    EXPECT_EQ(dialogNumber(), 2);
}

TEST_F(RunCommandsTest, TestOneWithZeroRunsAllButNeverShowsTheVariableScreen) {
    setOption("RunOption2", true);
    setFormula("A - B = X\r\nA + B = Y");
    answerSelectEquation(0, Close::Ok);
    action("TestOneEquation1")->trigger();
    EXPECT_EQ(value(3), "6");
    EXPECT_EQ(value(4), "14");
    EXPECT_TRUE(program->variableScreen().isHidden());
}

TEST_F(RunCommandsTest, TestOneBeyondTheLastEquationChangesNothingButMayPrompt) {
    setFormula("A - B = X");
    answerSelectEquation(5, Close::Ok);
    action("TestOneEquation1")->trigger();
    EXPECT_EQ(value(3), "0");
    EXPECT_TRUE(user.boxes.empty());

    setOption("RunOption1", true);
    answerSelectEquation(5, Close::Ok);
    action("TestOneEquation1")->trigger();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(user.onlyBoxText(), kCompletion);
    EXPECT_EQ(user.boxes[0].buttons, BoxButtons::OkCancel);
}

TEST_F(RunCommandsTest, TestOneCancelledRunsNothingAndTheDialogStartsAtZeroNextTime) {
    setFormula("A - B = X");
    answerSelectEquation(1, Close::Cancel);
    action("TestOneEquation1")->trigger();
    EXPECT_EQ(value(3), "0");
    EXPECT_FALSE(variablesChanged());
    EXPECT_EQ(dialogNumber(), 0);

    answerSelectEquation(1, Close::Escape);
    action("TestOneEquation1")->trigger();
    EXPECT_EQ(value(3), "0");
    EXPECT_EQ(dialogNumber(), 0);
}

TEST_F(RunCommandsTest, CancellingThePromptSilencesItUntilTheOptionIsTickedAgain) {
    setOption("RunOption1", true);
    setFormula("A - B = X");
    user.answers = {BoxAnswer::Cancel};
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_EQ(user.onlyBoxText(), kCompletion);
    EXPECT_EQ(session().promptAnswer(), 2);

    // State 2, Options menu not yet opened: no prompt, option still ticked.
    user.clear();
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_TRUE(action("RunOption1")->isChecked());

    main().Options1Click();
    EXPECT_FALSE(action("RunOption1")->isChecked());
    EXPECT_EQ(session().promptAnswer(), 1);
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_TRUE(user.boxes.empty());

    action("RunOption1")->trigger();
    EXPECT_TRUE(action("RunOption1")->isChecked());
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_EQ(user.onlyBoxText(), kCompletion);
}

TEST_F(RunCommandsTest, ThePromptLeavesTheLoopTimerOnWithTheLoopStillStopped) {
    setFormula("A - B = X");
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_FALSE(loop().timerEnabled());

    setOption("RunOption1", true);
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_TRUE(loop().timerEnabled());
    EXPECT_TRUE(loop().loopStopped());
    // Its ticks do nothing while the loop is stopped.
    QTest::qWait(20);
    EXPECT_EQ(value(3), "6");
    EXPECT_EQ(completedLoops(), "0");
}

TEST_F(RunCommandsTest, AnEngineErrorStopsTheLoopAndSwitchesItsTimerOff) {
    setOption("RunOption1", true);
    setFormula("A - B = X");
    action("ExecuteAllFormulas1")->trigger();
    ASSERT_TRUE(loop().timerEnabled());
    setFormula("A - B");
    action("ExecuteAllFormulas1")->trigger();
    EXPECT_EQ(user.boxes.back().text, "Equation 1: Missing \"=\" sign");
    EXPECT_FALSE(loop().timerEnabled());
    EXPECT_TRUE(loop().loopStopped());
}

TEST_F(RunCommandsTest, ContinuousLoopShowsTheLoopWindowAndMarksTheVariables) {
    loop().hide();
    action("ContinuousLoop1")->trigger();
    EXPECT_TRUE(loop().isVisible());
    EXPECT_TRUE(variablesChanged());
}

// The explanation runs on a copy: results of one equation feed the next
// there, while the table, the changed flags and the formula's stacks stay.
TEST_F(RunCommandsTest, ExplainEquationsShowsEachStepAndChangesNoDocument) {
    setFormula("A * ( B + 1 ) = X\r\nX 1/ = Y");
    const DocumentState& documents = session().documents();
    const FormulaHistory& history = main().formulaEditor().history();
    const auto state = [&] {
        return std::tuple(session().variables(), documents.isChanged(Document::Formula),
                          documents.isChanged(Document::Constants), variablesChanged(),
                          history.undoCount, history.redoCount, user.boxes.size());
    };
    const auto before = state();
    action("ExplainEquations1")->trigger();
    auto* window = main().findChild<TFormExplain*>(QStringLiteral("TFormExplain"));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    auto* memo = child<QPlainTextEdit>(*window, "MemoExplain");
    EXPECT_EQ(memo->toPlainText().toStdString(),
              "Equation 1: A * ( B + 1 ) = X\n  4 + 1 = 5\n  10 * 5 = 50\n  X = 50\n"
              "Equation 2: X 1/ = Y\n  50 1/ = 0.02\n  Y = 0.02");
    EXPECT_TRUE(state() == before);

    // Refresh takes the formula and the angle unit as they are now.
    setFormula("ARCSIN 1 = Y");
    child<QRadioButton>(main(), "RadioButtonRadians")->click();
    child<QPushButton>(*window, "ButtonRefresh")->click();
    EXPECT_EQ(memo->toPlainText().toStdString(),
              "Equation 1: ARCSIN 1 = Y\n  ARCSIN 1 = 1.5707963267948966193\n"
              "  Y = 1.5707963267949");
    EXPECT_EQ(session().variables(), std::get<0>(before));

    // Past 20,000 lines the window says how many more there are.
    QString many;
    for (int i = 0; i < 7000; ++i) many += QStringLiteral("1 + 2 = Y\r\n");
    main().formulaEditor().setFormulaText(many);
    child<QPushButton>(*window, "ButtonRefresh")->click();
    EXPECT_EQ(memo->blockCount(), 20'001);
    EXPECT_EQ(memo->document()->lastBlock().text(),
              "(1000 more lines are not shown; quantaro-cli --explain writes them all)");
}

// The findings of the units check, grouped by equation: choosing one puts
// the editor's cursor on its step, the editor marks that step, Explain
// writes each step's unit, and nothing of the worksheet changes.
TEST_F(RunCommandsTest, CheckUnitsListsMarksAndExplainsChangingNothing) {
    const std::tuple<int, const char*, const char*> rows[] = {
        {1, "L", "m length"}, {2, "T", "s"}, {3, "X", "m"}};
    for (const auto& [row, name, units] : rows) {
        setVariable(row, name, "2");
        session().setCell(Document::Variables, UnitsColumn, row, units);
    }
    setFormula("L * 2 = X\r\nL + T = X");
    const auto before = std::tuple(session().variables(), session().formulaText(),
                                   session().documents().isChanged(Document::Formula));
    action("CheckUnits1")->trigger();
    TFormCheckUnits* window = main().checkUnitsWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    auto* tree = child<QTreeWidget>(*window, "TreeFindings");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* equation = tree->topLevelItem(0);
    EXPECT_EQ(equation->text(0), "Equation 2: L + T = X");
    ASSERT_EQ(equation->childCount(), 1);
    EXPECT_EQ(equation->child(0)->text(0), "step 1 (+): dimension: adds s to m");
    tree->setCurrentItem(equation->child(0));
    auto* memo = child<QPlainTextEdit>(main(), "MemoFormula");
    EXPECT_EQ(memo->textCursor().selectionStart(), 12);
    EXPECT_EQ(memo->textCursor().selectedText(), "+");

    main().formulaUnitMarks().checkNow();
    EXPECT_EQ(main().formulaUnitMarks().markCount(), 1);
    EXPECT_EQ(main().formulaUnitMarks().reasonAt(12),
              "equation 2, step 1 (+): dimension: adds s to m");
    action("HighlightEquations1")->setChecked(false);
    EXPECT_EQ(main().formulaUnitMarks().markCount(), 0);

    action("ExplainEquations1")->trigger();
    auto* explain = main().findChild<TFormExplain*>(QStringLiteral("TFormExplain"));
    ASSERT_NE(explain, nullptr);
    EXPECT_EQ(child<QPlainTextEdit>(*explain, "MemoExplain")->toPlainText().toStdString(),
              "Equation 1: L * 2 = X\n  2 * 2 = 4   [m]\n  X = 4   [m]\n"
              "Equation 2: L + T = X\n  2 + 2 = 4   [?]\n  X = 4   [?]");
    EXPECT_TRUE(std::tuple(session().variables(), session().formulaText(),
                           session().documents().isChanged(Document::Formula)) == before);
}

}  // namespace
}  // namespace quantaro::testing
