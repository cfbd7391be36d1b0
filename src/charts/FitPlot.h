#pragma once

#include "charts/TrajectoryPlot.h"
#include "studies/Fit.h"

namespace quantaro {

// The horizontal axis that counts the data's rows (or, for a fit by pass,
// the passes) instead of a column of the data.
inline constexpr int kRowAxis = -1;

enum class FitChart { MeasuredAndFitted, Residuals };

// A fit's chart against a column of the data (or kRowAxis): for each
// measured column, its values and the model's, or their differences, in
// the order of the horizontal values. Rows left out of the fit are left out.
Plot MakeFitPlot(const FitResult& result, const DataTable& data, const FitSetup& setup,
                 int horizontalColumn, FitChart chart);

}  // namespace quantaro
