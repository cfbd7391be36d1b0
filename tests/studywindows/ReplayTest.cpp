#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>

#include "RunProgramFixture.h"
#include "WidgetTesting.h"
#include "commands/DocumentCommands.h"
#include "studywindows/StudyGrid.h"
#include "studywindows/TFormFit.h"
#include "studywindows/TFormGoalSeek.h"
#include "studywindows/TFormOptimise.h"
#include "studywindows/TFormSolve.h"
#include "studywindows/TFormSweep.h"
#include "studywindows/TFormUncertainty.h"

namespace quantaro::testing {
namespace {

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not written)");
}

// Each window's Copy as Command, pasted into a shell, runs the real batch
// runner on the example's saved files; the file it writes must be the
// window's own export, byte for byte. The examples lie in a folder whose
// name the shell would split and unquote.
class ReplayTest : public RunProgramTest {
  protected:
    void SetUp() override {
        RunProgramTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        folder = dir.filePath(QStringLiteral("it's \"a\" $HOME"));
        ASSERT_TRUE(QDir().mkpath(folder) && QDir().mkpath(dir.filePath("run")));
        const QDir examples(QStringLiteral(QUANTARO_EXAMPLES_DIR));
        for (const QString& name : examples.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(examples.filePath(name), folder + '/' + name));
    }

    // Open All, answering No to saving what changed. A formula in the other
    // angle unit is marked changed as it selects its unit: it is saved again.
    void open(const char* example) {
        for (const Document document :
             {Document::Formula, Document::Constants, Document::Variables})
            if (session().documents().isChanged(document)) user.answers.push_back(BoxAnswer::No);
        DocumentCommands& commands = main().documentCommands();
        commands.OpenAll(folder + '/' + QLatin1String(example) + ".FOR");
        if (session().documents().isChanged(Document::Formula)) {
            ASSERT_TRUE(
                commands.SaveFormulaFile(session().documents().fileName(Document::Formula)));
        }
        ASSERT_FALSE(session().documents().anyChanged());
        user.boxes.clear();
    }
    template <typename T>
    T* in(QWidget& window, const char* name) {
        return child<T>(window, name);
    }
    template <typename Window>
    void run(Window& window, const char* button) {
        user.boxes.clear();
        in<QPushButton>(window, button)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.running(); }, 120000));
        QTest::qWait(2 * 50);  // the progress timer's tick that shows the end
        ASSERT_TRUE(user.boxes.empty()) << user.boxTexts().join('\n').toStdString();
    }

    // Copy as Command, or the box that says why not.
    QString copied(QWidget& window) {
        user.clipboard.clear();
        user.boxes.clear();
        in<QPushButton>(window, "ButtonCopyCommand")->click();
        return user.clipboard.isEmpty() ? QStringLiteral("box: ") + user.onlyBoxText()
                                        : user.clipboard;
    }

    // Runs the line in a shell in the folder "run", finding quantaro-cli on the PATH.
    int replay(const QString& line) {
        QProcess shell;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PATH",
                           QStringLiteral(QUANTARO_CLI_DIR ":") + environment.value("PATH"));
        shell.setProcessEnvironment(environment);
        shell.setWorkingDirectory(dir.filePath("run"));
        shell.start("/bin/sh", {"-c", line});
        if (!shell.waitForFinished(120000)) return -1;
        errors = shell.readAllStandardError();
        return shell.exitCode();
    }

    // Exports through the window's button, replays its command and compares
    // the file the command names.
    void expectReplayed(QWidget& window, const char* exportButton, const char* file) {
        user.chosenFiles.push_back(dir.filePath(QLatin1String(file)));
        in<QPushButton>(window, exportButton)->click();
        const QString line = copied(window);
        ASSERT_TRUE(line.startsWith("quantaro-cli ")) << line.toStdString();
        ASSERT_EQ(replay(line), 0) << line.toStdString() << '\n' << errors.toStdString();
        EXPECT_EQ(FileBytes(dir.filePath("run/") + file), FileBytes(dir.filePath(file)))
            << line.toStdString();
    }

    QTemporaryDir dir;
    QString folder;
    QByteArray errors;  // of the last replay
};

