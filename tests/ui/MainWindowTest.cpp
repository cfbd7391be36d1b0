#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>

#include <utility>
#include <vector>

#include "MainWindowFixture.h"
#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"
#include "ui/TFormHelpAbout.h"

#include <sys/stat.h>

namespace quantaro::testing {
namespace {

QString Header(QTableView* view, int column) {
    return view->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

class SettingsTest : public MainWindowTest {
  protected:
    void SetUp() override { ASSERT_TRUE(startDir.isValid()); }

    void writeSettings(const QByteArray& bytes) {
        QFile file(startDir.filePath("Quantaro.cfg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readSettings() {
        QFile file(startDir.filePath("Quantaro.cfg"));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    std::array<bool, 3> options() {
        return {action("RunOption1")->isChecked(), action("RunOption2")->isChecked(),
                action("Showhints1")->isChecked()};
    }
};

TEST_F(MainWindowTest, StartsWithUntitledDocumentsInTheCaption) {
    EXPECT_EQ(window->windowTitle(), "QUANTARO - Untitled.FOR -- Untitled.CON -- Untitled.VAR");
    EXPECT_FALSE(session->documents().anyChanged());
    EXPECT_EQ(session->promptAnswer(), 1);
    EXPECT_TRUE(child<QRadioButton>("RadioButtonDegrees")->isChecked());
    EXPECT_EQ(session->angleUnit(), AngleUnit::Degrees);
    EXPECT_TRUE(child<QLineEdit>("EditVariable")->isHidden());
    EXPECT_TRUE(memo()->hasFocus());
}

// A larger window than the classic layout (checked against the window's
// table elsewhere), its inline editor over the clicked row's value cell, the
// smallest size and the size kept for the next start.
TEST_F(MainWindowTest, TheWindowGrowsFromTheClassicLayoutAndKeepsItsSize) {
    const auto at = [this](const char* name) { return child<QWidget>(name)->geometry(); };
    window->resize(window->size() + QSize(400, 300));
    QApplication::processEvents();
    for (const auto& [name, place] :
         std::vector<std::pair<const char*, QRect>>{{"StringGridOperators", {8, 8, 169, 399}},
                                                    {"ButtonNewLine", {184, 152, 83, 25}},
                                                    {"StringGridVariables", {272, 211, 753, 196}},
                                                    {"MemoFormula", {8, 430, 1017, 271}}}) {
        EXPECT_EQ(at(name), place) << name;
    }
    QTableView* variables = grid("StringGridVariables");
    session->setCell(Document::Variables, NameColumn, 3, "Z");
    ClickCell(variables, 3);
    const QRect cell = variables->visualRect(variables->model()->index(2, 1));
    const QPoint value = variables->viewport()->mapTo(window->centralWidget(), cell.center());
    EXPECT_NEAR(at("EditVariable").center().x(), value.x(), 3);
    EXPECT_NEAR(at("EditVariable").center().y(), value.y(), 2);

    const QSize kept = window->size();
    ASSERT_TRUE(window->close());
    start();
    EXPECT_TRUE(window->restorePlacement());
    EXPECT_EQ(window->size(), kept);
    window->resize(300, 200);
    EXPECT_EQ(window->centralWidget()->size(), QSize(633, 406));
}

TEST(PlaceBesideTest, TakesTheSideThatCoversTheLeastOrCentresBothWhereTheyFit) {
    const QSize loop(300, 250);
    const QRect wide(0, 0, 1280, 900), small(0, 0, 1024, 768);
    const auto corner = [](QSize size, const QRect& beside, const QRect& available,
                           const std::vector<QRect>& others = {}) {
        return PlaceBeside(size, beside, available, others).topLeft();
    };
    EXPECT_EQ(corner(loop, {319, 200, 641, 480}, wide), QPoint(960, 200));   // right
    EXPECT_EQ(corner(loop, {600, 200, 641, 480}, wide), QPoint(300, 200));   // left
    EXPECT_EQ(corner(loop, {191, 144, 641, 480}, small), QPoint(724, 144));  // least covered
    // Beside the main window and clear of the loop window where there is room.
    EXPECT_EQ(corner(loop, {0, 0, 641, 480}, wide, {{641, 0, 300, 250}}), QPoint(0, 480));
    // Larger than the screen: made as large as the screen, on it.
    EXPECT_EQ(PlaceBeside({1600, 1000}, {191, 144, 641, 480}, small), QRect(0, 0, 1024, 768));
    EXPECT_EQ(CentredCorner({641, 480}, loop, small), QPoint(41, 144));
    EXPECT_EQ(CentredCorner({641, 480}, loop, {0, 0, 900, 768}), QPoint(129, 144));
}

TEST_F(MainWindowTest, TabGoesFromTheEditorThroughTheGridsAndButtons) {
    focusEditor();
    QStringList visited;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(visited, QStringList({"StringGridOperators", "ButtonInsertOperator",
                                    "ButtonInsertConstant", "ButtonInsertVariable"}));
}

TEST_F(MainWindowTest, GridsShowTheHeadingsAndEveryRowButTheHiddenSlot) {
    QTableView* operators = grid("StringGridOperators");
    EXPECT_EQ(Header(operators, 0), "Operator");
    EXPECT_EQ(Header(operators, 1), "Operands");
    EXPECT_EQ(operators->model()->rowCount(), 66);
    EXPECT_EQ(operators->model()->index(0, 0).data().toString(), "=");
    EXPECT_EQ(operators->model()->index(65, 0).data().toString(), "XOR");
    EXPECT_EQ(operators->model()->index(65, 1).data().toString(), "2");

    QTableView* constants = grid("StringGridConstants");
    EXPECT_EQ(Header(constants, 0), "Constant");
    EXPECT_EQ(Header(constants, 2), "Units");
    EXPECT_EQ(constants->model()->rowCount(), 99);
    QTableView* variables = grid("StringGridVariables");
    EXPECT_EQ(Header(variables, 0), "Variable");
    EXPECT_EQ(Header(variables, 1), "Value");
    EXPECT_EQ(variables->model()->rowCount(), 99);
}

TEST_F(MainWindowTest, AGridShowsTheStartOfAVeryLongCellInWholeCharacters) {
    // The thousandth byte begins a two-byte character.
    session->setCell(Document::Variables, UnitsColumn, 1, std::string(999, '1') + "\xC3\xA9" + "2");
    session->setCell(Document::Variables, UnitsColumn, 2, std::string(1000, '1'));
    const QAbstractItemModel* model = grid("StringGridVariables")->model();
    EXPECT_EQ(model->index(0, UnitsColumn).data().toString(), QString(999, '1') + QChar(0x2026));
    EXPECT_EQ(model->index(1, UnitsColumn).data().toString(), QString(1000, '1'));
}

TEST_F(MainWindowTest, TheEditCommandsHaveTheirShortcuts) {
    EXPECT_EQ(edit().del->shortcut(), QKeySequence("Ctrl+Del"));
    EXPECT_EQ(edit().redo->shortcut(), QKeySequence("Ctrl+Y"));
}

TEST_F(MainWindowTest, ClickingRadiansThenDegreesLeavesTheFormulaChanged) {
    QTest::mouseClick(child<QRadioButton>("RadioButtonRadians"), Qt::LeftButton);
    EXPECT_EQ(session->angleUnit(), AngleUnit::Radians);
    QTest::mouseClick(child<QRadioButton>("RadioButtonDegrees"), Qt::LeftButton);
    EXPECT_EQ(session->angleUnit(), AngleUnit::Degrees);
    EXPECT_TRUE(session->documents().isChanged(Document::Formula));
}

TEST_F(MainWindowTest, SaveIsEnabledByAnyChangeAndDisabledByTheMenuFindingNone) {
    EXPECT_TRUE(action("Save1")->isEnabled());  // before the menu first opens
    window->File1Click();
    EXPECT_FALSE(action("Save1")->isEnabled());
    session->documents().setChanged(Document::Variables);
    EXPECT_TRUE(action("Save1")->isEnabled());  // at once, not when the menu opens again
}

TEST_F(MainWindowTest, OpeningOptionsAfterACancelledPromptUnchecksPromptOnEveryLoop) {
    action("RunOption1")->trigger();
    EXPECT_TRUE(action("RunOption1")->isChecked());
    window->Options1Click();
    EXPECT_TRUE(action("RunOption1")->isChecked());  // PromptAnswer is still 1
    session->setPromptAnswer(2);
    window->Options1Click();
    EXPECT_FALSE(action("RunOption1")->isChecked());
    EXPECT_EQ(session->promptAnswer(), 1);
}

TEST_F(MainWindowTest, OnlyTheEditorShowsItsHintUntilHintsAreFirstApplied) {
    EXPECT_FALSE(memo()->toolTip().isEmpty());
    EXPECT_TRUE(grid("StringGridOperators")->toolTip().isEmpty());
    EXPECT_TRUE(window->toolTip().isEmpty());

    window->TimerCreateTimer();  // "Show hints" is unchecked
    EXPECT_TRUE(memo()->toolTip().isEmpty());
    EXPECT_EQ(child<QLineEdit>("EditVariable")->toolTip(),
              "Type in the selected variable's new value");
}

TEST_F(MainWindowTest, ActivationStartsTheOneSecondHintTimer) {
    auto* timer = window->findChild<QTimer*>("TimerCreate");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());  // the window was activated at start
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_TRUE(timer->isSingleShot());
    window->TimerCreateTimer();
    EXPECT_FALSE(timer->isActive());
}

TEST_F(MainWindowTest, CopyBackFromAnEmptiedScreenEmptiesEveryRowOfTheMainTable) {
    session->setCell(Document::Constants, NameColumn, 57, "far");
    session->setCell(Document::Constants, ValueColumn, 100, "9");
    NameTable emptied = MakeConstantTable();
    session->acceptRows(Document::Constants, emptied, 0);
    for (int row = 1; row <= 100; ++row) {
        ASSERT_EQ(session->constants().name(row), "") << row;
        ASSERT_EQ(session->constants().value(row), "") << row;
    }
    EXPECT_EQ(session->constants().name(0), "Constant");
    EXPECT_TRUE(session->documents().isChanged(Document::Constants));
    EXPECT_FALSE(session->documents().isChanged(Document::Variables));
    EXPECT_EQ(session->documents().usedRows(Document::Constants), 0);
}

TEST_F(MainWindowTest, CopyBackWritesRowsIncludingTheHiddenSlotAndTheEntryCount) {
    NameTable entered = MakeVariableTable();
    entered.setCell(NameColumn, 1, "V");
    entered.setCell(ValueColumn, 1, "1.5");
    entered.setCell(UnitsColumn, 1, "kg m");
    entered.setCell(NameColumn, 100, "Hidden");
    session->acceptRows(Document::Variables, entered, 1);
    EXPECT_EQ(session->variables().cell(UnitsColumn, 1), "kg m");
    EXPECT_EQ(session->variables().name(100), "Hidden");
    EXPECT_EQ(grid("StringGridVariables")->model()->index(0, 1).data().toString(), "1.5");
    EXPECT_EQ(session->documents().usedRows(Document::Variables), 1);
    EXPECT_TRUE(session->documents().isChanged(Document::Variables));
}

TEST_F(MainWindowTest, F1OpensHelpAtTheFocusedControlsContext) {
    HelpKeyFilter helpKeys(user, session->helpFiles());
    qApp->installEventFilter(&helpKeys);
    focusEditor();
    QTest::keyClick(memo(), Qt::Key_F1);
    grid("StringGridOperators")->setFocus();
    QTest::keyClick(grid("StringGridOperators"), Qt::Key_F1);
    child<QRadioButton>("RadioButtonRadians")->setFocus();
    QTest::keyClick(child<QRadioButton>("RadioButtonRadians"), Qt::Key_F1);
    qApp->removeEventFilter(&helpKeys);

    ASSERT_EQ(user.helpRequests.size(), 3u);
    EXPECT_EQ(user.helpRequests[0].context, 6);
    EXPECT_EQ(user.helpRequests[1].context, 1);
    EXPECT_EQ(user.helpRequests[2].context, 9);
    EXPECT_EQ(user.helpRequests[0].path, session->helpFiles().helpPath());
    EXPECT_EQ(editorText(), "");  // F1 is not typing
}

TEST_F(MainWindowTest, UsingTheProgramOpensTheHelpFileInTheStartUpDirectory) {
    action("About1")->trigger();
    ASSERT_EQ(user.helpRequests.size(), 1u);
    EXPECT_EQ(user.helpRequests[0].path, QDir(startDir.path()).filePath("Quantaro.hlp"));
    EXPECT_EQ(user.helpRequests[0].context, 0);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(SettingsTest, TwoCharactersOneAndZeroCheckOnlyThePromptOption) {
    writeSettings("10");
    start();
    EXPECT_EQ(options(), (std::array<bool, 3>{true, false, false}));
}

TEST_F(SettingsTest, ZeroOneOneChecksTheVariableTableAndHints) {
    writeSettings("011");
    start();
    EXPECT_EQ(options(), (std::array<bool, 3>{false, true, true}));
}

TEST_F(SettingsTest, AnyOtherTextChecksNothing) {
    writeSettings("TRUE");
    start();
    EXPECT_EQ(options(), (std::array<bool, 3>{false, false, false}));
}

TEST_F(SettingsTest, WithoutAFileEveryOptionStartsUncheckedAndNothingIsShown) {
    start();
    EXPECT_EQ(options(), (std::array<bool, 3>{false, false, false}));
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(SettingsTest, OptionsSurviveARestart) {
    start();
    action("RunOption2")->trigger();
    action("Showhints1")->trigger();
    window->close();
    EXPECT_EQ(readSettings(), "011");

    window.reset();
    start();
    EXPECT_EQ(options(), (std::array<bool, 3>{false, true, true}));
    action("RunOption2")->trigger();
    action("RunOption1")->trigger();
    window->close();
    EXPECT_EQ(readSettings(), "101");
}

TEST_F(SettingsTest, ASettingsFileThatCannotBeReadOrWrittenIsReportedAndTheWindowStillCloses) {
    const QString path = startDir.filePath("Quantaro.cfg");
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);  // not waited on
    start();
    EXPECT_EQ(user.boxTexts(), QStringList{path + " is not a regular file"});
    EXPECT_EQ(user.boxes.at(0).kind, BoxKind::Error);
    EXPECT_EQ(options(), (std::array<bool, 3>{false, false, false}));

    user.clear();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(user.boxTexts(), QStringList{path + " is not a regular file"});
    EXPECT_FALSE(QFileInfo(path).isFile());
}

TEST_F(SettingsTest, TheSettingsPathStaysInTheStartUpDirectory) {
    start();
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath());
    window->close();
    QDir::setCurrent(before);
    EXPECT_EQ(readSettings(), "000");
}

TEST_F(MainWindowTest, TheAboutBoxShowsNameVersionAndPurposeWithFocusOnOk) {
    TFormHelpAbout about;
    window->setAboutBox(&about);
    action("About2")->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    EXPECT_EQ(about.windowTitle(), "About QUANTARO");
    EXPECT_FALSE(about.isModal());
    EXPECT_TRUE(about.okButton()->hasFocus());
    QStringList texts;
    for (QLabel* label : about.findChildren<QLabel*>()) texts << label->text();
    EXPECT_TRUE(texts.contains("QUANTARO"));
    EXPECT_TRUE(texts.contains("   Version 1.2   "));
    EXPECT_TRUE(texts.contains("A multiple equation calculating engine"));
    // The About box names no help file.
    EXPECT_EQ(ContextHelp::contextForFocus(about.okButton()), 0);
    about.okButton()->click();
    EXPECT_TRUE(about.isHidden());
}

}  // namespace
}  // namespace quantaro::testing
