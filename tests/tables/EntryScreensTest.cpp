#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedInteraction.h"
#include "WidgetTesting.h"
#include "engine/NameTable.h"
#include "interaction/ContextHelp.h"
#include "session/Session.h"
#include "tables/TFormConstants.h"
#include "tables/TFormVariables.h"

namespace quantaro {
namespace {

using testing::ScriptedInteraction;

// A session as the entry screens see it, counting the copies accepted.
class SessionHost {
  public:
    SessionHost() : session(startDir.path()) {
        QObject::connect(&session, &Session::rowsReplaced, [this](Document table) {
            ++(table == Document::Constants ? constantLoads : variableLoads);
        });
    }

    void setRow(Document table, int row, const std::string& name, const std::string& value,
                const std::string& units = {}) {
        session.setCell(table, NameColumn, row, name);
        session.setCell(table, ValueColumn, row, value);
        session.setCell(table, UnitsColumn, row, units);
    }
    // Entries named prefix1 to prefixN with the values 1 to n.
    void fill(Document table, int count, const std::string& prefix) {
        for (int row = 1; row <= count; ++row) {
            setRow(table, row, prefix + std::to_string(row), std::to_string(row));
        }
    }
    void setUsedRows(Document table, int rows) { session.documents().setUsedRows(table, rows); }
    int usedRows(Document table) const { return session.documents().usedRows(table); }

  private:
    QTemporaryDir startDir;

  public:
    Session session;
    int constantLoads = 0;
    int variableLoads = 0;
};

QWidget* Focused() {
    return QApplication::focusWidget();
}

void ShowActive(EntryScreen& screen) {
    screen.showScreen();
    testing::MakeActive(screen);
}

using testing::ClickCell;

void Retype(QLineEdit* edit, const QString& text) {
    edit->clear();
    QTest::keyClicks(edit, text);
}

void PressEnter(QWidget* widget) {
    QTest::keyClick(widget, Qt::Key_Return);
}

std::string Cell(const EntryScreen& screen, int column, int row) {
    return screen.editor().table().cell(column, row);
}

QString Shown(const QTableView* grid, int row, int column) {
    return grid->model()->index(row - 1, column).data().toString();
}

// The widgets visited by Tab from start until the focus comes back to it.
std::vector<QString> TabCycle(QWidget* start) {
    std::vector<QString> names;
    start->setFocus();
    for (int i = 0; i < 20; ++i) {
        names.push_back(Focused()->objectName());
        QTest::keyClick(Focused(), Qt::Key_Tab);
        if (Focused() == start) break;
    }
    return names;
}

class ConstantScreenTest : public ::testing::Test {
  protected:
    ScriptedInteraction interaction;
    SessionHost host;
    TFormConstants screen{host.session, interaction};
};

TEST_F(ConstantScreenTest, HasTheNamedControlsHintsHelpAndTabOrder) {
    EXPECT_EQ(screen.windowTitle(), "QUANTARO - Constant Entry Screen");
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(screen.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(screen.EditConstantName->text(), "CDEFAULT");
    EXPECT_EQ(screen.EditConstantValue->text(), "0");
    EXPECT_EQ(screen.EditConstantUnit->text(), "");
    EXPECT_EQ(screen.Label1->text(), "Constant name");
    EXPECT_EQ(screen.findChild<QLineEdit*>("EditConstantUnit"), screen.EditConstantUnit);
    EXPECT_EQ(screen.StringGridConstantsEntry->geometry(), QRect(8, 8, 473, 409));
    EXPECT_TRUE(screen.rect().contains(screen.ButtonCancel->geometry()));
    EXPECT_TRUE(screen.rect().contains(screen.StringGridConstantsEntry->geometry()));
    const QAbstractItemModel* model = screen.StringGridConstantsEntry->model();
    EXPECT_EQ(model->rowCount(), 99);  // the hidden slot is not shown
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Constant Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Constant Value");

    // No hints until the main window switches them on.
    EXPECT_EQ(screen.EditConstantUnit->toolTip(), "");
    EXPECT_EQ(screen.toolTip(), "");
    screen.setHintsShown(true);
    EXPECT_EQ(screen.toolTip(), "Press F1 for help");
    EXPECT_EQ(screen.EditConstantUnit->toolTip(), "Units are optional.  Press ENTER");
    EXPECT_EQ(screen.StringGridConstantsEntry->toolTip(),
              "Table of constants entered.  Click to change.");
    EXPECT_EQ(screen.ButtonPi->toolTip(), "Adds Pi to constant table");
    screen.setHintsShown(false);
    EXPECT_EQ(screen.ButtonPi->toolTip(), "");

    EXPECT_EQ(ContextHelp::contextForFocus(screen.StringGridConstantsEntry), 12);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.ButtonE), 12);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.ButtonCancel), 12);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.EditConstantValue), 18);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.ButtonConstantChange), 20);

    ShowActive(screen);
    const std::vector<QString> expected = {"StringGridConstantsEntry",
                                           "EditConstantName",
                                           "EditConstantValue",
                                           "EditConstantUnit",
                                           "ButtonConstantAdd",
                                           "ButtonInsertConstant",
                                           "ButtonConstantChange",
                                           "ButtonConstantRemove",
                                           "ButtonPi",
                                           "ButtonE",
                                           "ButtonOK",
                                           "ButtonCancel"};
    EXPECT_EQ(TabCycle(screen.StringGridConstantsEntry), expected);
}

