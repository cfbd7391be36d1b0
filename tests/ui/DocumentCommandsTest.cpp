#include <QDir>
#include <QMenu>
#include <QRadioButton>

#include "MainWindowFixture.h"
#include "RawFiles.h"
#include "commands/DocumentCommands.h"
#include "commands/RecentWorksheetsMenu.h"
#include "interaction/ContextHelp.h"
#include "interaction/QtUserInteraction.h"
#include "session/ContinuousLoop.h"

namespace quantaro::testing {
namespace {

const std::string kEmptyTableFile = [] {
    std::string bytes;
    for (int row = 1; row <= 100; ++row) bytes += "  \r\n";
    return bytes;
}();

NameTable OneRowTable(NameTable table, int row, const char* name, const char* value) {
    table.setCell(NameColumn, row, name);
    table.setCell(ValueColumn, row, value);
    table.setCell(UnitsColumn, row, "kg m");
    return table;
}

// A main window whose working directory, where untitled documents are
// written, is its start-up directory.
class DocumentCommandsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(startDir.isValid());
        previousDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(startDir.path()));
        start();
    }
    void TearDown() override { QDir::setCurrent(previousDir); }

    QString file(const char* name) { return startDir.filePath(QLatin1String(name)); }
    QStringList filesWritten() { return QDir(startDir.path()).entryList(QDir::Files); }
    DocumentState& documents() { return session->documents(); }
    DocumentCommands& commands() { return window->documentCommands(); }

    void typeFormula(const char* text) {
        focusEditor();
        QTest::keyClicks(memo(), QLatin1String(text));
    }
    void changeAllDocuments() {
        typeFormula("A = X");
        session->acceptRows(Document::Constants, OneRowTable(MakeConstantTable(), 1, "g", "9.81"),
                            1);
        session->acceptRows(Document::Variables, OneRowTable(MakeVariableTable(), 2, "t", "2"), 2);
    }

    QString previousDir;
};

// Each pop-up shows beside the File menu, wherever the window is.
TEST_F(DocumentCommandsTest, FileMenuItemsAndCtrlSPopUpTheirMenusBesideTheFileMenu) {
    focusEditor();
    QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier);  // the formula is untitled
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget()->objectName(), "PopupMenuSave");
    QApplication::activePopupWidget()->hide();

    // The items of each pop-up menu are checked against the menus' tables.
    const std::pair<const char*, const char*> popups[] = {{"New1", "PopupMenuNew"},
                                                          {"Open1", "PopupMenuOpen"},
                                                          {"SaveAs1", "PopupMenuSave"},
                                                          {"Print1", "PopupMenuPrint"}};
    for (const auto& [item, popup] : popups) {
        QPoint placed[2];
        for (QPoint& at : placed) {
            window->move(&at == placed ? QPoint(0, 0) : QPoint(60, 40));
            action(item)->trigger();
            QWidget* shown = QApplication::activePopupWidget();
            ASSERT_NE(shown, nullptr) << item;
            EXPECT_EQ(shown->objectName(), popup);
            at = shown->pos() - window->mapToGlobal(QPoint());
            shown->hide();
        }
        EXPECT_EQ(placed[0], placed[1]) << item;
        EXPECT_GE(placed[0].x(), child<QMenu>("File1")->actionGeometry(action(item)).width());
    }
    EXPECT_TRUE(filesWritten().isEmpty());
}

TEST_F(DocumentCommandsTest, ClosingWithNoChangesAsksNothingAndWritesOnlyTheSettings) {
    action("Exit1")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_EQ(filesWritten(), QStringList{"Quantaro.cfg"});
}

