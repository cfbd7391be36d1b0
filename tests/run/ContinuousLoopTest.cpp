#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "RunProgramFixture.h"
#include "documents/WorksheetFiles.h"
#include "engine/Trajectory.h"

namespace quantaro::testing {
namespace {

class ContinuousLoopTest : public RunProgramTest {
  protected:
    void SetUp() override {
        RunProgramTest::SetUp();
        setVariable(1, "X", "0");
        setVariable(2, "Y", "0");
        setFormula("X + 1 = X");
    }

    void setSpins(int mantissa, int power) {
        loopSpin("SpinEdit1")->setValue(mantissa);
        loopSpin("SpinEdit2")->setValue(power);
    }
    void click(const char* button) { loopButton(button)->click(); }
    // Clicks Stop while the box of pass `pass` is open.
    void stopAtBox(std::size_t pass) {
        user.whileBoxOpen = [this, pass](const ScriptedInteraction::Box&) {
            if (user.boxes.size() == pass) click("ButtonStop");
        };
    }
    // Waits until the loop is paused: stopped with its timer still on.
    void waitUntilPaused() {
        QElapsedTimer waited;
        waited.start();
        while (!loop().loopStopped() && waited.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        ASSERT_TRUE(loop().loopStopped());
    }
};

TEST_F(ContinuousLoopTest, TheWindowShowsAtStartUpInItsInitialState) {
    EXPECT_TRUE(loop().isVisible());
    EXPECT_EQ(loop().windowTitle(), "Quantaro - Continuous loop");
    EXPECT_TRUE(loop().loopStopped());
    EXPECT_FALSE(loop().timerEnabled());
    EXPECT_EQ(loop().loopCounter(), 1);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "0");
    EXPECT_EQ(completedLoops(), "0");
    EXPECT_TRUE(loopEdit("EditCompleteLoops")->isReadOnly());
}

TEST_F(ContinuousLoopTest, TheSpinEditsSetTheNumberOfLoopsInTheNumberForm) {
    setSpins(5, 3);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "5000");
    setSpins(1, 15);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "1E15");
    setSpins(3, 9);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "3000000000");
}

TEST_F(ContinuousLoopTest, FiveLoopsRunFivePassesAndTheNextStartFiveMore) {
    setSpins(5, 0);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "5");
    runLoop();
    EXPECT_EQ(value(1), "5");
    EXPECT_EQ(completedLoops(), "5");
    EXPECT_EQ(loop().loopCounter(), 1);
    EXPECT_TRUE(variablesChanged());
    EXPECT_TRUE(user.boxes.empty());

    runLoop();
    EXPECT_EQ(value(1), "10");
    EXPECT_EQ(completedLoops(), "5");
}

TEST_F(ContinuousLoopTest, StopPausesTheLoopAndStartResumesAtTheNextPass) {
    setOption("RunOption1", true);
    stopAtBox(3);
    setLoops("10");
    click("ButtonStart");
    waitUntilPaused();
    EXPECT_EQ(value(1), "3");
    EXPECT_EQ(completedLoops(), "3");
    // Paused: the prompt switched the timer back on, but ticks do nothing.
    EXPECT_TRUE(loop().timerEnabled());
    QTest::qWait(20);
    EXPECT_EQ(value(1), "3");

    setOption("RunOption1", false);
    runLoop();
    EXPECT_EQ(value(1), "10");
    EXPECT_EQ(completedLoops(), "10");
}

TEST_F(ContinuousLoopTest, ALimitLoweredBelowTheCounterEndsTheLoopAtTheFirstTick) {
    setOption("RunOption1", true);
    stopAtBox(30);
    setLoops("100");
    click("ButtonStart");
    waitUntilPaused();
    ASSERT_EQ(value(1), "30");
    setOption("RunOption1", false);

    setLoops("10");
    runLoop();
    EXPECT_EQ(value(1), "30");
    EXPECT_EQ(loop().loopCounter(), 1);
    runLoop();
    EXPECT_EQ(value(1), "40");
    EXPECT_EQ(completedLoops(), "10");
}

