#include "charts/TrajectoryPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <thread>

#include "engine/NameTable.h"
#include "engine/Trajectory.h"

namespace quantaro {
namespace {

constexpr double kLargest = std::numeric_limits<double>::max();
// Below this many rows, a line is read faster than a thread is started.
constexpr std::size_t kRowsWorthAThread = 100'000;
// Room left beside the data, as a share of its span.
constexpr long double kMarginShare = 0.05L;

double Clamped(long double value) {
    return static_cast<double>(std::clamp<long double>(value, -kLargest, kLargest));
}

// The lowest and highest of the values seen.
class Extent {
  public:
    void add(double value) {
        low_ = std::min(low_, value);
        high_ = std::max(high_, value);
    }
    void add(const Extent& other) {
        low_ = std::min(low_, other.low_);
        high_ = std::max(high_, other.high_);
    }

    // The extent with a margin of share of its span on either side; a single
    // value gets a tenth of itself (or 1 around zero) so that its flat line
    // sits inside the axis instead of on its edge.
    AxisRange range(long double share) const {
        if (low_ > high_) return {};
        const long double low = low_;
        const long double high = high_;
        long double margin = (high - low) * share;
        if (low == high) margin = low != 0.0L ? std::fabs(low) / 10 : 1.0L;
        return DrawableRange({Clamped(low - margin), Clamped(high + margin)});
    }

  private:
    double low_ = std::numeric_limits<double>::infinity();
    double high_ = -std::numeric_limits<double>::infinity();
};

// The values of a column (or the pass numbers, for kPassAxis), into values.
void ColumnValues(const Trajectory& trajectory, int column, std::vector<double>& values) {
    if (column == kPassAxis) {
        trajectory.passesAsDoubles(values);
    } else {
        trajectory.numbersAsDoubles(static_cast<std::size_t>(column), values);
    }
}

// The points of one line, thinned to at most maxPoints, and the extents of
// every drawable point: one whose values are both finite.
class SeriesBuilder {
  public:
    SeriesBuilder(std::span<const double> xs, std::span<const double> ys) : xs_(xs), ys_(ys) {}

    QList<QPointF> build(qsizetype maxPoints) {
        std::size_t first = 0;
        while (first < xs_.size() && !drawable(first)) ++first;
        if (first == xs_.size()) return {};
        std::size_t last = xs_.size() - 1;
        while (!drawable(last)) --last;
        points_.reserve(std::min<qsizetype>(qsizetype(last - first) + 1, maxPoints));
        if (last - first < static_cast<std::size_t>(maxPoints)) {
            for (std::size_t row = first; row <= last; ++row) {
                if (drawable(row)) add(row);
            }
        } else {
            add(first);
            keepExtremes(first + 1, last, static_cast<std::size_t>(maxPoints - 2) / 2);
            add(last);
        }
        return std::move(points_);
    }

    const Extent& horizontal() const { return horizontal_; }
    const Extent& vertical() const { return vertical_; }

  private:
    bool drawable(std::size_t row) const {
        return std::isfinite(xs_[row]) && std::isfinite(ys_[row]);
    }

    void add(std::size_t row) {
        points_.append(QPointF(xs_[row], ys_[row]));
        horizontal_.add(xs_[row]);
        vertical_.add(ys_[row]);
    }

    // From each of `buckets` equal stretches of the rows from begin to end,
    // the lowest and the highest point, in the order of their rows.
    void keepExtremes(std::size_t begin, std::size_t end, std::size_t buckets) {
        const std::size_t rows = end - begin;
        for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
            Extent across;
            double lowest = std::numeric_limits<double>::infinity();
            double highest = -lowest;
            std::size_t lowestRow = 0;
            std::size_t highestRow = 0;
            const std::size_t to = begin + rows * (bucket + 1) / buckets;
            for (std::size_t row = begin + rows * bucket / buckets; row < to; ++row) {
                if (!drawable(row)) continue;
                across.add(xs_[row]);
                const double y = ys_[row];
                if (y < lowest) {
                    lowest = y;
                    lowestRow = row;
                }
                if (y > highest) {
                    highest = y;
                    highestRow = row;
                }
            }
            if (lowest > highest) continue;  // no drawable row
            horizontal_.add(across);
            const auto [first, second] = std::minmax(lowestRow, highestRow);
            add(first);
            if (second != first) add(second);
        }
    }