TEST_F(ReplayTest, SweepAndUncertaintyCommandsWriteTheWindowsFiles) {
    open("engineering");
    action("Sweep1")->trigger();
    TFormSweep& sweep = *main().sweepWindow();
    const auto axis = [&](int n, const char* name, const char* from, const char* to, int points) {
        const QByteArray number = QByteArray::number(n);
        auto* input = in<QComboBox>(sweep, "ComboInput" + number);
        input->setCurrentIndex(input->findText(name));
        in<QLineEdit>(sweep, "EditFrom" + number)->setText(from);
        in<QLineEdit>(sweep, "EditTo" + number)->setText(to);
        in<QSpinBox>(sweep, "SpinEditPoints" + number)->setValue(points);
    };
    // A value of more digits than a cell shows must reach the command whole.
    axis(1, "ANGLE", "0", "89.12345678901234567", 7);
    in<QCheckBox>(sweep, "CheckBoxSecond")->setChecked(true);
    sweep.CheckBoxSecondClick();
    axis(2, "V0", "10", "30", 3);
    in<QCheckBox>(sweep, "CheckBoxLog2")->setChecked(true);
    in<QSpinBox>(sweep, "SpinEditEquation")->setValue(5);
    run(sweep, "ButtonRun");
    expectReplayed(sweep, "ButtonExport", "sweep.csv");

    action("Uncertainty1")->trigger();
    TFormUncertainty& uncertainty = *main().uncertaintyWindow();
    const auto add = [&](const char* name, const char* u, int distribution) {
        auto* input = in<QComboBox>(uncertainty, "ComboInput");
        input->setCurrentIndex(input->findText(name));
        in<QLineEdit>(uncertainty, "EditU")->setText(QString::fromUtf8(u));
        in<QComboBox>(uncertainty, "ComboDistribution")->setCurrentIndex(distribution);
        in<QPushButton>(uncertainty, "ButtonAdd")->click();
    };
    add("V0", "2%", 0);
    add("ANGLE", "±1", 1);
    in<QSpinBox>(uncertainty, "SpinEditDraws")->setValue(3000);
    in<QLineEdit>(uncertainty, "EditSeed")->setText("7");
    run(uncertainty, "ButtonRun");
    expectReplayed(uncertainty, "ButtonExportDraws", "draws.csv");
}

TEST_F(ReplayTest, SolveOptimiseAndFitCommandsWriteTheWindowsReports) {
    open("engineering");
    action("Solve1")->trigger();
    TFormSolve& solve = *main().solveWindow();
    SetGridRow(in<QTableWidget>(solve, "GridTargets"), 0, {"RANGE", "50"});
    SetGridRow(in<QTableWidget>(solve, "GridInputs"), 0, {"ANGLE", "44", "1"});
    run(solve, "ButtonSolve");
    expectReplayed(solve, "ButtonExport", "solve.csv");

    open("can");
    action("Optimise1")->trigger();
    TFormOptimise& optimise = *main().optimiseWindow();
    auto* objective = in<QComboBox>(optimise, "ComboObjective");
    objective->setCurrentIndex(objective->findText("AREA"));
    SetGridRow(in<QTableWidget>(optimise, "GridInputs"), 0, {"R", "1", "20"});
    SetGridRow(in<QTableWidget>(optimise, "GridInputs"), 1, {"H", "1", "40"});
    SetGridRow(in<QTableWidget>(optimise, "GridConstraints"), 0, {"VOL", "=", "1000"});
    in<QSpinBox>(optimise, "SpinEditStarts")->setValue(3);
    run(optimise, "ButtonOptimise");
    expectReplayed(optimise, "ButtonExport", "optimise.csv");

    open("projectile");
    action("Fit1")->trigger();
    TFormFit& fit = *main().fitWindow();
    user.chosenFiles.push_back(folder + "/projectile-flight.csv");
    in<QPushButton>(fit, "ButtonBrowse")->click();
    auto* parameters = in<QTableWidget>(fit, "TableParameters");
    parameters->findItems("K", Qt::MatchExactly).front()->setCheckState(Qt::Checked);
    run(fit, "ButtonFit");
    expectReplayed(fit, "ButtonExport", "fit.csv");
}