TEST_F(ConstantScreenTest, EveryShowingReloadsTheConfirmedTableAndCancelDiscards) {
    host.setRow(Document::Constants, 1, "G", "9.81", "m/s2");
    host.setRow(Document::Constants, 2, "C", "299792458");
    host.setRow(Document::Constants, 100, "Hidden", "1");
    host.setUsedRows(Document::Constants, 2);
    ShowActive(screen);
    EXPECT_EQ(screen.entryCount(), 2);
    EXPECT_EQ(Shown(screen.StringGridConstantsEntry, 1, 2), "m/s2");
    EXPECT_EQ(Cell(screen, NameColumn, 100), "Hidden");
    EXPECT_EQ(Focused(), screen.EditConstantName);
    EXPECT_EQ(screen.EditConstantName->selectedText(), "CDEFAULT");

    screen.ButtonConstantAdd->click();
    EXPECT_EQ(Cell(screen, NameColumn, 3), "CDEFAULT");
    QTest::keyClick(Focused(), Qt::Key_Escape);  // Escape presses Cancel
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(host.constantLoads, 0);
    EXPECT_EQ(host.session.constants().name(3), "");

    // Changed while the screen was closed.
    host.session.setCell(Document::Constants, ValueColumn, 1, "10");
    ShowActive(screen);
    EXPECT_EQ(Cell(screen, NameColumn, 3), "");
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "10");
    EXPECT_EQ(Shown(screen.StringGridConstantsEntry, 1, 1), "10");
    EXPECT_EQ(screen.entryCount(), 2);

    // Showing a screen that is already open only brings it to the front.
    host.session.setCell(Document::Constants, ValueColumn, 1, "11");
    screen.showScreen();
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "10");
    screen.ButtonCancel->click();
    EXPECT_EQ(host.constantLoads, 0);
}

