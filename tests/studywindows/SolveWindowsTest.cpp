#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTableWidget>

#include "RunProgramFixture.h"
#include "WidgetTesting.h"
#include "studywindows/StudyGrid.h"
#include "studywindows/TFormOptimise.h"
#include "studywindows/TFormSolve.h"

namespace quantaro::testing {
namespace {

// K / X = Y and Y * W = Z, with K = 2: Y = 0.5 and Z = 3 at X = 4, W = 6;
// the least Z = 2 W / X for X in 1 to 10 with Y >= 0.4 is at X = 5.
class SolveWindowsTest : public RunProgramTest {
  protected:
    void SetUp() override {
        RunProgramTest::SetUp();
        session().setCell(Document::Constants, NameColumn, 1, "K");
        session().setCell(Document::Constants, ValueColumn, 1, "2");
        setVariable(1, "X", "1");
        setVariable(2, "Y", "0");
        setVariable(3, "Z", "0");
        setVariable(4, "W", "5");
        setFormula("K / X = Y\r\nY * W = Z\r\n");
        for (const Document document :
             {Document::Formula, Document::Variables, Document::Constants})
            session().documents().setChanged(document, false);
    }

    template <typename T>
    T* in(QWidget& window, const char* name) {
        return child<T>(window, name);
    }
    template <typename Window>
    void runAndWait(Window& window, const char* button) {
        in<QPushButton>(window, button)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.running(); }, 60000));
        QTest::qWait(2 * 50);  // the progress timer's tick that shows the end
    }
    bool anyChanged() {
        return session().documents().isChanged(Document::Variables) ||
               session().documents().isChanged(Document::Constants);
    }
};

// The values found show in the table; only Store writes them, marking the
// variable table changed; a change of the worksheet withdraws Store.
TEST_F(SolveWindowsTest, SolveStoresTheValuesFoundOnlyOnStore) {
    action("Solve1")->trigger();
    TFormSolve& window = *main().solveWindow();
    SetGridRow(in<QTableWidget>(window, "GridTargets"), 0, {"Y", "0.5"});
    SetGridRow(in<QTableWidget>(window, "GridTargets"), 1, {"Z", "3"});
    SetGridRow(in<QTableWidget>(window, "GridInputs"), 0, {"X", "0.1", "100"});
    SetGridRow(in<QTableWidget>(window, "GridInputs"), 1, {"W"});
    runAndWait(window, "ButtonSolve");
    EXPECT_FALSE(anyChanged());
    ASSERT_TRUE(window.canStore()) << in<QLabel>(window, "LabelOutcome")->text().toStdString();
    const QAbstractItemModel* table = in<QTableView>(window, "TableResults")->model();
    ASSERT_EQ(table->rowCount(), 4);
    EXPECT_EQ(table->index(0, 1).data().toString(), "4");
    EXPECT_EQ(table->index(1, 1).data().toString(), "6");

    in<QPushButton>(window, "ButtonStore")->click();
    EXPECT_EQ(value(1), "4");
    EXPECT_EQ(value(3), "3");
    EXPECT_TRUE(session().documents().isChanged(Document::Variables));
    EXPECT_FALSE(session().documents().isChanged(Document::Constants));
    EXPECT_TRUE(in<QLabel>(window, "LabelOutcome")->text().endsWith("Stored in the tables."));

    runAndWait(window, "ButtonSolve");
    session().setCell(Document::Variables, ValueColumn, 4, "7");
    EXPECT_FALSE(window.canStore());
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(SolveWindowsTest, OptimiseFindsTheConstrainedMinimumAndStoresIt) {
    action("Optimise1")->trigger();
    TFormOptimise& window = *main().optimiseWindow();
    auto* objective = in<QComboBox>(window, "ComboObjective");
    objective->setCurrentIndex(objective->findText("Z"));
    SetGridRow(in<QTableWidget>(window, "GridInputs"), 0, {"X", "1", "10"});
    SetGridRow(in<QTableWidget>(window, "GridConstraints"), 0, {"Y", ">=", "0.4"});
    runAndWait(window, "ButtonOptimise");
    EXPECT_FALSE(anyChanged());
    ASSERT_TRUE(window.canStore()) << in<QLabel>(window, "LabelOutcome")->text().toStdString();
    const QAbstractItemModel* table = in<QTableView>(window, "TableResults")->model();
    EXPECT_EQ(table->index(0, 1).data().toString(), "5");
    EXPECT_EQ(table->index(2, 3).data().toString(), "active");
    in<QPushButton>(window, "ButtonStore")->click();
    EXPECT_EQ(value(1), "5");
    EXPECT_EQ(value(3), "2");

    // A constraint that no input meets is named, and nothing can be stored.
    SetGridRow(in<QTableWidget>(window, "GridConstraints"), 0, {"Y", ">=", "5"});
    runAndWait(window, "ButtonOptimise");
    EXPECT_FALSE(window.canStore());
    EXPECT_TRUE(in<QLabel>(window, "LabelOutcome")->text().contains("satisfy Y >= 5"));
    EXPECT_TRUE(user.boxes.empty());
}

// F1 opens the help at each window's own section.
TEST_F(SolveWindowsTest, EachWindowHasItsOwnHelpContext) {
    QFile helpFile(session().helpFiles().helpPath());
    ASSERT_TRUE(helpFile.open(QIODevice::WriteOnly));
    helpFile.close();
    action("Solve1")->trigger();
    action("Optimise1")->trigger();
    for (QWidget* window : {static_cast<QWidget*>(main().solveWindow()),
                            static_cast<QWidget*>(main().optimiseWindow())}) {
        MakeActive(*window);
        auto* passes = in<QSpinBox>(*window, "SpinEditPasses");
        passes->setFocus();
        QTest::keyClick(passes, Qt::Key_F1);
    }
    ASSERT_EQ(user.helpRequests.size(), 2u);
    EXPECT_EQ(user.helpRequests[0].context, 26);
    EXPECT_EQ(user.helpRequests[1].context, 27);
}

}  // namespace
}  // namespace quantaro::testing
