#pragma once

#include <string>

#include "ApplyOperator.h"
#include "FloatingPointFault.h"
#include "Numbers.h"

namespace quantaro::testing {

// What the user would see of one operator: the value as written by
// FormatNumber, the detail text of a domain error, or the text of an
// arithmetic fault.
inline std::string Shown(const char* name, long double l, long double r,
                         AngleUnit unit = AngleUnit::Degrees) {
    std::string item = "untouched";
    try {
        const OperatorOutcome outcome = ApplyOperator(name, l, r, unit, item);
        if (outcome.code == kDomainErrorCode) return item;
        if (outcome.code != 0 || item != "untouched") return "unexpected outcome";
        return FormatNumber(outcome.value);
    } catch (const FloatingPointFault& fault) {
        return fault.what();
    }
}

}  // namespace quantaro::testing