TEST_F(DocumentCommandsTest, ClosingWithOnlyTheVariablesChangedAsksOnce) {
    session->acceptRows(Document::Variables, MakeVariableTable(), 0);
    user.answers = {BoxAnswer::No};
    EXPECT_TRUE(window->close());
    ASSERT_EQ(user.boxTexts(), QStringList{"Save Changes to Untitled.VAR ?"});
    EXPECT_EQ(user.boxes[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_EQ(filesWritten(), QStringList{"Quantaro.cfg"});
}

TEST_F(DocumentCommandsTest, CancelAtTheConstantsPromptKeepsTheWindowOpenAndTheFormulaSaved) {
    changeAllDocuments();
    user.answers = {BoxAnswer::Yes, BoxAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(user.boxTexts(),
              QStringList({"Save Changes to Untitled.FOR ?", "Save Changes to Untitled.CON ?"}));
    EXPECT_EQ(ReadRaw(file("Untitled.FOR")), "0A = X\r\n");
    EXPECT_FALSE(documents().isChanged(Document::Formula));
    EXPECT_TRUE(documents().isChanged(Document::Constants));
    EXPECT_EQ(filesWritten(), QStringList{"Untitled.FOR"});  // no settings yet
}

TEST_F(DocumentCommandsTest, SaveAfterSaveFormulaFileAsWritesItAndTheUntitledTables) {
    ASSERT_TRUE(QDir(startDir.path()).mkdir("A"));
    typeFormula("Y * 2 = X");
    user.chosenFiles = {file("A/X.FOR")};
    action("SaveFormulaFileAs1")->trigger();
    const FileDialogOptions& dialog = user.fileRequests.at(0).options;
    EXPECT_EQ(QStringList({dialog.title, dialog.filter, dialog.defaultSuffix, dialog.initialName}),
              QStringList({"Save File", "Formula File (*.FOR *.for)", "FOR", "Untitled.FOR"}));
    EXPECT_EQ(window->windowTitle(), "QUANTARO - X.FOR -- Untitled.CON -- Untitled.VAR");
    EXPECT_FALSE(documents().isChanged(Document::Formula));

    action("Save1")->trigger();
    EXPECT_EQ(ReadRaw(file("A/X.FOR")), "0Y * 2 = X\r\n");
    EXPECT_EQ(ReadRaw(file("Untitled.CON")), kEmptyTableFile);
    EXPECT_EQ(ReadRaw(file("Untitled.VAR")), kEmptyTableFile);
    EXPECT_TRUE(user.boxes.empty());
}

TEST_F(DocumentCommandsTest, OpenAllWithTheConstantFileMissingLoadsTheOtherTwo) {
    WriteRaw(file("X.FOR"), "1B = Y\r\n");
    WriteRaw(file("X.VAR"), "t 2 s\r\n" + kEmptyTableFile.substr(4));
    session->setCell(Document::Constants, NameColumn, 1, "kept");
    documents().setChanged(Document::Constants, false);  // nothing to save first
    user.chosenFiles = {file("X.FOR")};
    action("OpenAll1")->trigger();
    EXPECT_EQ(user.fileRequests.at(0).options.title, "Open File");
    EXPECT_EQ(user.onlyBoxText(), "The constant file does not exist ");
    EXPECT_EQ(window->windowTitle(), "QUANTARO - X.FOR -- X.CON -- X.VAR");
    EXPECT_EQ(session->formulaText(), "B = Y\r\n");
    EXPECT_EQ(session->angleUnit(), AngleUnit::Radians);
    EXPECT_EQ(session->constants().name(1), "kept");
    EXPECT_EQ(session->documents().usedRows(Document::Variables), 1);
    EXPECT_EQ(grid("StringGridVariables")->model()->index(0, 2).data().toString(), "s");
}

TEST_F(DocumentCommandsTest, FilesReadAsLatin1AreSavedInLatin1WhileEveryCharacterFits) {
    const std::string table =
        "T 20 \xB0"
        "C\r\n" +
        kEmptyTableFile.substr(4);
    WriteRaw(file("L.FOR"), "0\xB5X = Y");  // the writer adds CR LF
    WriteRaw(file("L.CON"), table);
    WriteRaw(file("L.VAR"), table);
    user.chosenFiles = {file("L.FOR")};
    action("OpenAll1")->trigger();
    ASSERT_EQ(session->variables().cell(UnitsColumn, 1),
              "\xC2\xB0"
              "C");
    session->setCell(Document::Variables, UnitsColumn, 2, "\xE2\x82\xAC");  // no Latin-1 code
    window->Save1Click();
    EXPECT_EQ(ReadRaw(file("L.FOR")), "0\xB5X = Y\r\n");
    EXPECT_EQ(ReadRaw(file("L.CON")), table);
    EXPECT_EQ(ReadRaw(file("L.VAR")).substr(0, 17),
              "T 20 \xC2\xB0"
              "C\r\n  \xE2\x82\xAC\r\n");
}

TEST_F(DocumentCommandsTest, TheFormulaReaderSelectsTheUnitAsAClickWouldOrReportsAFailure) {
    WriteRaw(file("D.FOR"), "0");
    WriteRaw(file("R.FOR"), "x1");
    commands().OpenFormulaFile(file("D.FOR"));
    EXPECT_FALSE(documents().isChanged(Document::Formula));  // the unit did not change
    EXPECT_TRUE(child<QRadioButton>("RadioButtonDegrees")->hasFocus());
    EXPECT_TRUE(button("ButtonClear")->isEnabled());
    EXPECT_TRUE(edit().selectAll->isEnabled());
    commands().OpenFormulaFile(file("R.FOR"));
    EXPECT_TRUE(child<QRadioButton>("RadioButtonRadians")->hasFocus());
    EXPECT_TRUE(documents().isChanged(Document::Formula));
    EXPECT_EQ(editorText(), "1");
    EXPECT_EQ(history().undoCount, 0);

    ASSERT_TRUE(QDir(startDir.path()).mkdir("Dir.FOR"));  // exists, cannot be read
    const QString caption = window->windowTitle();
    commands().OpenFormulaFile(file("none.FOR"));
    commands().OpenFormulaFile(file("Dir.FOR"));
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].text, "The formula file does not exist ");
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Warning);
    EXPECT_EQ(user.boxes[1].kind, BoxKind::Error);
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(window->windowTitle(), caption);
}

