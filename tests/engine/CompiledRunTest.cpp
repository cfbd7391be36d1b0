#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/Engine.h"
#include "engine/FloatingPointFault.h"
#include "engine/Worksheet.h"

namespace quantaro {
namespace {

// A run's outcome in full: a fault's text, or the code, the equation and the
// message.
std::string Outcome(Engine& engine) {
    try {
        const RunOutcome outcome = engine.ExecuteEquations(0);
        return std::to_string(static_cast<int>(outcome.code)) + " #" +
               std::to_string(outcome.equationNumber) + " " + outcome.message;
    } catch (const FloatingPointFault& fault) {
        return fault.what();
    }
}

// The worksheet again from its texts: no program, no number kept.
void CopyTexts(const Worksheet& from, Worksheet& to) {
    to.setFormula(from.formula());
    to.angle = from.angle;
    for (auto [source, target] :
         {std::pair{&from.constants, &to.constants}, std::pair{&from.variables, &to.variables}}) {
        for (int row = 1; row <= source->rowCount(); ++row) {
            for (int column = 0; column < source->columnCount(); ++column) {
                target->setCell(column, row, source->cell(column, row));
            }
        }
    }
}

void Row(NameTable& table, int row, const char* name, const char* value) {
    table.setCell(NameColumn, row, name);
    table.setCell(ValueColumn, row, value);
}

struct EditCase {
    const char* kind;
    std::function<void(Worksheet&)> edit;
};

void PrintTo(const EditCase& edit, std::ostream* out) {
    *out << edit.kind;
}

class CompiledRunTest : public ::testing::TestWithParam<EditCase> {};

// An engine that has run keeps its programs and the tables keep their
// numbers; after any edit its next run must give what a new engine gives on
// the same worksheet made afresh from its texts.
TEST_P(CompiledRunTest, AnEditBetweenRunsTakesEffectAsOnAFreshEngine) {
    Worksheet sheet;
    sheet.setFormula("A + B = X\r\nX * K = Y\r\nY + X 2ROOT = Z\r\n30 SIN = S");
    Row(sheet.constants, 1, "K", "3");
    Row(sheet.variables, 1, "A", "10");
    Row(sheet.variables, 2, "B", "4");
    Row(sheet.variables, 3, "X", "0");
    Row(sheet.variables, 4, "Y", "0");
    Row(sheet.variables, 5, "Z", "0");
    Row(sheet.variables, 6, "S", "0");
    Engine engine(sheet);
    ASSERT_EQ(Outcome(engine), "0 #4 ");

    Worksheet fresh;
    CopyTexts(sheet, fresh);
    GetParam().edit(sheet);
    GetParam().edit(fresh);
    Engine freshEngine(fresh);
    EXPECT_EQ(Outcome(engine), Outcome(freshEngine));
    EXPECT_TRUE(sheet.variables == fresh.variables);
    EXPECT_EQ(Outcome(engine), Outcome(freshEngine)) << "a second pass after the edit";
    EXPECT_TRUE(sheet.variables == fresh.variables);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CompiledRunTest,
    ::testing::Values(
        EditCase{"formula text", [](Worksheet& s) { s.setFormula("A * B = X\r\nX - 1 = Y"); }},
        EditCase{"variable value",
                 [](Worksheet& s) { s.variables.setCell(ValueColumn, 2, "2.5"); }},
        EditCase{"constant value", [](Worksheet& s) { s.constants.setCell(ValueColumn, 1, "-1"); }},
        EditCase{"value that overflows when read",
                 [](Worksheet& s) { s.variables.setCell(ValueColumn, 2, "1E5000"); }},
        EditCase{"value that is no number",
                 [](Worksheet& s) { s.variables.setCell(ValueColumn, 1, "ten"); }},
        EditCase{"variable renamed",
                 [](Worksheet& s) { s.variables.setCell(NameColumn, 2, "BB"); }},
        EditCase{"constant shadows a variable",
                 [](Worksheet& s) { Row(s.constants, 2, "B", "100"); }},
        EditCase{"name in the hidden last row",
                 [](Worksheet& s) { Row(s.variables, s.variables.rowCount(), "K2", "5"); }},
        EditCase{"name of a result removed",
                 [](Worksheet& s) { s.variables.setCell(NameColumn, 4, ""); }},
        EditCase{"rows copied in, as a file is opened",
                 [](Worksheet& s) {
                     NameTable other = MakeVariableTable();
                     Row(other, 1, "X", "1");
                     Row(other, 2, "A", "2");
                     Row(other, 3, "B", "3");
                     Row(other, 4, "Y", "4");
                     Row(other, 5, "Z", "5");
                     Row(other, 6, "S", "6");
                     s.variables.copyDataRowsFrom(other);
                 }},
        EditCase{"table replaced", [](Worksheet& s) { s.constants = MakeConstantTable(); }},
        EditCase{"table emptied", [](Worksheet& s) { s.variables.clearDataRows(); }},
        EditCase{"units", [](Worksheet& s) { s.variables.setCell(UnitsColumn, 1, "m"); }},
        EditCase{"angle unit", [](Worksheet& s) { s.angle = AngleUnit::Radians; }}),
    [](const ::testing::TestParamInfo<EditCase>& info) {
        std::string name;
        for (const char* c = info.param.kind; *c; ++c) name += std::isalnum(*c) ? *c : '_';
        return name;
    });

}  // namespace
}  // namespace quantaro
