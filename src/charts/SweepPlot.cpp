#include "charts/SweepPlot.h"

#include <algorithm>
#include <limits>
#include <string>

#include "engine/NameTable.h"
#include "engine/Numbers.h"
#include "studies/Sweep.h"

namespace quantaro {
namespace {

double Drawable(long double value) {
    constexpr long double kLargest = std::numeric_limits<double>::max();
    return value >= -kLargest && value <= kLargest ? static_cast<double>(value)
                                                   : std::numeric_limits<double>::quiet_NaN();
}

// The unit a variable is in: the first word of its units cell, which may go
// on to describe it ("m/s launch speed").
QString UnitOf(const std::string& name, const NameTable& variables) {
    const int row = variables.findRow(name);
    if (row == 0) return {};
    return QString::fromStdString(variables.cell(UnitsColumn, row))
        .section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
}

QString Names(const SweepResults& results, const std::vector<std::size_t>& outputs) {
    QStringList names;
    for (const std::size_t output : outputs) {
        names.append(QString::fromStdString(results.outputNames()[output]));
    }
    return names.join(QStringLiteral(", "));
}

// The values of one line: the points of one value of the second input (or
// all, with one input), thinned as every line of a chart is.
class LineReader {
  public:
    LineReader(const SweepResults& results, std::size_t groups)
        : results_(results), groups_(groups) {}

    PlotSeries read(QString name, std::size_t output, std::size_t group) {
        // With one input every line has the same points across.
        const bool sameAcross = groups_ == 1 && acrossGroup_ == group;
        if (!sameAcross) across_.clear();
        acrossGroup_ = group;
        up_.clear();
        for (std::size_t index = group; index < results_.size(); index += groups_) {
            if (!sameAcross) across_.push_back(Drawable(results_.inputNumber(index, 0)));
            up_.push_back(results_.failed(index) ? std::numeric_limits<double>::quiet_NaN()
                                                 : Drawable(results_.outputNumber(index, output)));
        }
        const LineValues line{std::move(name), across_, up_};
        return std::move(MakeLinesPlot({&line, 1}, maxPoints_).series.front());
    }

    void setMaxPoints(qsizetype points) { maxPoints_ = points; }

  private:
    const SweepResults& results_;
    std::size_t groups_;
    qsizetype maxPoints_ = kMaxPlotPoints;
    std::size_t acrossGroup_ = SIZE_MAX;  // the line across_ holds
    std::vector<double> across_;
    std::vector<double> up_;
};

}  // namespace

std::vector<SweepChart> SweepCharts(const SweepResults& results, const NameTable& variables) {
    std::vector<SweepChart> charts;
    const std::vector<std::string>& names = results.outputNames();
    if (results.inputNames().size() > 1) {
        for (std::size_t output = 0; output < names.size(); ++output) {
            charts.push_back(
                {AxisTitle(names[output], variables), {output}, UnitOf(names[output], variables)});
        }
        return charts;
    }
    std::vector<QString> units;
    for (std::size_t output = 0; output < names.size(); ++output) {
        const QString unit = UnitOf(names[output], variables);
        const auto found = std::find(units.begin(), units.end(), unit);
        if (found == units.end()) {
            units.push_back(unit);
            charts.push_back({{}, {output}, unit});
        } else {
            charts[static_cast<std::size_t>(found - units.begin())].outputs.push_back(output);
        }
    }
    for (std::size_t k = 0; k < charts.size(); ++k) {
        const QString names = Names(results, charts[k].outputs);
        charts[k].title = units[k].isEmpty() ? QStringLiteral("Without units: %1").arg(names)
                                             : QStringLiteral("In %1: %2").arg(units[k], names);
    }
    return charts;
}

std::size_t FirstSweepChart(const std::vector<SweepChart>& charts) {
    const auto most = std::max_element(
        charts.begin(), charts.end(),
        [](const auto& a, const auto& b) { return a.outputs.size() < b.outputs.size(); });
    return static_cast<std::size_t>(most - charts.begin());
}

Plot MakeSweepPlot(const SweepResults& results, const SweepChart& chart,
                   const SweepChartSource& source) {
    const bool twoInputs = results.inputNames().size() > 1;
    const std::size_t groups =
        twoInputs ? static_cast<std::size_t>(results.plan().setup().axes[1].count) : 1;
    LineReader reader(results, groups);
    std::vector<PlotSeries> thinned;
    if (twoInputs) {
        const std::size_t lines = std::min<std::size_t>(groups, results.size());
        reader.setMaxPoints(PointsPerSeries(lines));
        const QString input = QString::fromStdString(results.inputNames()[1]);
        for (std::size_t group = 0; group < lines; ++group) {
            const QString value = QString::fromStdString(results.input(group, 1));
            thinned.push_back(reader.read(QStringLiteral("%1 = %2").arg(input, value),
                                          chart.outputs.front(), group));
        }
    } else {
        reader.setMaxPoints(PointsPerSeries(chart.outputs.size()));
        for (const std::size_t output : chart.outputs) {
            thinned.push_back(
                reader.read(QString::fromStdString(results.outputNames()[output]), output, 0));
        }
    }
    // The thinned lines keep every line's extremes, so their ranges are the
    // whole lines' ranges.
    std::vector<std::vector<double>> columns(2 * thinned.size());
    std::vector<LineValues> lines;
    for (std::size_t k = 0; k < thinned.size(); ++k) {
        for (const QPointF& point : thinned[k].points) {
            columns[2 * k].push_back(point.x());
            columns[2 * k + 1].push_back(point.y());
        }
        lines.push_back({thinned[k].name, columns[2 * k], columns[2 * k + 1]});
    }
    Plot plot = MakeLinesPlot(lines, kMaxPlotPoints);
    if (!results.inputNames().empty() && source.inputTable) {
        plot.horizontalTitle = AxisTitle(results.inputNames()[0], *source.inputTable);
    }
    if (chart.outputs.size() == 1 && source.variables) {
        plot.verticalTitle =
            AxisTitle(results.outputNames()[chart.outputs.front()], *source.variables);
    } else {
        plot.verticalTitle = chart.unit.isEmpty() ? QStringLiteral("Value") : chart.unit;
    }
    return plot;
}

QString SweepChartTitle(const SweepResults& results, const SweepChart& chart) {
    QStringList inputs;
    const std::vector<SweepAxis>& axes = results.plan().setup().axes;
    for (std::size_t k = 0; k < axes.size(); ++k) {
        inputs.append(QStringLiteral("%1 from %2 to %3")
                          .arg(QString::fromStdString(results.inputNames()[k]),
                               QString::fromStdString(FormatNumber(axes[k].from)),
                               QString::fromStdString(FormatNumber(axes[k].to))));
    }
    return QStringLiteral("Sweep of %1: %2")
        .arg(inputs.join(QStringLiteral(" and ")), Names(results, chart.outputs));
}

}  // namespace quantaro
