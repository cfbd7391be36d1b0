// Rounding, 32-bit integer division, comparisons and the Boolean operators.

#include <climits>
#include <cmath>
#include <string_view>

#include "engine/ApplyOperator.h"
#include "engine/OperatorBodies.h"
#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro {
namespace {

enum class Division { Quotient, Remainder };

// Both operands must be whole 32-bit integers and the divisor nonzero. The
// one quotient that does not fit, -2147483648 / -1, is refused as well.
OperatorResult IntegerDivide(const OperatorArgs& a, Division kind) {
    const auto invalid = [&] {
        const char* name = kind == Division::Quotient ? " DIV " : " MOD ";
        return DomainError(Detail({"Invalid integer divide: ", a.left, name, a.right}));
    };
    const int left = TruncateToInteger(a.left);
    if (a.left != left) return invalid();
    const int right = TruncateToInteger(a.right);
    if (a.right != right) return invalid();
    if (right == 0) return invalid();
    if (left == INT_MIN && right == -1) return invalid();
    return Value(kind == Division::Quotient ? left / right : left % right);
}

OperatorResult Truth(bool holds) {
    return Value(bodies::Truth(holds));
}

bool IsBoolean(long double x) {
    return x == 0 || x == 1;
}

// name is the operator as written in the detail text, with its blanks.
template <bool (*Combine)(bool, bool)>
OperatorResult Binary(const OperatorArgs& a, std::string_view name) {
    if (!IsBoolean(a.left) || !IsBoolean(a.right)) {
        return DomainError(Detail({"Invalid Binary operation. \"", a.left, name, a.right, "\""}));
    }
    return Truth(Combine(a.left == 1, a.right == 1));
}

bool BothTrue(bool l, bool r) {
    return l && r;
}
bool EitherTrue(bool l, bool r) {
    return l || r;
}
bool NotBothTrue(bool l, bool r) {
    return !(l && r);
}
bool NeitherTrue(bool l, bool r) {
    return !(l || r);
}
bool Differ(bool l, bool r) {
    return l != r;
}

}  // namespace

namespace operators {

OperatorResult Round(const OperatorArgs& a) {
    return Value(RoundToInteger(a.left));
}
OperatorResult Trunc(const OperatorArgs& a) {
    return Value(TruncateToInteger(a.left));
}
OperatorResult Frac(const OperatorArgs& a) {
    return Value(a.left - std::trunc(a.left));
}

OperatorResult Div(const OperatorArgs& a) {
    return IntegerDivide(a, Division::Quotient);
}
OperatorResult Mod(const OperatorArgs& a) {
    return IntegerDivide(a, Division::Remainder);
}

OperatorResult Equal(const OperatorArgs& a) {
    return Value(bodies::Equal(a.left, a.right));
}
OperatorResult NotEqual(const OperatorArgs& a) {
    return Value(bodies::NotEqual(a.left, a.right));
}
OperatorResult Less(const OperatorArgs& a) {
    return Value(bodies::Less(a.left, a.right));
}
OperatorResult Greater(const OperatorArgs& a) {
    return Value(bodies::Greater(a.left, a.right));
}
OperatorResult LessOrEqual(const OperatorArgs& a) {
    return Value(bodies::LessOrEqual(a.left, a.right));
}
OperatorResult GreaterOrEqual(const OperatorArgs& a) {
    return Value(bodies::GreaterOrEqual(a.left, a.right));
}

OperatorResult And(const OperatorArgs& a) {
    return Binary<BothTrue>(a, " AND ");
}
OperatorResult Or(const OperatorArgs& a) {
    return Binary<EitherTrue>(a, " OR ");
}
OperatorResult Nand(const OperatorArgs& a) {
    return Binary<NotBothTrue>(a, " NAND ");
}
OperatorResult Nor(const OperatorArgs& a) {
    return Binary<NeitherTrue>(a, " NOR ");
}
OperatorResult Xor(const OperatorArgs& a) {
    return Binary<Differ>(a, " XOR ");
}

OperatorResult Not(const OperatorArgs& a) {
    if (!IsBoolean(a.left)) {
        return DomainError(Detail({"Invalid Binary operation. \"NOT ", a.left, "\""}));
    }
    return Truth(a.left == 0);
}

}  // namespace operators
}  // namespace quantaro
