#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quantaro {

class NameTable;
class Trajectory;

// The horizontal axis that shows the pass number instead of a variable.
inline constexpr int kPassAxis = -1;
// Enough points for a line as wide as a screen to look the same as all of
// them, few enough to draw twenty times a second.
inline constexpr qsizetype kMaxPlotPoints = 4000;
// The points of all a chart's lines together, which its layout and painting
// take time in proportion to.
inline constexpr qsizetype kPlotPointBudget = 4000;
// The points each of `lines` lines keeps: an equal share of the budget, but
// never fewer than a few per pixel of a chart's width.
qsizetype PointsPerSeries(std::size_t lines);

// What to draw: the trajectory column on the horizontal axis (or kPassAxis)
// and the columns drawn against it, in order.
struct PlotChoice {
    int horizontal = kPassAxis;
    std::vector<std::size_t> vertical;

    bool operator==(const PlotChoice&) const = default;
};

struct AxisRange {
    double low = 0.0;
    double high = 1.0;
    // Ticks only at whole numbers, as for counts such as pass numbers.
    bool whole = false;

    bool operator==(const AxisRange&) const = default;
};

// The narrowest span an axis is given, in its numbers' own units and as a
// share of the largest of them: Qt Charts takes a span of 1e-12 or less (or
// of 1e-12 of its numbers) for no range at all. It then draws nothing on the
// axis, keeps its old title and labels, and when a line is attached picks a
// range of its own, laying out ticks over it at the old interval.
inline constexpr double kNarrowestSpan = 1e-10;

// The range an axis can show: one narrower than kNarrowestSpan widened about
// its middle, infinite bounds pulled in to the largest doubles, bounds in the
// wrong order swapped; a NaN bound gives the default range.
AxisRange DrawableRange(const AxisRange& range);

struct PlotSeries {
    QString name;
    QList<QPointF> points;
};

// Everything a chart needs to show a trajectory. Titles and names are plain
// text.
struct Plot {
    std::vector<PlotSeries> series;
    QString horizontalTitle;
    QString verticalTitle;
    AxisRange horizontal;
    AxisRange vertical;
};

// The points of each chosen column against the horizontal axis. Rows whose
// value (or horizontal value) cannot be drawn are left out. A series of more
// than maxPoints rows keeps its first and last rows and, from each of equal
// stretches of the rows between, the lowest and highest value, so that
// spikes stay visible. The ranges cover every drawable row, not only those
// kept.
Plot MakePlot(const Trajectory& trajectory, const NameTable& variables, const PlotChoice& choice,
              qsizetype maxPoints = kMaxPlotPoints);

// One line as values: the horizontal and the vertical value of each row.
struct LineValues {
    QString name;
    std::span<const double> across;
    std::span<const double> up;
};

// The lines drawn and thinned as MakePlot draws its columns, with ranges that
// cover every drawable row; the titles are left to the caller.
Plot MakeLinesPlot(std::span<const LineValues> lines, qsizetype maxPoints = kMaxPlotPoints);

// Makes plots as MakePlot does, keeping the memory that reading a long
// history takes from one plot to the next instead of taking it afresh.
class TrajectoryPlotter {
  public:
    Plot plot(const Trajectory& trajectory, const NameTable& variables, const PlotChoice& choice,
              qsizetype maxPoints = kMaxPlotPoints);

  private:
    std::vector<double> across_;                // the horizontal values of every row
    std::vector<std::vector<double>> columns_;  // a drawn column's values, for each reader
};

// A variable's name followed by its units in brackets when it has any.
QString AxisTitle(const std::string& name, const NameTable& variables);
// The title of an axis that several variables share: one variable's own
// title, the units alone when all have the same, else "Value", so that the
// title fits however many are drawn.
QString VerticalTitle(const std::vector<std::string>& names, const NameTable& variables);

// Ticks at anchor + k * interval: round numbers, about six across the range,
// never closer than the range's numbers can tell apart.
struct AxisTicks {
    double anchor = 0.0;
    double interval = 1.0;

    bool operator==(const AxisTicks&) const = default;
};
AxisTicks RoundTicks(const AxisRange& range);

// The range scaled by factor (below 1 zooms in) so that the value `at` keeps
// its place on the axis; the range itself when the zoomed one would be
// narrower than an axis can show or wider than the doubles reach.
AxisRange ZoomAbout(const AxisRange& range, double at, double factor);

}  // namespace quantaro
