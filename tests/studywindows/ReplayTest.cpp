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

#include <tuple>

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
        user.answers = {BoxAnswer::No, BoxAnswer::No, BoxAnswer::No};
        DocumentCommands& commands = main().documentCommands();
        commands.OpenAll(folder + '/' + QLatin1String(example) + ".FOR");
        user.answers.clear();
        if (session().documents().isChanged(Document::Formula)) {
            ASSERT_TRUE(
                commands.SaveFormulaFile(session().documents().fileName(Document::Formula)));
        }
        ASSERT_FALSE(session().documents().anyChanged());
        user.boxes.clear();
    }
    void pick(QWidget& window, const char* combo, const char* text) {
        auto* box = child<QComboBox>(window, combo);
        box->setCurrentIndex(box->findText(QLatin1String(text)));
    }
    template <typename Window>
    void run(Window& window, const char* button) {
        user.boxes.clear();
        child<QPushButton>(window, button)->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window.running(); }, 120000));
        QTest::qWait(2 * 50);  // the progress timer's tick that shows the end
        ASSERT_TRUE(user.boxes.empty()) << user.boxTexts().join('\n').toStdString();
    }

    // Copy as Command, or the box that says why not.
    QString copied(QWidget& window) {
        user.clipboard.clear();
        user.boxes.clear();
        child<QPushButton>(window, "ButtonCopyCommand")->click();
        return user.clipboard.isEmpty() ? QStringLiteral("box: ") + user.onlyBoxText()
                                        : user.clipboard;
    }

    // Runs the line in a shell in the folder "run", finding quantaro-cli on the PATH.
    int replay(const QString& line) {
        QProcess shell;
        shell.setWorkingDirectory(dir.filePath("run"));
        shell.start("/bin/sh", {"-c", "PATH=" QUANTARO_CLI_DIR ":$PATH; " + line});
        if (!shell.waitForFinished(120000)) return -1;
        errors = shell.readAllStandardError();
        return shell.exitCode();
    }

    // Exports through the window's button, replays its command and compares
    // the file the command names.
    void expectReplayed(QWidget& window, const char* exportButton, const char* file) {
        user.chosenFiles.push_back(dir.filePath(QLatin1String(file)));
        child<QPushButton>(window, exportButton)->click();
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

// Goal Seek exports nothing: there the batch runner reports the value,
// result and trials the window shows.
TEST_F(ReplayTest, EachStudyWindowsCommandWritesItsExportByteForByte) {
    open("engineering");
    action("Sweep1")->trigger();
    TFormSweep& sweep = *main().sweepWindow();
    pick(sweep, "ComboInput1", "V0");
    child<QLineEdit>(sweep, "EditFrom1")->setText("10");
    // A value of more digits than a cell shows must reach the command whole.
    child<QLineEdit>(sweep, "EditTo1")->setText("30.12345678901234567");
    child<QCheckBox>(sweep, "CheckBoxLog1")->setChecked(true);
    child<QSpinBox>(sweep, "SpinEditEquation")->setValue(5);
    run(sweep, "ButtonRun");
    expectReplayed(sweep, "ButtonExport", "sweep.csv");

    action("Uncertainty1")->trigger();
    TFormUncertainty& uncertainty = *main().uncertaintyWindow();
    for (const auto& [name, u, distribution] : {std::tuple{"V0", "2%", 0}, {"ANGLE", "±1", 1}}) {
        pick(uncertainty, "ComboInput", name);
        child<QLineEdit>(uncertainty, "EditU")->setText(QString::fromUtf8(u));
        child<QComboBox>(uncertainty, "ComboDistribution")->setCurrentIndex(distribution);
        child<QPushButton>(uncertainty, "ButtonAdd")->click();
    }
    child<QSpinBox>(uncertainty, "SpinEditDraws")->setValue(3000);
    child<QLineEdit>(uncertainty, "EditSeed")->setText("7");
    run(uncertainty, "ButtonRun");
    expectReplayed(uncertainty, "ButtonExportDraws", "draws.csv");

    action("Solve1")->trigger();
    TFormSolve& solve = *main().solveWindow();
    SetGridRow(child<QTableWidget>(solve, "GridTargets"), 0, {"RANGE", "50"});
    SetGridRow(child<QTableWidget>(solve, "GridInputs"), 0, {"ANGLE", "44", "1"});
    run(solve, "ButtonSolve");
    expectReplayed(solve, "ButtonExport", "solve.csv");

    action("GoalSeek1")->trigger();
    TFormGoalSeek& seek = *main().goalSeekWindow();
    pick(seek, "ComboResult", "RANGE");
    child<QLineEdit>(seek, "EditTarget")->setText("50");
    pick(seek, "ComboInput", "ANGLE");
    child<QCheckBox>(seek, "CheckBoxInterval")->setChecked(true);
    seek.CheckBoxIntervalClick();
    child<QLineEdit>(seek, "EditLow")->setText("1");
    child<QLineEdit>(seek, "EditHigh")->setText("45.5");
    run(seek, "ButtonSeek");
    const QStringList found = child<QLabel>(seek, "LabelOutcome")->text().split('\n');
    ASSERT_EQ(found.size(), 3) << found.join('\n').toStdString();
    const QString line = copied(seek);
    ASSERT_EQ(replay(line), 0) << line.toStdString() << '\n' << errors.toStdString();
    EXPECT_EQ(QString::fromUtf8(errors), QStringLiteral("quantaro-cli: %1 sets %2 to %3 (%4)\n")
                                             .arg(found[0], found[1].section(" = ", 0, 0),
                                                  found[1].section(" = ", 1), found[2]));
    // After Store the tables hold the solution, not what the seek read.
    child<QPushButton>(seek, "ButtonStore")->click();
    EXPECT_TRUE(copied(seek).startsWith("box: The study's result has been stored into the tables"));

    open("can");
    action("Optimise1")->trigger();
    TFormOptimise& optimise = *main().optimiseWindow();
    pick(optimise, "ComboObjective", "AREA");
    SetGridRow(child<QTableWidget>(optimise, "GridInputs"), 0, {"R", "1", "20"});
    SetGridRow(child<QTableWidget>(optimise, "GridInputs"), 1, {"H", "1", "40"});
    SetGridRow(child<QTableWidget>(optimise, "GridConstraints"), 0, {"VOL", "=", "1000"});
    child<QSpinBox>(optimise, "SpinEditStarts")->setValue(3);
    run(optimise, "ButtonOptimise");
    expectReplayed(optimise, "ButtonExport", "optimise.csv");

    open("projectile");
    action("Fit1")->trigger();
    TFormFit& fit = *main().fitWindow();
    user.chosenFiles.push_back(folder + "/projectile-flight.csv");
    child<QPushButton>(fit, "ButtonBrowse")->click();
    auto* parameters = child<QTableWidget>(fit, "TableParameters");
    parameters->findItems("K", Qt::MatchExactly).front()->setCheckState(Qt::Checked);
    run(fit, "ButtonFit");
    expectReplayed(fit, "ButtonExport", "fit.csv");
}

// The loop's passes are run again from the files before a line is copied:
// its passes write the variable table, so the flags cannot tell.
TEST_F(ReplayTest, LoopCommandWritesTheTrajectoryExportOnlyWhileTheFilesGiveIt) {
    open("iteration");
    action("ContinuousLoop1")->trigger();
    setLoops("40");
    runLoop();
    loopButton("ButtonTrajectory")->click();
    auto* window = child<QWidget>(loop(), "TFormTrajectory");
    user.chosenFiles.push_back(dir.filePath("trajectory.csv"));
    action("ExportTrajectory1")->trigger();
    const QString line = copied(*window);
    ASSERT_TRUE(line.startsWith("quantaro-cli --passes 40 --record N,X,")) << line.toStdString();
    ASSERT_EQ(replay(line), 0) << line.toStdString() << '\n' << errors.toStdString();
    EXPECT_EQ(FileBytes(dir.filePath("run/trajectory.csv")),
              FileBytes(dir.filePath("trajectory.csv")));

    // From the tables as the passes left them, the history no longer follows from the files.
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
    child<QLineEdit>(sweep, "EditFrom1")->setText("0");
    child<QLineEdit>(sweep, "EditTo1")->setText("1");
    run(sweep, "ButtonRun");
    EXPECT_EQ(copied(sweep),
              "box: The formula is not saved yet: save it, and copy the command again, so that "
              "the batch runner reads what this study read.");

    open("engineering");
    run(sweep, "ButtonRun");
    session().setCell(Document::Variables, ValueColumn, 1, "30");
    EXPECT_TRUE(copied(sweep).startsWith("box: The worksheet changed after the study ran"));
    run(sweep, "ButtonRun");
    EXPECT_TRUE(copied(sweep).startsWith(
        "box: The variable table has changed since it was saved as engineering.VAR"));
}

}  // namespace
}  // namespace quantaro::testing
