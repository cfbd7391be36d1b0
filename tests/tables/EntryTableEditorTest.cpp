#include <gtest/gtest.h>

#include <string>

#include "engine/NameTable.h"
#include "tables/EntryTableEditor.h"

namespace quantaro {
namespace {

using Kind = EntryOutcome::Kind;

// A constant editor with the confirmed tables of a main window.
class ConstantEditorTest : public ::testing::Test {
  protected:
    const OperatorRegistry& operators = Operators();
    NameTable variables = MakeVariableTable();
    EntryTableEditor editor{ConstantEntryTexts()};

    ConfirmedNames confirmed() const { return {operators, variables}; }

    // Loads entries named C1 to Cn with the values 1 to n.
    void loadEntries(int count) {
        NameTable source = MakeConstantTable();
        for (int row = 1; row <= count; ++row) {
            source.setCell(NameColumn, row, "C" + std::to_string(row));
            source.setCell(ValueColumn, row, std::to_string(row));
        }
        editor.load(source, count);
    }

    void setRow(int row, const EntryFields& fields) {
        editor.table().setCell(NameColumn, row, fields.name);
        editor.table().setCell(ValueColumn, row, fields.value);
        editor.table().setCell(UnitsColumn, row, fields.units);
    }

    EntryOutcome add(EntryFields fields) { return editor.add(fields, confirmed()); }
};

void ExpectRefused(const EntryOutcome& outcome, const std::string& text, EntryField focus) {
    EXPECT_EQ(outcome.kind, Kind::Refused);
    EXPECT_EQ(outcome.message, text);
    EXPECT_EQ(outcome.focus, focus);
}

TEST_F(ConstantEditorTest, NameCheckRunsItsStepsInOrderAndNamesTheEditToFix) {
    editor.table().setCell(NameColumn, 1, "sin");  // in the working copy and an operator
    editor.table().setCell(NameColumn, 100, "Hidden");
    variables.setCell(NameColumn, 5, "SIN");
    variables.setCell(NameColumn, 100, "X");

    // Each case fails the later steps too; only the first failure counts.
    ExpectRefused(add({"", "bad", ""}), "Give the constant a name.", EntryField::Name);
    ExpectRefused(add({"Sin", "bad", ""}), "That constant already exists.", EntryField::Name);
    ExpectRefused(add({"HIDDEN", "1", ""}), "That constant already exists.", EntryField::Name);
    ExpectRefused(add({"COS", "bad", ""}), "That name belongs to an operator. Please rename. ",
                  EntryField::Name);
    ExpectRefused(add({"x", "bad", ""}),
                  "That name has been allocated to a Variable.  Please rename.", EntryField::Name);
    ExpectRefused(add({"Y", "1,5", ""}), "Non Numeric value.  Please retype.", EntryField::Value);
    EXPECT_EQ(editor.entryCount(), 0);
    EXPECT_EQ(editor.table().name(2), "");
}

TEST_F(ConstantEditorTest, NamesFoldOnlyAsciiCaseAndOperatorsNeedTheirWholeText) {
    ASSERT_TRUE(add({"Pi", "3.14159265358979", ""}).done());
    ExpectRefused(add({"pi", "1", ""}), "That constant already exists.", EntryField::Name);
    ExpectRefused(add({"PI", "1", ""}), "That constant already exists.", EntryField::Name);
    for (const char* op : {"Sin", "e^", "E^", "ncr", "mod", "=", "(", "xor"}) {
        ExpectRefused(add({op, "1", ""}), "That name belongs to an operator. Please rename. ",
                      EntryField::Name);
    }
    EXPECT_TRUE(add({"e", "2.71828182845905", ""}).done());
    EXPECT_TRUE(add({"Sin2", "1", ""}).done());
    EXPECT_TRUE(add({"\xc3\xa4", "1", ""}).done());
    EXPECT_TRUE(add({"\xc3\x84", "1", ""}).done());  // non-ASCII letters are not folded
    EXPECT_EQ(editor.entryCount(), 5);
}

TEST_F(ConstantEditorTest, VariableEditorChecksTheConfirmedConstantsWithItsOwnTexts) {
    NameTable constants = MakeConstantTable();
    constants.setCell(NameColumn, 1, "Pi");
    EntryTableEditor variableEditor(VariableEntryTexts());
    variableEditor.table().setCell(NameColumn, 3, "Speed");
    auto addVariable = [&](EntryFields fields) {
        return variableEditor.add(fields, {operators, constants});
    };
    ExpectRefused(addVariable({"", "1", ""}), "Give the variable a name.", EntryField::Name);
    ExpectRefused(addVariable({"speed", "1", ""}), "That variable already exists.",
                  EntryField::Name);
    ExpectRefused(addVariable({"PI", "1", ""}),
                  "That name has been allocated to a Constant.  Please rename.", EntryField::Name);
    ExpectRefused(addVariable({"Tan", "1", ""}),
                  "That name belongs to an operator. Please rename. ", EntryField::Name);
    ExpectRefused(addVariable({"V", "", ""}), "Non Numeric value.  Please retype.",
                  EntryField::Value);

    variableEditor.load(MakeVariableTable(), 99);
    EntryFields fields{"V", "1", ""};
    const EntryOutcome outcome = variableEditor.add(fields, {operators, constants});
    EXPECT_EQ(outcome.kind, Kind::TableFull);
    EXPECT_EQ(outcome.message, "The list of variables is full");
    EXPECT_EQ(variableEditor.table().name(0), "Variable Name");
    EXPECT_EQ(variableEditor.table().value(0), "Variable Value");
}

TEST_F(ConstantEditorTest, BlanksOfTheNameBecomeUnderscoresBeforeTheChecks) {
    ASSERT_TRUE(add({"speed_of_light", "299792458", "m/s"}).done());

    EntryFields fields{"speed of light", "1", ""};
    ExpectRefused(editor.add(fields, confirmed()), "That constant already exists.",
                  EntryField::Name);
    EXPECT_EQ(fields.name, "speed_of_light");  // the edit shows the name as it would be stored

    fields = {" g ", "9.81", ""};
    ASSERT_TRUE(editor.insert(fields, 1, confirmed()).done());
    EXPECT_EQ(editor.table().name(1), "_g_");

    fields = {"a b", "x", ""};
    ExpectRefused(editor.change(fields, 1, confirmed()), "Non Numeric value.  Please retype.",
                  EntryField::Value);
    EXPECT_EQ(fields.name, "a_b");
    fields.value = "2";
    ASSERT_TRUE(editor.change(fields, 1, confirmed()).done());
    EXPECT_EQ(editor.table().name(1), "a_b");
    EXPECT_EQ(fields, (EntryFields{"a_b", "2", ""}));  // Change keeps the edits
}

TEST_F(ConstantEditorTest, AddStoresTextsAsTypedUntilNinetyNineEntries) {
    EntryFields fields{"Half", ".5", "  units with blanks "};
    ASSERT_TRUE(editor.add(fields, confirmed()).done());
    EXPECT_EQ(fields, EntryFields{});
    ASSERT_TRUE(add({"Five", "5.", ""}).done());
    ASSERT_TRUE(add({"Kilo", "1e3", "no check at all: 1,5"}).done());
    EXPECT_EQ(editor.row(1), (EntryFields{"Half", ".5", "  units with blanks "}));
    EXPECT_EQ(editor.row(2).value, "5.");
    EXPECT_EQ(editor.row(3).value, "1e3");
    EXPECT_EQ(editor.entryCount(), 3);

    loadEntries(98);
    ASSERT_TRUE(add({"Last", "1", ""}).done());
    EXPECT_EQ(editor.row(99).name, "Last");
    fields = {"More", "1", ""};
    const EntryOutcome full = editor.add(fields, confirmed());
    EXPECT_EQ(full.kind, Kind::TableFull);
    EXPECT_EQ(full.message, "The list of constants is full");
    EXPECT_EQ(fields.name, "More");  // the edits keep the refused entry
    EXPECT_EQ(editor.entryCount(), 99);
    EXPECT_EQ(editor.table().name(100), "");
    // The name check still comes first.
    ExpectRefused(add({"", "1", ""}), "Give the constant a name.", EntryField::Name);
}

TEST_F(ConstantEditorTest, ChangeOverwritesTheSelectedRowAndAllowsADuplicateName) {
    loadEntries(3);
    EntryFields fields{"C1", "10", "kg"};
    ASSERT_TRUE(editor.change(fields, 3, confirmed()).done());
    EXPECT_EQ(editor.row(3), (EntryFields{"C1", "10", "kg"}));
    EXPECT_EQ(editor.row(1).value, "1");
    EXPECT_EQ(editor.entryCount(), 3);

    fields = {"Renamed", "1", ""};
    loadEntries(99);
    EXPECT_TRUE(editor.change(fields, 99, confirmed()).done());  // a full table may change
    EXPECT_EQ(editor.row(99).name, "Renamed");
    fields = {"LOG", "1", ""};
    ExpectRefused(editor.change(fields, 1, confirmed()),
                  "That name belongs to an operator. Please rename. ", EntryField::Name);
    variables.setCell(NameColumn, 2, "velocity");
    fields = {"Velocity", "1", ""};
    ExpectRefused(editor.change(fields, 1, confirmed()),
                  "That name has been allocated to a Variable.  Please rename.", EntryField::Name);
    EXPECT_EQ(editor.row(1).name, "C1");
}

TEST_F(ConstantEditorTest, InsertMovesTheRowsBelowDownAndNeverLeavesAGap) {
    loadEntries(3);
    EntryFields fields{"New", "7", "m"};
    ASSERT_TRUE(editor.insert(fields, 2, confirmed()).done());
    EXPECT_EQ(fields, EntryFields{});
    EXPECT_EQ(editor.entryCount(), 4);
    EXPECT_EQ(editor.row(1).name, "C1");
    EXPECT_EQ(editor.row(2), (EntryFields{"New", "7", "m"}));
    EXPECT_EQ(editor.row(3).name, "C2");
    EXPECT_EQ(editor.row(4).name, "C3");
    EXPECT_EQ(editor.row(5).name, "");

    // Selected right below the last entry: inserted there.
    ASSERT_TRUE(editor.insert(fields = {"Next", "1", ""}, 5, confirmed()).done());
    EXPECT_EQ(editor.row(5).name, "Next");
    // Selected further down: still inserted right below the last entry.
    ASSERT_TRUE(editor.insert(fields = {"Far", "1", ""}, 40, confirmed()).done());
    EXPECT_EQ(editor.row(6).name, "Far");
    EXPECT_EQ(editor.row(40).name, "");
    EXPECT_EQ(editor.entryCount(), 6);
    // A following Add goes below it, so nothing is overwritten.
    ASSERT_TRUE(add({"Added", "1", ""}).done());
    EXPECT_EQ(editor.row(6).name, "Far");
    EXPECT_EQ(editor.row(7).name, "Added");
}

TEST_F(ConstantEditorTest, InsertKeepsRowsBelowTheEntriesAndRefusesToPushOutTheHiddenSlot) {
    loadEntries(2);
    setRow(99, {"Stray", "9", "s"});  // lies below the counted entries, as after a file load
    EntryFields fields{"Top", "0", ""};
    ASSERT_TRUE(editor.insert(fields, 1, confirmed()).done());
    EXPECT_EQ(editor.row(1).name, "Top");
    EXPECT_EQ(editor.row(3).name, "C2");
    EXPECT_EQ(editor.row(100), (EntryFields{"Stray", "9", "s"}));
    EXPECT_EQ(editor.entryCount(), 3);

    // The hidden slot now holds an entry; moving the rows again would lose it.
    const NameTable before = editor.table();
    fields = {"Again", "0", ""};
    const EntryOutcome outcome = editor.insert(fields, 1, confirmed());
    EXPECT_EQ(outcome.kind, Kind::TableFull);
    EXPECT_EQ(outcome.message, "The list of constants is full");
    EXPECT_TRUE(editor.table() == before);
    EXPECT_EQ(fields.name, "Again");
    // Only units in the hidden slot count as well; Add does not move rows.
    editor.table().setCell(NameColumn, 100, "");
    editor.table().setCell(ValueColumn, 100, "");
    EXPECT_EQ(editor.insert(fields, 1, confirmed()).kind, Kind::TableFull);
    EXPECT_TRUE(add({"Added", "1", ""}).done());

    loadEntries(99);
    EXPECT_EQ(editor.insert(fields = {"X99", "1", ""}, 1, confirmed()).kind, Kind::TableFull);
    loadEntries(98);
    ASSERT_TRUE(editor.insert(fields = {"X98", "1", ""}, 99, confirmed()).done());
    EXPECT_EQ(editor.row(99).name, "X98");
    EXPECT_EQ(editor.row(100).name, "");
}

TEST_F(ConstantEditorTest, RemoveWithinTheEntriesMovesTheRowsUpIntoTheEdits) {
    EntryFields fields{"untouched", "x", "y"};
    EXPECT_EQ(editor.remove(fields, 1).kind, Kind::NothingDone);  // no entries
    EXPECT_EQ(fields, (EntryFields{"untouched", "x", "y"}));

    loadEntries(4);
    setRow(3, {"C3", "3", "kg"});
    setRow(5, {"Below", "5", ""});  // just below the entries
    setRow(100, {"Hidden", "100", ""});
    ASSERT_TRUE(editor.remove(fields, 3).done());
    EXPECT_EQ(fields, (EntryFields{"C3", "3", "kg"}));
    EXPECT_EQ(editor.entryCount(), 3);
    EXPECT_EQ(editor.row(3).name, "C4");
    EXPECT_EQ(editor.row(4).name, "Below");  // not emptied as the last counted row
    EXPECT_EQ(editor.row(99).name, "Hidden");
    EXPECT_EQ(editor.row(100), EntryFields{});

    // The removed entry can be added again; it goes to the end.
    loadEntries(4);
    ASSERT_TRUE(editor.remove(fields, 2).done());
    ASSERT_TRUE(editor.add(fields, confirmed()).done());
    EXPECT_EQ(editor.row(2).name, "C3");
    EXPECT_EQ(editor.row(4), (EntryFields{"C2", "2", ""}));
    EXPECT_EQ(editor.entryCount(), 4);

    loadEntries(1);
    ASSERT_TRUE(editor.remove(fields, 1).done());
    EXPECT_EQ(editor.entryCount(), 0);
    EXPECT_EQ(editor.row(1), EntryFields{});
    EXPECT_EQ(fields.name, "C1");
}

TEST_F(ConstantEditorTest, RemoveBelowTheEntriesTakesOnlyARowThatHoldsSomething) {
    loadEntries(2);
    setRow(6, {"", "", "only units"});
    setRow(7, {"Seven", "7", ""});
    EntryFields fields{"kept", "1", ""};
    EXPECT_EQ(editor.remove(fields, 4).kind, Kind::NothingDone);
    EXPECT_EQ(fields.name, "kept");
    EXPECT_EQ(editor.row(6).units, "only units");

    ASSERT_TRUE(editor.remove(fields, 6).done());
    EXPECT_EQ(fields, (EntryFields{"", "", "only units"}));
    EXPECT_EQ(editor.row(6).name, "Seven");
    EXPECT_EQ(editor.row(2).name, "C2");
    EXPECT_EQ(editor.entryCount(), 2);  // the row was not counted
}

TEST_F(ConstantEditorTest, OkChecksRowsFromTheTopWithTheFirstFailingRuleOfARow) {
    EXPECT_TRUE(editor.validate().done());  // empty rows pass

    setRow(5, {"Five", "", ""});
    setRow(3, {"", "abc", "kg"});  // value without a name wins over units without one
    ExpectRefused(editor.validate(), "Name needed for value abc", EntryField::None);
    setRow(3, {"", "", "kg"});
    ExpectRefused(editor.validate(), "There is a unit listed without a name and value: kg",
                  EntryField::None);
    setRow(3, {"Three", "5 ", ""});  // a trailing blank is not a number
    ExpectRefused(editor.validate(), "Numeric value needed for Three", EntryField::None);
    setRow(3, {"Three", " 5", ""});
    ExpectRefused(editor.validate(), "Numeric value needed for Five", EntryField::None);
    setRow(5, {"Five", "1E-3", "s"});
    setRow(100, {"", "", "slot 100 is not examined"});
    EXPECT_TRUE(editor.validate().done());
}

TEST_F(ConstantEditorTest, LoadCopiesEveryRowWithTheHiddenSlotAndWritesTheHeading) {
    editor.table().setCell(NameColumn, 0, "scribbled");
    setRow(8, {"Old", "1", ""});
    NameTable source = MakeConstantTable();
    source.setCell(NameColumn, 1, "A");
    source.setCell(ValueColumn, 1, "1");
    source.setCell(UnitsColumn, 50, "stray units");
    source.setCell(NameColumn, 100, "Z");
    editor.load(source, 1);
    EXPECT_EQ(editor.table().name(0), "Constant Name");
    EXPECT_EQ(editor.table().value(0), "Constant Value");
    EXPECT_EQ(editor.table().cell(UnitsColumn, 0), "Units");
    EXPECT_EQ(editor.row(1), (EntryFields{"A", "1", ""}));
    EXPECT_EQ(editor.row(8), EntryFields{});
    EXPECT_EQ(editor.row(50).units, "stray units");
    EXPECT_EQ(editor.row(100).name, "Z");
    EXPECT_EQ(editor.entryCount(), 1);
}

TEST(ExistCheck, SearchesEveryDataRowOfTheGivenTable) {
    NameTable constants = MakeConstantTable();
    constants.setCell(NameColumn, 100, "Slot");
    EXPECT_TRUE(EntryTableEditor::ExistCheck("SLOT", constants));
    EXPECT_FALSE(EntryTableEditor::ExistCheck("Constant", constants));
}

}  // namespace
}  // namespace quantaro
