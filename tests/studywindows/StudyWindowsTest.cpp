#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextCursor>

#include <functional>
#include <vector>

#include "RunProgramFixture.h"
#include "WidgetTesting.h"
#include "charts/PlotView.h"
#include "studies/CsvWriter.h"
#include "studies/GoalSeek.h"
#include "studies/MonteCarlo.h"
#include "studies/Sweep.h"
#include "studywindows/TFormFit.h"
#include "studywindows/TFormGoalSeek.h"
#include "studywindows/TFormSweep.h"
#include "studywindows/TFormUncertainty.h"

namespace quantaro::testing {
namespace {

// The documents as the studies must leave them: every cell, flag and the formula.
struct DocumentsSeen {
    std::vector<std::string> cells;
    bool changed[3];
    QString formula;
    bool operator==(const DocumentsSeen&) const = default;
};

class StudyWindowsTest : public RunProgramTest {
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
             {Document::Formula, Document::Variables, Document::Constants}) {
            session().documents().setChanged(document, false);
        }
    }

    DocumentsSeen documents() {
        DocumentsSeen seen{{}, {}, session().formulaText()};
        for (const Document table : {Document::Constants, Document::Variables}) {
            for (int row = 1; row <= 4; ++row) {
                for (int column = 0; column < 3; ++column) {
                    seen.cells.push_back(session().table(table).cell(column, row));
                }
            }
        }
        for (const Document document :
             {Document::Formula, Document::Constants, Document::Variables}) {
            seen.changed[int(document)] = session().documents().isChanged(document);
        }
        return seen;
    }

    template <typename T>
    T* in(QWidget& window, const char* name) {
        return child<T>(window, name);
    }
    void choose(QWidget& window, const char* combo, const char* name) {
        auto* box = in<QComboBox>(window, combo);
        box->setCurrentIndex(box->findText(QLatin1String(name)));
    }
    template <typename Window>
    void waitFor(const Window& window) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.running(); }, 60000));
        QTest::qWait(2 * 50);  // the progress timer's tick that shows the end
    }

    TFormSweep& sweep() {
        action("Sweep1")->trigger();
        return *main().sweepWindow();
    }
    TFormGoalSeek& seek() {
        action("GoalSeek1")->trigger();
        return *main().goalSeekWindow();
    }
    TFormFit& fit() {
        action("Fit1")->trigger();
        return *main().fitWindow();
    }
    TFormUncertainty& uncertainty() {
        action("Uncertainty1")->trigger();
        return *main().uncertaintyWindow();
    }
};

struct SweepCase {
    const char* name;
    std::vector<SweepAxis> axes;
    std::size_t lines;  // of the first chart
    qsizetype points;   // of each of its lines
};