TEST_F(ConstantScreenTest, TypedBlanksBecomeUnderscoresAndEnterLeadsThroughTheEditsToAdd) {
    ShowActive(screen);
    Retype(screen.EditConstantName, "speed of light");
    EXPECT_EQ(screen.EditConstantName->text(), "speed_of_light");
    PressEnter(screen.EditConstantName);
    EXPECT_EQ(Focused(), screen.EditConstantValue);
    EXPECT_EQ(screen.EditConstantValue->selectedText(), "0");
    QTest::keyClicks(screen.EditConstantValue, "299792458");  // types over the selection
    PressEnter(screen.EditConstantValue);
    EXPECT_EQ(Focused(), screen.EditConstantUnit);
    QTest::keyClicks(screen.EditConstantUnit, "m / s");  // blanks elsewhere stay
    PressEnter(screen.EditConstantUnit);

    EXPECT_EQ(Focused(), screen.EditConstantName);
    EXPECT_EQ(Cell(screen, NameColumn, 1), "speed_of_light");
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "299792458");
    EXPECT_EQ(Shown(screen.StringGridConstantsEntry, 1, 2), "m / s");
    EXPECT_EQ(screen.entryCount(), 1);
    EXPECT_EQ(screen.EditConstantName->text(), "");
    EXPECT_EQ(screen.EditConstantValue->text(), "");
    EXPECT_TRUE(interaction.boxes.empty());

    // A pasted name keeps its blanks in the edit but is stored with underscores.
    QApplication::clipboard()->setText("Planck constant");
    QTest::keyClick(screen.EditConstantName, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(screen.EditConstantName->text(), "Planck constant");
    screen.EditConstantValue->setText("6.62607015E-34");
    screen.ButtonConstantAdd->click();
    EXPECT_EQ(Cell(screen, NameColumn, 2), "Planck_constant");
}

TEST_F(ConstantScreenTest, PiAndEAddTheirValuesAndPiTwiceIsRefused) {
    ShowActive(screen);
    screen.EditConstantUnit->setText("left over");
    screen.ButtonPi->click();
    EXPECT_EQ(Cell(screen, NameColumn, 1), "Pi");
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "3.14159265358979");
    EXPECT_EQ(Cell(screen, UnitsColumn, 1), "");
    EXPECT_EQ(screen.EditConstantName->text(), "");

    screen.ButtonPi->click();
    ASSERT_EQ(interaction.boxes.size(), 1u);
    EXPECT_EQ(interaction.boxes[0].kind, BoxKind::Error);
    EXPECT_EQ(interaction.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(interaction.boxes[0].owner, &screen);
    EXPECT_EQ(interaction.boxes[0].text, "That constant already exists.");
    EXPECT_EQ(screen.EditConstantName->text(), "Pi");
    EXPECT_EQ(screen.EditConstantValue->text(), "3.14159265358979");
    EXPECT_EQ(Focused(), screen.EditConstantName);
    EXPECT_EQ(screen.entryCount(), 1);

    screen.ButtonE->click();
    EXPECT_EQ(Cell(screen, NameColumn, 2), "e");
    EXPECT_EQ(Cell(screen, ValueColumn, 2), "2.71828182845905");
}

TEST_F(ConstantScreenTest, RefusalsNameTheFaultAndFocusTheEditToRetype) {
    host.session.setCell(Document::Variables, NameColumn, 4, "Speed");
    TFormVariables variableScreen(host.session, interaction);
    ShowActive(variableScreen);
    Retype(variableScreen.EditVariableName, "Unconfirmed");
    variableScreen.ButtonVariableAdd->click();
    ASSERT_EQ(variableScreen.editor().table().name(1), "Unconfirmed");

    ShowActive(screen);
    Retype(screen.EditConstantName, "X");
    Retype(screen.EditConstantValue, "1,5");
    screen.ButtonConstantAdd->click();
    EXPECT_EQ(interaction.onlyBoxText(), "Non Numeric value.  Please retype.");
    EXPECT_EQ(Focused(), screen.EditConstantValue);
    EXPECT_EQ(screen.EditConstantValue->selectedText(), "1,5");

    interaction.clear();
    Retype(screen.EditConstantName, "speed");
    Retype(screen.EditConstantValue, "1");
    screen.ButtonInsertConstant->click();
    EXPECT_EQ(interaction.onlyBoxText(),
              "That name has been allocated to a Variable.  Please rename.");
    EXPECT_EQ(Focused(), screen.EditConstantName);

    interaction.clear();
    Retype(screen.EditConstantName, "e^");
    screen.ButtonConstantChange->click();
    EXPECT_EQ(interaction.onlyBoxText(), "That name belongs to an operator. Please rename. ");

    // A variable that is only on the open variable screen is not confirmed.
    interaction.clear();
    Retype(screen.EditConstantName, "Unconfirmed");
    screen.ButtonConstantAdd->click();
    EXPECT_TRUE(interaction.boxes.empty());
    EXPECT_EQ(Cell(screen, NameColumn, 1), "Unconfirmed");
}