TEST_F(ContinuousLoopTest, StartRefusesANumberOfLoopsThatIsNotA32BitInteger) {
    for (auto [mantissa, power] : {std::pair{1, 15}, std::pair{3, 9}}) {
        user.clear();
        setSpins(mantissa, power);
        click("ButtonStart");
        ASSERT_EQ(user.boxes.size(), 1u);
        EXPECT_EQ(user.onlyBoxText(), "Number of loops must be a positive integer");
        EXPECT_EQ(user.boxes[0].kind, BoxKind::Information);
        EXPECT_TRUE(loop().loopStopped());
        EXPECT_FALSE(loop().timerEnabled());
    }
    for (const char* text : {"", "abc", "12x"}) {
        user.clear();
        setLoops(text);
        click("ButtonStart");
        EXPECT_EQ(user.onlyBoxText(), "Number of loops must be a positive integer") << text;
    }
    EXPECT_EQ(value(1), "0");
}

TEST_F(ContinuousLoopTest, StartWithZeroOrANegativeNumberDoesNothing) {
    for (const char* text : {"0", "-4"}) {
        setLoops(text);
        click("ButtonStart");
        EXPECT_TRUE(loop().loopStopped());
        EXPECT_FALSE(loop().timerEnabled());
    }
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_EQ(value(1), "0");
}

TEST_F(ContinuousLoopTest, AnEquationErrorStopsTheLoopOnceAndTheFailedPassCounts) {
    setFormula("X + 1 = X\r\n1 / ( X - 7 ) = Y");
    setLoops("10");
    runLoop();
    ASSERT_EQ(user.boxes.size(), 1u);
    EXPECT_TRUE(user.boxes[0].text.startsWith("Equation 2: Domain Error: "));
    EXPECT_EQ(value(1), "7");
    EXPECT_EQ(completedLoops(), "7");

    runLoop();
    EXPECT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(value(1), "10");
    EXPECT_EQ(completedLoops(), "10");
}

// No tick may start a pass from a box's modal loop, and the pass that showed
// a box ends its batch, so each box finds the progress of the passes before
// it shown. Cancel silences the prompt and the loop goes on to its end.
TEST_F(ContinuousLoopTest, WhileABoxIsUpTheTimerIsOffAndEachBoxEndsItsBatch) {
    setOption("RunOption1", true);
    QStringList seen;
    user.whileBoxOpen = [&](const ScriptedInteraction::Box&) {
        seen << QStringLiteral("%1 %2").arg(loop().timerEnabled() ? "on" : "off", completedLoops());
    };
    user.answers = {BoxAnswer::Ok, BoxAnswer::Cancel};
    setLoops("3");
    runLoop();
    EXPECT_EQ(seen.join(", ").toStdString(), "off 0, off 1");
    EXPECT_EQ(value(1), "3");
}

TEST_F(ContinuousLoopTest, AFloatingPointFaultStopsTheLoopSilently) {
    // X * 1E4931 first overflows when X reaches 12.
    setFormula("X + 1 = X\r\nX * 1E4931 = Y");
    setLoops("20");
    runLoop();
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_EQ(value(1), "12");
    EXPECT_EQ(completedLoops(), "11");
    EXPECT_TRUE(variablesChanged());
}

TEST_F(ContinuousLoopTest, ANumberOfLoopsEditedIntoTextIsReportedOnceAndStopsTheLoop) {
    setOption("RunOption1", true);
    user.whileBoxOpen = [this](const ScriptedInteraction::Box&) {
        if (user.boxes.size() == 2) {
            setLoops("ten");
            setOption("RunOption1", false);
        }
    };
    setLoops("10");
    runLoop();
    ASSERT_EQ(user.boxes.size(), 3u);
    EXPECT_EQ(user.boxes[2].kind, BoxKind::Error);
    EXPECT_EQ(user.boxes[2].text, "'ten' is not a valid integer value");
    EXPECT_EQ(value(1), "2");
    QTest::qWait(20);
    EXPECT_EQ(user.boxes.size(), 3u);
}