// Each sweep shows, as table, failure count, chart and CSV, what the core
// gives for the same setup, and no document changes.
TEST_F(StudyWindowsTest, SweepShowsTheCoresResultsAndChangesNoDocument) {
    const SweepCase cases[] = {
        {"one input, one failing point", {{"X", -2, 2, 5}}, 3, 4},
        {"a constant, log steps", {{"K", 1, 100, 3, SweepSpacing::Logarithmic}}, 4, 3},
        {"two inputs: a chart per output, a line per value of the second",
         {{"X", 1, 3, 3}, {"W", 0, 1, 2}},
         2,
         3},
    };
    const DocumentsSeen before = documents();
    for (const SweepCase& test : cases) {
        SCOPED_TRACE(test.name);
        TFormSweep& window = sweep();
        in<QCheckBox>(window, "CheckBoxSecond")->setChecked(test.axes.size() > 1);
        window.CheckBoxSecondClick();
        for (std::size_t i = 0; i < test.axes.size(); ++i) {
            const SweepAxis& axis = test.axes[i];
            const std::string n = std::to_string(i + 1);
            choose(window, ("ComboInput" + n).c_str(), axis.name.c_str());
            in<QLineEdit>(window, ("EditFrom" + n).c_str())
                ->setText(QString::number(double(axis.from)));
            in<QLineEdit>(window, ("EditTo" + n).c_str())
                ->setText(QString::number(double(axis.to)));
            in<QSpinBox>(window, ("SpinEditPoints" + n).c_str())->setValue(int(axis.count));
            in<QCheckBox>(window, ("CheckBoxLog" + n).c_str())
                ->setChecked(axis.spacing == SweepSpacing::Logarithmic);
        }
        in<QPushButton>(window, "ButtonRun")->click();
        waitFor(window);

        Worksheet sheet = session().worksheetCopy();
        SweepSetup setup{test.axes, DefaultSweepOutputs(sheet, test.axes), {}};
        ASSERT_EQ(SweepSetupError(sheet, setup), "");
        const SweepResults core = SweepRunner(sheet, SweepPlan(sheet, setup), 1).runAll();
        const SweepResults& shown = window.results();
        EXPECT_EQ(SweepCsv(shown), SweepCsv(core));
        const QAbstractItemModel* table = in<QTableView>(window, "TableResults")->model();
        ASSERT_EQ(table->rowCount(), int(core.size()));
        const int last = table->columnCount() - 1;
        EXPECT_EQ(table->headerData(last, Qt::Horizontal).toString(), "Message");
        for (int row = 0; row < table->rowCount(); ++row) {
            EXPECT_EQ(table->index(row, 1).data().toString().toStdString(), core.input(row, 0));
            EXPECT_EQ(table->index(row, last).data().toString().toStdString(), core.message(row));
        }
        EXPECT_EQ(
            in<QLabel>(window, "LabelFailed")->text(),
            QStringLiteral("%1 of %2 points failed").arg(core.failedCount()).arg(core.size()));
        const Plot& plot = window.chart().plot();
        ASSERT_EQ(plot.series.size(), test.lines);
        for (const PlotSeries& line : plot.series) EXPECT_EQ(line.points.size(), test.points);

        const QString csv = startDir.filePath(QStringLiteral("sweep.csv"));
        user.chosenFiles = {csv};
        in<QPushButton>(window, "ButtonExport")->click();
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll().toStdString(), SweepCsv(core));
        EXPECT_EQ(documents(), before);
    }
    EXPECT_TRUE(user.boxes.empty());
}

// Cancel stops between points and keeps those run, in order.
TEST_F(StudyWindowsTest, CancelKeepsThePointsRun) {
    TFormSweep& window = sweep();
    choose(window, "ComboInput1", "X");
    in<QLineEdit>(window, "EditFrom1")->setText("1");
    in<QLineEdit>(window, "EditTo1")->setText("2");
    in<QSpinBox>(window, "SpinEditPoints1")->setValue(1'000'000);
    in<QSpinBox>(window, "SpinEditPasses")->setValue(100);
    in<QPushButton>(window, "ButtonRun")->click();
    ASSERT_TRUE(window.running());
    in<QPushButton>(window, "ButtonCancel")->click();
    waitFor(window);
    const SweepResults& kept = window.results();
    EXPECT_LT(kept.size(), 1'000'000u);
    for (std::size_t i = 0; i < kept.size(); ++i) ASSERT_EQ(kept.pointNumber(i), i + 1);
    EXPECT_TRUE(in<QLabel>(window, "LabelFailed")->text().startsWith("Cancelled after"));

    // A window going away mid-run stops its study before its members go (the
    // address sanitizer build sees a study writing into a window that went).
    auto going = std::make_unique<TFormSweep>(session(), user);
    going->showBeside(&main(), {});
    choose(*going, "ComboInput1", "X");
    in<QLineEdit>(*going, "EditFrom1")->setText("1");
    in<QLineEdit>(*going, "EditTo1")->setText("2");
    in<QSpinBox>(*going, "SpinEditPoints1")->setValue(1'000'000);
    in<QSpinBox>(*going, "SpinEditPasses")->setValue(100);
    in<QPushButton>(*going, "ButtonRun")->click();
    ASSERT_TRUE(going->running());
    going.reset();
}

