#include "engine/OperatorRegistry.h"

#include <functional>
#include <iterator>
#include <string>
#include <unordered_map>

#include "engine/NameTable.h"
#include "engine/Operators.h"

namespace quantaro {
namespace {

namespace op = operators;

// Rows 1 to 66 of the operator grid, in order.
constexpr OperatorDefinition kOperators[] = {
    {"=", 2, op::Assign},
    {"(", 0, nullptr},
    {")", 0, nullptr},
    {"+", 2, op::Add},
    {"-", 2, op::Subtract},
    {"*", 2, op::Multiply},
    {"/", 2, op::Divide},
    {"1/", 1, op::Reciprocal},
    {"^2", 1, op::Square},
    {"^3", 1, op::Cube},
    {"e^", 1, op::ExpOf},
    {"2^", 1, op::TwoToThe},
    {"10^", 1, op::TenToThe},
    {"^", 2, op::Power},
    {"NEG", 1, op::Negate},
    {"2ROOT", 1, op::SquareRoot},
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
    {"==", 2, op::Equal},
    {"<>", 2, op::NotEqual},
    {"<", 2, op::Less},
    {">", 2, op::Greater},
    {"<=", 2, op::LessOrEqual},
    {">=", 2, op::GreaterOrEqual},
    {"AND", 2, op::And},
    {"OR", 2, op::Or},
    {"NOT", 1, op::Not},
    {"NAND", 2, op::Nand},
    {"NOR", 2, op::Nor},
    {"XOR", 2, op::Xor},
};

// The operator grid has one row per operator under its heading.
static_assert(std::size(kOperators) == kOperatorTableRows - 1);

// The operators' functions by folded name. The hash is transparent, so that
// a lookup by string_view needs no copy of the name.
class OperatorDispatch {
  public:
    OperatorDispatch() {
        for (const OperatorDefinition& op : kOperators) {
            if (op.apply != nullptr) byName_.emplace(FoldToUpper(op.name), op.apply);
        }
    }

    OperatorFunction find(std::string_view upperName) const {
        const auto it = byName_.find(upperName);
        return it == byName_.end() ? nullptr : it->second;
    }

  private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>{}(name);
        }
    };

    std::unordered_map<std::string, OperatorFunction, NameHash, std::equal_to<>> byName_;
};

}  // namespace

std::span<const OperatorDefinition> OperatorDefinitions() {
    return kOperators;
}

OperatorFunction FindOperator(std::string_view upperName) {
    static const OperatorDispatch dispatch;
    return dispatch.find(upperName);
}

}  // namespace quantaro
