#include <gtest/gtest.h>

#include <locale.h>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstring>
#include <thread>

#include <sstream>

#include "RawFiles.h"
#include "TableRows.h"
#include "cli/BatchRunner.h"
#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "documents/TableFormat.h"

namespace quantaro {
namespace {

// The trajectory record of a table printed after the pass ("NAME = value units"
// lines), for values that need no quotes.
std::string RecordOf(int pass, const std::string& printed) {
    std::string record = std::to_string(pass);
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t from = line.find(" = ") + 3;
        record += ',' + line.substr(from, line.find(' ', from) - from);
    }
    return record;
}

class BatchRunnerTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string out;
    std::string err;

    QString path(const QString& name) const { return dir.filePath(name); }

    void write(const QString& name, const std::string& bytes) {
        testing::WriteRaw(path(name), bytes);
    }

    // A table file holding the rows from the first on.
    void writeTable(const QString& name, const std::vector<testing::TableRow>& rows) {
        NameTable table = MakeVariableTable();
        testing::FillRows(table, rows);
        write(name, SerializeTableFile(table));
    }

    // Runs formula text against the variable file `variables`.
    int runText(const QString& text, const QString& variables, const QStringList& more = {}) {
        return run(QStringList{"--formula-text", text, "--variables", path(variables)} + more);
    }