    std::span<const double> xs_;
    std::span<const double> ys_;
    QList<QPointF> points_;
    Extent horizontal_;
    Extent vertical_;
};

}  // namespace

qsizetype PointsPerSeries(std::size_t lines) {
    constexpr qsizetype kFewest = 500;
    const qsizetype share = kPlotPointBudget / std::max<qsizetype>(qsizetype(lines), 1);
    return std::clamp(share, kFewest, kMaxPlotPoints);
}

QString AxisTitle(const std::string& name, const NameTable& variables) {
    QString title = QString::fromStdString(name);
    const int row = variables.findRow(name);
    if (row == 0) return title;
    const QString units = QString::fromStdString(variables.cell(UnitsColumn, row)).trimmed();
    if (!units.isEmpty()) title += QStringLiteral(" (%1)").arg(units);
    return title;
}

Plot MakeLinesPlot(std::span<const LineValues> lines, qsizetype maxPoints) {
    maxPoints = std::max<qsizetype>(maxPoints, 4);
    Plot plot;
    Extent horizontal;
    Extent vertical;
    for (const LineValues& line : lines) {
        SeriesBuilder builder(line.across, line.up);
        plot.series.push_back({line.name, builder.build(maxPoints)});
        horizontal.add(builder.horizontal());
        vertical.add(builder.vertical());
    }
    plot.horizontal = horizontal.range(kMarginShare);
    plot.vertical = vertical.range(kMarginShare);
    return plot;
}

Plot MakePlot(const Trajectory& trajectory, const NameTable& variables, const PlotChoice& choice,
              qsizetype maxPoints) {
    return TrajectoryPlotter().plot(trajectory, variables, choice, maxPoints);
}

Plot TrajectoryPlotter::plot(const Trajectory& trajectory, const NameTable& variables,
                             const PlotChoice& choice, qsizetype maxPoints) {
    // The first and last rows and one stretch's two extremes at the least.
    maxPoints = std::max<qsizetype>(maxPoints, 4);
    const std::vector<std::string>& names = trajectory.names();
    ColumnValues(trajectory, choice.horizontal, across_);
    const std::size_t lines = choice.vertical.size();
    Plot plot;
    plot.series.resize(lines);
    std::vector<Extent> acrossExtents(lines);
    std::vector<Extent> upExtents(lines);
    // Reading a long history is most of a redraw's time, and the lines are
    // read independently: each core reads some of them while the trajectory
    // stands still.
    const std::size_t workers = trajectory.rowCount() < kRowsWorthAThread
                                    ? 1
                                    : std::clamp<std::size_t>(std::thread::hardware_concurrency(),
                                                              1, std::max<std::size_t>(lines, 1));
    columns_.resize(workers);
    const auto readLines = [&](std::size_t worker) {
        for (std::size_t i = worker; i < lines; i += workers) {
            ColumnValues(trajectory, static_cast<int>(choice.vertical[i]), columns_[worker]);
            SeriesBuilder builder(across_, columns_[worker]);
            plot.series[i].points = builder.build(maxPoints);
            acrossExtents[i] = builder.horizontal();
            upExtents[i] = builder.vertical();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t worker = 1; worker < workers; ++worker) {
            helpers.emplace_back(readLines, worker);
        }
        readLines(0);
    }
    Extent horizontal;
    Extent vertical;
    std::vector<std::string> drawn;
    for (std::size_t i = 0; i < lines; ++i) {
        drawn.push_back(names[choice.vertical[i]]);
        plot.series[i].name = QString::fromStdString(drawn.back());
        horizontal.add(acrossExtents[i]);
        vertical.add(upExtents[i]);
    }
    plot.horizontalTitle =
        choice.horizontal == kPassAxis
            ? QStringLiteral("Pass")
            : AxisTitle(names[static_cast<std::size_t>(choice.horizontal)], variables);
    plot.verticalTitle = VerticalTitle(drawn, variables);
    // Passes fill their axis from the first to the last, ticked at whole passes.
    plot.horizontal = horizontal.range(choice.horizontal == kPassAxis ? 0 : kMarginShare);
    plot.horizontal.whole = choice.horizontal == kPassAxis;
    plot.vertical = vertical.range(kMarginShare);
    return plot;
}

