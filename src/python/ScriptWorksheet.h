#pragma once

#include <pybind11/pybind11.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "documents/WorksheetFiles.h"
#include "engine/Worksheet.h"
#include "studies/StudyPoint.h"

namespace quantaro {

// A worksheet as a script holds it: the tables, the formula and its angle
// unit, and the character set each document's file was read in, so that it
// is written back in it. Names are looked up as a run looks them up, with
// ASCII case folding.
class ScriptWorksheet {
  public:
    // A constant or variable given as texts: its name, value and units.
    struct Entry {
        std::string name;
        std::string value;
        std::string units;
    };

    ScriptWorksheet() = default;

    // Reads the formula file, and each table from the file named or else
    // from the one named after the formula (".CON", ".VAR"), which may be
    // missing. Raises OSError, FileNotFoundError for a file that must exist.
    static ScriptWorksheet Open(const pybind11::bytes& formula,
                                const std::optional<pybind11::bytes>& constants,
                                const std::optional<pybind11::bytes>& variables);
    // Checks each entry as the entry screens do; raises ValueError for the
    // first that would be refused there.
    static ScriptWorksheet FromTexts(const std::string& formula,
                                     const std::vector<Entry>& constants,
                                     const std::vector<Entry>& variables, const std::string& angle);

    std::string formula() const { return sheet_.formula(); }
    // Lines may end in LF or CR LF; the worksheet holds CR LF.
    void setFormula(const std::string& text);
    std::string angle() const;
    void setAngle(const std::string& name);

    // The named rows of a table ("constants" or "variables"), in table order.
    std::vector<std::string> names(const std::string& table) const;
    // The row's name as the table spells it, its value text and its units;
    // KeyError when no row has that name.
    Entry entry(const std::string& table, const std::string& name) const;
    // The value as a run reads it, 0 for a cell that holds no number;
    // OverflowError beyond the extended range.
    long double number(const std::string& table, const std::string& name) const;
    pybind11::object longDouble(const std::string& table, const std::string& name) const;
    // Sets a value's text as the inline editor does: a number's text only,
    // else ValueError.
    void setValue(const std::string& table, const std::string& name, const std::string& text);

    // Runs the formula `passes` times, stopping at the first failure, in
    // the angle unit given or else the worksheet's own. Returns the last
    // outcome: (code, message, equation, item), code 0 for success, the
    // equation then being the number of equations.
    pybind11::tuple run(int passes, int equation, const std::optional<std::string>& angle);
    // The steps of one run, on a copy: (lines, code, message, equation, item).
    pybind11::tuple explain(int equation, const std::optional<std::string>& angle) const;

    // Writes one document ("formula", "constants", "variables") through the
    // program's own writer, which replaces the file only once it is whole;
    // OSError naming the file and the reason when it cannot.
    void save(const std::string& document, const pybind11::bytes& path) const;

    // The folder of the formula file it was opened from (whose units.xml
    // the units check reads too); empty for one made from texts.
    const std::string& folder() const { return folder_; }

    Worksheet& sheet() { return sheet_; }
    const Worksheet& sheet() const { return sheet_; }
    // The worksheet as a run in that angle unit sees it.
    Worksheet sheetIn(const std::optional<std::string>& angle) const;

    // ValueError for a run setting no run could take: fewer than one pass,
    // an equation past the formula's last.
    StudyRun checkedRun(int passes, int equation) const;

  private:
    Worksheet sheet_;
    WorksheetEncodings encodings_;
    std::string folder_;
};

// "degrees" or "radians", in any case; ValueError for anything else.
AngleUnit AngleNamed(const std::string& name);

// A number's text as a table cell reads it; ValueError naming `what`
// otherwise.
long double NumberText(const std::string& text, const std::string& what);

// The message of an OSError, or of the given exception type, raised.
[[noreturn]] void RaisePython(PyObject* type, const std::string& message);

void BindWorksheet(pybind11::module_& module);

}  // namespace quantaro
