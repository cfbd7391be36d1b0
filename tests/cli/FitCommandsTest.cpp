#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sstream>
#include <string>

#include "cli/BatchRunner.h"
#include "documents/TableFormat.h"
#include "engine/Worksheet.h"

namespace quantaro {
namespace {

class FitCommandsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string out;
    std::string err;

    QString write(const QString& name, const std::string& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return file.fileName();
    }

    int run(QStringList arguments) {
        std::ostringstream o, e;
        const int code = RunBatch(arguments, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
};

// A line through exact data, its parameters variables of the table, which
// --save-variables keeps; then the faults of a file and of a fit, each with
// its exit status and a message naming it.
TEST_F(FitCommandsTest, FitsALineAndNamesEachFault) {
    NameTable variables = MakeVariableTable();
    const char* const rows[][2] = {{"A", "1"}, {"B", "0"}, {"X", "0"}, {"Y", ""}};
    for (int row = 1; row <= 4; ++row) {
        variables.setCell(NameColumn, row, rows[row - 1][0]);
        variables.setCell(ValueColumn, row, rows[row - 1][1]);
    }
    const QString table = write("line.VAR", SerializeTableFile(variables));
    const QString data = write("line.csv", "x,y\n1,1.25\n2,3.75\n3,6.25\n4,8.75\n5,11.25\n");
    const QStringList line{"--variables", table, "--formula-text", "A * X + B = Y"};
    const QString saved = dir.filePath("fitted.VAR");
    ASSERT_EQ(
        run(QStringList{"--fit", data, "--estimate", "A,B", "--save-variables", saved} + line), 0)
        << err;
    EXPECT_EQ(out.find("A = 2.5 ± "), 0u) << out;
    EXPECT_NE(out.find("\nB = -1.25 ± "), std::string::npos) << out;
    EXPECT_NE(out.find("\nDegrees of freedom = 3\n"), std::string::npos) << out;
    ASSERT_EQ(run(QStringList{"--variables", saved, "--formula-text", "A * X + B = Y"}), 0) << err;
    EXPECT_EQ(out.find("A = 2.5 \nB = -1.25 \n"), 0u) << out;

    const QString bad = write("bad.csv", "x,y\n1,1\n2,abc\n");
    EXPECT_EQ(run(QStringList{"--fit", bad, "--estimate", "A,B"} + line), kExitUsage);
    EXPECT_NE(err.find("bad.csv: Row 2, column 2 (y): \"abc\" is not a number"), std::string::npos)
        << err;
    EXPECT_EQ(run(QStringList{"--fit", dir.filePath("none.csv"), "--estimate", "A"} + line),
              kExitMissingFile);
    EXPECT_EQ(run(QStringList{"--fit", data, "--estimate", "A", "--match", "Y=z"} + line),
              kExitUsage);
    EXPECT_NE(err.find("The data has no column \"z\""), std::string::npos) << err;
    EXPECT_EQ(
        run(QStringList{"--fit", data, "--estimate", "A", "--weights", "x", "--sigma", "x"} + line),
        kExitUsage);
    EXPECT_NE(err.find("--weights and --sigma exclude each other"), std::string::npos) << err;
    const QStringList logarithm{"--variables", table, "--formula-text", "X LN * A + B = Y"};
    const QString negative = write("negative.csv", "x,y\n1,1\n-2,2\n3,3\n");
    EXPECT_EQ(run(QStringList{"--fit", negative, "--estimate", "A,B"} + logarithm),
              kExitNoSolution);
    EXPECT_NE(err.find("1 of 3 rows at the start: row 2: Equation 1"), std::string::npos) << err;
    EXPECT_EQ(
        run(QStringList{"--fit", negative, "--estimate", "A", "--skip-failing-rows"} + logarithm),
        0)
        << err;
    EXPECT_NE(err.find("warning: row 2 left out"), std::string::npos) << err;
}

}  // namespace
}  // namespace quantaro