    int run(QStringList arguments) {
        std::ostringstream o, e;
        const int code = RunBatch(arguments, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
};

TEST_F(BatchRunnerTest, RunsFormulaTextAgainstAVariableFile) {
    writeTable("x.VAR", {{"X", "", ""}});
    EXPECT_EQ(runText("2 + 3 * 4 = X", "x.VAR"), 0);
    EXPECT_EQ(out, "X = 20 \n");
    EXPECT_EQ(err, "");

    EXPECT_EQ(runText("1 / 0 = X", "x.VAR"), 9);
    EXPECT_EQ(err, "Equation 1: Domain Error: Divide by 0.\n");
    EXPECT_EQ(out, "X =  \n");
}

TEST_F(BatchRunnerTest, PrintsNamedRowsInOrderWithUnitsAfterAnError) {
    writeTable("t.VAR", {{"A", "3", "m"}, {"", "", ""}, {"B", "", "kg m"}, {"C", "x", ""}});
    EXPECT_EQ(runText("A * 2 = B  Q = C", "t.VAR"), 3);
    EXPECT_EQ(out, "A = 3 m\nB = 6 kg m\nC = x \n");
    EXPECT_EQ(err, "Equation 2: Unknown Item \"Q\"\n");
}

TEST_F(BatchRunnerTest, MessagesKeepTheirLineBreaks) {
    writeTable("v.VAR", {{"X", "", ""}});
    EXPECT_EQ(runText("0 ^ 0 = X", "v.VAR"), 9);
    EXPECT_EQ(err, "Equation 1: Domain Error: 0 ^ 0\r\nNonpositive power of 0.\n");
    EXPECT_EQ(run({"--formula-text", ""}), 8);
    EXPECT_EQ(err, "Empty formula\n");
}

TEST_F(BatchRunnerTest, PassesRunInARowAndStopAtTheFirstError) {
    writeTable("n.VAR", {{"N", "0", ""}, {"R", "", ""}});
    EXPECT_EQ(runText("N + 1 = N", "n.VAR", {"--passes", "5"}), 0);
    EXPECT_EQ(out, "N = 5 \nR =  \n");
    EXPECT_EQ(runText("N + 1 = N  1 / ( 3 - N ) = R", "n.VAR", {"--passes", "5"}), 9);
    EXPECT_EQ(out, "N = 3 \nR = 1 \n");  // the third pass fails after storing N
}

TEST_F(BatchRunnerTest, SelectsOneEquation) {
    writeTable("s.VAR", {{"X", "1", ""}, {"Y", "1", ""}});
    EXPECT_EQ(runText("5 = X 6 = Y", "s.VAR", {"--equation", "2"}), 0);
    EXPECT_EQ(out, "X = 1 \nY = 6 \n");
}

TEST_F(BatchRunnerTest, AFaultExitsWithTenAfterEarlierResults) {
    writeTable("f.VAR", {{"X", "", ""}, {"Y", "", ""}});
    EXPECT_EQ(runText("1 = Y 1E5000 = X", "f.VAR"), 10);
    EXPECT_EQ(err, "Floating point overflow\n");
    EXPECT_EQ(out, "X =  \nY = 1 \n");
}

// Each step of one run, then the stored text; a failure ends the lines with
// the run's message and the exit code with the run's.
TEST_F(BatchRunnerTest, ExplainPrintsEachStepOfTheRun) {
    writeTable("e.VAR", {{"A", "10", ""}, {"B", "4", ""}, {"X", "", ""}, {"Y", "", ""}});
    const std::tuple<const char*, int, const char*> cases[] = {
        {"2 + 3 * 4 = X", 0, "Equation 1: 2 + 3 * 4 = X\n  2 + 3 = 5\n  5 * 4 = 20\n  X = 20\n"},
        {" A * ( B + 1 ) = X", 0,
         "Equation 1: A * ( B + 1 ) = X\n  4 + 1 = 5\n  10 * 5 = 50\n  X = 50\n"},
        {"2 + SIN 28 = X\r\nX ^2 = Y", 0,
         "Equation 1: 2 + SIN 28 = X\n  2 + 28 = 30\n  SIN 30 = 0.5\n  X = 0.5\n"
         "Equation 2: X ^2 = Y\n  0.5 ^2 = 0.25\n  Y = 0.25\n"},
        {"1 + 1 / 0 = X  B = Y", 9,
         "Equation 1: 1 + 1 / 0 = X\n  1 + 1 = 2\nEquation 1: Domain Error: Divide by 0.\n"},
        {"A = X  1E5000 = Y", 10,
         "Equation 1: A = X\n  X = 10\nEquation 2: 1E5000 = Y\nFloating point overflow\n"},
    };
    for (const auto& [formula, exitCode, lines] : cases) {
        EXPECT_EQ(runText(formula, "e.VAR", {"--explain"}), exitCode) << formula;
        EXPECT_EQ(out, lines);
        EXPECT_EQ(err, "");
    }
    EXPECT_EQ(
        runText("A = X  ARCSIN 1 = Y", "e.VAR", {"--explain", "--equation", "2", "--radians"}), 0);
    // The operator's result as it is, the stored one rounded to 15 digits.
    EXPECT_EQ(out,
              "Equation 2: ARCSIN 1 = Y\n  ARCSIN 1 = 1.5707963267948966193\n"
              "  Y = 1.5707963267949\n");
}

// One line per finding; only a dimension finding fails, unless strict. A
// units.xml beside the worksheet adds its units; nothing is run or saved.
TEST_F(BatchRunnerTest, CheckUnitsPrintsFindingsAndFailsOnDimensions) {
    writeTable("u.VAR", {{"L", "2", "m"},
                         {"V", "1", "m/s"},
                         {"KM", "1", "km"},
                         {"X", "", "m"},
                         {"W", "3", "widgets"}});
    EXPECT_EQ(runText("L + KM = X", "u.VAR", {"--check-units"}), 0);
    EXPECT_EQ(out, "equation 1, step 1 (+): scale: adds km to m: ×1000\n");
    EXPECT_EQ(runText("L + KM = X", "u.VAR", {"--check-units", "--strict-units"}), 13);
    EXPECT_EQ(runText("L = X  L + V = X", "u.VAR", {"--check-units"}), 13);
    EXPECT_EQ(out, "equation 2, step 1 (+): dimension: adds m/s to m\n");
    EXPECT_EQ(runText("L + V = X", "u.VAR", {"--check-units", "--save-variables", "o.VAR"}), 64);

    write("u.FOR", "0W * L = X\r\n");
    EXPECT_EQ(run({"--check-units", path("u.FOR")}), 0);
    EXPECT_NE(out.find("not understood: the units of W (\"widgets\")"), std::string::npos);
    write("units.xml", "<unit-system><unit><base/><symbol>widgets</symbol></unit></unit-system>");
    EXPECT_EQ(run({"--check-units", path("u.FOR")}), 13);
    EXPECT_EQ(out,
              "equation 1, step 2 (=): dimension: the result is widgets·m but X's units "
              "say m\n");
}

TEST_F(BatchRunnerTest, DerivesTheTableFilesFromTheFormulaFile) {
    write("work.FOR", "1SIN ( PI / 2 ) = X\r\n");
    writeTable("work.CON", {{"PI", "3.14159265358979323846", ""}});
    writeTable("work.VAR", {{"X", "", "rad"}});
    EXPECT_EQ(run({path("work.FOR")}), 0);
    EXPECT_EQ(out, "X = 1 rad\n");  // the file's angle byte selects radians
    EXPECT_EQ(run({path("work.FOR"), "--degrees"}), 0);
    EXPECT_EQ(out, "X = 0.0274121335920443 rad\n");

    write("alone.FOR", "0PI = X\r\n");  // no derived files: empty tables
    EXPECT_EQ(run({path("alone.FOR")}), 3);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "Equation 1: Unknown Item \"PI\"\n");
}

TEST_F(BatchRunnerTest, FormulaTextIsInDegreesUnlessRadians) {
    writeTable("a.VAR", {{"X", "", ""}});
    EXPECT_EQ(runText("ARCSIN 1 = X", "a.VAR"), 0);
    EXPECT_EQ(out, "X = 90 \n");
    EXPECT_EQ(runText("ARCSIN 1 = X", "a.VAR", {"--radians"}), 0);
    EXPECT_EQ(out, "X = 1.5707963267949 \n");
}

TEST_F(BatchRunnerTest, SavesTheResultingVariableTable) {
    writeTable("in.VAR", {{"X", "", "m"}});
    EXPECT_EQ(runText("7 = X", "in.VAR", {"--save-variables", path("out.VAR")}), 0);
    std::string expected = "X 7 m\r\n";
    for (int i = 2; i <= 100; ++i) expected += "  \r\n";
    EXPECT_EQ(testing::ReadRaw(path("out.VAR")), expected);
    writeTable("latin1.VAR", {{"X", "", "\xB5m"}});  // read as Latin-1, so saved in it
    EXPECT_EQ(runText("7 = X", "latin1.VAR", {"--save-variables", path("out.VAR")}), 0);
    EXPECT_EQ(testing::ReadRaw(path("out.VAR")).substr(0, 8), "X 7 \xB5m\r\n");
    EXPECT_EQ(runText("7 = X", "in.VAR", {"--save-variables", path("no/such/dir/out.VAR")}), 73);
    EXPECT_NE(err, "");
}

// A failing pass, a fault included, gives the last row.
TEST_F(BatchRunnerTest, EachTrajectoryRowIsTheTablePrintedAfterAsManyPasses) {
    write("p.VAR", "T 0 s\r\nY 0 m\r\nVY 30 m/s\r\n  \r\nF 0.4 \r\nN 37 \r\nR  \r\nX 1 \r\n");
    const std::tuple<QString, int, int> runs[] = {
        {"T + 0.05 = T  VY - 0.4905 = VY  VY * 0.05 + Y = Y  1 - F * F * 3.7 = F", 200, 0},
        {"N - 1 = N  1 / N = R", 37, 9},
        {"N - 1 = N  X * 1E300 = X", 17, 10}};
    for (const auto& [formula, lastPass, exitCode] : runs) {
        ASSERT_EQ(runText(formula, "p.VAR", {"--passes", "200", "--csv", path("p.csv")}), exitCode);
        const QStringList records =
            QString::fromStdString(testing::ReadRaw(path("p.csv"))).split("\r\n");
        ASSERT_EQ(records.size(), lastPass + 2);
        EXPECT_EQ(records.back(), "");  // the last record ends in CR LF too
        EXPECT_EQ(records.front(), "pass,T,Y,VY,F,N,R,X");
        for (const int k : {1, 2, lastPass / 2, lastPass}) {
            runText(formula, "p.VAR", {"--passes", QString::number(k)});
            EXPECT_EQ(records[k].toStdString(), RecordOf(k, out));
        }
    }
}

TEST_F(BatchRunnerTest, RecordChoosesTheVariablesAndTheirOrder) {
    writeTable("r.VAR", {{"A", "1", ""}, {"B", "2", ""}, {"C", "", ""}});
    const QStringList csv = {"--csv", path("r.csv")};
    const QStringList twoPasses = QStringList{"--passes", "2", "--record", "C,a"} + csv;
    EXPECT_EQ(runText("A + B = A  A * 2 = C", "r.VAR", twoPasses), 0);
    EXPECT_EQ(testing::ReadRaw(path("r.csv")), "pass,C,A\r\n1,6,3\r\n2,10,5\r\n");

    EXPECT_EQ(runText("A + B = A", "r.VAR", QStringList{"--record", "A,Q"} + csv), 64);
    EXPECT_NE(err.find("--record names \"Q\", which is not a variable"), std::string::npos);
    EXPECT_EQ(runText("A + B = A", "r.VAR", {"--record", "A"}), 64);
    EXPECT_EQ(runText("A + B = A", "r.VAR", {"--csv", path("no/dir/r.csv")}), 73);
    EXPECT_NE(err.find("cannot be written"), std::string::npos);
}

TEST_F(BatchRunnerTest, MissingFilesAndBadUsage) {
    EXPECT_EQ(run({path("none.FOR")}), 66);
    EXPECT_EQ(err, "The formula file does not exist \n");
    EXPECT_EQ(run({"--formula-text", "1 = X", "--constants", path("none.CON")}), 66);
    EXPECT_EQ(err, "The constant file does not exist \n");
    EXPECT_EQ(runText("1 = X", "none.VAR"), 66);
    EXPECT_EQ(err, "The variable file does not exist \n");

    const QStringList bad[] = {
        {},
        {"a.FOR", "b.FOR"},
        {"a.FOR", "--formula-text", "1 = X"},
        {"--formula-text", "1 = X", "--degrees", "--radians"},
        {"--formula-text", "1 = X", "--passes", "0"},
        {"--formula-text", "1 = X", "--passes", "many"},
        {"--formula-text", "1 = X", "--equation", "-1"},
        {"--formula-text", "1 = X", "--bogus"},
        {"--formula-text"},
        {"--formula-text", "1 = X", "--explain", "--save-variables", "o.VAR"},
    };
    for (const QStringList& arguments : bad) {
        EXPECT_EQ(run(arguments), 64) << arguments.join(' ').toStdString();
        EXPECT_NE(err.find("Usage: quantaro-cli"), std::string::npos);
        EXPECT_EQ(out, "");
    }
}

// What a user of the shell tries first, on both programs: the help and the
// version on standard output, without a display, and a bad option named on
// standard error.
TEST(CommandLineConventions, HelpAndVersionAnswerAndABadOptionIsNamed) {
    struct Case {
        const char* program;
        QStringList arguments;
        int exitCode;
        QString out, err;  // the start of each stream
    };
    const Case cases[] = {
        {QUANTARO_CLI, {"--help"}, 0, "Usage: quantaro-cli [--constants C.CON]", ""},
        {QUANTARO_CLI, {"-h", "--passes", "0"}, 0, "Usage: quantaro-cli [--constants", ""},
        {QUANTARO_CLI, {"--version"}, 0, "quantaro-cli " QUANTARO_VERSION "\n", ""},
        {QUANTARO_CLI, {"-v", "x.FOR"}, 0, "quantaro-cli " QUANTARO_VERSION "\n", ""},
        {QUANTARO_CLI, {"x.FOR", "--bogus"}, 64, "", "quantaro-cli: Unknown option 'bogus'.\n"},
        {QUANTARO_PROGRAM, {"--help", "--bogus"}, 0, "Usage: quantaro [options] [FILE...]\n", ""},
        {QUANTARO_PROGRAM, {"-v"}, 0, "quantaro " QUANTARO_VERSION "\n", ""},
        {QUANTARO_PROGRAM, {"x.FOR", "-bogus"}, 64, "", "quantaro: Unknown option 'bogus'.\n"},
    };
    for (const Case& c : cases) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(environment);
        process.start(c.program, c.arguments);
        ASSERT_TRUE(process.waitForFinished(30000));
        const std::string what = c.program + (' ' + c.arguments.join(' ').toStdString());
        EXPECT_EQ(process.exitCode(), c.exitCode) << what;
        const QString out = process.readAllStandardOutput();
        // Qt may warn about its surroundings before the message.
        const QString err = process.readAllStandardError();
        EXPECT_TRUE(c.out.isEmpty() ? out.isEmpty() : out.startsWith(c.out))
            << what << out.toStdString();
        EXPECT_TRUE(c.err.isEmpty() ? err.isEmpty() : err.contains(c.err + "Usage: "))
            << what << err.toStdString();
        // Every option and argument is listed with a description of one line.
        const QString listing = out.section("\nOptions:\n", 1);
        for (const QString& line : listing.split('\n', Qt::SkipEmptyParts)) {
            if (line == "Arguments:") continue;
            EXPECT_TRUE(QRegularExpression("^  \\S.*\\S   *\\S").match(line).hasMatch())
                << line.toStdString();
        }
    }
}