QString VerticalTitle(const std::vector<std::string>& names, const NameTable& variables) {
    if (names.size() == 1) return AxisTitle(names.front(), variables);
    const auto unitsOf = [&variables](const std::string& name) {
        const int row = variables.findRow(name);
        return row == 0 ? QString()
                        : QString::fromStdString(variables.cell(UnitsColumn, row)).trimmed();
    };
    const QString units = names.empty() ? QString() : unitsOf(names.front());
    const bool shared = std::all_of(names.begin(), names.end(), [&](const std::string& name) {
        return unitsOf(name) == units;
    });
    return shared && !units.isEmpty() ? units : QStringLiteral("Value");
}

AxisRange DrawableRange(const AxisRange& range) {
    if (std::isnan(range.low) || std::isnan(range.high)) return {.whole = range.whole};
    const double low = std::min(Clamped(range.low), Clamped(range.high));
    const double high = std::max(Clamped(range.low), Clamped(range.high));
    const long double scale = std::max(std::fabs(low), std::fabs(high));
    const long double narrowest = kNarrowestSpan * std::max(scale, 1.0L);
    if (static_cast<long double>(high) - low >= narrowest) return {low, high, range.whole};
    // A little wider, so that the range rounded to doubles is drawable as it
    // stands and is not widened again.
    const long double half = narrowest * 0.51L;
    const long double middle = (static_cast<long double>(low) + high) / 2;
    return {Clamped(middle - half), Clamped(middle + half), range.whole};
}

AxisTicks RoundTicks(const AxisRange& range) {
    // Divided before subtracting, so that the widest range does not overflow.
    const double step = (range.high / 6) - (range.low / 6);
    if (!(step > 0) || !std::isfinite(step)) return {range.low, 1.0};
    const double power = std::pow(10.0, std::floor(std::log10(step)));
    double interval = 10 * power;
    for (const double mantissa : {1.0, 2.0, 5.0}) {
        if (step <= mantissa * power) {
            interval = mantissa * power;
            break;
        }
    }
    // The chart steps from tick to tick by adding the interval; below a few
    // units in the last place of the range's numbers a step would not move.
    const double scale = std::max(std::fabs(range.low), std::fabs(range.high));
    interval = std::max(interval, 4 * scale * std::numeric_limits<double>::epsilon());
    if (range.whole) interval = std::max(interval, 1.0);
    // Anchored at zero when the range holds it, so that the chart's steps
    // from the first tick, a few whole intervals below, meet zero exactly
    // or nearly; else beside the range rather than at zero, far away, where
    // the chart would count its way to the range in steps.
    if (range.low <= 0 && 0 <= range.high) return {0.0, interval};
    return {std::floor(range.low / interval) * interval, interval};
}

AxisRange ZoomAbout(const AxisRange& range, double at, double factor) {
    const AxisRange zoomed{Clamped(at - (at - range.low) * static_cast<long double>(factor)),
                           Clamped(at + (range.high - at) * static_cast<long double>(factor)),
                           range.whole};
    // Wider than the doubles reach, the axis could not place its ticks.
    const double span = zoomed.high - zoomed.low;
    if (!std::isfinite(span) || DrawableRange(zoomed) != zoomed) return range;
    return zoomed;
}

}  // namespace quantaro
