#include "charts/FitPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quantaro {
namespace {

// Widens range to hold value.
void Include(AxisRange& range, bool& empty, double value) {
    if (!std::isfinite(value)) return;
    range.low = empty ? value : std::min(range.low, value);
    range.high = empty ? value : std::max(range.high, value);
    empty = false;
}

}  // namespace

Plot MakeFitPlot(const FitResult& result, const DataTable& data, const FitSetup& setup,
                 int horizontalColumn, FitChart chart) {
    Plot plot;
    const bool rows = horizontalColumn < 0 || std::size_t(horizontalColumn) >= data.columnCount();
    const int passColumn = setup.passColumn.empty() ? -1 : data.findColumn(setup.passColumn);
    const auto across = [&](std::size_t row) -> double {
        if (!rows) return double(data.at(row, std::size_t(horizontalColumn)));
        if (setup.byPass && passColumn >= 0) return double(data.at(row, std::size_t(passColumn)));
        return double(row + 1);
    };
    plot.horizontalTitle =
        rows ? QString::fromUtf8(setup.byPass ? "Pass" : "Row")
             : QString::fromStdString(data.columns()[std::size_t(horizontalColumn)]);
    plot.horizontal.whole = rows;
    plot.verticalTitle =
        chart == FitChart::Residuals ? QStringLiteral("Residual") : QStringLiteral("Value");
    bool emptyAcross = true, emptyUp = true;
    for (std::size_t match = 0; match < setup.matches.size(); ++match) {
        const QString name = QString::fromStdString(setup.matches[match].name);
        std::vector<std::pair<double, const FitObservation*>> seen;
        for (const FitObservation& observation : result.observations) {
            if (observation.match == match)
                seen.emplace_back(across(observation.row), &observation);
        }
        std::stable_sort(seen.begin(), seen.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        const auto line = [&](const QString& title, auto value) {
            PlotSeries series{title, {}};
            for (const auto& [x, observation] : seen) {
                const double y = double(value(*observation));
                if (!std::isfinite(x) || !std::isfinite(y)) continue;
                series.points.append(QPointF(x, y));
                Include(plot.horizontal, emptyAcross, x);
                Include(plot.vertical, emptyUp, y);
            }
            plot.series.push_back(std::move(series));
        };
        if (chart == FitChart::Residuals) {
            line(name + QStringLiteral(" residual"),
                 [](const FitObservation& o) { return o.residual; });
        } else {
            line(name + QStringLiteral(" measured"),
                 [](const FitObservation& o) { return o.measured; });
            line(name + QStringLiteral(" fitted"),
                 [](const FitObservation& o) { return o.fitted; });
        }
    }
    if (chart == FitChart::Residuals) Include(plot.vertical, emptyUp, 0.0);
    plot.horizontal = DrawableRange(plot.horizontal);
    plot.vertical = DrawableRange(plot.vertical);
    return plot;
}

}  // namespace quantaro