// Names are their bytes: a Latin-1 name is read, saved and exported as that
// very file, from the command line too; a link loop is refused with the
// system's reason and left as it is; a link to a regular file is followed.
TEST_F(BatchRunnerTest, FileNamesInAnyEncodingLinkLoopsAndLinks) {
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const testing::EntriesByBytes entries{folder.constData()};
    const auto named = [&](const QByteArray& bytes) { return FileNameFromBytes(folder + bytes); };
    const auto firstLine = [&](const QByteArray& bytes) {
        return testing::ReadRawBytes(folder + bytes).substr(0, 6);
    };
    ASSERT_EQ(WriteFileAtomically(named("caf\xE9.VAR"), "X 1 \r\n"), std::nullopt);
    EXPECT_EQ(run({"--formula-text", "X + 1 = X", "--variables", named("caf\xE9.VAR"),
                   "--save-variables", named("s\xE9.VAR"), "--csv", named("t\xE9.csv")}),
              0);
    EXPECT_EQ(firstLine("s\xE9.VAR"), "X 2 \r\n");
    EXPECT_EQ(testing::ReadRawBytes(folder + "t\xE9.csv"), "pass,X\r\n1,2\r\n");

    QProcess cli;  // the bytes through the command line
    cli.setWorkingDirectory(dir.path());
    cli.start("/bin/sh", {"-c",
                          "f=$(printf 'caf\\351.VAR'); exec \"$0\" --formula-text '5 = X' "
                          "--variables \"$f\" --save-variables \"$f\"",
                          QUANTARO_CLI});
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    EXPECT_EQ(firstLine("caf\xE9.VAR"), "X 5 \r\n");
    EXPECT_EQ(entries.count(), 3);  // nothing under another name

    ASSERT_EQ(symlink("l\xE9", (folder + "loop").constData()), 0);
    ASSERT_EQ(symlink("loop", (folder + "l\xE9").constData()), 0);
    ASSERT_EQ(symlink("caf\xE9.VAR", (folder + "link.VAR").constData()), 0);
    EXPECT_EQ(runText("7 = X", "link.VAR", {"--save-variables", named("l\xE9")}), 73);
    EXPECT_EQ(QString::fromStdString(err),
              dir.path() + "/l\\xE9 cannot be written: Too many levels of symbolic links\n");
    EXPECT_EQ(runText("X + 1 = X", "link.VAR", {"--save-variables", path("link.VAR")}), 0);
    EXPECT_EQ(firstLine("caf\xE9.VAR"), "X 6 \r\n");
    EXPECT_TRUE(QFileInfo(path("loop")).isSymLink() && QFileInfo(path("link.VAR")).isSymLink());
}

