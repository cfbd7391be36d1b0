#include <gtest/gtest.h>

#include <cfenv>
#include <functional>
#include <string>
#include <vector>

#include "StandardWorksheet.h"
#include "TableRows.h"
#include "engine/Engine.h"
#include "engine/OperatorRegistry.h"
#include "engine/Worksheet.h"

namespace quantaro {
namespace {

// A run's outcome in full: a fault's text, or the code, the equation and the
// message.
std::string Outcome(Engine& engine) {
    const RunOutcome outcome = engine.ExecuteEquations(0);
    if (outcome.status == ResultCode::FloatingPointFault) return outcome.message;
    return std::to_string(static_cast<int>(outcome.status)) + " #" +
           std::to_string(outcome.equationNumber) + " " + outcome.message;
}

using testing::CopyOfTexts;
using testing::FillRows;
using testing::SetRow;

// The row of the constant K, after the standard ones.
constexpr int kKRow = testing::kFirstFreeConstantRow;

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
    Worksheet sheet = testing::StandardWorksheet();
    sheet.setFormula("A + B = X\r\nX * K = Y\r\nY + X 2ROOT = Z\r\n30 SIN = S");
    SetRow(sheet.constants, kKRow, {"K", "3"});
    FillRows(sheet.variables, {{"Z", "0"}, {"S", "0"}}, testing::kFirstFreeVariableRow);
    Engine engine(sheet);
    ASSERT_EQ(Outcome(engine), "0 #4 ");