TEST_F(DocumentCommandsTest, OpenOnlyAsksNothingAndLoadsOnlyAFileThatExists) {
    WriteRaw(file("Y.FOR"), "0B = Y\r\n");
    typeFormula("A = X");
    session->setCell(Document::Constants, NameColumn, 1, "kept");
    user.chosenFiles = {file("Y.FOR"), file("New.CON")};
    action("OpenFormulaFileOnly1")->trigger();
    action("OpenConstantFileOnly1")->trigger();
    EXPECT_TRUE(user.boxes.empty());
    EXPECT_EQ(session->formulaText(), "B = Y\r\n");
    EXPECT_TRUE(documents().isChanged(Document::Formula));
    EXPECT_EQ(documents().fileName(Document::Constants), file("New.CON"));
    EXPECT_EQ(session->constants().name(1), "kept");
}

TEST_F(DocumentCommandsTest, NewAllPromptsForEachChangedDocumentFormulaFirst) {
    changeAllDocuments();
    user.answers = {BoxAnswer::No, BoxAnswer::Cancel, BoxAnswer::Yes};
    action("NewAll1")->trigger();
    EXPECT_EQ(user.boxTexts(),
              QStringList({"Save Changes to Untitled.FOR ?", "Save Changes to Untitled.CON ?",
                           "Save Changes to Untitled.VAR ?"}));
    EXPECT_EQ(editorText(), "");
    EXPECT_EQ(session->constants().name(1), "g");  // Cancel skips only the constants
    EXPECT_TRUE(documents().isChanged(Document::Constants));
    EXPECT_EQ(session->variables().name(2), "");
    EXPECT_EQ(ReadRaw(file("Untitled.VAR")).substr(4, 12), "t 2 kg m\r\n  ");
    EXPECT_EQ(filesWritten(), QStringList{"Untitled.VAR"});
}

