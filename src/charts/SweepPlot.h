#pragma once

#include <QString>

#include <cstddef>
#include <vector>

#include "charts/TrajectoryPlot.h"

namespace quantaro {

class NameTable;
class SweepResults;

// One of the charts a sweep's results offer; a window shows one at a time.
// With one input, there is a chart for each unit the results are in (the
// first word of a units cell), every result in that unit against the input,
// so that the vertical axis has one unit; with two inputs, a chart for each
// result, one line per value of the second input.
struct SweepChart {
    QString title;                     // what a chooser lists
    std::vector<std::size_t> outputs;  // the results drawn, as columns of the results
    QString unit;                      // theirs; empty for none
};

// The tables that give the inputs' and the results' units.
struct SweepChartSource {
    const NameTable* inputTable = nullptr;  // the first input's
    const NameTable* variables = nullptr;
};

// The charts, in the order of the results' first appearance.
std::vector<SweepChart> SweepCharts(const SweepResults& results, const NameTable& variables);
// The chart to show first: the one of the most results, the first of those.
std::size_t FirstSweepChart(const std::vector<SweepChart>& charts);

// The chart's plot against the first input. Its lines are named after the
// results, or, with two inputs, after the second input's values ("W = 0.5")
// in the order of those values. Points that failed or hold no number are
// left out; a line is read a piece at a time, so the chart of ten million
// points takes little more memory than its lines' points.
Plot MakeSweepPlot(const SweepResults& results, const SweepChart& chart,
                   const SweepChartSource& source);

// What a saved picture of the chart is titled: the sweep and the chart.
QString SweepChartTitle(const SweepResults& results, const SweepChart& chart);

}  // namespace quantaro