// Once the worksheet changes after a sweep, the window says that its results
// are from before, and which change, until the next Run. An input the
// formula overwrites before reading it is warned of, and a sweep whose
// results would outgrow the window's budget is refused before it runs.
TEST_F(StudyWindowsTest, SweepSaysItsResultsAreFromBeforeAChange) {
    TFormSweep& window = sweep();
    const auto notes = [&] {
        const QLabel* label = in<QLabel>(window, "LabelNotes");
        return label ? label->text() : QString();
    };
    const auto runOver = [&](const char* input) {
        choose(window, "ComboInput1", input);
        in<QLineEdit>(window, "EditFrom1")->setText("1");
        in<QLineEdit>(window, "EditTo1")->setText("2");
        in<QSpinBox>(window, "SpinEditPoints1")->setValue(3);
        in<QPushButton>(window, "ButtonRun")->click();
        waitFor(window);
    };
    NameTable other = session().variables();
    other.setCell(ValueColumn, 4, "7");
    const NameTable constants = session().constants();
    const std::pair<std::function<void()>, const char*> changes[] = {
        {[&] { session().setCell(Document::Variables, ValueColumn, 4, "6"); },
         "(a variable changed)"},
        {[&] { session().setCell(Document::Constants, ValueColumn, 1, "3"); },
         "(a constant changed)"},
        {[&] { session().setAngleUnit(AngleUnit::Radians); }, "(the angle unit changed)"},
        {[&] { QTextCursor(session().formulaDocument()).insertText(" "); },
         "(the formula was edited)"},
        {[&] {
             session().setFormulaText("K * X = Y");
             session().openTable(Document::Constants, constants);
             session().openTable(Document::Variables, other);
         },
         "(another worksheet was opened)"},
    };
    for (const auto& [change, named] : changes) {
        SCOPED_TRACE(named);
        runOver("X");
        ASSERT_EQ(window.results().size(), 3u);
        EXPECT_EQ(notes(), "");
        change();
        EXPECT_TRUE(notes().startsWith("These results are from before the worksheet changed"));
        EXPECT_TRUE(notes().contains(named)) << notes().toStdString();
    }
    runOver("Y");
    EXPECT_EQ(notes(),
              "Y is written by equation 1 before the formula reads it, so its value "
              "does not change the results.");
    EXPECT_TRUE(user.boxes.empty());

    window.setResultBudget(100);  // three points take 102 bytes
    runOver("X");
    EXPECT_TRUE(user.onlyBoxText().contains("a sweep in this window keeps at most 1 KiB"))
        << user.onlyBoxText().toStdString();
}

struct SeekCase {
    const char* name;
    const char* input;
    Document changed;  // by Store, besides the variables a run marks
};

// A seek changes nothing until Store, which writes the value found into the
// input's document and runs the formula; a later change withdraws Store.
TEST_F(StudyWindowsTest, GoalSeekChangesTheDocumentsOnlyOnStore) {
    const SeekCase cases[] = {
        {"a variable", "X", Document::Variables},
        {"a constant", "K", Document::Constants},
    };
    for (const SeekCase& test : cases) {
        SCOPED_TRACE(test.name);
        TFormGoalSeek& window = seek();
        choose(window, "ComboResult", "Z");
        in<QLineEdit>(window, "EditTarget")->setText("3");
        choose(window, "ComboInput", test.input);
        in<QCheckBox>(window, "CheckBoxInterval")->setChecked(true);
        window.CheckBoxIntervalClick();
        in<QLineEdit>(window, "EditLow")->setText("0.5");
        in<QLineEdit>(window, "EditHigh")->setText("10");
        const DocumentsSeen before = documents();
        in<QPushButton>(window, "ButtonSeek")->click();
        waitFor(window);
        EXPECT_EQ(documents(), before);
        ASSERT_TRUE(window.canStore());

        SeekSetup setup{"Z", 3, test.input, std::pair(0.5L, 10.0L), {}};
        const SeekResult core = GoalSeek(session().worksheetCopy(), setup);
        ASSERT_TRUE(core.succeeded());
        in<QPushButton>(window, "ButtonStore")->click();
        EXPECT_FALSE(window.canStore());
        // Store's own change does not make what it stored stale.
        EXPECT_EQ(in<QLabel>(window, "LabelOutcome")->text().toStdString(),
                  std::string(test.input) + " = " + core.valueText + "\nZ = " + core.resultText +
                      "\n" + std::to_string(core.trials) + " trials\nStored in the tables.");
        const NameTable& table = session().table(test.changed);
        EXPECT_EQ(table.value(table.findRow(test.input)), core.valueText);
        EXPECT_EQ(session().variables().value(3), core.resultText);
        EXPECT_TRUE(session().documents().isChanged(test.changed));
        EXPECT_FALSE(session().documents().isChanged(Document::Formula));

        // A search whose worksheet then changes cannot be stored.
        in<QPushButton>(window, "ButtonSeek")->click();
        waitFor(window);
        session().setCell(Document::Variables, ValueColumn, 4, "6");
        EXPECT_FALSE(window.canStore());
        EXPECT_TRUE(in<QLabel>(window, "LabelOutcome")->text().contains("changed"));
        session().setCell(Document::Variables, ValueColumn, 4, "5");
        session().setCell(Document::Variables, ValueColumn, 1, "1");
        session().setCell(Document::Constants, ValueColumn, 1, "2");
    }
    EXPECT_TRUE(user.boxes.empty());
}

