#include "engine/OperatorTable.h"

#include <array>

namespace quantaro {
namespace {

constexpr std::array<OperatorDefinition, 66> kOperators{{
    {"=", 2},       {"(", 0},         {")", 0},       {"+", 2},       {"-", 2},
    {"*", 2},       {"/", 2},         {"1/", 1},      {"^2", 1},      {"^3", 1},
    {"e^", 1},      {"2^", 1},        {"10^", 1},     {"^", 2},       {"NEG", 1},
    {"2ROOT", 1},   {"3ROOT", 1},     {"ROOT", 2},    {"LN", 1},      {"LOG2", 1},
    {"LOG10", 1},   {"LOG", 2},       {"!", 1},       {"nPr", 2},     {"nCr", 2},
    {"SIN", 1},     {"COS", 1},       {"TAN", 1},     {"COSEC", 1},   {"SEC", 1},
    {"COT", 1},     {"ARCSIN", 1},    {"ARCCOS", 1},  {"ARCTAN", 1},  {"ARCCOSEC", 1},
    {"ARCSEC", 1},  {"ARCCOT", 1},    {"SINH", 1},    {"COSH", 1},    {"TANH", 1},
    {"COSECH", 1},  {"SECH", 1},      {"COTH", 1},    {"ARCSINH", 1}, {"ARCCOSH", 1},
    {"ARCTANH", 1}, {"ARCCOSECH", 1}, {"ARCSECH", 1}, {"ARCCOTH", 1}, {"ROUND", 1},
    {"TRUNC", 1},   {"FRAC", 1},      {"DIV", 2},     {"MOD", 2},     {"==", 2},
    {"<>", 2},      {"<", 2},         {">", 2},       {"<=", 2},      {">=", 2},
    {"AND", 2},     {"OR", 2},        {"NOT", 1},     {"NAND", 2},    {"NOR", 2},
    {"XOR", 2},
}};

}  // namespace

std::span<const OperatorDefinition> OperatorDefinitions() {
    return kOperators;
}

}  // namespace quantaro
