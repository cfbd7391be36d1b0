#include "run/TrajectoryPlot.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include <QStringList>

#include "engine/NameTable.h"
#include "engine/Trajectory.h"

namespace quantaro {
namespace {

constexpr double kNotDrawable = std::numeric_limits<double>::quiet_NaN();
constexpr double kLargest = std::numeric_limits<double>::max();
// Room left beside the data, as a share of its span.
constexpr long double kMarginShare = 0.05L;

// The number as the chart takes it, NaN when it has no place on an axis.
double Drawable(long double value) {
    if (!std::isfinite(value) || std::fabs(value) > kLargest) return kNotDrawable;
    return static_cast<double>(value);
}

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
        return {Clamped(low - margin), Clamped(high + margin)};
    }

  private:
    double low_ = std::numeric_limits<double>::infinity();
    double high_ = -std::numeric_limits<double>::infinity();
};

// The horizontal value of every row. A pass number that starts again below
// the one before it (the loop run again after reaching its limit) carries on
// from there, so that the line goes on to the right instead of back over
// itself.
std::vector<double> HorizontalValues(const Trajectory& trajectory, int column) {
    const std::size_t rows = trajectory.rowCount();
    std::vector<double> values(rows);
    if (column != kPassAxis) {
        const auto c = static_cast<std::size_t>(column);
        for (std::size_t row = 0; row < rows; ++row) {
            values[row] = Drawable(trajectory.number(row, c));
        }
        return values;
    }
    long double offset = 0;
    std::int64_t previous = 0;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::int64_t pass = trajectory.pass(row);
        if (row > 0 && pass <= previous) offset += previous;
        values[row] = Drawable(offset + pass);
        previous = pass;
    }
    return values;
}

// The points of one column, thinned to at most maxPoints, and the extents
// of every drawable row.
class SeriesBuilder {
  public:
    SeriesBuilder(const std::vector<double>& xs, const Trajectory& trajectory, std::size_t column)
        : xs_(xs), trajectory_(trajectory), column_(column) {}

    QList<QPointF> build(qsizetype maxPoints) {
        std::size_t first = 0;
        while (first < xs_.size() && !point(first)) ++first;
        if (first == xs_.size()) return {};
        std::size_t last = xs_.size() - 1;
        while (!point(last)) --last;
        points_.reserve(std::min<qsizetype>(qsizetype(last - first) + 1, maxPoints));
        if (last - first < static_cast<std::size_t>(maxPoints)) {
            for (std::size_t row = first; row <= last; ++row) keep(row);
        } else {
            keep(first);
            keepExtremes(first + 1, last, static_cast<std::size_t>(maxPoints - 2) / 2);
            keep(last);
        }
        return std::move(points_);
    }

    const Extent& horizontal() const { return horizontal_; }
    const Extent& vertical() const { return vertical_; }

  private:
    std::optional<QPointF> point(std::size_t row) const {
        const double x = xs_[row];
        const double y = Drawable(trajectory_.number(row, column_));
        if (std::isnan(x) || std::isnan(y)) return std::nullopt;
        return QPointF(x, y);
    }

    void keep(std::size_t row) {
        if (const std::optional<QPointF> p = point(row)) add(*p);
    }

    void add(const QPointF& p) {
        points_.append(p);
        widen(p);
    }

    void widen(const QPointF& p) {
        horizontal_.add(p.x());
        vertical_.add(p.y());
    }

    // From each of `buckets` equal stretches of the rows from begin to end,
    // the lowest and the highest point, in the order of their rows.
    void keepExtremes(std::size_t begin, std::size_t end, std::size_t buckets) {
        const std::size_t rows = end - begin;
        for (std::size_t bucket = 0; bucket < buckets; ++bucket) {
            std::optional<QPointF> lowest;
            std::optional<QPointF> highest;
            std::size_t lowestRow = 0;
            std::size_t highestRow = 0;
            const std::size_t to = begin + rows * (bucket + 1) / buckets;
            for (std::size_t row = begin + rows * bucket / buckets; row < to; ++row) {
                const std::optional<QPointF> p = point(row);
                if (!p) continue;
                widen(*p);
                if (!lowest || p->y() < lowest->y()) {
                    lowest = p;
                    lowestRow = row;
                }
                if (!highest || p->y() > highest->y()) {
                    highest = p;
                    highestRow = row;
                }
            }
            if (!lowest) continue;
            const bool lowestFirst = lowestRow <= highestRow;
            points_.append(lowestFirst ? *lowest : *highest);
            if (lowestRow != highestRow) points_.append(lowestFirst ? *highest : *lowest);
        }
    }

    const std::vector<double>& xs_;
    const Trajectory& trajectory_;
    std::size_t column_;
    QList<QPointF> points_;
    Extent horizontal_;
    Extent vertical_;
};

}  // namespace

QString AxisTitle(const std::string& name, const NameTable& variables) {
    QString title = QString::fromStdString(name);
    const int row = variables.findRow(name);
    if (row == 0) return title;
    const QString units = QString::fromStdString(variables.cell(UnitsColumn, row)).trimmed();
    if (!units.isEmpty()) title += QStringLiteral(" (%1)").arg(units);
    return title;
}

Plot MakePlot(const Trajectory& trajectory, const NameTable& variables, const PlotChoice& choice,
              qsizetype maxPoints) {
    // The first and last rows and one stretch's two extremes at the least.
    maxPoints = std::max<qsizetype>(maxPoints, 4);
    const std::vector<std::string>& names = trajectory.names();
    const std::vector<double> xs = HorizontalValues(trajectory, choice.horizontal);
    Plot plot;
    plot.horizontalTitle =
        choice.horizontal == kPassAxis
            ? QStringLiteral("Pass")
            : AxisTitle(names[static_cast<std::size_t>(choice.horizontal)], variables);
    Extent horizontal;
    Extent vertical;
    QStringList verticalTitles;
    for (const std::size_t column : choice.vertical) {
        SeriesBuilder builder(xs, trajectory, column);
        plot.series.push_back({QString::fromStdString(names[column]), builder.build(maxPoints)});
        horizontal.add(builder.horizontal());
        vertical.add(builder.vertical());
        verticalTitles << AxisTitle(names[column], variables);
    }
    plot.verticalTitle = verticalTitles.join(QStringLiteral(", "));
    // Passes fill their axis from the first to the last.
    plot.horizontal = horizontal.range(choice.horizontal == kPassAxis ? 0 : kMarginShare);
    plot.vertical = vertical.range(kMarginShare);
    return plot;
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
    // Anchored beside the range rather than at zero, far away, where the
    // chart would count its way to the range in steps.
    return {std::floor(range.low / interval) * interval, interval};
}

AxisRange ZoomAbout(const AxisRange& range, double at, double factor) {
    const AxisRange zoomed{Clamped(at - (at - range.low) * static_cast<long double>(factor)),
                           Clamped(at + (range.high - at) * static_cast<long double>(factor))};
    // Closer than a few digits of the numbers apart, the axis could not tell
    // its ticks apart; wider than the doubles reach, it could not place them.
    const double span = zoomed.high - zoomed.low;
    const double scale = std::max(std::fabs(zoomed.low), std::fabs(zoomed.high));
    if (!std::isfinite(span) || !(span > scale * 1e-12)) return range;
    return zoomed;
}

}  // namespace quantaro
