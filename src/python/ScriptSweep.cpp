#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/NumberRounding.h"
#include "engine/Numbers.h"
#include "python/ScriptStudies.h"
#include "python/ScriptWorksheet.h"
#include "python/WatchedStudy.h"
#include "studies/GoalSeek.h"
#include "studies/InputUse.h"
#include "studies/Sweep.h"

namespace py = pybind11;

namespace quantaro {
namespace {

// An axis as the script gives it: the name, FROM and TO as texts, the count
// and whether the steps are logarithmic.
using AxisTexts = std::tuple<std::string, std::string, std::string, std::int64_t, bool>;

SweepAxis AxisOf(const AxisTexts& texts) {
    const auto& [name, from, to, count, logarithmic] = texts;
    if (count < 1) {
        RaisePython(PyExc_ValueError, "the count of " + QuotedName(name) +
                                          " must be at least 1, not " + std::to_string(count));
    }
    return {name, NumberText(from, "FROM"), NumberText(to, "TO"), count,
            logarithmic ? SweepSpacing::Logarithmic : SweepSpacing::Linear};
}

// The warnings that an input's value changes nothing.
py::list IgnoredInputs(const Worksheet& sheet, const std::vector<InputCell>& cells,
                       const StudyRun& run) {
    py::list warnings;
    for (const InputCell& cell : cells) {
        const std::string warning = IgnoredInputWarning(sheet, cell, run);
        if (!warning.empty()) warnings.append(warning);
    }
    return warnings;
}

// How a sweep's values reach the script: as floats, as extended numbers
// (numpy.longdouble) or as the texts the tables held.
enum class ColumnKind { Float, LongDouble, Text };

ColumnKind ColumnKindNamed(const std::string& name) {
    if (name == "float") return ColumnKind::Float;
    if (name == "longdouble") return ColumnKind::LongDouble;
    if (name == "text") return ColumnKind::Text;
    RaisePython(PyExc_ValueError, "a sweep's values are float, longdouble or text, not " + name);
}

// One column of the results: number(i) or text(i) for each point.
template <class Number, class Text>
py::object Column(const SweepResults& results, ColumnKind kind, Number number, Text text) {
    const std::size_t size = results.size();
    switch (kind) {
        case ColumnKind::Float: {
            py::array_t<double> column(static_cast<py::ssize_t>(size));
            double* out = column.mutable_data();
            for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<double>(number(i));
            return column;
        }
        case ColumnKind::LongDouble: {
            py::array_t<long double> column(static_cast<py::ssize_t>(size));
            long double* out = column.mutable_data();
            for (std::size_t i = 0; i < size; ++i) out[i] = number(i);
            return column;
        }
        case ColumnKind::Text:
            break;
    }
    py::list column(size);
    for (std::size_t i = 0; i < size; ++i) column[i] = py::str(text(i));
    return column;
}

// An output as the next run would read its cell: the stored result's
// text read back, or the kept text's number; NaN for no number and beyond
// the extended range.
long double ReadBack(const SweepResults::Field& field) {
    constexpr long double kNoNumber = std::numeric_limits<long double>::quiet_NaN();
    if (!field.text) {
        if (!std::isfinite(field.number)) return kNoNumber;  // "NAN", "INF"
        const TextRoundTrip read = RoundThroughText(field.number);
        return read.overflows ? kNoNumber : read.value;
    }
    const NumberReading reading = ReadNumber(*field.text);
    return reading.value.value_or(kNoNumber);
}

py::dict SweepColumns(const SweepResults& results, ColumnKind kind) {
    const std::size_t size = results.size();
    py::array_t<std::int64_t> points(static_cast<py::ssize_t>(size));
    std::int64_t* point = points.mutable_data();
    py::list messages(size);
    for (std::size_t i = 0; i < size; ++i) {
        point[i] = static_cast<std::int64_t>(results.pointNumber(i));
        messages[i] = py::str(results.message(i));
    }
    py::list columns;
    for (std::size_t axis = 0; axis < results.inputNames().size(); ++axis) {
        columns.append(Column(
            results, kind, [&](std::size_t i) { return results.inputNumber(i, axis); },
            [&](std::size_t i) { return results.input(i, axis); }));
    }
    for (std::size_t output = 0; output < results.outputNames().size(); ++output) {
        columns.append(Column(
            results, kind, [&](std::size_t i) { return ReadBack(results.field(i, output)); },
            [&](std::size_t i) { return results.output(i, output); }));
    }
    py::dict table;
    table["point"] = points;
    table["inputs"] = results.inputNames();
    table["outputs"] = results.outputNames();
    table["columns"] = columns;
    table["message"] = messages;
    table["failed"] = results.failedCount();
    return table;
}

py::dict Sweep(const ScriptWorksheet& script, const std::vector<AxisTexts>& axes,
               const std::optional<std::vector<std::string>>& outputs, int passes, int equation,
               const std::optional<std::string>& angle, const std::string& values,
               unsigned workers) {
    const ColumnKind kind = ColumnKindNamed(values);
    const Worksheet sheet = script.sheetIn(angle);
    SweepSetup setup{{}, {}, script.checkedRun(passes, equation)};
    for (const AxisTexts& axis : axes) setup.axes.push_back(AxisOf(axis));
    setup.outputs = outputs ? *outputs : DefaultSweepOutputs(sheet, setup.axes);
    if (const std::string fault = SweepSetupError(sheet, setup); !fault.empty())
        RaisePython(PyExc_ValueError, fault);

    SweepRunner runner(sheet, SweepPlan(sheet, std::move(setup)),
                       workers == 0 ? DefaultWorkerCount() : workers);
    py::list warnings = IgnoredInputs(sheet, runner.plan().inputCells(), runner.plan().setup().run);
    StudyControl control;
    const SweepResults results = RunWatched([&] { return runner.runAll(&control); }, control);
    if (!results.shortfall().empty()) RaisePython(PyExc_MemoryError, results.shortfall());
    py::dict table = SweepColumns(results, kind);
    table["warnings"] = warnings;
    return table;
}

// Seeks the input's value; when it is found, the worksheet's tables become
// those of the run at that value, as the batch runner leaves them.
py::dict Seek(ScriptWorksheet& script, const std::string& result, const std::string& target,
              const std::string& input,
              const std::optional<std::pair<std::string, std::string>>& between, int passes,
              int equation, const std::optional<std::string>& angle) {
    Worksheet sheet = script.sheetIn(angle);
    SeekSetup setup{result, NumberText(target, "TARGET"), input, std::nullopt,
                    script.checkedRun(passes, equation)};
    if (between)
        setup.interval =
            std::pair{NumberText(between->first, "LO"), NumberText(between->second, "HI")};
    if (const std::string fault = SeekSetupError(sheet, setup); !fault.empty())
        RaisePython(PyExc_ValueError, fault);
    const InputCell cell = *FindInputCell(sheet, setup.input);

    py::dict outcome;
    outcome["warnings"] = IgnoredInputs(sheet, {cell}, setup.run);
    StudyControl control;
    const SeekResult found = RunWatched([&] { return GoalSeek(sheet, setup, &control); }, control);
    outcome["found"] = found.succeeded();
    outcome["message"] = found.message;
    outcome["trials"] = found.trials;
    outcome["input"] = TableOf(sheet, cell.table).name(cell.row);
    outcome["result"] = sheet.variables.name(sheet.variables.findRow(setup.result));
    if (!found.succeeded()) return outcome;

    // The final run, as every trial ran, so that the tables show the solution.
    PointRunner runner(sheet, setup.run);
    runner.run({&cell, 1}, {&found.value, 1});
    script.sheet().constants = runner.sheet().constants;
    script.sheet().variables = runner.sheet().variables;
    outcome["value"] = found.value;
    outcome["value_text"] = found.valueText;
    outcome["result_text"] = found.resultText;
    return outcome;
}

}  // namespace

void BindSweep(py::module_& module) {
    module.def("sweep", &Sweep, py::arg("sheet"), py::arg("axes"), py::arg("outputs"),
               py::arg("passes"), py::arg("equation"), py::arg("angle"), py::arg("values"),
               py::arg("workers"));
    module.def("seek", &Seek, py::arg("sheet"), py::arg("result"), py::arg("target"), py::arg("by"),
               py::arg("between"), py::arg("passes"), py::arg("equation"), py::arg("angle"));
    module.def("default_workers", &DefaultWorkerCount);
}

}  // namespace quantaro
