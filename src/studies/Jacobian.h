#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace quantaro {

// The residuals of a study's equations at the unknowns x: writes one value
// per residual and returns false when they cannot be evaluated there (a run
// failed, or a residual came out infinite or not a number).
using ResidualFunction =
    std::function<bool(std::span<const long double> x, std::span<long double> residuals)>;

// The matrix of partial derivatives d residual[i] / d x[j], row by row.
struct Jacobian {
    std::size_t rows = 0;     // one per residual
    std::size_t columns = 0;  // one per unknown
    std::vector<long double> entries;

    long double at(std::size_t row, std::size_t column) const {
        return entries[row * columns + column];
    }
};

struct JacobianResult {
    bool ok = false;
    // When not ok: the unknown whose step away from x could not be evaluated.
    std::size_t failedColumn = 0;
    Jacobian jacobian;
};

// The steps: relative to |x| (2^-20 balances the central difference's
// truncation error, of order h^2, against the rounding of 64-bit mantissas,
// of order 2^-64 / h), and absolute where x is zero.
struct JacobianSteps {
    long double relative = 0x1p-20L;
    long double absolute = 0x1p-20L;
};

// The Jacobian of `residuals` at x by central differences, one unknown at a
// time: (r(x + h e_j) - r(x - h e_j)) / (2h), with h the distance actually
// stepped, so that the rounding of x + h does not bias the quotient.
// `residualCount` values are asked of each evaluation.
JacobianResult FiniteDifferenceJacobian(const ResidualFunction& residuals,
                                        std::span<const long double> x, std::size_t residualCount,
                                        JacobianSteps steps = {});

}  // namespace quantaro
