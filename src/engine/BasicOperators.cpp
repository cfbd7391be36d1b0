
#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro::operators {

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

}  // namespace quantaro::operators