// No lets each document's changes go once New has emptied it: closing then
// asks nothing more, and writes only the settings.
TEST_F(DocumentCommandsTest, NoAtSaveChangesThenNewThenCloseAsksOnceAndSavesNothing) {
    changeAllDocuments();
    user.answers = {BoxAnswer::No, BoxAnswer::No, BoxAnswer::No};
    action("NewAll1")->trigger();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(user.boxTexts(),
              QStringList({"Save Changes to Untitled.FOR ?", "Save Changes to Untitled.CON ?",
                           "Save Changes to Untitled.VAR ?"}));
    EXPECT_EQ(filesWritten(), QStringList{"Quantaro.cfg"});
}

// A No answer lets go of a document's changes only once Open All replaces
// it: not when the dialog is cancelled, nor when a later prompt is, nor for
// a table whose file is missing, which keeps its rows.
TEST_F(DocumentCommandsTest, NoAtOpenAllClearsAFlagOnlyWhenItsDocumentIsReplaced) {
    WriteRaw(file("X.FOR"), "0B = Y\r\n");
    WriteRaw(file("X.VAR"), "t 2 s\r\n" + kEmptyTableFile.substr(4));
    changeAllDocuments();
    const auto changed = [this] {
        return std::vector<bool>{documents().isChanged(Document::Formula),
                                 documents().isChanged(Document::Constants),
                                 documents().isChanged(Document::Variables)};
    };
    user.answers = {BoxAnswer::No, BoxAnswer::No, BoxAnswer::No};
    action("OpenAll1")->trigger();  // the dialog is cancelled
    user.answers = {BoxAnswer::No, BoxAnswer::Cancel};
    action("OpenAll1")->trigger();
    EXPECT_EQ(user.fileRequests.size(), 1u);
    EXPECT_EQ(changed(), std::vector<bool>(3, true));
    user.answers = {BoxAnswer::No, BoxAnswer::No, BoxAnswer::No};
    user.chosenFiles = {file("X.FOR")};  // X.CON is missing: the constants stay
    action("OpenAll1")->trigger();
    EXPECT_EQ(changed(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(session->constants().name(1), "g");
    user.clear();
    user.answers = {BoxAnswer::Cancel};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(user.boxTexts(), QStringList{"Save Changes to X.CON ?"});
}

// Ctrl+S saves after any change, however long ago the File menu last found
// nothing changed.
TEST_F(DocumentCommandsTest, CtrlSSavesAfterAnEditThoughTheFileMenuFoundNothingChanged) {
    user.chosenFiles = {file("X.FOR")};
    action("SaveAll1")->trigger();
    window->File1Click();  // the File menu opens with nothing changed
    ASSERT_FALSE(action("Save1")->isEnabled());
    typeFormula("A = X");
    QTest::keyClick(memo(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadRaw(file("X.FOR")), "0A = X\r\n");
    EXPECT_FALSE(documents().anyChanged());
}

TEST_F(DocumentCommandsTest, OpenAllCancelledAtAPromptShowsNoDialog) {
    session->acceptRows(Document::Constants, MakeConstantTable(), 0);
    user.answers = {BoxAnswer::Cancel};
    action("OpenAll1")->trigger();
    EXPECT_TRUE(user.fileRequests.empty());
    EXPECT_TRUE(documents().isChanged(Document::Constants));
}

TEST_F(DocumentCommandsTest, AFailedWriteIsReportedAndLeavesTheFlagSet) {
    typeFormula("A = X");
    user.chosenFiles = {file("missing/X.FOR")};
    action("SaveFormulaFileAs1")->trigger();
    EXPECT_EQ(user.boxes.at(0).kind, BoxKind::Error);
    EXPECT_TRUE(documents().isChanged(Document::Formula));

    // Save All stops at the constant file, which cannot replace a folder.
    user.clear();
    ASSERT_TRUE(QDir(startDir.path()).mkdir("B.CON"));
    session->acceptRows(Document::Constants, MakeConstantTable(), 0);
    session->acceptRows(Document::Variables, MakeVariableTable(), 0);
    user.chosenFiles = {file("B.FOR")};
    action("SaveAll1")->trigger();
    EXPECT_EQ(user.boxes.size(), 1u);
    EXPECT_EQ(ReadRaw(file("B.FOR")), "0A = X\r\n");
    EXPECT_TRUE(QFileInfo(file("B.CON")).isDir());
    EXPECT_FALSE(QFileInfo::exists(file("B.VAR")));
    EXPECT_FALSE(documents().isChanged(Document::Formula));
    EXPECT_TRUE(documents().isChanged(Document::Constants));
    EXPECT_TRUE(documents().isChanged(Document::Variables));
    EXPECT_EQ(window->windowTitle(), "QUANTARO - B.FOR -- B.CON -- B.VAR");

    // Closing asks again, and a Yes that cannot write keeps the window open.
    user.clear();
    user.answers = {BoxAnswer::Yes};
    EXPECT_FALSE(window->close());
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].text, "Save Changes to B.CON ?");
    EXPECT_EQ(user.boxes[1].kind, BoxKind::Error);
}

TEST_F(DocumentCommandsTest, SaveAllThenOpenAllInAFreshWindowRestoresEveryDocument) {
    changeAllDocuments();
    session->setCell(Document::Constants, NameColumn, 100, "hidden");
    child<QRadioButton>("RadioButtonRadians")->click();
    user.chosenFiles = {file("Beam.FOR")};
    action("SaveAll1")->trigger();
    EXPECT_FALSE(documents().anyChanged());
    EXPECT_EQ(window->windowTitle(), "QUANTARO - Beam.FOR -- Beam.CON -- Beam.VAR");

    Session fresh(startDir.path());
    TFormCalculator freshWindow(fresh, user);
    user.chosenFiles = {file("Beam.FOR")};
    freshWindow.documentCommands().OpenAll1Click();
    EXPECT_EQ(fresh.formulaText(), "A = X\r\n");
    EXPECT_EQ(fresh.angleUnit(), AngleUnit::Radians);
    EXPECT_TRUE(fresh.constants() == session->constants());
    EXPECT_TRUE(fresh.variables() == session->variables());
    EXPECT_EQ(fresh.documents().usedRows(Document::Constants), 1);
    EXPECT_EQ(fresh.documents().usedRows(Document::Variables), 2);
}

// Open Recent lists the worksheets saved, newest first, when the File menu
// opens; the open dialog offers their folder; a chosen worksheet that is gone
// is said so and dropped, one that is there opens as Open All opens it.
TEST_F(DocumentCommandsTest, OpenRecentListsSavedWorksheetsAndDropsOneThatIsGone) {
    commands().recentWorksheets().clear();
    typeFormula("1 = X");
    user.chosenFiles = {file("b.FOR"), file("a.FOR")};
    action("SaveAll1")->trigger();
    action("SaveAll1")->trigger();
    window->File1Click();
    QStringList items;
    for (QAction* item : child<QMenu>("OpenRecent1")->actions()) items << item->text();
    EXPECT_EQ(items, QStringList({RecentItemText(1, file("a.FOR")),
                                  RecentItemText(2, file("b.FOR")), "", "Clear Menu"}));

    ASSERT_TRUE(QFile::remove(file("a.FOR")));
    user.clear();
    action("RecentWorksheet1")->trigger();
    EXPECT_EQ(user.onlyBoxText(), "The worksheet " + file("a.FOR") +
                                      " no longer exists. It has been removed from Open Recent.");
    action("RecentWorksheet2")->trigger();
    EXPECT_EQ(window->windowTitle(), "QUANTARO - b.FOR -- b.CON -- b.VAR");
    EXPECT_EQ(commands().recentWorksheets().paths(), QStringList({file("b.FOR")}));
    action("OpenFormulaFileOnly1")->trigger();
    EXPECT_EQ(user.fileRequests.at(0).options.history, QStringList({startDir.path()}));

    action("ClearRecent1")->trigger();
    EXPECT_FALSE(child<QMenu>("OpenRecent1")->menuAction()->isEnabled());
}

TEST_F(DocumentCommandsTest, ExportsWriteCsvAfterSaveAsAndWithoutATrajectoryOnlySaySo) {
    QStringList items;
    for (QAction* item : child<QMenu>("File1")->actions()) items << item->text();
    EXPECT_EQ(items.mid(4, 4), QStringList({"Save &As", "Export &Trajectory as CSV…",
                                            "Export Ta&bles as CSV…", ""}));
    action("ExportTrajectory1")->trigger();
    EXPECT_EQ(user.onlyBoxText(),
              "No trajectory has been recorded. Record one in the continuous loop window.");
    EXPECT_EQ(user.boxes.at(0).kind, BoxKind::Information);
    EXPECT_TRUE(user.fileRequests.empty());

    changeAllDocuments();
    session->setFormulaText(QStringLiteral("t = t"));
    session->loop().step();  // records t after pass 1
    user.clear();
    user.chosenFiles = {file("t.csv"), file("tables.csv"), file("missing/x.csv")};
    action("ExportTrajectory1")->trigger();
    action("ExportTables1")->trigger();
    action("ExportTables1")->trigger();
    const FileDialogOptions& dialog = user.fileRequests.at(0).options;
    EXPECT_EQ(QStringList({dialog.title, dialog.filter, dialog.defaultSuffix, dialog.initialName}),
              QStringList({"Export Trajectory", "CSV File (*.csv *.CSV)", "csv",
                           "Untitled-trajectory.csv"}));
    EXPECT_EQ(ReadRaw(file("t.csv")), "pass,t\r\n1,2\r\n");
    EXPECT_EQ(ReadRaw(file("tables.csv")), "name,value,units\r\ng,9.81,kg m\r\nt,2,kg m\r\n");
    EXPECT_TRUE(user.onlyBoxText().contains("x.csv cannot be written"));
    EXPECT_EQ(user.boxes.at(0).kind, BoxKind::Error);
}

TEST(ChosenFileTest, TheOpenDialogOffersToCreateAMissingFileInAnExistingFolder) {
    QTemporaryDir dir;
    ScriptedInteraction user;
    WriteRaw(dir.filePath("There.FOR"), "0");
    EXPECT_EQ(CheckChosenFile(user, nullptr, dir.filePath("There.FOR"), true), ChosenFile::Accept);
    EXPECT_TRUE(user.boxes.empty());
    user.answers = {BoxAnswer::No, BoxAnswer::Yes};
    EXPECT_EQ(CheckChosenFile(user, nullptr, dir.filePath("New.FOR"), true), ChosenFile::Retry);
    EXPECT_EQ(CheckChosenFile(user, nullptr, dir.filePath("New.FOR"), true), ChosenFile::Accept);
    EXPECT_EQ(CheckChosenFile(user, nullptr, dir.filePath("no/New.FOR"), false), ChosenFile::Retry);
    EXPECT_EQ(user.boxes.at(2).kind, BoxKind::Warning);
}

TEST_F(DocumentCommandsTest, PrintAllFromItsPopUpPrintsNothingOnCancelAndThreeDocumentsOnOk) {
    changeAllDocuments();
    user.pdfFile = file("listing.pdf");
    user.printAnswers = {false};
    action("PrintAll1")->trigger();
    EXPECT_EQ(user.printDialogs, 1);
    EXPECT_TRUE(filesWritten().isEmpty());

    user.printAnswers = {true};
    action("PrintAll1")->trigger();
    EXPECT_EQ(user.printDialogs, 2);
    EXPECT_EQ(filesWritten(), QStringList({"listing-CONSTANTS.pdf", "listing-FORMULA.pdf",
                                           "listing-VARIABLES.pdf"}));
    EXPECT_TRUE(user.boxes.empty());
}

}  // namespace
}  // namespace quantaro::testing
