#include "studies/UnitRules.h"

#include "engine/NameFolding.h"

namespace quantaro {
namespace {

struct UnitRuleRow {
    std::string_view name;
    UnitRule rule;
};

using enum UnitRule;

// Row by row as the operator grid lists the operators.
constexpr UnitRuleRow kUnitRules[] = {
    {"=", Assign},
    {"(", Bracket},
    {")", Bracket},
    {"+", SameDimension},
    {"-", SameDimension},
    {"*", Multiply},
    {"/", Divide},
    {"1/", Reciprocal},
    {"^2", Square},
    {"^3", Cube},
    {"e^", Dimensionless},
    {"2^", Dimensionless},
    {"10^", Dimensionless},
    {"^", Power},
    {"NEG", KeepDimension},
    {"2ROOT", SquareRoot},
    {"3ROOT", CubeRoot},
    {"ROOT", Root},
    {"LN", Dimensionless},
    {"LOG2", Dimensionless},
    {"LOG10", Dimensionless},
    {"LOG", Dimensionless},
    {"!", Dimensionless},
    {"nPr", Dimensionless},
    {"nCr", Dimensionless},
    {"SIN", Circular},
    {"COS", Circular},
    {"TAN", Circular},
    {"COSEC", Circular},
    {"SEC", Circular},
    {"COT", Circular},
    {"ARCSIN", InverseCircular},
    {"ARCCOS", InverseCircular},
    {"ARCTAN", InverseCircular},
    {"ARCCOSEC", InverseCircular},
    {"ARCSEC", InverseCircular},
    {"ARCCOT", InverseCircular},
    {"SINH", Dimensionless},
    {"COSH", Dimensionless},
    {"TANH", Dimensionless},
    {"COSECH", Dimensionless},
    {"SECH", Dimensionless},
    {"COTH", Dimensionless},
    {"ARCSINH", Dimensionless},
    {"ARCCOSH", Dimensionless},
    {"ARCTANH", Dimensionless},
    {"ARCCOSECH", Dimensionless},
    {"ARCSECH", Dimensionless},
    {"ARCCOTH", Dimensionless},
    {"ROUND", KeepDimension},
    {"TRUNC", KeepDimension},
    {"FRAC", KeepDimension},
    {"DIV", IntegerDivide},
    {"MOD", IntegerDivide},
    {"==", Compare},
    {"<>", Compare},
    {"<", Compare},
    {">", Compare},
    {"<=", Compare},
    {">=", Compare},
    {"AND", Dimensionless},
    {"OR", Dimensionless},
    {"NOT", Dimensionless},
    {"NAND", Dimensionless},
    {"NOR", Dimensionless},
    {"XOR", Dimensionless},
};

}  // namespace

std::optional<UnitRule> UnitRuleOf(std::string_view name) {
    for (const UnitRuleRow& row : kUnitRules) {
        if (NamesEqual(row.name, name)) return row.rule;
    }
    return std::nullopt;
}

}  // namespace quantaro
