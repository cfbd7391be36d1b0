#pragma once

// The functions of the operators that compute a value, one per operator,
// grouped by the file that defines them. The operator registry gives each
// its name and operand count.

#include "engine/OperatorFunction.h"

namespace quantaro::operators {

// BasicOperators.cpp
OperatorResult Assign(const OperatorArgs& a);
OperatorResult Add(const OperatorArgs& a);
OperatorResult Subtract(const OperatorArgs& a);
OperatorResult Multiply(const OperatorArgs& a);
OperatorResult Divide(const OperatorArgs& a);
OperatorResult Reciprocal(const OperatorArgs& a);
OperatorResult Negate(const OperatorArgs& a);

// PowerOperators.cpp: powers, roots, logarithms, counting
OperatorResult Square(const OperatorArgs& a);
OperatorResult Cube(const OperatorArgs& a);
OperatorResult ExpOf(const OperatorArgs& a);
OperatorResult TwoToThe(const OperatorArgs& a);
OperatorResult TenToThe(const OperatorArgs& a);
OperatorResult Power(const OperatorArgs& a);
OperatorResult SquareRoot(const OperatorArgs& a);
OperatorResult CubeRoot(const OperatorArgs& a);
OperatorResult Root(const OperatorArgs& a);
OperatorResult NaturalLog(const OperatorArgs& a);
OperatorResult BinaryLog(const OperatorArgs& a);
OperatorResult DecimalLog(const OperatorArgs& a);
OperatorResult LogToBase(const OperatorArgs& a);
OperatorResult Factorial(const OperatorArgs& a);
OperatorResult Permutations(const OperatorArgs& a);
OperatorResult Combinations(const OperatorArgs& a);

// CircularOperators.cpp: circular and hyperbolic functions and their inverses
OperatorResult Sin(const OperatorArgs& a);
OperatorResult Cos(const OperatorArgs& a);
OperatorResult Tan(const OperatorArgs& a);
OperatorResult Cosec(const OperatorArgs& a);
OperatorResult Sec(const OperatorArgs& a);
OperatorResult Cot(const OperatorArgs& a);
OperatorResult ArcSin(const OperatorArgs& a);
OperatorResult ArcCos(const OperatorArgs& a);
OperatorResult ArcTan(const OperatorArgs& a);
OperatorResult ArcCosec(const OperatorArgs& a);
OperatorResult ArcSec(const OperatorArgs& a);
OperatorResult ArcCot(const OperatorArgs& a);
OperatorResult Sinh(const OperatorArgs& a);
OperatorResult Cosh(const OperatorArgs& a);
OperatorResult Tanh(const OperatorArgs& a);
OperatorResult Cosech(const OperatorArgs& a);
OperatorResult Sech(const OperatorArgs& a);
OperatorResult Coth(const OperatorArgs& a);
OperatorResult ArcSinh(const OperatorArgs& a);
OperatorResult ArcCosh(const OperatorArgs& a);
OperatorResult ArcTanh(const OperatorArgs& a);
OperatorResult ArcCosech(const OperatorArgs& a);
OperatorResult ArcSech(const OperatorArgs& a);
OperatorResult ArcCoth(const OperatorArgs& a);

// IntegerAndLogicOperators.cpp: rounding, DIV, MOD, comparisons, Boolean
OperatorResult Round(const OperatorArgs& a);
OperatorResult Trunc(const OperatorArgs& a);
OperatorResult Frac(const OperatorArgs& a);
OperatorResult Div(const OperatorArgs& a);
OperatorResult Mod(const OperatorArgs& a);
OperatorResult Equal(const OperatorArgs& a);
OperatorResult NotEqual(const OperatorArgs& a);
OperatorResult Less(const OperatorArgs& a);
OperatorResult Greater(const OperatorArgs& a);
OperatorResult LessOrEqual(const OperatorArgs& a);
OperatorResult GreaterOrEqual(const OperatorArgs& a);
OperatorResult And(const OperatorArgs& a);
OperatorResult Or(const OperatorArgs& a);
OperatorResult Not(const OperatorArgs& a);
OperatorResult Nand(const OperatorArgs& a);
OperatorResult Nor(const OperatorArgs& a);
OperatorResult Xor(const OperatorArgs& a);

}  // namespace quantaro::operators
