#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TableRows.h"
#include "engine/OperatorRegistry.h"
#include "studies/UnitCheck.h"
#include "studies/UnitRules.h"

namespace quantaro {
namespace {

using testing::FillRows;

UnitLibrary& Library() {
    UnitLibrary* library = UnitLibrary::Shared();
    if (!library) std::abort();
    return *library;
}

// Lengths, times, angles, a speed in two scales, temperatures, money and a
// cell the check cannot read; the constant K2 is the known exponent 2.
Worksheet UnitSheet(const std::string& formula, AngleUnit angle = AngleUnit::Degrees) {
    Worksheet sheet;
    FillRows(sheet.constants, {{"K2", "2"}, {"G", "9.8", "m/s^2"}});
    FillRows(sheet.variables, {{"L", "2", "m length"},
                               {"KM", "1", "km"},
                               {"T", "3", "s"},
                               {"V", "1", "m/s launch"},
                               {"VKMH", "1", "km/h"},
                               {"DEG", "30", "degrees"},
                               {"RAD", "1", "rad"},
                               {"C", "20", "degC"},
                               {"K", "300", "K"},
                               {"N", "2", ""},
                               {"CASH", "5", "EUR"},
                               {"USD", "5", "USD"},
                               {"Q", "1", "possible tickets"},
                               {"ONE", "1", "1 when all is well"},
                               {"AREA", "0", "m^2"},
                               {"X", "0", "m"},
                               {"PCT", "5", "%"},
                               {"E", "0", "kWh"},
                               {"P", "0", "W"},
                               {"H", "0", "h"}});
    sheet.setFormula(formula);
    sheet.angle = angle;
    return sheet;
}

std::vector<std::string> Lines(const std::string& formula, AngleUnit angle = AngleUnit::Degrees) {
    std::vector<std::string> lines;
    for (const UnitFinding& finding : CheckUnits(UnitSheet(formula, angle), Library()).findings)
        lines.push_back(FindingLine(finding));
    return lines;
}

TEST(UnitRules, EveryOperatorHasARule) {
    for (const OperatorDefinition& op : Operators().all())
        EXPECT_TRUE(UnitRuleOf(op.name).has_value()) << op.name;
}

// Each class of operator, with matching operands (no finding) and with
// mismatching ones (the line the batch runner prints).
TEST(UnitCheck, EachOperatorClassWithMatchingAndMismatchingOperands) {
    struct Case {
        const char* formula;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"L + L = X", {}},
        {"V + L = X", {"equation 1, step 1 (+): dimension: adds m to m/s"}},
        {"L - T = X", {"equation 1, step 1 (-): dimension: subtracts s from m"}},
        {"L < T = N", {"equation 1, step 1 (<): dimension: compares m with s"}},
        {"L MOD T = X",
         {"equation 1, step 1 (MOD): dimension: takes the remainder of m by s as "
          "whole numbers"}},
        {"L DIV L = N", {}},
        {"V * T = X", {}},
        {"L / T = V", {}},
        {"L * L = AREA", {}},
        {"L ^2 = AREA", {}},
        {"L ^3 1/ = N",
         {"equation 1, step 3 (=): dimension: the result is m⁻³ but N has no units"}},
        {"AREA 2ROOT = X", {}},
        {"L ^ K2 = AREA", {}},
        {"L ^ 2 = AREA", {}},
        {"2 ROOT AREA = X", {}},
        {"L ^ T = X", {"equation 1, step 1 (^): dimension: raises m to a power in s"}},
        {"2 ^ N = N", {}},
        {"L ^ N = X", {}},  // an unknown exponent of a length: unchecked
        {"L LN = N", {"equation 1, step 1 (LN): dimension: LN of m, which needs a plain number"}},
        {"N nCr T = N",
         {"equation 1, step 1 (nCr): dimension: nCr of s, which needs a plain "
          "number"}},
        {"ONE AND ONE = N", {}},
        {"SIN DEG = N", {}},
        {"SIN N = N", {}},
        {"SIN L = N",
         {"equation 1, step 1 (SIN): dimension: SIN of m, which is neither an "
          "angle nor a plain number"}},
        {"N ARCTAN = DEG", {}},
        {"N ARCTAN = RAD",
         {"equation 1, step 2 (=): scale: the result is degree, which is "
          "0.0174532925199433 rad, stored in RAD whose units say rad"}},
        {"L NEG ROUND = X", {}},
        {"T NEG = X", {"equation 1, step 2 (=): dimension: the result is s but X's units say m"}},
        {"CASH + USD = CASH", {"equation 1, step 1 (+): dimension: adds USD to EUR"}},
        {"P * H = E",
         {"equation 1, step 2 (=): scale: the result is W·h, which is 0.001 kWh, "
          "stored in E whose units say kWh"}},
        {"PCT / 100 + 1 = N", {}},
        {"( V + L ) * T = X", {"equation 1, step 1 (+): dimension: adds m to m/s"}},
        // Zero is zero in every unit; any other number word is a plain number.
        {"0 - V * T = X", {}},
        {"L >= 0 = N", {}},
        {"1 - L = X", {"equation 1, step 1 (-): dimension: subtracts m from a plain number"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Lines(c.formula), c.lines) << c.formula;
}

TEST(UnitCheck, ScaleFindingsGiveTheFactor) {
    EXPECT_EQ(Lines("L + KM = X"),
              std::vector<std::string>{"equation 1, step 1 (+): scale: adds km to m: ×1000"});
    EXPECT_EQ(Lines("K + C = K"),
              std::vector<std::string>{"equation 1, step 1 (+): scale: adds degC to K: +273.15"});
    EXPECT_EQ(Lines("VKMH * T = X"),
              std::vector<std::string>{"equation 1, step 2 (=): scale: the result is km·h⁻¹·s, "
                                       "which is 0.277777777777778 m, stored in X whose units "
                                       "say m"});
    EXPECT_EQ(Lines("SIN RAD = N"),
              std::vector<std::string>{"equation 1, step 1 (SIN): scale: SIN of rad while "
                                       "working in degrees: ×57.2957795130823"});
    EXPECT_EQ(Lines("SIN DEG = N", AngleUnit::Radians),
              std::vector<std::string>{"equation 1, step 1 (SIN): scale: SIN of degrees while "
                                       "working in radians: ×0.0174532925199433"});
}

TEST(UnitCheck, CellsNotUnderstoodLeaveTheirEquationsPartlyUnchecked) {
    EXPECT_EQ(Lines("L + T = X\r\nQ + L = X\r\nQ * T = L"),
              (std::vector<std::string>{
                  "equation 1, step 1 (+): dimension: adds s to m",
                  "equation 2: not understood: the units of Q (\"possible tickets\") could not "
                  "be read; the equation is checked only in part",
                  "equation 3: not understood: the units of Q (\"possible tickets\") could not "
                  "be read; the equation is checked only in part"}));
}

TEST(UnitCheck, ACellsUnitIsItsLongestLeadingPartThatReads) {
    struct Case {
        const char* cell;
        CellUnits::Status status;
        const char* unit;
        const char* note;
    };
    const Case cases[] = {
        {"m/s launch speed", CellUnits::Understood, "m/s", "launch speed"},
        {"kg sample standard deviation", CellUnits::Understood, "kg", "sample standard deviation"},
        {"degrees above horizontal", CellUnits::Understood, "degrees", "above horizontal"},
        {"kg m/s^2", CellUnits::Understood, "kg m/s^2", ""},
        {"1 when X1 is below", CellUnits::Understood, "1", "when X1 is below"},
        {"kWh", CellUnits::Understood, "kWh", ""},
        {"possible tickets", CellUnits::NotUnderstood, "", "possible tickets"},
        {"  ", CellUnits::Empty, "", ""},
    };
    for (const Case& c : cases) {
        const CellUnits read = Library().readCell(c.cell);
        EXPECT_EQ(read.status, c.status) << c.cell;
        EXPECT_EQ(read.unitText, c.unit) << c.cell;
        EXPECT_EQ(read.note, c.note) << c.cell;
    }
}

TEST(UnitCheck, StepsAreNumberedAsExplainNumbersThem) {
    // "(" and ")" are no steps; "=" is the stored result's line, the last.
    const Worksheet sheet = UnitSheet("N * ( L + L ) = X\r\nL = X");
    const UnitReport report = CheckUnits(sheet, Library());
    ASSERT_EQ(report.equations.size(), 2u);
    EXPECT_EQ(report.equations[0].stepUnits, (std::vector<std::string>{"m", "m", "m"}));
    EXPECT_EQ(report.equations[1].stepUnits, std::vector<std::string>{"m"});
    const UnitReport second = CheckUnits(UnitSheet("T + T = X\r\nL + T = X"), Library(), 2);
    ASSERT_EQ(second.findings.size(), 1u);
    const UnitFinding& finding = second.findings.front();
    EXPECT_EQ(finding.equation, 2);
    EXPECT_EQ(std::string("T + T = X\r\nL + T = X").substr(finding.at, finding.length), "+");
    EXPECT_EQ(finding.equationBegin, 11u);
}

TEST(UnitCheck, AUserFileAddsUnitsAndRefusesBadOnes) {
    std::string fault;
    const std::unique_ptr<UnitLibrary> library = UnitLibrary::Load(fault);
    ASSERT_TRUE(library) << fault;
    EXPECT_EQ(library->readCell("furlong_per_fortnight").status, CellUnits::NotUnderstood);
    const auto path = std::filesystem::temp_directory_path() / "quantaro-units-test.xml";
    std::ofstream(path) << "<unit-system>\n<!-- <unit><def>nonsense</def></unit> -->\n"
                           "<unit><def>201.168 m/(14 day)</def><symbol>fpf</symbol></unit>\n"
                           "<unit><base/><symbol>tokens</symbol></unit>\n</unit-system>\n";
    ASSERT_TRUE(library->addFile(path.string(), fault)) << fault;
    EXPECT_EQ(library->readCell("fpf racing snail").unitText, "fpf");
    EXPECT_FALSE(library->readCell("tokens").unit.sameDimension(library->readCell("EUR").unit));
    EXPECT_FALSE(
        library->addUnits("<unit-system><unit><def>no such</def></unit></unit-system>", fault));
    EXPECT_EQ(fault, "the definition \"no such\" is no unit");
    std::filesystem::remove(path);
}

}  // namespace
}  // namespace quantaro
