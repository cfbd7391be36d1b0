#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "DesktopProgramFixture.h"
#include "WidgetTesting.h"
#include "commands/DocumentCommands.h"
#include "engine/Engine.h"
#include "interaction/ReadableColours.h"
#include "interaction/UserSettings.h"
#include "tables/TFormConstants.h"
#include "tables/TFormVariables.h"
#include "ui/DesktopCommandLine.h"
#include "ui/TFormCalculator.h"
#include "ui/TFormHelpAbout.h"

namespace quantaro::testing {
namespace {

class DesktopProgramTest : public DesktopProgramFixture {
  protected:
    static void enter(QLineEdit* edit, const char* text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(text));
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

TEST_F(DesktopProgramTest, EveryGridHeadingReadsInFullInItsColumn) {
    for (QWidget* window : {static_cast<QWidget*>(&main()), program->constantScreen().window()}) {
        for (const QTableView* grid : window->findChildren<QTableView*>()) {
            const QHeaderView* header = grid->horizontalHeader();
            for (int column = 0; column < header->count(); ++column) {
                EXPECT_LE(header->sectionSizeHint(column), header->sectionSize(column))
                    << grid->objectName().toStdString() << " column " << column;
            }
        }
    }
}

TEST_F(DesktopProgramTest, EntriesAcceptedOnTheScreensReachTheMainGridsAndTheEngine) {
    TFormCalculator& main = program->mainWindow();
    main.Constants1Click();
    TFormConstants& constants = program->constantScreen();
    MakeActive(constants);
    enter(constants.EditConstantName, "g");
    enter(constants.EditConstantValue, "9.81");
    enter(constants.EditConstantUnit, "m/s^2");  // ENTER here adds the entry
    constants.ButtonOK->click();
    EXPECT_TRUE(constants.isHidden());

    main.Variables1Click();
    TFormVariables& variables = program->variableScreen();
    MakeActive(variables);
    enter(variables.EditVariableName, "t");
    enter(variables.EditVariableValue, "2");
    enter(variables.EditVariableUnit, "s");
    enter(variables.EditVariableName, "fall");
    enter(variables.EditVariableValue, "0");
    enter(variables.EditVariableUnit, "m");
    variables.ButtonOK->click();
    ASSERT_TRUE(user.boxes.empty()) << user.boxes.front().text.toStdString();

    EXPECT_EQ(session().constants().name(1), "g");
    EXPECT_EQ(session().constants().cell(UnitsColumn, 1), "m/s^2");
    EXPECT_EQ(session().variables().name(2), "fall");
    EXPECT_EQ(session().documents().usedRows(Document::Constants), 1);
    EXPECT_EQ(session().documents().usedRows(Document::Variables), 2);
    EXPECT_TRUE(session().documents().isChanged(Document::Constants));
    EXPECT_TRUE(session().documents().isChanged(Document::Variables));

    // Left to right: ((t ^2) * g) / 2.
    Worksheet sheet = session().worksheetCopy();
    sheet.setFormula("t ^2 * g / 2 = fall");
    EXPECT_TRUE(Engine(sheet).ExecuteEquations(0).succeeded());
    EXPECT_EQ(sheet.variables.value(2), "19.62");
}

TEST_F(DesktopProgramTest, ShowHintsSwitchesTheHintsOfWindowsThatAreNotOpen) {
    TFormConstants& constants = program->constantScreen();
    TFormVariables& variables = program->variableScreen();
    EXPECT_TRUE(constants.isHidden());
    EXPECT_TRUE(constants.EditConstantName->toolTip().isEmpty());

    program->mainWindow().findChild<QAction*>("Showhints1")->trigger();
    EXPECT_EQ(constants.toolTip(), "Press F1 for help");
    EXPECT_EQ(constants.EditConstantUnit->toolTip(), "Units are optional.  Press ENTER");
    EXPECT_EQ(variables.EditVariableUnit->toolTip(), "Units are optional, press ENTER");
    EXPECT_EQ(variables.EditMode->toolTip(),
              "You are either adding a new variable or changing one");

    program->mainWindow().findChild<QAction*>("Showhints1")->trigger();
    EXPECT_TRUE(variables.EditMode->toolTip().isEmpty());
    EXPECT_TRUE(constants.toolTip().isEmpty());
}

TEST_F(DesktopProgramTest, TheAboutItemShowsTheAboutBoxWithoutMakingItModal) {
    program->mainWindow().findChild<QAction*>("About2")->trigger();
    EXPECT_TRUE(program->aboutBox().isVisible());
    EXPECT_FALSE(program->aboutBox().isModal());
}

TEST_F(DesktopProgramTest, F1ReachesHelpFromTheEntryScreensButNotFromTheAboutBox) {
    program->mainWindow().Constants1Click();
    TFormConstants& constants = program->constantScreen();
    MakeActive(constants);
    constants.ButtonConstantChange->setFocus();
    QTest::keyClick(constants.ButtonConstantChange, Qt::Key_F1);
    constants.EditConstantValue->setFocus();
    QTest::keyClick(constants.EditConstantValue, Qt::Key_F1);

    program->mainWindow().findChild<QAction*>("About2")->trigger();
    MakeActive(program->aboutBox());
    program->aboutBox().okButton()->setFocus();
    QTest::keyClick(program->aboutBox().okButton(), Qt::Key_F1);

    ASSERT_EQ(user.helpRequests.size(), 2u);
    EXPECT_EQ(user.helpRequests[0].context, 20);
    EXPECT_EQ(user.helpRequests[1].context, 18);
    EXPECT_EQ(user.helpRequests[1].path, session().helpFiles().helpPath());
}

// Every colour the formula is drawn in reads on the ground under it, in a
// light palette and in a dark one (GTK's Adwaita themes as Qt takes them)
// that replaces it while the program runs.
TEST_F(DesktopProgramTest, FormulaColoursReadInLightAndDarkPalettes) {
    NameTable names = MakeVariableTable();
    names.setCell(NameColumn, 1, "X");
    session().acceptRows(Document::Variables, names, 1);
    auto* memo = child<QPlainTextEdit>(main(), "MemoFormula");
    memo->setPlainText(QStringLiteral("2 * X = X  2Q = X"));
    const QPalette before = QApplication::palette();
    for (const auto& [name, window, base, text] :
         {std::tuple{"light", 0xefefef, 0xffffff, 0x000000},
          std::tuple{"dark", 0x323232, 0x242424, 0xf0f0f0}}) {
        QPalette palette = before;
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::Base, base);
        palette.setColor(QPalette::Text, text);
        QApplication::setPalette(palette);
        QApplication::processEvents();  // the widgets take the palette up
        const auto ranges = memo->document()->firstBlock().layout()->formats();
        EXPECT_EQ(ranges.size(), 8) << name;  // "2Q" is only underlined
        for (const QTextLayout::FormatRange& range : ranges) {
            const QTextCharFormat& format = range.format;
            const QColor colour = format.underlineStyle() == QTextCharFormat::SpellCheckUnderline
                                      ? format.underlineColor()
                                      : format.foreground().color();
            const QColor ground = format.background().style() ? format.background().color() : base;
            EXPECT_GE(ContrastRatio(colour, ground), kReadableContrast)
                << name << ": " << memo->toPlainText().mid(range.start, range.length).toStdString()
                << ' ' << colour.name().toStdString() << " on " << ground.name().toStdString();
        }
    }
    QApplication::setPalette(before);
}

// quantaro ... examples/engineering.FOR, as a shell in the source folder
// starts it: a missing worksheet is said so in one box and names nothing, a
// file of no known type and a missing table are reported, and the worksheet
// opens as Open All opens it, named by absolute paths, and joins the recent
// worksheets.
TEST_F(DesktopProgramTest, OpensTheFilesNamedOnTheCommandLine) {
    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QUANTARO_SOURCE_DIR));
    program->open(ParseDesktopCommandLine({"quantaro", "missing.FOR"}).files);
    EXPECT_EQ(main().windowTitle(), "QUANTARO - Untitled.FOR -- Untitled.CON -- Untitled.VAR");
    EXPECT_EQ(session().documents().fileName(Document::Formula), "Untitled.FOR");
    EXPECT_EQ(user.boxTexts(), QStringList{"missing.FOR, missing.CON and missing.VAR do not "
                                           "exist; nothing was opened."});
    user.clear();
    const DesktopCommandLine commandLine = ParseDesktopCommandLine(
        {"quantaro", "examples/README.md", "missing.CON", "examples/engineering.FOR"});
    program->open(commandLine.files);
    QDir::setCurrent(previousDir);