TEST_F(ContinuousLoopTest, SingleStepsCountOneEachAndLeaveTheLoopIdle) {
    for (const char* expected : {"1", "2", "3"}) {
        click("ButtonStep");
        EXPECT_EQ(completedLoops(), expected);
        EXPECT_TRUE(loop().loopStopped());
        EXPECT_FALSE(loop().timerEnabled());
    }
    EXPECT_EQ(value(1), "3");
    // A step ignores the limit, and an error does not hold the counter back.
    setFormula("X - 3 = X\r\nX = 1");
    click("ButtonStep");
    EXPECT_EQ(completedLoops(), "4");
    EXPECT_EQ(user.onlyBoxText(), "Equation 2: Item after \"=\" sign is not a variable");
}

TEST_F(ContinuousLoopTest, ResetStartsTheCountAgain) {
    click("ButtonStep");
    click("ButtonStep");
    click("ButtonReset");
    EXPECT_EQ(completedLoops(), "0");
    click("ButtonStep");
    EXPECT_EQ(completedLoops(), "1");
}

TEST_F(ContinuousLoopTest, TheEquationNumberSelectsOneEquationForEveryPass) {
    setFormula("X + 1 = X\r\nY + 1 = Y");
    loopSpin("SpinEditEquation")->setValue(2);
    EXPECT_EQ(loop().loopEquation(), 2);
    setLoops("4");
    runLoop();
    EXPECT_EQ(value(1), "0");
    EXPECT_EQ(value(2), "4");
}

TEST_F(ContinuousLoopTest, CancelHidesTheWindowAndResetsCountAndEquationButNotTheLoops) {
    setSpins(7, 0);
    loopSpin("SpinEditEquation")->setValue(1);
    click("ButtonStep");
    click("BitBtnCancel");
    EXPECT_TRUE(loop().isHidden());
    EXPECT_TRUE(loop().loopStopped());
    EXPECT_FALSE(loop().timerEnabled());

    action("ContinuousLoop1")->trigger();
    EXPECT_TRUE(loop().isVisible());
    EXPECT_EQ(completedLoops(), "0");
    EXPECT_EQ(loopSpin("SpinEditEquation")->value(), 0);
    EXPECT_EQ(loop().loopEquation(), 0);
    EXPECT_EQ(loop().loopCounter(), 1);
    EXPECT_EQ(loopEdit("EditLoops")->text(), "7");
    EXPECT_EQ(loopSpin("SpinEdit1")->value(), 7);
}

TEST_F(ContinuousLoopTest, ClosingTheWindowWhileTheLoopRunsDoesWhatCancelDoes) {
    setSpins(1, 9);
    click("ButtonStart");
    QTest::qWait(20);
    loop().close();
    EXPECT_TRUE(loop().isHidden());
    EXPECT_TRUE(loop().loopStopped());
    EXPECT_FALSE(loop().timerEnabled());
    EXPECT_EQ(loop().loopCounter(), 1);
}

