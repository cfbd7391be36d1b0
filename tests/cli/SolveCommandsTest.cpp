#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <sstream>
#include <string>

#include "RawFiles.h"
#include "cli/BatchRunner.h"
#include "documents/TableFormat.h"
#include "engine/Numbers.h"

namespace quantaro {
namespace {

class SolveCommandsTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string out;
    std::string err;
    const QString worksheet = QUANTARO_EXAMPLES_DIR "/engineering.FOR";

    QString path(const QString& name) const { return dir.filePath(name); }

    int run(const QStringList& arguments) {
        std::ostringstream o, e;
        const int code = RunBatch(arguments, o, e);
        out = o.str();
        err = e.str();
        return code;
    }

    // The value printed on the line of NAME.
    long double printed(const std::string& name) const {
        const std::size_t line = out.find(name + " = ");
        EXPECT_NE(line, std::string::npos) << name;
        const std::size_t from = line + name.size() + 3;
        return *ParseNumber(out.substr(from, out.find(' ', from) - from));
    }
};

// The launch of the engineering example: a range of 50 m and a peak of 8 m,
// a plain run at the values printed gives the same table, and the variables
// saved hold them; the longest range whose flight lasts at most 3 s has the
// constraint active; a constant input's line comes first.
TEST_F(SolveCommandsTest, SolveAndOptimiseTheLaunch) {
    ASSERT_EQ(run({"--solve", "RANGE=50", "--solve", "HMAX=8", "--by", "V0,ANGLE", worksheet,
                   "--save-variables", path("s.VAR")}),
              0)
        << err;
    EXPECT_NEAR(printed("RANGE"), 50, 2e-13L);
    EXPECT_NEAR(printed("HMAX"), 8, 1e-13L);
    EXPECT_EQ(err.find("quantaro-cli: V0 = "), 0u) << err;
    const std::string solved = out;
    ASSERT_EQ(run({worksheet, "--variables", path("s.VAR")}), 0);
    EXPECT_EQ(out, solved);

    ASSERT_EQ(run({"--maximize", "RANGE", "--by", "ANGLE=0:90", "--subject-to", "TFLIGHT <= 3",
                   worksheet}),
              0)
        << err;
    EXPECT_NEAR(printed("TFLIGHT"), 3, 1e-13L);
    EXPECT_NE(err.find("(limit <= 3, active)"), std::string::npos) << err;

    ASSERT_EQ(
        run({"--minimize", "AREA", "--by", "PI=3:4", "--subject-to", "AREA>=0.08", worksheet}), 0)
        << err;
    EXPECT_EQ(out.substr(0, 5), "PI = ");
}

TEST_F(SolveCommandsTest, NoSolutionIsTwelveAndBadOptionsAreSixtyFourNamingTheFault) {
    EXPECT_EQ(run({"--solve", "RANGE=500", "--by", "ANGLE", "--bounds", "ANGLE=0:90", worksheet,
                   "--save-variables", path("n.VAR")}),
              12);
    EXPECT_EQ(err.find("quantaro-cli: No value of ANGLE makes RANGE = 500: "), 0u) << err;
    EXPECT_EQ(out, "");
    EXPECT_FALSE(QFile::exists(path("n.VAR")));
    EXPECT_EQ(
        run({"--maximize", "RANGE", "--by", "ANGLE=0:90", "--subject-to", "HMAX>=100", worksheet}),
        12);
    EXPECT_NE(err.find("satisfy HMAX >= 100"), std::string::npos) << err;
    EXPECT_EQ(run({"--formula-text", "ANGLE LN = HMAX", "--variables",
                   QUANTARO_EXAMPLES_DIR "/engineering.VAR", "--minimize", "HMAX", "--by",
                   "ANGLE=-5:-1"}),
              12);
    EXPECT_EQ(err.find("quantaro-cli: The formula fails at every value tried (Equation 1: "), 0u)
        << err;

    QStringList many;
    for (int k = 0; k < 21; ++k)
        many << "--solve"
             << "RANGE=1";
    const std::tuple<QStringList, const char*> cases[] = {
        {many + QStringList{"--by", "ANGLE"}, "--solve given more than 20 times"},
        {{"--solve", "RANGE=1", "--by", "ANGLE,V0"}, "1 target cannot fix 2 inputs"},
        {{"--solve", "g=1", "--by", "ANGLE"}, "\"g\" is not a variable of the variable table"},
        {{"--solve", "RANGE=1", "--solve", "HMAX=1", "--by", "ANGLE,angle"},
         "\"angle\" is given twice as an input"},
        {{"--solve", "RANGE=1", "--by", "ANGLE", "--bounds", "ANGLE=5:1"},
         "--bounds ANGLE: LO '5' is above HI '1'"},
        {{"--solve", "RANGE=1", "--by", "ANGLE", "--bounds", "V0=0:1"},
         "--bounds V0: not one of the --by inputs"},
        {{"--solve", "RANGE", "--by", "ANGLE"}, "--solve takes RESULT=TARGET"},
        {{"--solve", "RANGE=1", "--sweep", "ANGLE=0:1:2", "--by", "ANGLE", "--csv", "x.csv"},
         "--sweep and --solve exclude each other"},
        {{"--solve", "RANGE=1"}, "--solve needs --by NAME[,NAME...]"},
        {{"--bounds", "ANGLE=0:1"}, "--bounds needs --solve"},
        {{"--by", "ANGLE"}, "--by needs --seek or --solve or --minimize or --maximize"},
        {{"--minimize", "RANGE", "--maximize", "RANGE", "--by", "ANGLE=0:1"},
         "--minimize and --maximize exclude each other"},
        {{"--minimize", "RANGE", "--by", "ANGLE"}, "--by takes NAME=LO:HI, not 'ANGLE'"},
        {{"--minimize", "RANGE", "--by", "ANGLE=0:1", "--subject-to", "HMAX<=x"},
         "--subject-to HMAX: VALUE 'x' is not a number"},
        {{"--minimize", "RANGE", "--by", "ANGLE=0:1", "--subject-to", "HMAX"},
         "--subject-to takes RESULT<=VALUE, RESULT>=VALUE or RESULT=VALUE, not 'HMAX'"},
        {{"--minimize", "RANGE", "--by", "ANGLE=1:1"}, "lower bound of \"ANGLE\" must be below"},
        {{"--minimize", "RANGE", "--by", "ANGLE=0:1", "--seed", "4"}, "--seed needs --starts"},
        {{"--maximize", "RANGE", "--by", "ANGLE=0:1", "--starts", "0"},
         "--starts takes a whole number from 1 to 1000, not '0'"},
        {{"--subject-to", "HMAX<=1"}, "--subject-to needs --minimize or --maximize"},
    };
    for (const auto& [options, fault] : cases) {
        const std::string what = options.join(' ').toStdString();
        EXPECT_EQ(run(options + QStringList{worksheet}), 64) << what;
        EXPECT_NE(err.find(fault), std::string::npos) << what << "\n" << err;
        EXPECT_EQ(out, "") << what;
    }
}

}  // namespace
}  // namespace quantaro
