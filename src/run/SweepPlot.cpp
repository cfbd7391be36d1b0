#include "run/SweepPlot.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "engine/NameTable.h"
#include "engine/Sweep.h"

namespace quantaro {
namespace {

double Drawable(long double value) {
    constexpr long double kLargest = std::numeric_limits<double>::max();
    return value >= -kLargest && value <= kLargest ? static_cast<double>(value)
                                                   : std::numeric_limits<double>::quiet_NaN();
}

// The values of one line: the points of one value of the second input.
struct LineColumns {
    QString name;
    std::vector<double> across;
    std::vector<double> up;
};

}  // namespace

Plot MakeSweepPlot(const SweepResults& results, const SweepChartSource& source) {
    const std::size_t outputs = results.outputNames().size();
    const bool twoInputs = results.inputNames().size() > 1;
    const std::size_t groups = twoInputs ? static_cast<std::size_t>(source.secondCount) : 1;
    std::vector<LineColumns> columns(outputs * groups);
    for (std::size_t index = 0; index < results.size(); ++index) {
        // The second input varies fastest.
        const std::size_t group = (results.pointNumber(index) - 1) % groups;
        const double across = Drawable(results.inputNumber(index, 0));
        for (std::size_t output = 0; output < outputs; ++output) {
            LineColumns& line = columns[output * groups + group];
            if (line.across.empty() && twoInputs) {
                line.name = QStringLiteral("%1 (%2 = %3)")
                                .arg(QString::fromStdString(results.outputNames()[output]),
                                     QString::fromStdString(results.inputNames()[1]),
                                     QString::fromUtf8(results.input(index, 1)));
            }
            line.across.push_back(across);
            line.up.push_back(results.failed(index)
                                  ? std::numeric_limits<double>::quiet_NaN()
                                  : Drawable(results.outputNumber(index, output)));
        }
    }
    std::vector<LineValues> lines;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        LineColumns& line = columns[i];
        if (!twoInputs) line.name = QString::fromStdString(results.outputNames()[i]);
        if (line.across.empty() && twoInputs) continue;
        lines.push_back({line.name, line.across, line.up});
    }
    Plot plot = MakeLinesPlot(lines, PointsPerSeries(lines.size()));
    if (!results.inputNames().empty() && source.inputTable) {
        plot.horizontalTitle = AxisTitle(results.inputNames()[0], *source.inputTable);
    }
    if (source.variables)
        plot.verticalTitle = VerticalTitle(results.outputNames(), *source.variables);
    return plot;
}

}  // namespace quantaro
