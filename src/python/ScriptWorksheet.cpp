#include "python/ScriptWorksheet.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <QByteArray>

#include <algorithm>
#include <cerrno>

#include "documents/DocumentState.h"
#include "documents/FileName.h"
#include "engine/Engine.h"
#include "engine/EquationSplitter.h"
#include "engine/Explanation.h"
#include "engine/Numbers.h"
#include "engine/OperatorRegistry.h"

namespace py = pybind11;

namespace quantaro {
namespace {

std::string TrimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

QString PathOf(const py::bytes& path) {
    const std::string bytes = path;
    return FileNameFromBytes(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A load that ends the opening: a missing file only when it must exist,
// raised as FileNotFoundError(ENOENT, the warning, the file's name).
void RequireLoaded(const LoadOutcome& outcome, const std::optional<QString>& path, bool mustExist) {
    switch (outcome.status) {
        case LoadStatus::Loaded:
            return;
        case LoadStatus::Missing: {
            if (!mustExist) return;
            const std::string shown = ShownFileName(path.value_or(QString())).toStdString();
            const py::tuple arguments =
                py::make_tuple(ENOENT, TrimmedRight(outcome.message), shown);
            PyErr_SetObject(PyExc_FileNotFoundError, arguments.ptr());
            throw py::error_already_set();
        }
        case LoadStatus::BadName:
        case LoadStatus::Failed:
            RaisePython(PyExc_OSError, outcome.message);
    }
}

// The texts of the entry screens' refusals, the constant table's first.
struct TableTexts {
    const char* noName;
    const char* alreadyExists;
    const char* otherTableName;
    const char* tableFull;
};
constexpr TableTexts kConstantTexts{"Give the constant a name.", "That constant already exists.",
                                    "That name has been allocated to a Variable.  Please rename.",
                                    "The list of constants is full"};
constexpr TableTexts kVariableTexts{"Give the variable a name.", "That variable already exists.",
                                    "That name has been allocated to a Constant.  Please rename.",
                                    "The list of variables is full"};
constexpr char kOperatorName[] = "That name belongs to an operator. Please rename. ";
constexpr char kNonNumeric[] = "Non Numeric value.  Please retype.";
// The entry screens fill rows 1 to 99; the hidden last row stays empty.
constexpr int kMostEntries = kEntryTableRows - 1;

// A refusal of the entry screens, naming the entry it refuses.
[[noreturn]] void Refuse(const std::string& why, const ScriptWorksheet::Entry& entry) {
    RaisePython(PyExc_ValueError, why + " (" + entry.name + ")");
}

// Writes the entries into rows 1 on, as Add on an entry screen would: the
// blanks of a name become "_", and the name must be new, no operator's
// and not in the other table; the value must be a number's text.
void FillTable(NameTable& table, const std::vector<ScriptWorksheet::Entry>& entries,
               const NameTable& other, const TableTexts& texts) {
    if (entries.size() > static_cast<std::size_t>(kMostEntries))
        RaisePython(PyExc_ValueError, texts.tableFull);
    int row = 0;
    for (ScriptWorksheet::Entry entry : entries) {
        std::replace(entry.name.begin(), entry.name.end(), ' ', '_');
        if (entry.name.empty()) Refuse(texts.noName, entry);
        if (table.findRow(entry.name) != 0) Refuse(texts.alreadyExists, entry);
        if (Operators().find(entry.name) != nullptr) Refuse(kOperatorName, entry);
        if (other.findRow(entry.name) != 0) Refuse(texts.otherTableName, entry);
        if (!IsNumberText(entry.value)) Refuse(kNonNumeric, entry);
        ++row;
        table.setCell(NameColumn, row, entry.name);
        table.setCell(ValueColumn, row, entry.value);
        table.setCell(UnitsColumn, row, entry.units);
    }
}

NameTable& TableNamed(Worksheet& sheet, const std::string& table) {
    if (table == "constants") return sheet.constants;
    if (table == "variables") return sheet.variables;
    RaisePython(PyExc_ValueError, "no table is called '" + table + "'");
}

const NameTable& TableNamed(const Worksheet& sheet, const std::string& table) {
    return TableNamed(const_cast<Worksheet&>(sheet), table);
}

int RowNamed(const NameTable& table, const std::string& name) {
    const int row = name.empty() ? 0 : table.findRow(name);
    if (row == 0) throw py::key_error(name);
    return row;
}

py::tuple OutcomeTuple(const RunOutcome& outcome) {
    return py::make_tuple(static_cast<int>(outcome.status), outcome.message, outcome.equationNumber,
                          outcome.errorItem);
}

Document DocumentNamed(const std::string& name) {
    if (name == "formula") return Document::Formula;
    if (name == "constants") return Document::Constants;
    if (name == "variables") return Document::Variables;
    RaisePython(PyExc_ValueError, "no document is called '" + name + "'");
}

}  // namespace

void RaisePython(PyObject* type, const std::string& message) {
    PyErr_SetString(type, message.c_str());
    throw py::error_already_set();
}

AngleUnit AngleNamed(const std::string& name) {
    const std::string folded = FoldToUpper(name);
    if (folded == "DEGREES") return AngleUnit::Degrees;
    if (folded == "RADIANS") return AngleUnit::Radians;
    RaisePython(PyExc_ValueError,
                "the angle unit is \"degrees\" or \"radians\", not '" + name + "'");
}

long double NumberText(const std::string& text, const std::string& what) {
    const NumberReading reading = ReadNumber(text);
    if (reading.overflows)
        RaisePython(PyExc_ValueError, what + " '" + text + "' is beyond the range of numbers");
    if (!reading.value) RaisePython(PyExc_ValueError, what + " '" + text + "' is not a number");
    return *reading.value;
}

ScriptWorksheet ScriptWorksheet::Open(const py::bytes& formula,
                                      const std::optional<py::bytes>& constants,
                                      const std::optional<py::bytes>& variables) {
    const QString formulaPath = PathOf(formula);
    WorksheetPaths paths;
    paths[Document::Formula] = formulaPath;
    paths[Document::Constants] =
        constants ? PathOf(*constants) : DerivedFileName(formulaPath, QStringLiteral("CON"));
    paths[Document::Variables] =
        variables ? PathOf(*variables) : DerivedFileName(formulaPath, QStringLiteral("VAR"));
    WorksheetLoad load = LoadWorksheet(paths);
    for (Document document : {Document::Formula, Document::Constants, Document::Variables}) {
        const bool named = document == Document::Formula ||
                           (document == Document::Constants ? constants : variables).has_value();
        RequireLoaded(load.documents[document].outcome, paths[document], named);
    }
    ScriptWorksheet opened;
    opened.sheet_ = std::move(load.sheet);
    const std::optional<QByteArray> folder = FileNameBytes(FolderOf(AbsoluteFileName(formulaPath)));
    if (folder) opened.folder_ = folder->toStdString();
    for (Document document : {Document::Formula, Document::Constants, Document::Variables})
        opened.encodings_[document] = load.documents[document].encoding;
    return opened;
}

ScriptWorksheet ScriptWorksheet::FromTexts(const std::string& formula,
                                           const std::vector<Entry>& constants,
                                           const std::vector<Entry>& variables,
                                           const std::string& angle) {
    ScriptWorksheet made;
    made.setFormula(formula);
    made.setAngle(angle);
    FillTable(made.sheet_.constants, constants, made.sheet_.variables, kConstantTexts);
    FillTable(made.sheet_.variables, variables, made.sheet_.constants, kVariableTexts);
    return made;
}

void ScriptWorksheet::setFormula(const std::string& text) {
    std::string lines;
    lines.reserve(text.size() + text.size() / 16);
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '\n' && (k == 0 || text[k - 1] != '\r')) lines += '\r';
        lines += text[k];
    }
    sheet_.setFormula(std::move(lines));
}

std::string ScriptWorksheet::angle() const {
    return sheet_.angle == AngleUnit::Degrees ? "degrees" : "radians";
}

void ScriptWorksheet::setAngle(const std::string& name) {
    sheet_.angle = AngleNamed(name);
}

std::vector<std::string> ScriptWorksheet::names(const std::string& table) const {
    const NameTable& rows = TableNamed(sheet_, table);
    std::vector<std::string> named;
    for (int row = 1; row <= rows.rowCount(); ++row) {
        if (!rows.name(row).empty()) named.push_back(rows.name(row));
    }
    return named;
}

ScriptWorksheet::Entry ScriptWorksheet::entry(const std::string& table,
                                              const std::string& name) const {
    const NameTable& rows = TableNamed(sheet_, table);
    const int row = RowNamed(rows, name);
    return {rows.name(row), rows.value(row), rows.units(row)};
}

long double ScriptWorksheet::number(const std::string& table, const std::string& name) const {
    const NameTable& rows = TableNamed(sheet_, table);
    const int row = RowNamed(rows, name);
    if (rows.overflows(row))
        RaisePython(PyExc_OverflowError,
                    name + " = " + rows.value(row) + " is beyond the range of extended numbers");
    return rows.number(row);
}

py::object ScriptWorksheet::longDouble(const std::string& table, const std::string& name) const {
    py::array_t<long double> one(1);
    *one.mutable_data() = number(table, name);
    return one[py::int_(0)];
}

void ScriptWorksheet::setValue(const std::string& table, const std::string& name,
                               const std::string& text) {
    NameTable& rows = TableNamed(sheet_, table);
    const int row = RowNamed(rows, name);
    if (!IsNumberText(text)) RaisePython(PyExc_ValueError, std::string(kNonNumeric));
    rows.setCell(ValueColumn, row, text);
}

StudyRun ScriptWorksheet::checkedRun(int passes, int equation) const {
    const StudyRun run{equation, passes};
    if (const std::string fault = StudyRunError(run); !fault.empty())
        RaisePython(PyExc_ValueError, fault);
    if (equation == 0) return run;
    const int count = CountEquations(sheet_.formula());
    if (equation > count) {
        RaisePython(PyExc_ValueError,
                    "Equation " + std::to_string(equation) + " does not exist: the formula has " +
                        std::to_string(count) + (count == 1 ? " equation" : " equations"));
    }
    return run;
}

Worksheet ScriptWorksheet::sheetIn(const std::optional<std::string>& angle) const {
    Worksheet sheet = sheet_;
    if (angle) sheet.angle = AngleNamed(*angle);
    return sheet;
}

py::tuple ScriptWorksheet::run(int passes, int equation, const std::optional<std::string>& angle) {
    checkedRun(passes, equation);
    const AngleUnit own = sheet_.angle;
    if (angle) sheet_.angle = AngleNamed(*angle);
    RunOutcome outcome;
    {
        Engine engine(sheet_);
        for (int pass = 1; pass <= passes; ++pass) {
            outcome = engine.ExecuteEquations(equation);
            if (!outcome.succeeded()) break;
            // Ctrl+C ends a long loop between two passes.
            if (PyErr_CheckSignals() != 0) {
                sheet_.angle = own;
                throw py::error_already_set();
            }
        }
    }
    sheet_.angle = own;
    return OutcomeTuple(outcome);
}

py::tuple ScriptWorksheet::explain(int equation, const std::optional<std::string>& angle) const {
    checkedRun(1, equation);
    const Explanation explanation = ExplainEquations(sheetIn(angle), equation);
    return py::make_tuple(explanation.lines) + OutcomeTuple(explanation.outcome);
}

void ScriptWorksheet::save(const std::string& document, const py::bytes& path) const {
    const Document which = DocumentNamed(document);
    const PerDocument<SaveOutcome> saved =
        SaveWorksheet(sheet_, OneDocumentFile(which, PathOf(path)), encodings_);
    if (!saved[which].succeeded()) RaisePython(PyExc_OSError, saved[which].message);
}

void BindWorksheet(py::module_& module) {
    py::class_<ScriptWorksheet>(module, "Sheet")
        .def(py::init<>())
        .def_static("open", &ScriptWorksheet::Open, py::arg("formula"), py::arg("constants"),
                    py::arg("variables"))
        .def_static(
            "from_texts",
            [](const std::string& formula,
               const std::vector<std::tuple<std::string, std::string, std::string>>& constants,
               const std::vector<std::tuple<std::string, std::string, std::string>>& variables,
               const std::string& angle) {
                const auto entries = [](const auto& rows) {
                    std::vector<ScriptWorksheet::Entry> made;
                    for (const auto& [name, value, units] : rows)
                        made.push_back({name, value, units});
                    return made;
                };
                return ScriptWorksheet::FromTexts(formula, entries(constants), entries(variables),
                                                  angle);
            })
        .def_property("formula", &ScriptWorksheet::formula, &ScriptWorksheet::setFormula)
        .def_property("angle", &ScriptWorksheet::angle, &ScriptWorksheet::setAngle)
        .def("names", &ScriptWorksheet::names)
        .def("entry",
             [](const ScriptWorksheet& sheet, const std::string& table, const std::string& name) {
                 const ScriptWorksheet::Entry entry = sheet.entry(table, name);
                 return py::make_tuple(entry.name, entry.value, entry.units);
             })
        .def("number", &ScriptWorksheet::number)
        .def("long_double", &ScriptWorksheet::longDouble)
        .def("set_value", &ScriptWorksheet::setValue)
        .def("run", &ScriptWorksheet::run)
        .def("explain", &ScriptWorksheet::explain)
        .def("save", &ScriptWorksheet::save)
        .def("copy", [](const ScriptWorksheet& sheet) { return ScriptWorksheet(sheet); });
}

}  // namespace quantaro