    const QString examples = QUANTARO_SOURCE_DIR "/examples/";
    EXPECT_EQ(main().windowTitle(),
              "QUANTARO - engineering.FOR -- engineering.CON -- engineering.VAR");
    EXPECT_EQ(session().documents().fileName(Document::Formula), examples + "engineering.FOR");
    EXPECT_TRUE(session().formulaText().startsWith("V0 * ( COS ANGLE ) = VX"));
    EXPECT_EQ(session().constants().name(1), "g");
    EXPECT_EQ(user.boxTexts(), QStringList({"examples/README.md is not a formula (.FOR), "
                                            "constant (.CON) or variable (.VAR) file.",
                                            "missing.CON does not exist; nothing was opened."}));
    EXPECT_EQ(main().documentCommands().recentWorksheets().paths().value(0),
              examples + "engineering.FOR");
}

// The user's settings store as a FIFO would hang start-up; a device, a link
// to one, or a lock file that is no regular file would be replaced or waited
// on at Exit. The program starts and ends all the same, says once why, and
// leaves each node as it was. Devices are made here, by root only, so that a
// fault cannot reach the system's own.
TEST(UserSettingsStoreTest, AStoreThatIsNoRegularFileIsLeftAloneAndSaidOnce) {
    const QByteArray store = QFile::encodeName(UserSettingsPath());
    const QByteArray device = store + ".device";
    ASSERT_TRUE(QDir().mkpath(QFileInfo(UserSettingsPath()).path()));
    const bool root = mknod(device.constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::pair<QByteArray, std::function<int(const char*)>> nodes[] = {
        {store, [](const char* path) { return mkfifo(path, 0600); }},
        {store + ".lock", [](const char* path) { return mkfifo(path, 0600); }},
        {store, [&](const char* path) { return root ? symlink(device, path) : -1; }},
        {store, [&](const char* path) { return root ? mknod(path, S_IFCHR, makedev(1, 3)) : -1; }},
    };
    for (const auto& [path, make] : nodes) {
        if (make(path.constData()) != 0) continue;
        struct stat before {
        }, after{};
        lstat(path.constData(), &before);
        ScriptedInteraction user;
        {
            QTemporaryDir startDir;
            DesktopProgram program(user, startDir.path());
            program.show();
            QApplication::processEvents();
            EXPECT_TRUE(program.mainWindow().isVisible());
            program.mainWindow().findChild<QAction*>("HighlightEquations1")->trigger();
            EXPECT_TRUE(program.mainWindow().close());
        }
        EXPECT_EQ(user.boxes.size(), 1u) << path.toStdString();
        EXPECT_TRUE(user.onlyBoxText().startsWith("Your settings cannot be read: "));
        ASSERT_EQ(lstat(path.constData(), &after), 0);
        EXPECT_EQ(std::pair(after.st_mode, after.st_rdev),
                  std::pair(before.st_mode, before.st_rdev));
        EXPECT_TRUE(!root || (stat(device.constData(), &after) == 0 && S_ISCHR(after.st_mode)));
        unlink(path.constData());
    }
    unlink(device.constData());
}

}  // namespace
}  // namespace quantaro::testing