TEST_F(ConstantScreenTest, AFullTableRefusesNewEntriesButStillChanges) {
    host.fill(Document::Constants, 99, "K");
    host.setUsedRows(Document::Constants, 99);
    ShowActive(screen);
    Retype(screen.EditConstantName, "New");
    screen.ButtonConstantAdd->click();
    screen.ButtonInsertConstant->click();
    screen.ButtonPi->click();
    screen.ButtonE->click();
    ASSERT_EQ(interaction.plainBoxes.size(), 4u);
    for (const ScriptedInteraction::PlainBox& box : interaction.plainBoxes) {
        EXPECT_EQ(box.title, "SORRY!");
        EXPECT_EQ(box.text, "The list of constants is full");
    }
    EXPECT_TRUE(interaction.boxes.empty());
    EXPECT_EQ(screen.entryCount(), 99);
    EXPECT_EQ(Cell(screen, NameColumn, 100), "");

    ClickCell(screen.StringGridConstantsEntry, 5);
    Retype(screen.EditConstantName, "Changed");
    screen.ButtonConstantChange->click();
    EXPECT_EQ(Cell(screen, NameColumn, 5), "Changed");
    EXPECT_EQ(Cell(screen, ValueColumn, 5), "5");
    EXPECT_EQ(interaction.plainBoxes.size(), 4u);
}

TEST_F(ConstantScreenTest, OkHandsTheWholeCopyToTheHostOrStopsAtTheFirstBadRow) {
    host.setRow(Document::Constants, 1, "A", "1");
    host.setRow(Document::Constants, 2, "NoValue", "");
    host.setRow(Document::Constants, 4, "", "", "kg");
    host.setRow(Document::Constants, 100, "Hidden", "7");
    host.setUsedRows(Document::Constants, 2);
    ShowActive(screen);
    screen.ButtonOK->click();
    EXPECT_EQ(interaction.onlyBoxText(), "Numeric value needed for NoValue");
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(host.constantLoads, 0);

    interaction.clear();
    ClickCell(screen.StringGridConstantsEntry, 2);
    Retype(screen.EditConstantValue, "2");
    screen.ButtonConstantChange->click();
    screen.ButtonOK->click();
    EXPECT_EQ(interaction.onlyBoxText(), "There is a unit listed without a name and value: kg");

    interaction.clear();
    ClickCell(screen.StringGridConstantsEntry, 4);
    screen.ButtonConstantRemove->click();  // a row below the entries that holds units
    EXPECT_EQ(screen.EditConstantUnit->text(), "kg");
    ClickCell(screen.StringGridConstantsEntry, 1);
    screen.ButtonConstantRemove->click();
    EXPECT_EQ(screen.entryCount(), 1);
    screen.ButtonOK->click();
    EXPECT_TRUE(interaction.boxes.empty());
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(host.constantLoads, 1);
    EXPECT_EQ(host.usedRows(Document::Constants), 1);
    EXPECT_EQ(host.session.constants().name(1), "NoValue");
    EXPECT_EQ(host.session.constants().value(1), "2");
    EXPECT_EQ(host.session.constants().name(2), "");  // emptied rows are emptied in the main table
    EXPECT_EQ(host.session.constants().name(98), "Hidden");  // moved up by both removals
    EXPECT_EQ(host.session.constants().name(99), "");
    EXPECT_EQ(host.session.constants().name(0), "Constant");  // the main heading is the host's own
}