TEST_F(BatchRunnerTest, UnreadableFilesOutputErrorsAndMissingEquationsHaveTheirExitCodes) {
    writeTable("x.VAR", {{"X", "", ""}});
    ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.VAR")).constData(), 0600), 0);
    EXPECT_EQ(runText("1 = X", "fifo.VAR"), 74);
    EXPECT_EQ(QString::fromStdString(err), path("fifo.VAR") + " is not a regular file\n");
    EXPECT_EQ(runText("1 = X 2 = X 3 = X", "x.VAR", {"--equation", "4"}), 64);
    EXPECT_EQ(err, "Equation 4 does not exist: the formula has 3 equations\n");

    std::ostringstream good, full;
    full.setstate(std::ios::badbit);
    const QStringList arguments = {"--formula-text", "7 = X", "--variables", path("x.VAR")};
    EXPECT_EQ(RunBatch(arguments, full, good), 74);
    EXPECT_EQ(good.str(), "quantaro-cli: the results could not be written\n");
    EXPECT_EQ(RunBatch(arguments, good, full), 74);
}

TEST_F(BatchRunnerTest, InterruptOrTerminateEndsTheRunAfterAPassWithoutSaving) {
    writeTable("n.VAR", {{"N", "0", ""}});
    for (const int signal : {SIGINT, SIGTERM}) {
        QProcess process;
        process.start(QUANTARO_CLI,
                      {"--formula-text", "N + 1 = N", "--variables", path("n.VAR"), "--passes",
                       "2000000000", "--save-variables", path("o.VAR"), "--csv", path("o.csv")});
        ASSERT_TRUE(process.waitForStarted(30000));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));  // well into the passes
        ASSERT_EQ(kill(static_cast<pid_t>(process.processId()), signal), 0);
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 128 + signal);
        // The table holds as many passes as the message counts: "N = 1234 \n".
        const std::string table = process.readAllStandardOutput().toStdString();
        EXPECT_EQ(process.readAllStandardError().toStdString(),
                  "quantaro-cli: stopped after pass " + table.substr(4, table.size() - 6) +
                      " of 2000000000 (" + strsignal(signal) + ")\n");
        EXPECT_FALSE(QFile::exists(path("o.VAR")));
        EXPECT_FALSE(QFile::exists(path("o.csv")));
    }
}

// Qt sets the C library's locale from the environment at start-up; the
// program's number texts must be the same under a German locale.
TEST_F(BatchRunnerTest, TheProgramIgnoresTheUsersLocale) {
    writeTable("l.VAR", {{"X", "", ""}, {"Y", "1.5", ""}});
    // The German locale writes "," as the decimal point; without it the
    // check below would pass for the wrong reason.
    locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    ASSERT_NE(german, nullptr) << "tools/install-deps.sh generates de_DE.UTF-8";
    freelocale(german);
    for (const char* locale : {"C", "de_DE.UTF-8"}) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", locale);
        process.setProcessEnvironment(environment);
        process.start(QUANTARO_CLI, {"--formula-text", "Y / 4 = X", "--variables", path("l.VAR")});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0) << locale;
        EXPECT_EQ(process.readAllStandardOutput().toStdString(), "X = 0.375 \nY = 1.5 \n")
            << locale;
        EXPECT_EQ(process.readAllStandardError().toStdString(), "") << locale;
    }
}

}  // namespace
}  // namespace quantaro
