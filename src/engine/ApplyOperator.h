#pragma once

#include <string>
#include <string_view>

#include "engine/AngleUnit.h"
#include "engine/Messages.h"
#include "engine/OperatorRegistry.h"

namespace quantaro {

struct OperatorOutcome {
    long double value = 0.0L;
    ResultCode code = ResultCode::Success;  // or DomainError
};

// Applies an operator of the registry to the left operand L and the right
// operand R (0 for one-operand operators). A failing domain check gives code
// 9 and replaces errorItem with the detail text; errorItem is untouched
// otherwise. "(" and ")" give 0 with code 0. Arithmetic faults the checks do
// not catch throw FloatingPointFault.
OperatorOutcome ApplyOperator(const OperatorDefinition& op, long double left, long double right,
                              AngleUnit angle, std::string& errorItem);
// The same for the operator named name in upper case ("E^", "NPR"); a name
// that is not an operator's in upper case gives 0 with code 0.
OperatorOutcome ApplyOperator(std::string_view name, long double left, long double right,
                              AngleUnit angle, std::string& errorItem);

// Conversions to a signed 32-bit integer; a value outside that range throws
// FloatingPointFault (invalid operation).
int TruncateToInteger(long double x);
int RoundToInteger(long double x);  // ties to even

// Whether x is whole as the named conversion decides it: x equals its
// converted value. Outside the 32-bit range both raise the fault.
bool IsWholeByTruncation(long double x);
bool IsWholeByRounding(long double x);

}  // namespace quantaro