// Both methods from the window give the core's table, draws on every core
// included, and change no document; an uncertainty below 0 is refused.
TEST_F(StudyWindowsTest, UncertaintyShowsTheCoresTableAndChangesNoDocument) {
    TFormUncertainty& window = uncertainty();
    const auto add = [&](const char* name, const char* u, int distribution) {
        choose(window, "ComboInput", name);
        in<QLineEdit>(window, "EditU")->setText(QString::fromUtf8(u));
        in<QComboBox>(window, "ComboDistribution")->setCurrentIndex(distribution);
        in<QPushButton>(window, "ButtonAdd")->click();
    };
    add("X", "-1", 0);
    ASSERT_EQ(user.boxes.size(), 1u);
    add("X", "10%", 0);
    add("K", "±0.1", 1);
    EXPECT_EQ(in<QTableWidget>(window, "TableInputs")->rowCount(), 2);
    in<QSpinBox>(window, "SpinEditDraws")->setValue(5000);
    in<QLineEdit>(window, "EditSeed")->setText("3");
    const DocumentsSeen before = documents();
    in<QPushButton>(window, "ButtonRun")->click();
    waitFor(window);
    EXPECT_EQ(documents(), before);

    const Worksheet sheet = session().worksheetCopy();
    const UncertaintyPlan plan(
        sheet,
        {{{"X", 10, true}, {"K", 0.1L, false, true, Distribution::Uniform}}, {"Y", "Z", "W"}, {}});
    const FirstOrderBudget budget = PropagateFirstOrder(sheet, plan);
    const MonteCarloDraws draws = MonteCarloRunner(sheet, plan, 1).run(3, 1, 5000);
    std::vector<DrawSummary> summaries;
    for (std::size_t r = 0; r < plan.resultCount(); ++r) {
        summaries.push_back(SummarizeDraws(draws.result(r)));
    }
    const ResultTable expected = UncertaintySummaryTable(plan, &budget, summaries);
    ASSERT_EQ(window.results().rowCount(), expected.rowCount());
    for (std::size_t row = 0; row < expected.rowCount(); ++row) {
        EXPECT_EQ(std::vector(window.results().row(row).begin(), window.results().row(row).end()),
                  std::vector(expected.row(row).begin(), expected.row(row).end()));
    }
    // Export Draws writes the batch runner's file of the same draws.
    const QTemporaryDir dir;
    user.chosenFiles.push_back(dir.filePath("draws.csv"));
    in<QPushButton>(window, "ButtonExportDraws")->click();
    std::string file = DrawsCsvHeader(plan);
    AppendDrawsCsvRows(file, draws);
    QFile written(dir.filePath("draws.csv"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), file);
    EXPECT_EQ(user.boxes.size(), 1u);
}

