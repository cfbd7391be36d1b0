#include "tables/EntryTableEditor.h"

#include <algorithm>
#include <utility>

#include "engine/Numbers.h"

namespace quantaro {
namespace {

constexpr int kLastRow = kEntryTableRows;  // the hidden slot

EntryOutcome Refused(std::string message, EntryField focus) {
    return {EntryOutcome::Kind::Refused, std::move(message), focus};
}

// Grid selections are always rows 1 to 99; anything else is held to them.
int ShownRow(int row) {
    return std::clamp(row, 1, EntryTableEditor::kMaxEntries);
}

}  // namespace

EntryTexts ConstantEntryTexts() {
    return {{"Constant Name", "Constant Value", "Units"},
            "Give the constant a name.",
            "That constant already exists.",
            "That name has been allocated to a Variable.  Please rename.",
            "The list of constants is full"};
}

EntryTexts VariableEntryTexts() {
    return {{"Variable Name", "Variable Value", "Units"},
            "Give the variable a name.",
            "That variable already exists.",
            "That name has been allocated to a Constant.  Please rename.",
            "The list of variables is full"};
}

EntryTableEditor::EntryTableEditor(EntryTexts texts)
    : texts_(std::move(texts)), table_(kEntryTableRows, kEntryTableColumns) {
    for (int column = 0; column < kEntryTableColumns; ++column) {
        table_.setCell(column, 0, texts_.heading[column]);
    }
}

void EntryTableEditor::load(const NameTable& confirmed, int usedRows) {
    for (int column = 0; column < kEntryTableColumns; ++column) {
        table_.setCell(column, 0, texts_.heading[column]);
    }
    table_.copyDataRowsFrom(confirmed);
    entryCount_ = usedRows;
}

EntryFields EntryTableEditor::row(int row) const {
    return {table_.cell(NameColumn, row), table_.cell(ValueColumn, row),
            table_.cell(UnitsColumn, row)};
}

bool EntryTableEditor::ExistCheck(std::string_view name, const NameTable& table) {
    for (int row = 1; row <= table.rowCount(); ++row) {
        if (NamesEqual(name, table.name(row))) return true;
    }
    return false;
}

EntryOutcome EntryTableEditor::checkName(EntryFields& fields, bool againstWorkingCopy,
                                         const ConfirmedNames& confirmed) const {
    std::replace(fields.name.begin(), fields.name.end(), ' ', '_');
    if (fields.name.empty()) return Refused(texts_.noName, EntryField::Name);
    if (againstWorkingCopy && ExistCheck(fields.name, table_)) {
        return Refused(texts_.alreadyExists, EntryField::Name);
    }
    if (confirmed.operators.find(fields.name) != nullptr) {
        return Refused(std::string(kOperatorNameText), EntryField::Name);
    }
    if (ExistCheck(fields.name, confirmed.otherTable)) {
        return Refused(texts_.otherTableName, EntryField::Name);
    }
    if (!IsNumberText(fields.value)) {
        return Refused(std::string(kNonNumericText), EntryField::Value);
    }
    return {};
}

EntryOutcome EntryTableEditor::tableFull() const {
    return {EntryOutcome::Kind::TableFull, texts_.tableFull, EntryField::None};
}

bool EntryTableEditor::rowEmpty(int row) const {
    for (int column = 0; column < kEntryTableColumns; ++column) {
        if (!table_.cell(column, row).empty()) return false;
    }
    return true;
}

void EntryTableEditor::writeRow(int row, const EntryFields& fields) {
    table_.setCell(NameColumn, row, fields.name);
    table_.setCell(ValueColumn, row, fields.value);
    table_.setCell(UnitsColumn, row, fields.units);
}

void EntryTableEditor::copyRow(int from, int to) {
    for (int column = 0; column < kEntryTableColumns; ++column) {
        table_.setCell(column, to, table_.cell(column, from));
    }
}

void EntryTableEditor::openRow(int row) {
    for (int to = kLastRow; to > row; --to) copyRow(to - 1, to);
}

void EntryTableEditor::closeRow(int row) {
    for (int to = row; to < kLastRow; ++to) copyRow(to + 1, to);
    writeRow(kLastRow, {});
}

EntryOutcome EntryTableEditor::add(EntryFields& fields, const ConfirmedNames& confirmed) {
    if (EntryOutcome check = checkName(fields, true, confirmed); !check.done()) return check;
    if (entryCount_ >= kMaxEntries) return tableFull();
    ++entryCount_;
    writeRow(entryCount_, fields);
    fields = {};
    return {};
}

EntryOutcome EntryTableEditor::insert(EntryFields& fields, int selectedRow,
                                      const ConfirmedNames& confirmed) {
    if (EntryOutcome check = checkName(fields, true, confirmed); !check.done()) return check;
    // Moving the rows down would push whatever the hidden slot holds out of
    // the table.
    if (entryCount_ >= kMaxEntries || !rowEmpty(kLastRow)) return tableFull();
    // Inserting further down would leave a gap that a later Add overwrites.
    const int row = std::min(ShownRow(selectedRow), entryCount_ + 1);
    openRow(row);
    writeRow(row, fields);
    ++entryCount_;
    fields = {};
    return {};
}

EntryOutcome EntryTableEditor::change(EntryFields& fields, int selectedRow,
                                      const ConfirmedNames& confirmed) {
    // A name may be given twice here: the working copy is not searched.
    if (EntryOutcome check = checkName(fields, false, confirmed); !check.done()) return check;
    writeRow(ShownRow(selectedRow), fields);
    return {};
}

EntryOutcome EntryTableEditor::remove(EntryFields& fields, int selectedRow) {
    if (entryCount_ <= 0) return {EntryOutcome::Kind::NothingDone, {}, EntryField::None};
    const int selected = ShownRow(selectedRow);
    const bool withinEntries = selected <= entryCount_;
    if (!withinEntries && rowEmpty(selected)) {
        return {EntryOutcome::Kind::NothingDone, {}, EntryField::None};
    }
    // The removed row goes into the edits, so that it can be added again.
    fields = row(selected);
    // The move vacates the last counted row itself; emptying it afterwards
    // would destroy a row that lay just below the entries.
    closeRow(selected);
    if (withinEntries) --entryCount_;
    return {};
}

EntryOutcome EntryTableEditor::validate() const {
    for (int row = 1; row <= kMaxEntries; ++row) {
        const std::string& name = table_.cell(NameColumn, row);
        const std::string& value = table_.cell(ValueColumn, row);
        const std::string& units = table_.cell(UnitsColumn, row);
        if (!name.empty() && !IsNumberText(value)) {
            return Refused(std::string(kNumericValueNeededText) + name, EntryField::None);
        }
        if (!value.empty() && name.empty()) {
            return Refused(std::string(kNameNeededText) + value, EntryField::None);
        }
        if (!units.empty() && name.empty()) {
            return Refused(std::string(kUnitWithoutNameText) + units, EntryField::None);
        }
    }
    return {};
}

}  // namespace quantaro
