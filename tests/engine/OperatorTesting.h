#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "engine/ApplyOperator.h"
#include "engine/FloatingPointFault.h"
#include "engine/Numbers.h"

namespace quantaro::testing {

// What the user would see of one operator: the value as written by
// FormatNumber, the detail text of a domain error, or the text of an
// arithmetic fault.
inline std::string Shown(const char* name, long double l, long double r,
                         AngleUnit unit = AngleUnit::Degrees) {
    std::string item = "untouched";
    try {
        const OperatorOutcome outcome = ApplyOperator(name, l, r, unit, item);
        if (outcome.code == ResultCode::DomainError) return item;
        if (outcome.code != ResultCode::Success || item != "untouched") return "unexpected outcome";
        return FormatNumber(outcome.value);
    } catch (const FloatingPointFault& fault) {
        return fault.what();
    }
}

struct OperatorCase {
    const char* name;
    long double l, r;
    const char* shown;
    AngleUnit unit = AngleUnit::Degrees;
};

// Checks what each case shows.
inline void ExpectShown(std::initializer_list<OperatorCase> cases) {
    for (const OperatorCase& c : cases) {
        EXPECT_EQ(Shown(c.name, c.l, c.r, c.unit), c.shown)
            << c.name << '(' << c.l << ", " << c.r
            << (c.unit == AngleUnit::Degrees ? " deg)" : " rad)");
    }
}

}  // namespace quantaro::testing