// F1 in either window opens the help at the run items' section, and a
// change of the worksheet while a search runs leaves what it finds unstorable.
TEST_F(StudyWindowsTest, StudyWindowsShareHelpAndTheStaleRuleDuringARun) {
    QFile helpFile(session().helpFiles().helpPath());
    ASSERT_TRUE(helpFile.open(QIODevice::WriteOnly));
    helpFile.close();
    for (QWidget* window : {static_cast<QWidget*>(&sweep()), static_cast<QWidget*>(&seek())}) {
        MakeActive(*window);
        auto* passes = in<QSpinBox>(*window, "SpinEditPasses");
        passes->setFocus();
        QTest::keyClick(passes, Qt::Key_F1);
    }
    ASSERT_EQ(user.helpRequests.size(), 2u);
    EXPECT_EQ(user.helpRequests[0].context, 14);
    EXPECT_EQ(user.helpRequests[1].context, 14);

    TFormGoalSeek& window = seek();
    choose(window, "ComboResult", "Z");
    in<QLineEdit>(window, "EditTarget")->setText("3");
    choose(window, "ComboInput", "X");
    in<QSpinBox>(window, "SpinEditPasses")->setValue(10'000);
    in<QPushButton>(window, "ButtonSeek")->click();
    ASSERT_TRUE(window.running());
    session().setCell(Document::Variables, ValueColumn, 4, "6");
    waitFor(window);
    EXPECT_FALSE(window.canStore());
    EXPECT_FALSE(in<QPushButton>(window, "ButtonStore")->isEnabled());
    EXPECT_TRUE(in<QLabel>(window, "LabelOutcome")
                    ->text()
                    .endsWith("The worksheet changed after the search (a variable changed): "
                              "seek again to store a value."));
}

// A fit of K to measured Z through the chosen file's columns, mapped by
// their names: the window shows it and changes nothing until Store, which
// types K in and runs the formula; Export writes the fitted values.
TEST_F(StudyWindowsTest, FitMapsColumnsByNameAndChangesTheDocumentsOnlyOnStore) {
    QTemporaryDir dir;
    QFile data(dir.filePath("z.csv"));
    ASSERT_TRUE(data.open(QIODevice::WriteOnly));
    data.write("x,z\n1,15\n2,7.5\n4,3.75\n5,3\n");
    data.close();
    TFormFit& window = fit();
    user.chosenFiles.push_back(data.fileName());
    in<QPushButton>(window, "ButtonBrowse")->click();
    auto* parameters = in<QTableWidget>(window, "TableParameters");
    QTableWidgetItem* k = parameters->findItems("K", Qt::MatchExactly).front();
    k->setCheckState(Qt::Checked);
    parameters->item(k->row(), 1)->setText("1");
    in<QPushButton>(window, "ButtonFit")->click();
    EXPECT_EQ(user.onlyBoxText(), "The bounds of K must both be numbers, or both empty");
    user.boxes.clear();
    parameters->item(k->row(), 2)->setText("4");
    const DocumentsSeen before = documents();
    in<QPushButton>(window, "ButtonFit")->click();
    waitFor(window);
    ASSERT_TRUE(user.boxes.empty()) << user.onlyBoxText().toStdString();
    EXPECT_EQ(documents(), before);
    const QAbstractItemModel* results = in<QTableView>(window, "TableResults")->model();
    EXPECT_EQ(results->index(0, 1).data().toString(), "3");
    const Plot& plot = in<PlotView>(window, "ChartView")->plot();
    ASSERT_EQ(plot.series.size(), 2u);
    EXPECT_EQ(plot.series[1].points.size(), 4);
    EXPECT_EQ(plot.horizontalTitle, "x");

    ASSERT_TRUE(window.canStore());
    in<QPushButton>(window, "ButtonStore")->click();
    EXPECT_EQ(session().constants().value(1), "3");
    EXPECT_EQ(session().variables().value(3), "15");
    EXPECT_TRUE(session().documents().isChanged(Document::Constants));
    EXPECT_FALSE(window.canStore());

    user.chosenFiles.push_back(dir.filePath("fit.csv"));
    in<QPushButton>(window, "ButtonExport")->click();
    QFile exported(dir.filePath("fit.csv"));
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.readAll().startsWith("x,z,Z fitted,Z residual\r\n1,15,15,0\r\n"));
}

}  // namespace
}  // namespace quantaro::testing
