#pragma once

#include <array>
#include <string>
#include <string_view>

#include "engine/NameTable.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

// The texts in which the constant table and the variable table differ.
struct EntryTexts {
    std::array<std::string, kEntryTableColumns> heading;
    std::string noName;          // the name is empty
    std::string alreadyExists;   // the name is in the working copy
    std::string otherTableName;  // the name is in the other confirmed table
    std::string tableFull;       // the text of the "SORRY!" box
};

EntryTexts ConstantEntryTexts();
EntryTexts VariableEntryTexts();

// Texts shared by both tables. Some end in a blank or hold two blanks after a
// full stop; they are shown exactly as written.
inline constexpr std::string_view kOperatorNameText =
    "That name belongs to an operator. Please rename. ";
inline constexpr std::string_view kNonNumericText = "Non Numeric value.  Please retype.";
inline constexpr std::string_view kNumericValueNeededText = "Numeric value needed for ";
inline constexpr std::string_view kNameNeededText = "Name needed for value ";
inline constexpr std::string_view kUnitWithoutNameText =
    "There is a unit listed without a name and value: ";
inline constexpr std::string_view kTableFullTitle = "SORRY!";

// The texts of the three edits of an entry screen.
struct EntryFields {
    std::string name;
    std::string value;
    std::string units;

    bool operator==(const EntryFields&) const = default;
};

// The edit that receives the focus after a refused command.
enum class EntryField { None, Name, Value };

struct EntryOutcome {
    enum class Kind {
        Done,         // the working copy or the fields changed as asked
        Refused,      // an error box with message, then focus on focus
        TableFull,    // the "SORRY!" box with message
        NothingDone,  // silently ignored
    };
    Kind kind = Kind::Done;
    std::string message;
    EntryField focus = EntryField::None;

    bool done() const { return kind == Kind::Done; }
};

// The confirmed main tables that a new name must not clash with.
struct ConfirmedNames {
    const OperatorRegistry& operators;
    const NameTable& otherTable;
};

// The working copy of one entry screen and the commands on it: the name
// check, Add, Insert, Change, Remove and the row validation of OK. Commands
// read and update the edits' texts through EntryFields and report what the
// screen should show; nothing here shows anything.
//
// The entries are assumed to occupy rows 1 to entryCount(). Rows below them
// may still hold data (a loaded file can have gaps); Insert and Remove never
// lose such a row.
class EntryTableEditor {
  public:
    // Rows 1 to 99 are shown; the hidden slot 100 is never filled by a command.
    static constexpr int kMaxEntries = kEntryTableRows - 1;

    explicit EntryTableEditor(EntryTexts texts);

    const EntryTexts& texts() const { return texts_; }
    NameTable& table() { return table_; }
    const NameTable& table() const { return table_; }
    int entryCount() const { return entryCount_; }

    // Writes the heading and copies rows 1 to 100 of the confirmed table.
    void load(const NameTable& confirmed, int usedRows);

    EntryFields row(int row) const;

    // Each command first turns the blanks of fields.name into "_", since a
    // name with blanks could never be referenced by a formula.
    EntryOutcome add(EntryFields& fields, const ConfirmedNames& confirmed);
    EntryOutcome insert(EntryFields& fields, int selectedRow, const ConfirmedNames& confirmed);
    EntryOutcome change(EntryFields& fields, int selectedRow, const ConfirmedNames& confirmed);
    EntryOutcome remove(EntryFields& fields, int selectedRow);

    // OK's check of rows 1 to 99 from the top; Done when every row passes.
    EntryOutcome validate() const;

    // Whether name equals, ASCII case folded, the name of any data row of table.
    static bool ExistCheck(std::string_view name, const NameTable& table);

  private:
    EntryOutcome checkName(EntryFields& fields, bool againstWorkingCopy,
                           const ConfirmedNames& confirmed) const;
    EntryOutcome tableFull() const;
    bool rowEmpty(int row) const;
    void writeRow(int row, const EntryFields& fields);
    void copyRow(int from, int to);
    // Moves rows row to 99 one row down; row becomes free for a new entry.
    void openRow(int row);
    // Moves rows row + 1 to 100 one row up over row; slot 100 becomes empty.
    void closeRow(int row);

    EntryTexts texts_;
    NameTable table_;
    int entryCount_ = 0;
};

}  // namespace quantaro