    Worksheet fresh = CopyOfTexts(sheet);
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
        EditCase{"constant value",
                 [](Worksheet& s) { s.constants.setCell(ValueColumn, kKRow, "-1"); }},
        EditCase{"value that overflows when read",
                 [](Worksheet& s) { s.variables.setCell(ValueColumn, 2, "1E5000"); }},
        EditCase{"value that is no number",
                 [](Worksheet& s) { s.variables.setCell(ValueColumn, 1, "ten"); }},
        EditCase{"variable renamed",
                 [](Worksheet& s) { s.variables.setCell(NameColumn, 2, "BB"); }},
        EditCase{"constant shadows a variable",
                 [](Worksheet& s) {
                     SetRow(s.constants, kKRow + 1, {"B", "100"});
                 }},
        EditCase{"name in the hidden last row",
                 [](Worksheet& s) {
                     SetRow(s.variables, s.variables.rowCount(), {"K2", "5"});
                 }},
        EditCase{"name of a result removed",
                 [](Worksheet& s) { s.variables.setCell(NameColumn, 4, ""); }},
        EditCase{"rows copied in, as a file is opened",
                 [](Worksheet& s) {
                     NameTable other = MakeVariableTable();
                     FillRows(
                         other,
                         {{"X", "1"}, {"A", "2"}, {"B", "3"}, {"Y", "4"}, {"Z", "5"}, {"S", "6"}});
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

// A run ends at the operator that raised a fault, so its message names that
// fault even where a later operator raises another, throws one or fails its
// check; a compiled equation tests the flags only when it ends.
TEST(RunFaults, TheMessageNamesTheFirstFault) {
    const struct {
        const char* formula;
        const char* fault;
    } cases[] = {
        {"BIG * BIG * 0 = X", "Floating point overflow"},  // then infinity times 0
        {"1E-25 COSECH * 0 = X", "Floating point division by zero"},
        {"BIG * BIG ROUND = X", "Floating point overflow"},    // then a 32-bit conversion
        {"BIG * BIG * 0 / 0 = X", "Floating point overflow"},  // then "Divide by 0."
    };
    for (const EngineMode mode : {EngineMode::Compiled, EngineMode::Interpreted}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.formula);
            Worksheet sheet = testing::StandardWorksheet();
            SetRow(sheet.constants, testing::kFirstFreeConstantRow, {"BIG", "1E4000"});
            sheet.setFormula(c.formula);
            Engine engine(sheet, mode);
            EXPECT_EQ(Outcome(engine), c.fault);
            EXPECT_EQ(Outcome(engine), c.fault) << "run again";
            EXPECT_EQ(sheet.variables.value(3), "old");
        }
    }
}

// A pass tests the flags once, at its end; when one is raised, it is run
// again from the values it started from, to stop at its first fault. The
// third equation overflows and the fifth divides by zero.
TEST(RunFaults, APassStopsAtItsFirstFaultWithOnlyTheResultsBeforeIt) {
    Worksheet sheet = testing::StandardWorksheet();
    SetRow(sheet.constants, testing::kFirstFreeConstantRow, {"BIG", "1E4000"});
    std::string formula = "R1 + 1 = R1\r\nR1 * 2 = R2\r\nBIG * BIG = R3\r\nR3 = R4";
    formula += "\r\n1E-25 COSECH = R5";
    std::vector<std::string> expected = {"6", "12"};
    for (int n = 1; n <= 11; ++n) {
        const std::string name = "R" + std::to_string(n);
        SetRow(sheet.variables, testing::kFirstFreeVariableRow + n - 1,
               {name, n == 1 ? "5" : "old"});
        if (n > 5) formula += "\r\nA = " + name;
        if (n > 2) expected.push_back("old");
    }
    sheet.setFormula(formula);
    Engine engine(sheet);
    const RunOutcome outcome = engine.ExecuteEquations(0);
    EXPECT_EQ(outcome.message, "Floating point overflow");
    EXPECT_EQ(outcome.equationNumber, 3);
    std::vector<std::string> values;
    for (int n = 1; n <= 11; ++n)
        values.push_back(sheet.variables.value(testing::kFirstFreeVariableRow + n - 1));
    EXPECT_EQ(values, expected);
}

// A flag left raised by whatever ran before a run is no fault of the run's.
TEST(RunFaults, AFlagRaisedBeforeARunIsNotItsFault) {
    Worksheet sheet = testing::StandardWorksheet();
    SetRow(sheet.variables, testing::kFirstFreeVariableRow, {"R1", "1"});
    sheet.setFormula("R1 / 3 = R1");
    Engine engine(sheet);
    for (const int flag : {FE_OVERFLOW, FE_DIVBYZERO, FE_INVALID}) {
        std::feraiseexcept(flag);
        EXPECT_EQ(Outcome(engine), "0 #1 ");
    }
    EXPECT_EQ(sheet.variables.value(testing::kFirstFreeVariableRow), "0.037037037037037");
}

// A run's outcome and the bytes of the extended value it stored into X (the
// text when it stored none).
std::string OutcomeAndResult(Worksheet& sheet, EngineMode mode) {
    Engine engine(sheet, mode);
    std::string described = Outcome(engine) + " X=";
    const int x = sheet.variables.findRow("X");
    if (const long double* stored = sheet.variables.storedResult(x)) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(stored);
        for (int i = 0; i < 10; ++i) {
            described += "0123456789abcdef"[bytes[i] >> 4];
            described += "0123456789abcdef"[bytes[i] & 15];
        }
        return described += " " + sheet.variables.value(x);
    }
    return described + sheet.variables.value(x);
}

// Every operator that a compiled equation applies inline, compiled and
// interpreted, on edge operands read from the variables (and one infinity
// made by an overflow): the same code, message or fault, and the same value
// bit for bit, the sign of zero included.
TEST(InlineOperators, CompiledAndInterpretedAgreeBitForBitOnEdgeOperands) {
    const std::vector<std::string> values = {
        "0", "-0", "1", "-1", "3", "0.5", "1E4000", "-1E4000", "1E-4000", "1E-4940", "1E4931"};
    std::vector<std::string> operands;
    Worksheet start = testing::StandardWorksheet();
    for (std::size_t k = 0; k < values.size(); ++k) {
        operands.push_back("V" + std::to_string(k));
        SetRow(start.variables, testing::kFirstFreeVariableRow + static_cast<int>(k),
               {operands.back(), values[k]});
    }
    operands.push_back("( V6 * V6 )");  // infinity, with the overflow flag raised
    int inlined = 0;
    for (const OperatorDefinition& op : Operators().all()) {
        if (op.code == InlineCode::Call) continue;
        ++inlined;
        for (const std::string& left : operands) {
            for (const std::string& right : operands) {  // once for one operand
                const std::string formula =
                    op.operandCount == 2 ? left + ' ' + std::string(op.name) + ' ' + right + " = X"
                                         : left + ' ' + std::string(op.name) + " = X";
                Worksheet compiled = start;
                compiled.setFormula(formula);
                Worksheet interpreted = compiled;
                EXPECT_EQ(OutcomeAndResult(compiled, EngineMode::Compiled),
                          OutcomeAndResult(interpreted, EngineMode::Interpreted))
                    << formula;
                if (op.operandCount < 2) break;
            }
        }
    }
    EXPECT_GT(inlined, 0);
}

}  // namespace
}  // namespace quantaro
