// A whole run of ExecuteEquations over arbitrary formula text against small
// fixed tables. The first byte chooses the angle unit, the selection and
// whether "Prompt on every loop" is ticked; the rest is the formula text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "engine/Engine.h"
#include "engine/FloatingPointFault.h"
#include "engine/Messages.h"
#include "engine/NameTable.h"
#include "engine/Numbers.h"

namespace {

using quantaro::fuzz::PrintEscaped;
using quantaro::fuzz::WellInsideRange;

class RecordingHost : public quantaro::EngineHost {
  public:
    std::string formula;
    quantaro::AngleUnit angle = quantaro::AngleUnit::Degrees;
    bool promptOption = false;
    int answer = 1;
    std::vector<std::string> messages;
    std::vector<bool> timerHistory;
    int prompts = 0;
    bool loopStopped = false;

    std::string formulaText() const override { return formula; }
    quantaro::AngleUnit angleUnit() const override { return angle; }
    bool promptOnEveryLoop() const override { return promptOption; }
    int promptAnswer() const override { return answer; }
    void setPromptAnswer(int a) override { answer = a; }
    void setLoopTimerEnabled(bool enabled) override { timerHistory.push_back(enabled); }
    void setLoopStopped() override { loopStopped = true; }
    void showMessage(quantaro::MessageKind, const std::string& text) override {
        messages.push_back(text);
    }
    bool confirmCompletion(const std::string&) override {
        ++prompts;
        return true;
    }
};

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

void Fail(const RecordingHost& host, const quantaro::Engine& engine, const char* what) {
    PrintEscaped("formula", host.formula);
    PrintEscaped("error item", engine.errorItem());
    std::fprintf(stderr, "result code %d, %zu messages\n", engine.resultCode(),
                 host.messages.size());
    FUZZ_CHECK(false, what);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const quantaro::NameTable operators = quantaro::MakeOperatorTable();
    static const quantaro::NameTable constants = MakeConstants();
    static const quantaro::NameTable initialVariables = MakeVariables();

    const std::uint8_t options = data[0];
    RecordingHost host;
    host.angle = (options & 1) ? quantaro::AngleUnit::Radians : quantaro::AngleUnit::Degrees;
    host.promptOption = (options & 2) != 0;
    const int selection = (options >> 2) & 3;
    host.formula.assign(reinterpret_cast<const char*>(data + 1), size - 1);

    quantaro::NameTable variables = initialVariables;
    quantaro::Engine engine(quantaro::EngineTables{operators, constants, variables}, host);
    bool faulted = false;
    try {
        engine.ExecuteEquations(selection);
    } catch (const quantaro::FloatingPointFault&) {
        faulted = true;
    }

    const int code = engine.resultCode();
    if (code < 0 || code > 9) Fail(host, engine, "result code outside 0 to 9");
    if ((code == quantaro::kEmptyFormula) != (!faulted && host.formula.empty())) {
        Fail(host, engine, "code 8 must mean exactly an empty formula");
    }

    // Only value cells of the variable table change, and only to number texts
    // in the form FormatNumber writes.
    for (int row = 0; row <= variables.rowCount(); ++row) {
        if (variables.name(row) != initialVariables.name(row) ||
            variables.cell(quantaro::UnitsColumn, row) !=
                initialVariables.cell(quantaro::UnitsColumn, row)) {
            Fail(host, engine, "a run changed a name or units cell");
        }
        const std::string& value = variables.value(row);
        if (value == initialVariables.value(row)) continue;
        if (row == 0 || variables.name(row).empty())
            Fail(host, engine, "a run wrote into a heading or free row");
        if (!quantaro::IsNumberText(value)) {
            PrintEscaped("stored", value);
            Fail(host, engine, "a run stored a text that is not a number");
        }
        const long double stored = *quantaro::ParseNumber(value);
        if (WellInsideRange(stored) && quantaro::FormatNumber(stored) != value) {
            PrintEscaped("stored", value);
            Fail(host, engine, "a stored value is not in the form FormatNumber writes");
        }
        if (variables.findRow(variables.name(row)) != row) {
            Fail(host, engine, "a result went to a row that lookups never find");
        }
    }

    if (faulted) {
        // A fault escapes before the end of the run: no message, no change to
        // the loop timer or the stop flag.
        if (!host.messages.empty() || !host.timerHistory.empty() || host.loopStopped ||
            host.prompts != 0) {
            Fail(host, engine, "a fault was reported like a result code");
        }
        return 0;
    }

    if (code == quantaro::kSuccess) {
        if (!host.messages.empty() || host.loopStopped)
            Fail(host, engine, "a successful run showed an error");
        if (!engine.errorItem().empty()) Fail(host, engine, "a successful run left an error item");
        const std::vector<bool> expectedTimer =
            host.promptOption ? std::vector<bool>{false, true} : std::vector<bool>{};
        if (host.timerHistory != expectedTimer)
            Fail(host, engine, "the loop timer was switched wrongly after success");
        if (host.prompts != (host.promptOption ? 1 : 0))
            Fail(host, engine, "wrong number of completion prompts");
        return 0;
    }

    // A failed run shows exactly one message, stops the loop and leaves its timer off.
    if (host.messages.size() != 1) Fail(host, engine, "a failed run must show exactly one message");
    if (!host.loopStopped) Fail(host, engine, "a failed run did not stop the loop");
    if (host.timerHistory.empty() || host.timerHistory.back())
        Fail(host, engine, "a failed run left the loop timer on");
    if (host.prompts != 0) Fail(host, engine, "a failed run showed the completion prompt");

    const std::string& message = host.messages.front();
    if (code == quantaro::kEmptyFormula) {
        if (message != "Empty formula") Fail(host, engine, "wrong text for an empty formula");
        return 0;
    }
    if (!message.starts_with("Equation "))
        Fail(host, engine, "an error message lacks the equation prefix");

    if (code == quantaro::kUnknownItem) {
        const std::string& item = engine.errorItem();
        if (item.empty() || item.find(' ') != std::string::npos ||
            item.find_first_of("\r\n") != std::string::npos) {
            Fail(host, engine, "the unknown item is not one word");
        }
        // Line breaks are dropped from equations, so a word may span lines.
        if (WithoutLineBreaks(host.formula).find(item) == std::string::npos) {
            Fail(host, engine, "the unknown item does not occur in the formula");
        }
        if (!message.ends_with("Unknown Item \"" + item + "\""))
            Fail(host, engine, "the message does not name the unknown item");
    }
    if (code == quantaro::kDomainError) {
        if (engine.errorItem().empty()) Fail(host, engine, "a domain error without a detail text");
        if (!message.ends_with("Domain Error: " + engine.errorItem()))
            Fail(host, engine, "the message does not carry the detail text");
    }
    return 0;
}
