
#include "engine/OperatorBodies.h"
#include "engine/OperatorSupport.h"
#include "engine/Operators.h"

namespace quantaro::operators {

OperatorResult Assign(const OperatorArgs& a) {
    return Value(a.left);
}
OperatorResult Add(const OperatorArgs& a) {
    return Value(bodies::Add(a.left, a.right));
}
OperatorResult Subtract(const OperatorArgs& a) {
    return Value(bodies::Subtract(a.left, a.right));
}
OperatorResult Multiply(const OperatorArgs& a) {
    return Value(bodies::Multiply(a.left, a.right));
}

OperatorResult Divide(const OperatorArgs& a) {
    if (bodies::DivisorFails(a.right)) return DomainError("Divide by 0.");
    return Value(bodies::Divide(a.left, a.right));
}

OperatorResult Reciprocal(const OperatorArgs& a) {
    if (bodies::DivisorFails(a.left)) return DomainError("1 over 0.");
    return Value(bodies::Reciprocal(a.left));
}

OperatorResult Negate(const OperatorArgs& a) {
    return Value(bodies::Negate(a.left));
}

}  // namespace quantaro::operators
