// A whole run of ExecuteEquations over arbitrary formula text against small
// fixed tables. The first byte chooses the angle unit (bit 0) and the
// selection (bits 2 and 3); the rest is the formula text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "engine/Engine.h"
#include "engine/FloatingPointFault.h"
#include "engine/Messages.h"
#include "engine/NameTable.h"
#include "engine/Numbers.h"
#include "engine/Worksheet.h"

namespace {

using quantaro::fuzz::PrintEscaped;
using quantaro::fuzz::WellInsideRange;

void SetRow(quantaro::NameTable& table, int row, const char* name, const char* value,
            const char* units = "") {
    table.setCell(quantaro::NameColumn, row, name);
    table.setCell(quantaro::ValueColumn, row, value);
    table.setCell(quantaro::UnitsColumn, row, units);
}

// Constants and variables that exercise the lookups: a value with a leading
// blank, an empty value, a value that is no number, a variable named like an
// operator, a duplicate name and a name in the hidden last row.
quantaro::NameTable MakeConstants() {
    quantaro::NameTable constants = quantaro::MakeConstantTable();
    SetRow(constants, 1, "PI", "3.14159265358979");
    SetRow(constants, 2, "E", "2.71828182845905");
    SetRow(constants, 3, "g", "9.80665", "m/s^2");
    SetRow(constants, 5, "K", " 5");
    SetRow(constants, 6, "BIG", "1E4000");
    return constants;
}

quantaro::NameTable MakeVariables() {
    quantaro::NameTable variables = quantaro::MakeVariableTable();
    SetRow(variables, 1, "A", "10", "m");
    SetRow(variables, 2, "B", "4");
    SetRow(variables, 3, "X", "");
    SetRow(variables, 4, "Y", "0");
    SetRow(variables, 5, "N", "-2.5");
    SetRow(variables, 7, "T", "0.5");
    SetRow(variables, 8, "SIN", "30");
    SetRow(variables, 9, "W", "text");
    SetRow(variables, 10, "a", "99");
    SetRow(variables, quantaro::kEntryTableRows, "H", "7");
    return variables;
}

// Magnitudes well inside the normal extended range, where a 15-digit text
// read back and written again gives the same text.
std::string WithoutLineBreaks(std::string_view text) {
    std::string joined;
    for (const char c : text) {
        if (c != '\r' && c != '\n') joined += c;
    }
    return joined;
}

void Fail(const quantaro::Worksheet& sheet, const quantaro::RunOutcome& outcome, const char* what) {
    PrintEscaped("formula", sheet.formula);
    PrintEscaped("error item", outcome.errorItem);
    PrintEscaped("message", outcome.message);
    std::fprintf(stderr, "result code %d\n", static_cast<int>(outcome.code));
    FUZZ_CHECK(false, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quantaro::ResultCode;
    if (size == 0) return 0;
    static const quantaro::NameTable constants = MakeConstants();
    static const quantaro::NameTable initialVariables = MakeVariables();

    const std::uint8_t options = data[0];
    quantaro::Worksheet sheet;
    sheet.constants = constants;
    sheet.variables = initialVariables;
    sheet.angle = (options & 1) ? quantaro::AngleUnit::Radians : quantaro::AngleUnit::Degrees;
    const int selection = (options >> 2) & 3;
    sheet.formula.assign(reinterpret_cast<const char*>(data + 1), size - 1);

    quantaro::RunOutcome outcome;
    bool faulted = false;
    try {
        outcome = quantaro::Engine(sheet).ExecuteEquations(selection);
    } catch (const quantaro::FloatingPointFault&) {
        faulted = true;
    }

    const int code = static_cast<int>(outcome.code);
    if (code < 0 || code > 9) Fail(sheet, outcome, "result code outside 0 to 9");
    if ((outcome.code == ResultCode::EmptyFormula) != (!faulted && sheet.formula.empty())) {
        Fail(sheet, outcome, "code 8 must mean exactly an empty formula");
    }

    // Only value cells of the variable table change, and only to number texts
    // in the form FormatNumber writes.
    const quantaro::NameTable& variables = sheet.variables;
    for (int row = 0; row <= variables.rowCount(); ++row) {
        if (variables.name(row) != initialVariables.name(row) ||
            variables.cell(quantaro::UnitsColumn, row) !=
                initialVariables.cell(quantaro::UnitsColumn, row)) {
            Fail(sheet, outcome, "a run changed a name or units cell");
        }
        const std::string& value = variables.value(row);
        if (value == initialVariables.value(row)) continue;
        if (row == 0 || variables.name(row).empty())
            Fail(sheet, outcome, "a run wrote into a heading or free row");
        if (!quantaro::IsNumberText(value)) {
            PrintEscaped("stored", value);
            Fail(sheet, outcome, "a run stored a text that is not a number");
        }
        const long double stored = *quantaro::ParseNumber(value);
        if (WellInsideRange(stored) && quantaro::FormatNumber(stored) != value) {
            PrintEscaped("stored", value);
            Fail(sheet, outcome, "a stored value is not in the form FormatNumber writes");
        }
        if (variables.findRow(variables.name(row)) != row) {
            Fail(sheet, outcome, "a result went to a row that lookups never find");
        }
    }
    if (faulted) return 0;

    const std::string& message = outcome.message;
    if (outcome.succeeded()) {
        if (!message.empty()) Fail(sheet, outcome, "a successful run has a message");
        if (!outcome.errorItem.empty()) Fail(sheet, outcome, "a successful run left an error item");
        return 0;
    }

    if (outcome.code == ResultCode::EmptyFormula) {
        if (message != "Empty formula") Fail(sheet, outcome, "wrong text for an empty formula");
        return 0;
    }
    if (!message.starts_with("Equation " + std::to_string(outcome.equationNumber) + ": "))
        Fail(sheet, outcome, "an error message lacks the equation prefix");

    const std::string& item = outcome.errorItem;
    if (outcome.code == ResultCode::UnknownItem) {
        if (item.empty() || item.find(' ') != std::string::npos ||
            item.find_first_of("\r\n") != std::string::npos) {
            Fail(sheet, outcome, "the unknown item is not one word");
        }
        // Line breaks are dropped from equations, so a word may span lines.
        if (WithoutLineBreaks(sheet.formula).find(item) == std::string::npos) {
            Fail(sheet, outcome, "the unknown item does not occur in the formula");
        }
        if (!message.ends_with("Unknown Item \"" + item + "\""))
            Fail(sheet, outcome, "the message does not name the unknown item");
    }
    if (outcome.code == ResultCode::DomainError) {
        if (item.empty()) Fail(sheet, outcome, "a domain error without a detail text");
        if (!message.ends_with("Domain Error: " + item))
            Fail(sheet, outcome, "the message does not carry the detail text");
    }
    return 0;
}
