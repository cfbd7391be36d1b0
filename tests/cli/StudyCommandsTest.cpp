#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <signal.h>

#include <chrono>
#include <thread>

#include <cmath>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "RawFiles.h"
#include "cli/BatchRunner.h"
#include "documents/FileName.h"
#include "documents/TableFormat.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

using Records = std::vector<std::vector<std::string>>;

// The records of an RFC 4180 text: quoted fields may hold commas, doubled
// quotes and line breaks.
Records ParseCsv(const std::string& text) {
    Records records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += text[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(record));
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_TRUE(field.empty() && record.empty()) << "the last record ends in CR LF";
    return records;
}

// The values of a printed table, "NAME = value units" per line, in order.
std::vector<std::string> PrintedValues(const std::string& printed) {
    std::vector<std::string> values;
    std::istringstream lines(printed);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t from = line.find(" = ") + 3;
        values.push_back(line.substr(from, line.find(' ', from) - from));
    }
    return values;
}

class StudyCommandsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string out;
    std::string err;

    QString path(const QString& name) const { return dir.filePath(name); }

    // A table file of rows of name and value.
    void writeTable(const QString& name,
                    const std::vector<std::pair<std::string, std::string>>& rows) {
        NameTable table = MakeVariableTable();
        int row = 0;
        for (const auto& [rowName, value] : rows) {
            table.setCell(NameColumn, ++row, rowName);
            table.setCell(ValueColumn, row, value);
        }
        testing::WriteRaw(path(name), SerializeTableFile(table));
    }

    int run(const QStringList& arguments) {
        std::ostringstream o, e;
        const int code = RunBatch(arguments, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
};

// Row p of a sweep holds what a plain run prints with the input's cell set to
// row p's input text: the same values, and the run's message where it fails
// (a message with a line break is quoted). A constant input, several passes
// and one equation go the same way.
TEST_F(StudyCommandsTest, EachSweepRowIsThePlainRunsTable) {
    const QString formula = "X ^ X = W\r\n10 / X = Y\r\nN + K + X = N";
    const std::vector<std::pair<std::string, std::string>> variables = {
        {"X", "7"}, {"W", ""}, {"Y", ""}, {"N", "0"}};
    const std::vector<std::pair<std::string, std::string>> constants = {{"K", "1"}};
    struct Case {
        QStringList options;
        QString input;  // the table that holds it
    };
    const Case cases[] = {
        {{"--sweep", "X=-1:1:5"}, "v.VAR"},
        {{"--sweep", "K=0.5:8:3:log", "--passes", "3", "--equation", "3"}, "k.CON"},
    };
    for (const Case& c : cases) {
        writeTable("v.VAR", variables);
        writeTable("k.CON", constants);
        const QStringList common = {"--formula-text", formula,       "--variables",
                                    path("v.VAR"),    "--constants", path("k.CON")};
        ASSERT_EQ(run(common + c.options + QStringList{"--csv", "-"}), 0) << err;
        const Records records = ParseCsv(out);
        const std::size_t failed = std::count_if(records.begin() + 1, records.end(),
                                                 [](const auto& r) { return !r.back().empty(); });
        EXPECT_EQ(err, "quantaro-cli: " + std::to_string(failed) + " of " +
                           std::to_string(records.size() - 1) + " points failed\n");
        const std::string input = c.options[1].section('=', 0, 0).toStdString();
        ASSERT_EQ(records.front().front(), "point");
        EXPECT_EQ(records.front()[1], input);
        EXPECT_EQ(records.front().back(), "message");
        for (std::size_t p = 1; p < records.size(); ++p) {
            const std::vector<std::string>& row = records[p];
            EXPECT_EQ(row[0], std::to_string(p));
            auto table = c.input == "v.VAR" ? variables : constants;
            for (auto& [name, value] : table) value = name == input ? row[1] : value;
            writeTable(c.input, table);
            QStringList plain = common;
            if (c.options.contains("--passes")) plain += c.options.mid(2);
            const int exitCode = run(plain);
            EXPECT_EQ(exitCode != 0, !row.back().empty()) << p;
            EXPECT_EQ(row.back().empty() ? "" : row.back() + "\n", err) << p;
            // Without the input when it is a variable: it has its own column.
            std::vector<std::string> printed = PrintedValues(out);
            if (c.input == "v.VAR") printed.erase(printed.begin());
            EXPECT_EQ(std::vector(row.begin() + 2, row.end() - 1), printed) << p;
        }
    }
}

// The engineering example: the angles of the closed form V0^2 sin 2a / g = 50,
// RANGE 50 to the 15th digit, and the table printed as a plain run prints it
// at that angle; a constant's line comes first; no solution is exit 12.
TEST_F(StudyCommandsTest, GoalSeekOnTheEngineeringExample) {
    const QString worksheet = QUANTARO_EXAMPLES_DIR "/engineering.FOR";
    const long double low =
        std::asin(50 * 9.80665L / (25 * 25)) / 2 * 180 / std::numbers::pi_v<long double>;
    const std::tuple<QStringList, long double> seeks[] = {
        {{"--between", "0:45"}, low},
        {{"--between", "50:89"}, 90 - low},
        {QStringList{}, low},  // outward from 40
    };
    for (const auto& [between, angle] : seeks) {
        ASSERT_EQ(run(QStringList{"--seek", "RANGE=50", "--by", "ANGLE", worksheet} + between), 0)
            << err;
        const std::vector<std::string> values = PrintedValues(out);
        const long double found = *ParseNumber(values[1]);
        EXPECT_LT(std::fabs(found - angle), 5E-13L * angle) << values[1];
        EXPECT_LE(std::fabs(*ParseNumber(values[4]) - 50), 1.01E-13L) << values[4];
        EXPECT_EQ(err.find("quantaro-cli: ANGLE = " + values[1] + " sets RANGE to " + values[4]),
                  0u)
            << err;
        const std::string printed = out;
        std::string table = testing::ReadRaw(QUANTARO_EXAMPLES_DIR "/engineering.VAR");
        table.replace(table.find("ANGLE 40 ") + 6, 2, values[1]);
        testing::WriteRaw(path("e.VAR"), table);
        ASSERT_EQ(run({worksheet, "--variables", path("e.VAR")}), 0);
        EXPECT_EQ(out, printed);
    }

    ASSERT_EQ(run({"--seek", "RANGE=50", "--by", "g", "--between", "1:20", worksheet}), 0);
    EXPECT_EQ(out.substr(0, 4), "g = ");
    EXPECT_EQ(PrintedValues(out).size(), 19u);

    EXPECT_EQ(run({"--seek", "RANGE=70", "--by", "ANGLE", "--between", "0:90", worksheet,
                   "--save-variables", path("s.VAR")}),
              12);
    EXPECT_EQ(err,
              "quantaro-cli: No value of ANGLE between 0 and 90 sets RANGE to 70: RANGE stays "
              "below 70 at every value tried\n");
    EXPECT_EQ(out, "");
    EXPECT_FALSE(QFile::exists(path("s.VAR")));
}

// Shard 1's file followed by the other shards' rows is the whole sweep's
// file, for shards of any size, empty ones included; so is the guide's GNU
// parallel command.
TEST_F(StudyCommandsTest, ShardsMakeUpTheWholeSweep) {
    writeTable("g.VAR", {{"A", ""}, {"B", ""}, {"C", ""}});
    const QStringList sweep = {"--formula-text", "A / B = C", "--variables", path("g.VAR"),
                               "--sweep",        "A=1:3:3",   "--sweep",     "B=-1:1:3"};
    ASSERT_EQ(run(sweep + QStringList{"--csv", path("whole.csv")}), 0);
    const std::string whole = testing::ReadRaw(path("whole.csv"));
    ASSERT_EQ(run(sweep + QStringList{"--csv", "-"}), 0);
    EXPECT_EQ(out, whole);
    EXPECT_EQ(ParseCsv(whole).size(), 10u);

    for (const int shards : {2, 4, 9, 13}) {
        std::string joined;
        for (int shard = 1; shard <= shards; ++shard) {
            const QString part = QString("--shard=%1/%2").arg(shard).arg(shards);
            ASSERT_EQ(run(sweep + QStringList{part, "--csv", "-"}), 0) << err;
            joined += shard == 1 ? out : out.substr(out.find("\r\n") + 2);
        }
        EXPECT_EQ(joined, whole) << shards << " shards";
    }

    if (QStandardPaths::findExecutable("parallel").isEmpty()) {
        GTEST_SKIP() << "GNU parallel is not installed (tools/install-deps.sh installs it)";
    }
    QProcess shell;
    shell.setWorkingDirectory(dir.path());
    shell.start("/bin/sh",
                {"-c",
                 "parallel \"$0\" --formula-text \"'A / B = C'\" --variables g.VAR "
                 "--sweep A=1:3:3 --sweep B=-1:1:3 --shard {}/4 --csv part-{}.csv ::: 1 2 3 4 "
                 "&& { cat part-1.csv; for i in 2 3 4; do tail -n +2 part-$i.csv; done; } "
                 "> all.csv",
                 QUANTARO_CLI});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(testing::ReadRaw(path("all.csv")), whole);
}

TEST_F(StudyCommandsTest, BadStudyOptionsAreRefusedNamingTheFault) {
    writeTable("b.VAR", {{"X", "1"}, {"Y", ""}});
    writeTable("b.CON", {{"K", "2"}});
    const QStringList sheet = {"--formula-text", "X * K = Y",   "--variables",
                               path("b.VAR"),    "--constants", path("b.CON")};
    const QStringList csv = {"--csv", path("b.csv")};
    const std::tuple<QStringList, const char*> cases[] = {
        {QStringList{"--sweep", "Q=0:1:3"} + csv, "\"Q\" is neither a constant nor a variable"},
        {QStringList{"--sweep", "X=0:1:3", "--record", "Y,K"} + csv,
         "\"K\" is not a variable of the variable table"},
        {{"--seek", "K=5", "--by", "X"}, "\"K\" is not a variable of the variable table"},
        {{"--seek", "Y=5", "--by", "Z"}, "\"Z\" is neither a constant nor a variable"},
        {QStringList{"--sweep", "X=0:1:0"} + csv,
         "number of points of X must be at least 1, not 0"},
        {QStringList{"--sweep", "X=0:1:3:log"} + csv, "sweep of X needs From and To above 0"},
        {QStringList{"--sweep", "X=-1:5:3:LOG"} + csv, "sweep of X needs From and To above 0"},
        {QStringList{"--sweep", "X=a:1:3"} + csv, "--sweep X: FROM 'a' is not a number"},
        {QStringList{"--sweep", "X=0:1E5000:3"} + csv, "TO '1E5000' is beyond the range"},
        {QStringList{"--sweep", "X=0:1:three"} + csv, "COUNT 'three' is not a whole number"},
        {QStringList{"--sweep", "X=0:1"} + csv, "--sweep takes NAME=FROM:TO:COUNT[:log], not"},
        {QStringList{"--sweep", "X=0:1:2:lin"} + csv, "the fourth part may only be 'log'"},
        {QStringList{"--sweep", "X=0:1:2", "--sweep", "K=0:1:2", "--sweep", "Y=0:1:2"} + csv,
         "--sweep given more than twice"},
        {QStringList{"--sweep", "X=0:1:2", "--sweep", "x=0:1:2"} + csv, "X is swept twice"},
        {QStringList{"--sweep", "X=0:1:2", "--shard", "0/3"} + csv, "--shard takes I/N"},
        {QStringList{"--sweep", "X=0:1:2", "--shard", "4/3"} + csv, "--shard takes I/N"},
        {QStringList{"--sweep", "X=0:1:2", "--shard", "1/0"} + csv, "--shard takes I/N"},
        {QStringList{"--sweep", "X=0:1:2", "--seek", "Y=1", "--by", "X"} + csv,
         "--sweep and --seek exclude each other"},
        {QStringList{"--sweep", "X=0:1:2", "--explain"} + csv,
         "--explain cannot be given with --sweep"},
        {{"--seek", "Y=1", "--by", "X", "--explain"}, "--explain cannot be given with --seek"},
        {{"--sweep", "X=0:1:2"}, "--sweep needs --csv"},
        {{"--csv", "-"}, "--csv - (standard output) needs --sweep"},
        {QStringList{"--shard", "1/2"} + csv, "--shard needs --sweep"},
        {{"--seek", "Y=1"}, "--seek needs --by NAME"},
        {{"--by", "X"}, "--by needs --seek"},
        {{"--seek", "Y=one", "--by", "X"}, "--seek Y: TARGET 'one' is not a number"},
        {{"--seek", "Y=1", "--by", "X", "--between", "1"}, "--between takes LO:HI, not '1'"},
        {QStringList{"--seek", "Y=1", "--by", "X"} + csv, "--csv cannot be given with --seek"},
        {QStringList{"--sweep", "X=0:1:9223372036854775808"} + csv,
         "COUNT '9223372036854775808' is too large: the largest count accepted is "
         "9223372036854775807"},
        {QStringList{"--sweep", "X=0:1:-9223372036854775809"} + csv, "must be at least 1"},
        {{"--passes", "2147483648"},
         "--passes takes a whole number from 1 to 2147483647, not '2147483648'"},
        {QStringList{"--sweep", FileNameFromBytes("caf\xE9=0:1:3")} + csv,
         "\"caf\\xE9\" is neither a constant nor a variable"},
        {{"--seek", FileNameFromBytes("Y\xE9=1"), "--by", "X"},
         "\"Y\\xE9\" is not a variable of the variable table"},
        {QStringList{"--sweep", "X=1E-4950:1:3:log"} + csv, "1E-4950 is 0 in the 15 digits"},
    };
    for (const auto& [options, fault] : cases) {
        const std::string what = options.join(' ').toStdString();
        EXPECT_EQ(run(sheet + options), 64) << what;
        EXPECT_NE(err.find(fault), std::string::npos) << what << "\n" << err;
        EXPECT_EQ(out, "") << what;
        EXPECT_FALSE(QFile::exists(path("b.csv"))) << what;
    }
}

// The first-order lines to the byte, a draw summary's shape, and each bad
// option of an uncertainty study refused with exit 64 naming its fault.
TEST_F(StudyCommandsTest, UncertaintyPrintsItsLinesAndRefusesBadOptions) {
    writeTable("u.VAR", {{"X", "1"}, {"Y", ""}});
    writeTable("u.CON", {{"K", "2"}});
    const QStringList sheet = {"--formula-text", "X * K = Y",   "--variables",
                               path("u.VAR"),    "--constants", path("u.CON")};
    ASSERT_EQ(run(sheet + QStringList{"--uncertainty", "X=10%", "--uncertainty", "K=0"}), 0) << err;
    EXPECT_EQ(out,
              "Y = 2 ± 0.2\n  X sensitivity 2 contribution 0.2 share 100%\n"
              "  K sensitivity 1 contribution 0 share 0%\n");
    ASSERT_EQ(run(sheet + QStringList{"--uncertainty", "X=±0.1:uniform", "--monte-carlo", "2000"}),
              0);
    // The drawn input's summary, then the result's.
    EXPECT_TRUE(QRegularExpression("\nX = \\S+ ± \\S+ \\[0\\.9\\d+, 1\\.0\\d+\\] \\(0 failed\\)\n"
                                   "Y = \\S+ ± \\S+ \\[1\\.\\d+, 2\\.\\d+\\] \\(0 failed\\)\n$")
                    .match(QString::fromStdString(out))
                    .hasMatch())
        << out;
    EXPECT_EQ(err, "quantaro-cli: 0 of 2000 draws failed\n");

    const QStringList mc = {"--uncertainty", "X=1", "--monte-carlo"};
    const std::tuple<QStringList, const char*> cases[] = {
        {{"--uncertainty", "Q=1"}, "\"Q\" is neither a constant nor a variable"},
        {{"--uncertainty", "X=-0.1"}, "--uncertainty X: the uncertainty '-0.1' must be 0 or more"},
        {{"--uncertainty", "X=a%"}, "--uncertainty X: the uncertainty 'a%' is not a number"},
        {{"--uncertainty", "X=1:lognormal"},
         "the distribution may be normal, uniform or triangular"},
        {{"--uncertainty", "X"}, "--uncertainty takes NAME=U[%][:normal|uniform|triangular]"},
        {{"--uncertainty", "X=+-1"}, "a half-width '+-1' needs :uniform or :triangular"},
        {{"--uncertainty", "X=1", "--report", "K"}, "\"K\" is not a variable"},
        {mc + QStringList{"0"}, "--monte-carlo takes a whole number of draws from 1 to"},
        {mc + QStringList{"9", "--shard", "3/2", "--csv", path("b.csv")}, "--shard takes I/N"},
        {mc + QStringList{"9", "--shard", "1/2"}, "--shard needs --csv DRAWS.csv"},
        {mc + QStringList{"9", "--seed", "-1"}, "--seed takes a whole number from 0 to"},
        {{"--uncertainty", "X=1", "--csv", path("b.csv")}, "--csv needs --monte-carlo"},
        {{"--monte-carlo", "5"}, "--monte-carlo needs --uncertainty"},
        {{"--summarize", path("none.csv")}, "--formula-text cannot be given with --summarize"},
    };
    for (const auto& [options, fault] : cases) {
        const std::string what = options.join(' ').toStdString();
        EXPECT_EQ(run(sheet + options), 64) << what;
        EXPECT_NE(err.find(fault), std::string::npos) << what << "\n" << err;
        EXPECT_EQ(out, "") << what;
        EXPECT_FALSE(QFile::exists(path("b.csv"))) << what;
    }
    EXPECT_EQ(run({"--summarize", path("none.csv")}), 66);
    testing::WriteRaw(path("b.csv"), "point,X,message\r\n");
    EXPECT_EQ(run({"--summarize", path("b.csv")}), 64);
    EXPECT_NE(err.find("is no file of draws"), std::string::npos) << err;
}

// An input named in --record has its column once; a sweep of a variable the
// formula overwrites before reading it is warned of, and runs.
TEST_F(StudyCommandsTest, AnInputIsWrittenOnceAndAnOverwrittenOneIsWarnedOf) {
    writeTable("e.VAR", {{"X", ""}, {"Y", ""}});
    const QStringList sheet = {"--formula-text", "X * 2 = Y", "--variables", path("e.VAR")};
    ASSERT_EQ(run(sheet + QStringList{"--sweep", "X=1:2:2", "--record", "X,Y", "--csv", "-"}), 0);
    EXPECT_EQ(out, "point,X,Y,message\r\n1,1,2,\r\n2,2,4,\r\n");
    ASSERT_EQ(run(sheet + QStringList{"--sweep", "Y=1:2:2", "--csv", "-"}), 0);
    EXPECT_EQ(out, "point,Y,X,message\r\n1,1,,\r\n2,2,,\r\n");
    EXPECT_EQ(err,
              "quantaro-cli: warning: Y is written by equation 1 before the formula reads it, so "
              "its value does not change the results\nquantaro-cli: 0 of 2 points failed\n");
}

// SIGINT and SIGTERM stop a sweep inside its one long point and a seek
// inside its first long trial, well within a second (the stop is looked for
// every 5 ms), with 128 + the signal and no file, named or not.
TEST_F(StudyCommandsTest, ASignalStopsALongPointOrTrialAtOnceLeavingNoFile) {
    writeTable("s.VAR", {{"X", "1"}, {"Y", "0"}});
    const QStringList sheet = {"--formula-text", "Y + X = Y", "--variables",
                               path("s.VAR"),    "--passes",  "2147483647"};
    const QStringList studies[] = {
        {"--sweep", "X=1:1:1", "--csv", path("out.csv")},
        {"--seek", "Y=5", "--by", "X", "--between", "0:1", "--save-variables", path("out.VAR")}};
    for (const QStringList& study : studies) {
        for (const int signal : {SIGINT, SIGTERM}) {
            QProcess process;
            process.start(QUANTARO_CLI, sheet + study);
            ASSERT_TRUE(process.waitForStarted(30000));
            std::this_thread::sleep_for(std::chrono::milliseconds(300));  // well into the passes
            QElapsedTimer stopping;
            stopping.start();
            ASSERT_EQ(kill(static_cast<pid_t>(process.processId()), signal), 0);
            ASSERT_TRUE(process.waitForFinished(30000));
            EXPECT_LT(stopping.elapsed(), 1000) << study.first().toStdString();
            EXPECT_EQ(process.exitCode(), 128 + signal);
            EXPECT_TRUE(QString(process.readAllStandardError())
                            .contains(QStringLiteral("(%1)").arg(strsignal(signal))));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"s.VAR"});
        }
    }
}