TEST_F(ConstantScreenTest, GridSelectionFillsTheEditsAndSteersInsertRemoveAndChange) {
    host.fill(Document::Constants, 3, "K");
    host.session.setCell(Document::Constants, UnitsColumn, 2, "m");
    host.setUsedRows(Document::Constants, 3);
    ShowActive(screen);
    ClickCell(screen.StringGridConstantsEntry, 2, 1);
    EXPECT_EQ(screen.EditConstantName->text(), "K2");
    EXPECT_EQ(screen.EditConstantValue->text(), "2");
    EXPECT_EQ(screen.EditConstantUnit->text(), "m");
    EXPECT_EQ(Focused(), screen.StringGridConstantsEntry);
    QTest::keyClick(screen.StringGridConstantsEntry, Qt::Key_Down);
    EXPECT_EQ(screen.selectedRow(), 3);
    EXPECT_EQ(screen.EditConstantName->text(), "K3");
    EXPECT_EQ(screen.EditConstantUnit->text(), "");

    // A double-click in an edit inserts above the selected row.
    Retype(screen.EditConstantName, "Before3");
    QTest::mouseDClick(screen.EditConstantUnit, Qt::LeftButton);
    EXPECT_EQ(Cell(screen, NameColumn, 3), "Before3");
    EXPECT_EQ(Cell(screen, NameColumn, 4), "K3");
    EXPECT_EQ(screen.entryCount(), 4);
    EXPECT_EQ(screen.EditConstantName->text(), "");

    // Remove puts the entry into the edits; Add then appends it at the end.
    ClickCell(screen.StringGridConstantsEntry, 1);
    screen.ButtonConstantRemove->click();
    EXPECT_EQ(screen.EditConstantName->text(), "K1");
    EXPECT_EQ(Cell(screen, NameColumn, 1), "K2");
    EXPECT_EQ(screen.entryCount(), 3);
    screen.ButtonConstantAdd->click();
    EXPECT_EQ(Cell(screen, NameColumn, 4), "K1");
    EXPECT_EQ(Shown(screen.StringGridConstantsEntry, 4, 0), "K1");

    // Selecting an empty row below the entries and removing does nothing.
    ClickCell(screen.StringGridConstantsEntry, 20);
    screen.ButtonConstantRemove->click();
    EXPECT_EQ(screen.entryCount(), 4);
    EXPECT_EQ(Cell(screen, NameColumn, 4), "K1");

    // Change may give a row the name of another.
    ClickCell(screen.StringGridConstantsEntry, 2);
    Retype(screen.EditConstantName, "k1");
    screen.ButtonConstantChange->click();
    EXPECT_EQ(Cell(screen, NameColumn, 2), "k1");
    EXPECT_EQ(screen.EditConstantName->text(), "k1");
    EXPECT_TRUE(interaction.boxes.empty());
}

TEST_F(ConstantScreenTest, ActivationSelectsTheNameText) {
    ShowActive(screen);
    Retype(screen.EditConstantName, "abc");
    screen.EditConstantName->deselect();
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    EXPECT_EQ(screen.EditConstantName->selectedText(), "abc");
}

class VariableScreenTest : public ::testing::Test {
  protected:
    ScriptedInteraction interaction;
    SessionHost host;
    TFormVariables screen{host.session, interaction};

    QColor modeColour() const { return screen.EditMode->palette().color(QPalette::Text); }
    void expectMode(const QString& text, const QColor& colour) {
        EXPECT_EQ(screen.EditMode->text(), text);
        EXPECT_EQ(modeColour(), colour);
    }
};

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