TEST_F(ContinuousLoopTest, ALongLoopOfAnExampleRunsToTheEndWhileEventsAreServed) {
    const QString base = QStringLiteral(QUANTARO_EXAMPLES_DIR "/iteration");
    const WorksheetLoad load = LoadWorksheet({{base + ".FOR", std::nullopt, base + ".VAR"}});
    ASSERT_TRUE(load.documents[Document::Formula].outcome.succeeded());
    ASSERT_TRUE(load.documents[Document::Variables].outcome.succeeded());
    setFormula(load.sheet.formula().c_str());
    session().openTable(Document::Variables, load.sheet.variables);
    ASSERT_EQ(session().variables().name(8), "PASS");

    // The loop may finish within milliseconds, so the check is posted when
    // the progress first shows, not after a fixed time.
    int progressShown = 0;
    bool servedWhileRunning = false;
    QObject::connect(loopEdit("EditCompleteLoops"), &QLineEdit::textChanged, [&] {
        if (progressShown++ == 0) {
            QTimer::singleShot(0, &loop(), [&] { servedWhileRunning = !loop().loopStopped(); });
        }
    });
    // Long enough for several ticks at a few million passes a second.
    setLoops("200000");
    runLoop();
    EXPECT_EQ(value(8), "200000");
    EXPECT_EQ(value(2), "1.4142135623731");
    EXPECT_EQ(completedLoops(), "200000");
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_TRUE(servedWhileRunning);
    EXPECT_GT(progressShown, 1);
}

// The record list follows the table's names; every counted pass, the failing
// one included, adds a row of the ticked variables; Reset empties the history.
TEST_F(ContinuousLoopTest, TheTickedVariablesAreRecordedAfterEveryCountedPass) {
    auto* list = child<QListWidget>(loop(), "ListRecord");
    QElapsedTimer waited;
    waited.start();
    while (list->count() < 2 && waited.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    list->item(1)->setCheckState(Qt::Unchecked);  // Y

    setFormula("X + 1 = X\r\n1 / ( X - 7 ) = Y");
    setLoops("10");
    runLoop();
    const Trajectory& history = loop().trajectory();
    ASSERT_EQ(history.names(), std::vector<std::string>{"X"});
    ASSERT_EQ(history.rowCount(), 7u);
    EXPECT_EQ(history.pass(6), 7);
    EXPECT_EQ(history.text(6, 0), "7");

    click("ButtonTrajectory");
    auto* plot = loop().findChild<QWidget*>(QStringLiteral("TFormTrajectory"));
    ASSERT_NE(plot, nullptr);
    EXPECT_TRUE(plot->isVisible());
    plot->hide();
    action("Trajectory1")->trigger();
    EXPECT_TRUE(plot->isVisible());

    click("ButtonReset");
    EXPECT_EQ(history.rowCount(), 0u);
}

// Five passes of one worksheet, then Open All of another with the first's
// history still held: the next pass starts a history of the new names, the
// window says so, and the editor and grids show the new documents from the top.
TEST_F(ContinuousLoopTest, OpenAllOfAnotherWorksheetStartsAHistoryOfItsNames) {
    const auto openAll = [this](const char* example) {
        user.answers = {BoxAnswer::No};  // keep no unsaved change
        user.chosenFiles = {QStringLiteral(QUANTARO_EXAMPLES_DIR "/%1.FOR").arg(example)};
        action("OpenAll1")->trigger();
    };
    openAll("statistics");
    setLoops("5");
    runLoop();
    ASSERT_EQ(loop().trajectory().rowCount(), 5u);
    ASSERT_EQ(loop().trajectory().names().size(), 22u);
    auto* grid = child<QTableView>(main(), "StringGridVariables");
    grid->scrollToBottom();

    openAll("iteration");
    click("ButtonStep");
    const Trajectory& history = loop().trajectory();
    std::vector<std::string> names;
    for (int row = 1; !session().variables().name(row).empty(); ++row) {
        names.push_back(session().variables().name(row));
    }
    EXPECT_EQ(history.names(), names);
    ASSERT_EQ(history.rowCount(), 1u);
    EXPECT_EQ(history.text(0, 1), value(2));
    EXPECT_EQ(child<QLabel>(loop(), "LabelRecorded")->text(),
              QStringLiteral("Recording %1 variables").arg(names.size()));
    EXPECT_EQ(child<QPlainTextEdit>(main(), "MemoFormula")->textCursor().position(), 0);
    EXPECT_EQ(grid->verticalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace quantaro::testing