// Goal Seek exports nothing: the batch runner reports the same value, result and trials.
TEST_F(ReplayTest, GoalSeekCommandFindsTheWindowsValue) {
    open("engineering");
    action("GoalSeek1")->trigger();
    TFormGoalSeek& seek = *main().goalSeekWindow();
    auto* result = in<QComboBox>(seek, "ComboResult");
    result->setCurrentIndex(result->findText("RANGE"));
    in<QLineEdit>(seek, "EditTarget")->setText("50");
    auto* input = in<QComboBox>(seek, "ComboInput");
    input->setCurrentIndex(input->findText("ANGLE"));
    in<QCheckBox>(seek, "CheckBoxInterval")->setChecked(true);
    seek.CheckBoxIntervalClick();
    in<QLineEdit>(seek, "EditLow")->setText("1");
    in<QLineEdit>(seek, "EditHigh")->setText("45");
    run(seek, "ButtonSeek");
    const QStringList found = in<QLabel>(seek, "LabelOutcome")->text().split('\n');
    ASSERT_EQ(found.size(), 3) << found.join('\n').toStdString();
    const QString line = copied(seek);
    ASSERT_EQ(replay(line), 0) << line.toStdString() << '\n' << errors.toStdString();
    EXPECT_EQ(QString::fromUtf8(errors), QStringLiteral("quantaro-cli: %1 sets %2 to %3 (%4)\n")
                                             .arg(found[0], found[1].section(" = ", 0, 0),
                                                  found[1].section(" = ", 1), found[2]));
}

// The loop's passes are run again from the files before a line is copied:
// its passes write the variable table, so the flags cannot tell.
TEST_F(ReplayTest, LoopCommandWritesTheTrajectoryExportOnlyWhileTheFilesGiveIt) {
    open("iteration");
    action("ContinuousLoop1")->trigger();
    loopSpin("SpinEditEquation")->setValue(0);
    setLoops("40");
    runLoop();
    loopButton("ButtonTrajectory")->click();
    auto* window = loop().findChild<QWidget*>(QStringLiteral("TFormTrajectory"));
    ASSERT_NE(window, nullptr);
    user.chosenFiles.push_back(dir.filePath("trajectory.csv"));
    action("ExportTrajectory1")->trigger();
    const QString line = copied(*window);
    ASSERT_TRUE(line.startsWith("quantaro-cli --passes 40 --record N,X,")) << line.toStdString();
    ASSERT_EQ(replay(line), 0) << line.toStdString() << '\n' << errors.toStdString();
    EXPECT_EQ(FileBytes(dir.filePath("run/trajectory.csv")),
              FileBytes(dir.filePath("trajectory.csv")));

    // Forty more passes go on from the tables as the first forty left them.
    runLoop();
    EXPECT_TRUE(copied(*window).startsWith("quantaro-cli --passes 80 "))
        << user.clipboard.toStdString();
    loopButton("ButtonReset")->click();
    runLoop();
    EXPECT_TRUE(copied(*window).startsWith("box: The saved files do not give this history"));
}

// A command is copied only when the saved files hold what the study read.
TEST_F(ReplayTest, CopyAsCommandSaysWhyTheFilesWouldNotReproduceTheStudy) {
    action("Sweep1")->trigger();
    TFormSweep& sweep = *main().sweepWindow();
    EXPECT_EQ(copied(sweep), "box: Run the study first: the command repeats the last run.");
    setVariable(1, "X", "1");
    setVariable(2, "Y", "1");
    in<QLineEdit>(sweep, "EditFrom1")->setText("0");
    in<QLineEdit>(sweep, "EditTo1")->setText("1");
    run(sweep, "ButtonRun");
    EXPECT_EQ(copied(sweep),
              "box: The formula is not saved yet: save it, and copy the command again, so that "
              "the batch runner reads what this study read.");

    open("engineering");
    run(sweep, "ButtonRun");
    const QString line = copied(sweep);
    EXPECT_TRUE(line.startsWith("quantaro-cli --sweep g=0:1:11 --record V0,ANGLE,"))
        << line.toStdString();
    session().setCell(Document::Variables, ValueColumn, 1, "30");
    EXPECT_TRUE(copied(sweep).startsWith("box: The worksheet changed after the study ran"));
    run(sweep, "ButtonRun");
    EXPECT_TRUE(copied(sweep).startsWith(
        "box: The variable table has changed since it was saved as engineering.VAR"));
}

}  // namespace
}  // namespace quantaro::testing