TEST_F(VariableScreenTest, DiffersFromTheConstantScreenInItsControls) {
    EXPECT_EQ(screen.windowTitle(), "QUANTARO - Variable Entry Screen");
    EXPECT_EQ(screen.EditVariableName->text(), "VDEFAULT");
    EXPECT_EQ(screen.findChild<QPushButton*>("ButtonPi"), nullptr);
    EXPECT_EQ(screen.StringGridVariablesEntry->geometry(), QRect(8, 16, 473, 401));
    EXPECT_EQ(screen.Label4->text(), "Edit Mode");
    EXPECT_TRUE(screen.rect().contains(screen.ButtonCancel->geometry()));
    EXPECT_EQ(screen.StringGridVariablesEntry->model()->headerData(0, Qt::Horizontal).toString(),
              "Variable Name");
    EXPECT_TRUE(screen.EditMode->isReadOnly());
    EXPECT_EQ(screen.EditMode->palette().color(QPalette::Base), QColor(Qt::black));
    expectMode("", kGreen);  // nothing shown before the first showing
    EXPECT_EQ(screen.mode(), TFormVariables::Mode::Adding);

    screen.setHintsShown(true);
    EXPECT_EQ(screen.EditVariableUnit->toolTip(), "Units are optional, press ENTER");
    EXPECT_EQ(screen.EditMode->toolTip(), "You are either adding a new variable or changing one");
    EXPECT_EQ(screen.ButtonInsertVariable->toolTip(), "Inserts variable above selected position");
    EXPECT_EQ(ContextHelp::contextForFocus(screen.EditMode), 13);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.ButtonOK), 13);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.EditVariableName), 19);
    EXPECT_EQ(ContextHelp::contextForFocus(screen.ButtonVariableChange), 21);

    ShowActive(screen);
    const std::vector<QString> expected = {"StringGridVariablesEntry",
                                           "EditVariableName",
                                           "EditVariableValue",
                                           "EditVariableUnit",
                                           "ButtonVariableAdd",
                                           "ButtonInsertVariable",
                                           "ButtonVariableChange",
                                           "ButtonVariableRemove",
                                           "ButtonOK",
                                           "ButtonCancel",
                                           "EditMode"};
    EXPECT_EQ(TabCycle(screen.StringGridVariablesEntry), expected);
}

TEST_F(VariableScreenTest, SelectingARowChangesItThroughEnterInTheValueAndUnitsEdits) {
    host.setRow(Document::Variables, 1, "X", "1", "m");
    host.setRow(Document::Variables, 2, "Y", "2", "s");
    host.setUsedRows(Document::Variables, 2);
    ShowActive(screen);
    expectMode("ADDING", kGreen);

    ClickCell(screen.StringGridVariablesEntry, 1);
    expectMode("CHANGING", kRed);
    EXPECT_EQ(Focused(), screen.EditVariableValue);
    EXPECT_EQ(screen.EditVariableValue->selectedText(), "1");
    QTest::keyClicks(screen.EditVariableValue, "42");
    PressEnter(screen.EditVariableValue);
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "42");
    EXPECT_EQ(Cell(screen, NameColumn, 1), "X");
    EXPECT_EQ(Cell(screen, UnitsColumn, 1), "m");
    EXPECT_EQ(Focused(), screen.StringGridVariablesEntry);
    expectMode("CHANGING", kRed);

    // The next row from the keyboard, then new units through ENTER.
    QTest::keyClick(screen.StringGridVariablesEntry, Qt::Key_Down);
    EXPECT_EQ(screen.EditVariableName->text(), "Y");
    Retype(screen.EditVariableUnit, "ms");
    PressEnter(screen.EditVariableUnit);
    EXPECT_EQ(Cell(screen, UnitsColumn, 2), "ms");
    EXPECT_EQ(Focused(), screen.EditVariableValue);
    EXPECT_EQ(screen.EditVariableValue->selectedText(), "2");
    EXPECT_EQ(screen.entryCount(), 2);

    // A refused change leaves the focus where the value is to be retyped.
    Retype(screen.EditVariableValue, "two");
    PressEnter(screen.EditVariableValue);
    EXPECT_EQ(interaction.onlyBoxText(), "Non Numeric value.  Please retype.");
    EXPECT_EQ(Focused(), screen.EditVariableValue);
    EXPECT_EQ(Cell(screen, ValueColumn, 2), "2");
    expectMode("CHANGING", kRed);
}

