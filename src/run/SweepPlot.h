#pragma once

#include <cstdint>

#include "run/TrajectoryPlot.h"

namespace quantaro {

class NameTable;
class SweepResults;

// What a sweep's chart needs to know of the worksheet: the tables that give
// the inputs' and the outputs' units, and how many values the second input
// takes (1 without one).
struct SweepChartSource {
    const NameTable* inputTable = nullptr;  // the first input's
    const NameTable* variables = nullptr;
    std::int64_t secondCount = 1;
};

// Every output against the first input: one line per output, or, with two
// inputs, one per output and value of the second input, named after both.
// Points that failed or hold no number are left out.
Plot MakeSweepPlot(const SweepResults& results, const SweepChartSource& source);

}  // namespace quantaro
