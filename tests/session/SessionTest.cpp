#include "session/Session.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include "engine/Engine.h"
#include "session/ContinuousLoop.h"
#include "session/FormulaRuns.h"

namespace quantaro {
namespace {

// A session started in an empty folder, with every signal it sends logged.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest() {
        const auto log = [this](const char* what) {
            return [this, what](Document table) {
                heard << QStringLiteral("%1 %2").arg(
                    what, table == Document::Constants ? "constants" : "variables");
            };
        };
        QObject::connect(&session, &Session::namesChanged, log("names"));
        QObject::connect(&session, &Session::valuesChanged, log("values"));
        QObject::connect(&session, &Session::rowsReplaced, log("replaced"));
        QObject::connect(&session, &Session::tableOpened, log("opened"));
        QObject::connect(&session, &Session::angleUnitChanged, [this] { heard << "unit"; });
        QObject::connect(&session, &Session::angleUnitSelected,
                         [this] { heard << "unit selected"; });
        QObject::connect(&session, &Session::optionsChanged, [this] { heard << "options"; });
        QObject::connect(
            &session.documents(), &DocumentState::changedFlagSet,
            [this](Document document, bool changed) {
                static const char* const names[] = {"formula", "constants", "variables"};
                if (changed)
                    heard << QStringLiteral("%1 changed").arg(names[static_cast<int>(document)]);
            });
    }

    QTemporaryDir startDir;
    Session session{startDir.path()};
    QStringList heard;
};

// The windows redraw a grid on "values", cut the formula again on "names",
// forget what they showed of the old rows on "replaced" and show the rows
// from the first on "opened". Each change marks the documents it makes
// differ from their files, and only those.
TEST_F(SessionTest, EachChangeTellsTheWindowsWhatChanged) {
    NameTable accepted = MakeConstantTable();
    accepted.setCell(NameColumn, 1, "g");
    NameTable opened = MakeVariableTable();
    opened.setCell(NameColumn, 1, "t");
    struct Step {
        const char* what;
        std::function<void()> change;
        QStringList told;
    };
    const Step steps[] = {
        {"a value",
         [&] { session.setCell(Document::Variables, ValueColumn, 1, "1"); },
         {"values variables", "variables changed"}},
        {"a name",
         [&] { session.setCell(Document::Variables, NameColumn, 1, "X"); },
         {"names variables", "values variables", "variables changed"}},
        {"accepted rows",
         [&] { session.acceptRows(Document::Constants, accepted, 1); },
         {"constants changed", "replaced constants", "names constants", "values constants"}},
        {"a file",
         [&] { session.openTable(Document::Variables, opened); },
         {"replaced variables", "names variables", "values variables", "opened variables"}},
        {"New",
         [&] { session.emptyTable(Document::Variables); },
         {"replaced variables", "names variables", "values variables", "opened variables"}},
        {"a click on the unit shown",
         [&] { session.setAngleUnit(AngleUnit::Degrees); },
         {"formula changed"}},
        {"a unit read from a file",
         [&] { session.selectAngleUnit(AngleUnit::Radians); },
         {"formula changed", "unit", "unit selected"}},
        {"the unit read again",
         [&] { session.selectAngleUnit(AngleUnit::Radians); },
         {"unit selected"}},
        {"an option",
         [&] { session.setOption(&SessionOptions::promptOnEveryLoop, true); },
         {"options"}},
        {"the prompt cancelled, then the Options menu",
         [&] {
             session.setPromptAnswer(2);
             session.optionsMenuOpened();
         },
         {"options"}},
        {"an edit in the editor", [&] { session.formulaEditing(); }, {"formula changed"}},
        {"the loop shown", [&] { session.loop().shown(); }, {"variables changed"}},
        {"a run that fails",
         [&] { session.runs().runCommand(0); },
         {"variables changed", "values variables"}},
        {"a text read from a file", [&] { session.setFormulaText(QStringLiteral("1 = X")); }, {}},
    };
    for (const Step& step : steps) {
        for (Document document : {Document::Formula, Document::Constants, Document::Variables}) {
            session.documents().setChanged(document, false);
        }
        heard.clear();
        step.change();
        EXPECT_EQ(heard.join(", ").toStdString(), step.told.join(", ").toStdString()) << step.what;
    }
    EXPECT_EQ(session.documents().usedRows(Document::Constants), 1);
    EXPECT_FALSE(session.options().promptOnEveryLoop);
    EXPECT_EQ(session.promptAnswer(), 1);
}

// A run calls for a box by a signal: its failure's, or after a success the
// completion prompt's, only while the option is ticked.
TEST_F(SessionTest, ARunSignalsTheBoxItsOutcomeCallsFor) {
    QStringList due;
    QObject::connect(&session, &Session::runFailed,
                     [&](const RunOutcome& outcome) { due << outcome.message.c_str(); });
    QObject::connect(&session, &Session::completionPromptDue, [&] { due << "prompt"; });
    session.setOption(&SessionOptions::promptOnEveryLoop, true);
    session.runs().runPass(0);  // of the empty formula
    session.setCell(Document::Variables, NameColumn, 1, "X");
    session.setFormulaText(QStringLiteral("1 = X"));
    session.runs().runPass(0);
    session.setOption(&SessionOptions::promptOnEveryLoop, false);
    session.runs().runPass(0);
    EXPECT_EQ(due.join(", ").toStdString(), "Empty formula, prompt");
}

// What a window such as a what-if study works on: the formula and unit as
// they are now, in tables of its own.
TEST_F(SessionTest, AWorksheetCopyRunsTheFormulaAsItIsWithoutTouchingTheSession) {
    session.setCell(Document::Variables, NameColumn, 1, "Y");
    session.setFormulaText(QStringLiteral("ARCSIN 1 = Y\r\n"));
    session.setAngleUnit(AngleUnit::Radians);
    for (Document document : {Document::Formula, Document::Variables}) {
        session.documents().setChanged(document, false);
    }
    Worksheet copy = session.worksheetCopy();
    ASSERT_TRUE(Engine(copy).ExecuteEquations(0).succeeded());
    EXPECT_EQ(copy.variables.value(1), "1.5707963267949");
    EXPECT_EQ(session.variables().value(1), "");
    EXPECT_FALSE(session.documents().anyChanged());
    EXPECT_EQ(session.formulaText(), "ARCSIN 1 = Y\r\n");
}

}  // namespace
}  // namespace quantaro
