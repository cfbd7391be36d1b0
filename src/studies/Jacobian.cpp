#include "studies/Jacobian.h"

#include <algorithm>
#include <cmath>

namespace quantaro {

namespace {

bool EvaluateFinite(const ResidualFunction& residuals, std::span<const long double> x,
                    std::span<long double> out) {
    if (!residuals(x, out)) return false;
    return std::all_of(out.begin(), out.end(), [](long double r) { return std::isfinite(r); });
}

}  // namespace

JacobianResult FiniteDifferenceJacobian(const ResidualFunction& residuals,
                                        std::span<const long double> x, std::size_t residualCount,
                                        JacobianSteps steps) {
    JacobianResult result;
    Jacobian& jacobian = result.jacobian;
    jacobian.rows = residualCount;
    jacobian.columns = x.size();
    jacobian.entries.assign(residualCount * x.size(), 0.0L);

    std::vector<long double> point(x.begin(), x.end());
    std::vector<long double> above(residualCount);
    std::vector<long double> below(residualCount);
    for (std::size_t column = 0; column < x.size(); ++column) {
        const long double centre = x[column];
        const long double h = centre == 0.0L ? steps.absolute : std::fabs(centre) * steps.relative;
        const long double upper = centre + h;
        const long double lower = centre - h;
        point[column] = upper;
        const bool upperOk = EvaluateFinite(residuals, point, above);
        point[column] = lower;
        const bool lowerOk = upperOk && EvaluateFinite(residuals, point, below);
        point[column] = centre;
        if (!lowerOk) {
            result.failedColumn = column;
            return result;
        }
        const long double width = upper - lower;
        for (std::size_t row = 0; row < residualCount; ++row) {
            jacobian.entries[row * x.size() + column] = (above[row] - below[row]) / width;
        }
    }
    result.ok = true;
    return result;
}

}  // namespace quantaro
