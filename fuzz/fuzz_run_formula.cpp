// A whole run of ExecuteEquations over arbitrary formula text against small
// fixed tables. The first byte chooses the angle unit (bit 0), the
// selection (bits 2 and 3) and edits between later passes (bits 4 and 5);
// the rest is the formula text. Further passes check that the compiled
// engine, keeping its programs and the tables' numbers, gives what an
// engine evaluating afresh from the tables' texts gives.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "StandardWorksheet.h"
#include "TableRows.h"
#include "engine/Engine.h"
#include "engine/EngineTables.h"
#include "engine/Explanation.h"
#include "engine/FormulaTokens.h"
#include "engine/Messages.h"
#include "engine/NameTable.h"
#include "engine/Numbers.h"
#include "engine/Worksheet.h"

namespace {

using quantaro::fuzz::PrintEscaped;
using quantaro::fuzz::WellInsideRange;

// The standard worksheet with rows that exercise the lookups: a value with a
// leading blank, an empty value, a value that is no number, a variable named
// like an operator, a duplicate name and a name in the hidden last row.
quantaro::Worksheet MakeSheet() {
    using quantaro::testing::FillRows;
    quantaro::Worksheet sheet = quantaro::testing::StandardWorksheet();
    FillRows(sheet.constants, {{"g", "9.80665", "m/s^2"}, {""}, {"K", " 5"}, {"BIG", "1E4000"}},
             quantaro::testing::kFirstFreeConstantRow);
    FillRows(sheet.variables,
             {{"N", "-2.5", "m"},
              {""},
              {"T", "0.5"},
              {"SIN", "30"},
              {"W", "text"},
              {"a", "99"},
              {"V", ""}},
             quantaro::testing::kFirstFreeVariableRow);
    quantaro::testing::SetRow(sheet.variables, quantaro::kEntryTableRows, {"H", "7"});
    return sheet;
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
    PrintEscaped("formula", sheet.formula());
    PrintEscaped("error item", outcome.errorItem);
    PrintEscaped("message", outcome.message);
    std::fprintf(stderr, "result code %d\n", static_cast<int>(outcome.status));
    FUZZ_CHECK(false, what);
}

// A run's outcome in full: a fault's text or the code, number, item and text.
std::string Describe(const quantaro::RunOutcome& outcome) {
    if (outcome.status == quantaro::ResultCode::FloatingPointFault) return outcome.message;
    return std::to_string(static_cast<int>(outcome.status)) + " " +
           std::to_string(outcome.equationNumber) + " [" + outcome.errorItem + "] " +
           outcome.message;
}

std::string Describe(quantaro::Engine& engine, int selection) {
    return Describe(engine.ExecuteEquations(selection));
}

// The same edit to both worksheets: a value cell, a name cell.
void Edit(quantaro::Worksheet& sheet, int pass, std::uint8_t options) {
    if (pass == 1 && (options & 0x10)) sheet.variables.setCell(quantaro::ValueColumn, 2, "7.5");
    if (pass == 2 && (options & 0x20)) sheet.variables.setCell(quantaro::NameColumn, 9, "Z");
}

// The first pass has run on sheet; it and three more passes must give what
// a fresh worksheet gives: the compiled engine keeps its programs and
// numbers, while the other evaluates afresh from the texts of its tables, as
// every pass was evaluated before programs and numbers were kept.
void ComparePasses(quantaro::Worksheet& sheet, quantaro::Engine& engine, quantaro::Worksheet& fresh,
                   int selection, std::uint8_t options, const std::string& firstPass) {
    for (int pass = 0; pass < 4; ++pass) {
        if (pass > 0) {
            Edit(sheet, pass, options);
            Edit(fresh, pass, options);
        }
        fresh.constants = quantaro::testing::CopyOfTexts(fresh.constants);
        fresh.variables = quantaro::testing::CopyOfTexts(fresh.variables);
        quantaro::Engine interpreter(fresh, quantaro::EngineMode::Interpreted);
        const std::string expected = Describe(interpreter, selection);
        const std::string got = pass == 0 ? firstPass : Describe(engine, selection);
        if (got != expected || !(sheet.variables == fresh.variables)) {
            PrintEscaped("formula", sheet.formula());
            PrintEscaped("compiled", got);
            PrintEscaped("fresh", expected);
            FUZZ_CHECK(false, "a compiled run and a fresh run differ");
        }
    }
}

// Explaining retraces the run on a copy: it must end as the run ended and
// leave the variables as the run left them, on the sheet as it was before.
void CheckExplanation(const quantaro::Worksheet& before, const quantaro::Worksheet& after,
                      int selection, const std::string& firstPass, bool faulted,
                      const quantaro::RunOutcome& outcome) {
    const quantaro::Explanation explanation = quantaro::ExplainEquations(before, selection);
    const std::string ended = explanation.lines.empty() ? "" : explanation.lines.back();
    const bool sameEnd =
        explanation.outcome.status == outcome.status &&
        explanation.outcome.place == outcome.place &&
        (faulted ? ended == firstPass : outcome.succeeded() || ended == outcome.message);
    if (!sameEnd || !(explanation.variables == after.variables)) {
        PrintEscaped("formula", before.formula());
        PrintEscaped("run", firstPass);
        PrintEscaped("explanation ends", ended);
        FUZZ_CHECK(false, "an explanation differs from the run it retraces");
    }
}

// The editor's colouring: ordered, disjoint, non-empty spans inside the text,
// and the word a run stops at among the words underlined, with its message.
void CheckClassification(quantaro::Worksheet& sheet, int selection,
                         const quantaro::RunOutcome& outcome) {
    quantaro::TableIndexes indexes;
    const auto spans = quantaro::ClassifyFormula(sheet.formula(),
                                                 indexes.follow(sheet.constants, sheet.variables));
    std::size_t end = 0;
    bool runsWordFound = false;
    for (const quantaro::TokenSpan& span : spans) {
        if (span.begin < end || span.end <= span.begin || span.end > sheet.formula().size())
            FUZZ_CHECK(false, "token spans overlap, are empty or leave the text");
        end = span.end;
        runsWordFound =
            runsWordFound || (span.failure && span.failure->message == outcome.message &&
                              span.failure->place == outcome.place);
    }
    if (selection == 0 && outcome.status == quantaro::ResultCode::UnknownItem && !runsWordFound) {
        PrintEscaped("formula", sheet.formula());
        FUZZ_CHECK(false, "the word a run stops at is not underlined");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using quantaro::ResultCode;
    if (size == 0) return 0;
    static const quantaro::Worksheet initial = MakeSheet();
    const quantaro::NameTable& initialVariables = initial.variables;

    const std::uint8_t options = data[0];
    quantaro::Worksheet sheet = initial;
    sheet.angle = (options & 1) ? quantaro::AngleUnit::Radians : quantaro::AngleUnit::Degrees;
    const int selection = (options >> 2) & 3;
    sheet.setFormula(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    quantaro::Worksheet fresh = sheet;
    quantaro::Engine engine(sheet);

    const quantaro::RunOutcome outcome = engine.ExecuteEquations(selection);
    const bool faulted = outcome.status == ResultCode::FloatingPointFault;
    const std::string firstPass = Describe(outcome);

    const int code = static_cast<int>(outcome.status);
    if (code < 0 || code > 10) Fail(sheet, outcome, "result code outside 0 to 10");
    if ((outcome.status == ResultCode::EmptyFormula) != (!faulted && sheet.formula().empty())) {
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
    CheckExplanation(fresh, sheet, selection, firstPass, faulted, outcome);
    CheckClassification(fresh, selection, outcome);
    ComparePasses(sheet, engine, fresh, selection, options, firstPass);
    if (faulted) return 0;

    const std::string& message = outcome.message;
    if (outcome.succeeded()) {
        if (!message.empty()) Fail(sheet, outcome, "a successful run has a message");
        if (!outcome.errorItem.empty()) Fail(sheet, outcome, "a successful run left an error item");
        return 0;
    }

    if (outcome.status == ResultCode::EmptyFormula) {
        if (message != "Empty formula") Fail(sheet, outcome, "wrong text for an empty formula");
        return 0;
    }
    if (!message.starts_with("Equation " + std::to_string(outcome.equationNumber) + ": "))
        Fail(sheet, outcome, "an error message lacks the equation prefix");

    const std::string& item = outcome.errorItem;
    if (outcome.status == ResultCode::UnknownItem) {
        if (item.empty() || item.find(' ') != std::string::npos ||
            item.find_first_of("\r\n") != std::string::npos) {
            Fail(sheet, outcome, "the unknown item is not one word");
        }
        // Line breaks are dropped from equations, so a word may span lines.
        if (WithoutLineBreaks(sheet.formula()).find(item) == std::string::npos) {
            Fail(sheet, outcome, "the unknown item does not occur in the formula");
        }
        if (!message.ends_with("Unknown Item \"" + item + "\""))
            Fail(sheet, outcome, "the message does not name the unknown item");
    }
    if (outcome.status == ResultCode::DomainError) {
        if (item.empty()) Fail(sheet, outcome, "a domain error without a detail text");
        if (!message.ends_with("Domain Error: " + item))
            Fail(sheet, outcome, "the message does not carry the detail text");
    }
    return 0;
}
