#include "engine/StudyPoint.h"

#include "engine/FloatingPointFault.h"

namespace quantaro {
namespace {

// Reads every name and value once, so that the copies a point starts from
// hold them read and parsed: a point then parses only its inputs' texts.
void FillCaches(const NameTable& table) {
    table.findRow({});
    for (int row = 1; row <= table.rowCount(); ++row) {
        try {
            table.number(row);
        } catch (const FloatingPointFault&) {
            // A text that overflows faults again when a run reads it.
        }
    }
}

}  // namespace

std::optional<InputCell> FindInputCell(const Worksheet& sheet, std::string_view name) {
    if (const int row = sheet.constants.findRow(name)) return InputCell{InputTable::Constants, row};
    if (const int row = sheet.variables.findRow(name)) return InputCell{InputTable::Variables, row};
    return std::nullopt;
}

NameTable& TableOf(Worksheet& sheet, InputTable table) {
    return table == InputTable::Constants ? sheet.constants : sheet.variables;
}

const NameTable& TableOf(const Worksheet& sheet, InputTable table) {
    return table == InputTable::Constants ? sheet.constants : sheet.variables;
}

std::string StudyRunError(const StudyRun& run) {
    if (run.passes < 1) return "The number of passes must be at least 1";
    if (run.equation < 0) return "The equation number must be 0 (all) or more";
    return {};
}

// The operator table is copied too: the shared one fills its name index on
// first use, which two threads must not do at once.
PointRunner::PointRunner(const Worksheet& start, StudyRun run)
    : start_(start), sheet_(start), engine_(sheet_), run_(run) {
    start_.operators = std::make_shared<const NameTable>(*start.operators);
    sheet_.operators = start_.operators;
    FillCaches(start_.constants);
    FillCaches(start_.variables);
    FillCaches(*start_.operators);
    sheet_.constants = start_.constants;
    sheet_.variables = start_.variables;
}

// Only the variables need putting back: a run writes nothing else, and the
// inputs' cells are written afresh for every point. Assigning the whole
// table keeps its names' stamp, so the engine's programs hold.
std::string PointRunner::run(std::span<const InputCell> cells, std::span<const std::string> texts) {
    sheet_.variables = start_.variables;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        TableOf(sheet_, cells[i].table).setCell(ValueColumn, cells[i].row, texts[i]);
    }
    try {
        for (int pass = 1; pass <= run_.passes; ++pass) {
            RunOutcome outcome = engine_.ExecuteEquations(run_.equation);
            if (!outcome.succeeded()) return std::move(outcome.message);
        }
    } catch (const FloatingPointFault& fault) {
        return fault.what();
    }
    return {};
}

}  // namespace quantaro
