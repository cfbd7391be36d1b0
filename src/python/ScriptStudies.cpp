#include "python/ScriptStudies.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "documents/FileIo.h"
#include "documents/FileName.h"
#include "engine/Numbers.h"
#include "python/ScriptWorksheet.h"
#include "python/WatchedStudy.h"
#include "studies/DataCsv.h"
#include "studies/Fit.h"
#include "studies/InputUse.h"
#include "studies/MonteCarlo.h"
#include "studies/Optimise.h"
#include "studies/Solve.h"
#include "studies/Uncertainty.h"
#include "studies/UnitCheck.h"
#include "studies/UnitLibrary.h"

namespace py = pybind11;

namespace quantaro {
namespace {

// A result table as the script gets it: its columns and its rows of texts.
py::dict ReportOf(const ResultTable& table) {
    py::list rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto fields = table.row(row);
        rows.append(std::vector<std::string>(fields.begin(), fields.end()));
    }
    py::dict made;
    made["columns"] = table.columns();
    made["rows"] = rows;
    return made;
}

void RequireSetup(const std::string& fault) {
    if (!fault.empty()) RaisePython(PyExc_ValueError, fault);
}

py::list IgnoredInputs(const Worksheet& sheet, const std::vector<std::string>& names,
                       const StudyRun& run) {
    py::list warnings;
    for (const std::string& name : names) {
        const std::string warning = IgnoredInputWarning(sheet, *FindInputCell(sheet, name), run);
        if (!warning.empty()) warnings.append(warning);
    }
    return warnings;
}

// Runs the formula once more at the values found, as every trial ran, and
// leaves the script's tables as that run left them.
void RunAtValues(ScriptWorksheet& script, const Worksheet& sheet,
                 const std::vector<std::string>& names, const std::vector<long double>& values,
                 const StudyRun& run) {
    std::vector<InputCell> cells;
    for (const std::string& name : names) cells.push_back(*FindInputCell(sheet, name));
    PointRunner runner(sheet, run);
    runner.run(cells, values);
    script.sheet().constants = runner.sheet().constants;
    script.sheet().variables = runner.sheet().variables;
}

Distribution DistributionNamed(const std::string& name) {
    for (const Distribution d :
         {Distribution::Normal, Distribution::Uniform, Distribution::Triangular}) {
        if (FoldToUpper(name) == FoldToUpper(DistributionName(d))) return d;
    }
    RaisePython(PyExc_ValueError,
                "the distribution may be normal, uniform or triangular, not '" + name + "'");
}

// An uncertain input as the script gives it: the name, the amount as the
// user writes it ("U", "U%", "±A", "+-A%") and the distribution's name.
using UncertainTexts = std::tuple<std::string, std::string, std::string>;

UncertainInput InputOf(const UncertainTexts& texts) {
    const auto& [name, amount, distribution] = texts;
    UncertainInput input;
    input.name = name;
    if (const std::string why = ReadUncertaintyAmount(amount, input); !why.empty())
        RaisePython(PyExc_ValueError, name + ": " + why);
    input.distribution = DistributionNamed(distribution);
    if (input.halfWidth && input.distribution == Distribution::Normal) {
        RaisePython(PyExc_ValueError, name + ": a half-width '" + amount +
                                          "' needs uniform or triangular; a normal "
                                          "distribution takes U");
    }
    return input;
}

// The draws' values column by column, inputs first, as extended numbers
// (NaN where a draw failed), with the first failures' messages.
py::dict DrawsOf(const UncertaintyPlan& plan, const MonteCarloDraws& draws) {
    py::list names, columns;
    const auto add = [&](const std::string& name, std::span<const long double> values) {
        py::array_t<long double> column(static_cast<py::ssize_t>(values.size()));
        std::copy(values.begin(), values.end(), column.mutable_data());
        names.append(name);
        columns.append(column);
    };
    for (std::size_t k = 0; k < plan.inputCount(); ++k) add(plan.input(k).name, draws.input(k));
    for (std::size_t r = 0; r < plan.resultCount(); ++r)
        add(plan.resultNames()[r], draws.result(r));
    py::list failures;
    for (const DrawFailure& failure : draws.firstFailures())
        failures.append(py::make_tuple(failure.draw, failure.message));
    py::dict made;
    made["names"] = names;
    made["columns"] = columns;
    made["failed"] = draws.failedCount();
    made["failures"] = failures;
    return made;
}

py::dict Uncertainty(const ScriptWorksheet& script, const std::vector<UncertainTexts>& inputs,
                     const std::optional<std::vector<std::string>>& results,
                     std::optional<std::uint64_t> draws, std::uint64_t seed, int passes,
                     int equation, const std::optional<std::string>& angle) {
    const Worksheet sheet = script.sheetIn(angle);
    UncertaintySetup setup{{}, {}, script.checkedRun(passes, equation)};
    for (const UncertainTexts& input : inputs) setup.inputs.push_back(InputOf(input));
    if (results) setup.results = *results;
    RequireSetup(UncertaintySetupError(sheet, setup));
    if (draws && *draws < 1) RaisePython(PyExc_ValueError, "a Monte Carlo study needs a draw");
    const UncertaintyPlan plan(sheet, std::move(setup));

    StudyControl control;
    const FirstOrderBudget budget =
        RunWatched([&] { return PropagateFirstOrder(sheet, plan, &control); }, control);
    py::dict made;
    made["budget"] = ReportOf(FirstOrderTable(plan, budget));
    std::vector<DrawSummary> summaries;
    if (draws) {
        const MonteCarloRunner runner(sheet, plan);
        const MonteCarloDraws drawn =
            RunWatched([&] { return runner.run(seed, 1, *draws, &control); }, control);
        if (!drawn.shortfall().empty()) RaisePython(PyExc_MemoryError, drawn.shortfall());
        for (std::size_t r = 0; r < plan.resultCount(); ++r)
            summaries.push_back(SummarizeDraws(drawn.result(r)));
        made["draws"] = DrawsOf(plan, drawn);
    } else {
        made["draws"] = py::none();
    }
    made["summary"] = ReportOf(UncertaintySummaryTable(plan, &budget, summaries));
    return made;
}

using Bounds = std::optional<std::pair<std::string, std::string>>;

std::pair<long double, long double> Range(const std::string& name,
                                          const std::pair<std::string, std::string>& ends) {
    return {NumberText(ends.first, name + ": LO"), NumberText(ends.second, name + ": HI")};
}

std::vector<std::string> NamesOf(const SolveSetup& setup) {
    std::vector<std::string> names;
    for (const SolveInput& input : setup.inputs) names.push_back(input.name);
    return names;
}

std::vector<std::string> NamesOf(const OptimiseSetup& setup) {
    std::vector<std::string> names;
    for (const OptimiseInput& input : setup.inputs) names.push_back(input.name);
    return names;
}

py::dict SolveStudy(ScriptWorksheet& script,
                    const std::vector<std::pair<std::string, std::string>>& targets,
                    const std::vector<std::pair<std::string, Bounds>>& inputs, int passes,
                    int equation, const std::optional<std::string>& angle) {
    const Worksheet sheet = script.sheetIn(angle);
    SolveSetup setup;
    setup.run = script.checkedRun(passes, equation);
    for (const auto& [name, target] : targets)
        setup.targets.push_back({name, NumberText(target, name + ": TARGET")});
    for (const auto& [name, bounds] : inputs) {
        setup.inputs.push_back({name, std::nullopt});
        if (bounds) setup.inputs.back().bounds = Range(name, *bounds);
    }
    RequireSetup(SolveSetupError(sheet, setup));
    py::dict made;
    made["warnings"] = IgnoredInputs(sheet, NamesOf(setup), setup.run);
    StudyControl control;
    const SolveResult found = RunWatched([&] { return Solve(sheet, setup, &control); }, control);
    made["found"] = found.succeeded();
    made["message"] = found.message;
    if (!found.succeeded()) return made;
    RunAtValues(script, sheet, NamesOf(setup), found.values, setup.run);
    made["report"] = ReportOf(SolveReport(found, setup));
    made["inputs"] = found.inputNames;
    made["values"] = found.valueTexts;
    made["results"] = found.resultNames;
    made["result_values"] = found.resultTexts;
    made["least_squares"] = found.leastSquares;
    made["sum_of_squares"] = FormatNumber(found.sumOfSquares);
    made["trials"] = found.trials;
    return made;
}

ConstraintKind ConstraintNamed(const std::string& sign) {
    if (sign == "<=") return ConstraintKind::AtMost;
    if (sign == ">=") return ConstraintKind::AtLeast;
    if (sign == "=" || sign == "==") return ConstraintKind::Equal;
    RaisePython(PyExc_ValueError, "a constraint's sign is <=, >= or =, not '" + sign + "'");
}

py::dict OptimiseStudy(
    ScriptWorksheet& script, bool maximise, const std::string& objective,
    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& inputs,
    const std::vector<std::tuple<std::string, std::string, std::string>>& constraints, int starts,
    std::uint64_t seed, int passes, int equation, const std::optional<std::string>& angle) {
    const Worksheet sheet = script.sheetIn(angle);
    OptimiseSetup setup;
    setup.sense = maximise ? OptimiseSense::Maximise : OptimiseSense::Minimise;
    setup.objective = objective;
    setup.run = script.checkedRun(passes, equation);
    for (const auto& [name, ends] : inputs) {
        const auto [low, high] = Range(name, ends);
        setup.inputs.push_back({name, low, high});
    }
    for (const auto& [result, sign, value] : constraints)
        setup.constraints.push_back(
            {result, ConstraintNamed(sign), NumberText(value, result + ": VALUE")});
    if (starts < 1 || starts > kMaxStarts) {
        RaisePython(PyExc_ValueError, "starts is a whole number from 1 to " +
                                          std::to_string(kMaxStarts) + ", not " +
                                          std::to_string(starts));
    }
    setup.starts = starts;
    setup.seed = seed;
    RequireSetup(OptimiseSetupError(sheet, setup));
    py::dict made;
    made["warnings"] = IgnoredInputs(sheet, NamesOf(setup), setup.run);
    StudyControl control;
    const OptimiseResult found =
        RunWatched([&] { return Optimise(sheet, setup, &control, DefaultWorkerCount()); }, control);
    made["found"] = found.succeeded();
    made["message"] = found.message;
    if (!found.succeeded()) return made;
    RunAtValues(script, sheet, NamesOf(setup), found.values, setup.run);
    made["report"] = ReportOf(OptimiseReport(found, setup));
    made["inputs"] = found.inputNames;
    made["values"] = found.valueTexts;
    made["objective"] = found.objectiveName;
    made["objective_value"] = found.objectiveText;
    made["evaluations"] = found.evaluations;
    made["starts_elsewhere"] = found.startsElsewhere;
    return made;
}

// The measurements: a CSV file's, read as the batch runner reads it, or a
// CSV text the script made.
DataTable DataOf(const std::optional<py::bytes>& path, const std::optional<std::string>& text) {
    std::string bytes;
    std::string source = "the data";
    if (path) {
        const std::string name = *path;
        const QString file =
            FileNameFromBytes(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
        source = ShownFileName(file).toStdString();
        FileReadResult read = ReadDocumentFile(file);
        if (read.status == LoadStatus::Missing) {
            PyErr_SetObject(PyExc_FileNotFoundError,
                            py::make_tuple(ENOENT, "The data file does not exist", source).ptr());
            throw py::error_already_set();
        }
        if (read.status != LoadStatus::Loaded)
            RaisePython(PyExc_OSError, read.errorText.toStdString());
        bytes = std::move(read.bytes);
    } else {
        bytes = text.value_or(std::string());
    }
    DataReading reading = ReadDataCsv(bytes);
    if (!reading.succeeded()) RaisePython(PyExc_ValueError, source + ": " + reading.message);
    return std::move(reading.table);
}

// The last pass a fit by pass compares: the pass column's largest, or the
// number of rows.
int LastPass(const DataTable& data, const FitSetup& setup) {
    if (setup.passColumn.empty()) return static_cast<int>(data.rowCount());
    const int column = data.findColumn(setup.passColumn);
    long double last = 1;
    for (std::size_t row = 0; row < data.rowCount(); ++row)
        last = std::max(last, data.at(row, column));
    return static_cast<int>(last);
}

using ColumnPairs = std::vector<std::pair<std::string, std::string>>;

py::dict FitStudy(ScriptWorksheet& script, const std::optional<py::bytes>& path,
                  const std::optional<std::string>& text,
                  const std::vector<std::pair<std::string, Bounds>>& parameters,
                  const ColumnPairs& matches, const ColumnPairs& inputs,
                  const std::optional<std::string>& byPass, const std::string& weighting,
                  const std::string& weightColumn, bool skipFailingRows, int passes, int equation,
                  const std::optional<std::string>& angle) {
    const Worksheet sheet = script.sheetIn(angle);
    const DataTable data = DataOf(path, text);
    FitSetup setup;
    setup.run = script.checkedRun(passes, equation);
    for (const auto& [name, bounds] : parameters) {
        setup.parameters.push_back({name, std::nullopt});
        if (bounds) setup.parameters.back().bounds = Range(name, *bounds);
    }
    for (const auto& [result, column] : matches) setup.matches.push_back({result, column});
    for (const auto& [name, column] : inputs) setup.inputs.push_back({name, column});
    if (byPass) {
        if (passes != 1)
            RaisePython(PyExc_ValueError,
                        "a fit by pass runs the loop up to the last measured pass");
        if (!inputs.empty())
            RaisePython(PyExc_ValueError, "a fit by pass runs the loop once from the tables");
        setup.byPass = true;
        setup.passColumn = *byPass;
    }
    setup.weighting = weighting == "weights"  ? FitWeighting::Weights
                      : weighting == "sigmas" ? FitWeighting::Sigmas
                                              : FitWeighting::None;
    setup.weightColumn = weightColumn;
    setup.skipFailingRows = skipFailingRows;
    // The columns the script did not map are mapped by name.
    MapRemainingColumnsByName(sheet, data, !setup.matches.empty(), !setup.inputs.empty(), setup);
    RequireSetup(FitSetupError(sheet, data, setup));

    StudyControl control;
    const FitResult found = RunWatched([&] { return Fit(sheet, data, setup, &control); }, control);
    py::dict made;
    py::list failures;
    for (const FitRowFailure& failure : found.failures)
        failures.append(py::make_tuple(failure.row + 1, failure.message));
    made["failures"] = failures;
    made["found"] = found.succeeded();
    made["message"] = found.message;
    if (!found.succeeded()) return made;
    StudyRun run = setup.run;
    if (setup.byPass) run.passes = LastPass(data, setup);
    RunAtValues(script, sheet, found.names, found.values, run);
    made["names"] = found.names;
    made["values"] = found.valueTexts;
    std::vector<std::string> errors;
    for (const long double error : found.standardErrors)
        errors.push_back(std::isnan(error) ? std::string() : FormatNumber(error));
    made["standard_errors"] = errors;
    made["parameters"] = ReportOf(FitParameterReport(found));
    made["statistics"] = ReportOf(FitStatisticsReport(found));
    made["data"] = ReportOf(FitDataReport(found, data, setup));
    return made;
}

py::list CheckUnitsOf(const ScriptWorksheet& script, int equation,
                      const std::optional<std::string>& angle) {
    script.checkedRun(1, equation);
    UnitLibrary* library = script.folder().empty() ? UnitLibrary::Shared()
                                                   : UnitLibrary::ForDirectory(script.folder());
    if (!library) RaisePython(PyExc_OSError, "the udunits2 units database could not be read");
    const UnitReport report = CheckUnits(script.sheetIn(angle), *library, equation);
    py::list findings;
    for (const UnitFinding& finding : report.findings) {
        findings.append(py::make_tuple(KindName(finding.kind), finding.equation, finding.step,
                                       finding.op, finding.reason, FindingLine(finding)));
    }
    return findings;
}

}  // namespace

void BindStudies(py::module_& module) {
    module.def("uncertainty", &Uncertainty, py::arg("sheet"), py::arg("inputs"), py::arg("results"),
               py::arg("draws"), py::arg("seed"), py::arg("passes"), py::arg("equation"),
               py::arg("angle"));
    module.def("solve", &SolveStudy, py::arg("sheet"), py::arg("targets"), py::arg("inputs"),
               py::arg("passes"), py::arg("equation"), py::arg("angle"));
    module.def("optimise", &OptimiseStudy, py::arg("sheet"), py::arg("maximise"),
               py::arg("objective"), py::arg("inputs"), py::arg("constraints"), py::arg("starts"),
               py::arg("seed"), py::arg("passes"), py::arg("equation"), py::arg("angle"));
    module.def("fit", &FitStudy, py::arg("sheet"), py::arg("path"), py::arg("text"),
               py::arg("parameters"), py::arg("matches"), py::arg("inputs"), py::arg("by_pass"),
               py::arg("weighting"), py::arg("weight_column"), py::arg("skip_failing_rows"),
               py::arg("passes"), py::arg("equation"), py::arg("angle"));
    module.def("check_units", &CheckUnitsOf, py::arg("sheet"), py::arg("equation"),
               py::arg("angle"));
}

}  // namespace quantaro