// A disk that takes no more (here a file size limit) ends the sweep, or a
// run's recording, with 73 at the first write that fails, long before the
// last point, and leaves no file.
TEST_F(StudyCommandsTest, AFailedWriteEndsTheRunAtOnce) {
    writeTable("d.VAR", {{"X", "0"}, {"Y", ""}});
    const std::tuple<QString, QString> runs[] = {
        {"--sweep X=0:1:2000000 --csv out.csv", "stopped after point "},
        {"--passes 2000000 --csv out.csv", "stopped after pass "},
    };
    for (const auto& [options, stopped] : runs) {
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start("/bin/sh", {"-c",
                                "trap '' XFSZ; ulimit -f 64; exec \"$0\" --formula-text 'X + 1 = "
                                "Y' --variables d.VAR " +
                                    options,
                                QUANTARO_CLI});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 73);
        const QString message = shell.readAllStandardError();
        EXPECT_TRUE(message.startsWith("out.csv cannot be written: File too large (" + stopped))
            << message.toStdString();
        const qlonglong done = message.section(stopped, 1).section(' ', 0, 0).toLongLong();
        EXPECT_GT(done, 0);
        EXPECT_LT(done, 2000000);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"d.VAR"});
    }
}

}  // namespace
}  // namespace quantaro