TEST_F(VariableScreenTest, AClickIntoTheNameEditReturnsToAddingAtTheEnd) {
    host.fill(Document::Variables, 2, "V");
    host.setUsedRows(Document::Variables, 2);
    ShowActive(screen);
    ClickCell(screen.StringGridVariablesEntry, 1);
    expectMode("CHANGING", kRed);

    QTest::mouseClick(screen.EditVariableName, Qt::LeftButton);
    expectMode("ADDING", kGreen);
    Retype(screen.EditVariableName, "New");
    PressEnter(screen.EditVariableName);
    EXPECT_EQ(Focused(), screen.EditVariableValue);
    QTest::keyClicks(screen.EditVariableValue, "3");
    PressEnter(screen.EditVariableValue);
    EXPECT_EQ(Focused(), screen.EditVariableUnit);  // adding mode moves on
    PressEnter(screen.EditVariableUnit);
    EXPECT_EQ(Cell(screen, NameColumn, 3), "New");
    EXPECT_EQ(Cell(screen, NameColumn, 1), "V1");
    EXPECT_EQ(screen.entryCount(), 3);
    EXPECT_EQ(Focused(), screen.EditVariableName);
}

TEST_F(VariableScreenTest, AddAndInsertSwitchToAddingEvenWhenRefused) {
    host.session.setCell(Document::Constants, NameColumn, 1, "Pi");
    host.fill(Document::Variables, 1, "V");
    host.setUsedRows(Document::Variables, 1);
    ShowActive(screen);
    ClickCell(screen.StringGridVariablesEntry, 1);
    screen.EditVariableName->clear();
    screen.ButtonVariableAdd->click();
    EXPECT_EQ(interaction.onlyBoxText(), "Give the variable a name.");
    expectMode("ADDING", kGreen);
    EXPECT_EQ(Focused(), screen.EditVariableName);

    interaction.clear();
    ClickCell(screen.StringGridVariablesEntry, 1);
    Retype(screen.EditVariableName, "pi");
    screen.ButtonInsertVariable->click();
    EXPECT_EQ(interaction.onlyBoxText(),
              "That name has been allocated to a Constant.  Please rename.");
    expectMode("ADDING", kGreen);

    interaction.clear();
    Retype(screen.EditVariableName, "v1");
    screen.ButtonVariableAdd->click();
    EXPECT_EQ(interaction.onlyBoxText(), "That variable already exists.");
}

TEST_F(VariableScreenTest, AFullTableAndTheCopyBackUseTheVariableTable) {
    host.fill(Document::Variables, 99, "V");
    host.setUsedRows(Document::Variables, 99);
    ShowActive(screen);
    Retype(screen.EditVariableName, "More");
    screen.ButtonVariableAdd->click();
    screen.ButtonInsertVariable->click();
    PressEnter(screen.EditVariableUnit);
    ASSERT_EQ(interaction.plainBoxes.size(), 3u);
    EXPECT_EQ(interaction.plainBoxes[2].title, "SORRY!");
    EXPECT_EQ(interaction.plainBoxes[2].text, "The list of variables is full");

    ClickCell(screen.StringGridVariablesEntry, 99);
    screen.ButtonVariableRemove->click();
    screen.ButtonOK->click();
    EXPECT_FALSE(screen.isVisible());
    EXPECT_EQ(host.variableLoads, 1);
    EXPECT_EQ(host.constantLoads, 0);
    EXPECT_EQ(host.usedRows(Document::Variables), 98);
    EXPECT_EQ(host.session.variables().name(98), "V98");
    EXPECT_EQ(host.session.variables().name(99), "");
}

TEST_F(VariableScreenTest, ShowingAgainReloadsAndResetsToAddingMode) {
    host.fill(Document::Variables, 1, "V");
    host.setUsedRows(Document::Variables, 1);
    ShowActive(screen);
    ClickCell(screen.StringGridVariablesEntry, 1);
    Retype(screen.EditVariableValue, "5");
    PressEnter(screen.EditVariableValue);
    ASSERT_EQ(Cell(screen, ValueColumn, 1), "5");
    expectMode("CHANGING", kRed);

    screen.ButtonCancel->click();
    ShowActive(screen);
    expectMode("ADDING", kGreen);
    EXPECT_EQ(Cell(screen, ValueColumn, 1), "1");
    EXPECT_EQ(Focused(), screen.EditVariableName);
}

}  // namespace
}  // namespace quantaro
