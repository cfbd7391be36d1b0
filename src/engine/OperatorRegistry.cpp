#include "engine/OperatorRegistry.h"

#include <algorithm>

#include "engine/Operators.h"

namespace quantaro {
namespace {

namespace op = operators;

// The operator grid, row by row. An operator is added by a row here; the
// operators the compiled path applies inline name their body.
constexpr OperatorDefinition kOperatorRows[] = {
    {"=", 2, op::Assign},
    {"(", 0, nullptr},
    {")", 0, nullptr},
    {"+", 2, op::Add, InlineCode::Add},
    {"-", 2, op::Subtract, InlineCode::Subtract},
    {"*", 2, op::Multiply, InlineCode::Multiply},
    {"/", 2, op::Divide, InlineCode::Divide},
    {"1/", 1, op::Reciprocal, InlineCode::Reciprocal},
    {"^2", 1, op::Square, InlineCode::Square},
    {"^3", 1, op::Cube},
    {"e^", 1, op::ExpOf},
    {"2^", 1, op::TwoToThe},
    {"10^", 1, op::TenToThe},
    {"^", 2, op::Power},
    {"NEG", 1, op::Negate, InlineCode::Negate},
    {"2ROOT", 1, op::SquareRoot, InlineCode::SquareRoot},
    {"3ROOT", 1, op::CubeRoot},
    {"ROOT", 2, op::Root},
    {"LN", 1, op::NaturalLog},
    {"LOG2", 1, op::BinaryLog},
    {"LOG10", 1, op::DecimalLog},
    {"LOG", 2, op::LogToBase},
    {"!", 1, op::Factorial},
    {"nPr", 2, op::Permutations},
    {"nCr", 2, op::Combinations},
    {"SIN", 1, op::Sin},
    {"COS", 1, op::Cos},
    {"TAN", 1, op::Tan},
    {"COSEC", 1, op::Cosec},
    {"SEC", 1, op::Sec},
    {"COT", 1, op::Cot},
    {"ARCSIN", 1, op::ArcSin},
    {"ARCCOS", 1, op::ArcCos},
    {"ARCTAN", 1, op::ArcTan},
    {"ARCCOSEC", 1, op::ArcCosec},
    {"ARCSEC", 1, op::ArcSec},
    {"ARCCOT", 1, op::ArcCot},
    {"SINH", 1, op::Sinh},
    {"COSH", 1, op::Cosh},
    {"TANH", 1, op::Tanh},
    {"COSECH", 1, op::Cosech},
    {"SECH", 1, op::Sech},
    {"COTH", 1, op::Coth},
    {"ARCSINH", 1, op::ArcSinh},
    {"ARCCOSH", 1, op::ArcCosh},
    {"ARCTANH", 1, op::ArcTanh},
    {"ARCCOSECH", 1, op::ArcCosech},
    {"ARCSECH", 1, op::ArcSech},
    {"ARCCOTH", 1, op::ArcCoth},
    {"ROUND", 1, op::Round},
    {"TRUNC", 1, op::Trunc},
    {"FRAC", 1, op::Frac},
    {"DIV", 2, op::Div},
    {"MOD", 2, op::Mod},
    {"==", 2, op::Equal, InlineCode::Equal},
    {"<>", 2, op::NotEqual, InlineCode::NotEqual},
    {"<", 2, op::Less, InlineCode::Less},
    {">", 2, op::Greater, InlineCode::Greater},
    {"<=", 2, op::LessOrEqual, InlineCode::LessOrEqual},
    {">=", 2, op::GreaterOrEqual, InlineCode::GreaterOrEqual},
    {"AND", 2, op::And},
    {"OR", 2, op::Or},
    {"NOT", 1, op::Not},
    {"NAND", 2, op::Nand},
    {"NOR", 2, op::Nor},
    {"XOR", 2, op::Xor},
};

constexpr OperatorRegistry kRegistry(kOperatorRows);

}  // namespace

const OperatorRegistry& Operators() {
    return kRegistry;
}

const OperatorDefinition* OperatorRegistry::find(std::string_view name) const {
    for (std::size_t slot = FirstSlot(name); slots_[slot] != kNoOperator; slot = NextSlot(slot)) {
        const OperatorDefinition& op = operators_[slots_[slot]];
        if (NamesEqual(op.name, name)) return &op;
    }
    return nullptr;
}

std::size_t OperatorRegistry::longestNamePrefix(std::string_view text) const {
    for (std::size_t length = std::min(text.size(), longestName_); length > 0; --length) {
        if (find(text.substr(0, length))) return length;
    }
    return 0;
}

}  // namespace quantaro
