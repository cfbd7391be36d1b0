#include <array>

#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro {
namespace operators {

OperatorResult Assign(const OperatorArgs& a) {
    return Value(a.left);
}
OperatorResult Add(const OperatorArgs& a) {
    return Value(a.left + a.right);
}
OperatorResult Subtract(const OperatorArgs& a) {
    return Value(a.left - a.right);
}
OperatorResult Multiply(const OperatorArgs& a) {
    return Value(a.left * a.right);
}

OperatorResult Divide(const OperatorArgs& a) {
    if (a.right == 0) return DomainError("Divide by 0.");
    return Value(a.left / a.right);
}

OperatorResult Reciprocal(const OperatorArgs& a) {
    if (a.left == 0) return DomainError("1 over 0.");
    return Value(1.0L / a.left);
}

OperatorResult Negate(const OperatorArgs& a) {
    return Value(-a.left);
}

}  // namespace operators

namespace {

constexpr std::array kBasicOperators{
    OperatorEntry{"=", operators::Assign},   OperatorEntry{"+", operators::Add},
    OperatorEntry{"-", operators::Subtract}, OperatorEntry{"*", operators::Multiply},
    OperatorEntry{"/", operators::Divide},   OperatorEntry{"1/", operators::Reciprocal},
    OperatorEntry{"NEG", operators::Negate},
};

}  // namespace

std::span<const OperatorEntry> BasicOperators() {
    return kBasicOperators;
}

}  // namespace quantaro
