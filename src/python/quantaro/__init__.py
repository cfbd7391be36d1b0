"""Quantaro worksheets from Python.

A worksheet is a formula, a table of constants and a table of variables.
Its equations run strictly left to right in 80-bit extended precision, and
every value a run stores is the engine's 15-digit text, as in the desktop
program and the batch runner quantaro-cli:

    >>> import quantaro
    >>> ws = quantaro.Worksheet(formula="A * 2 = X", variables={"A": ("3", "m"), "X": "0"})
    >>> ws.run()
    >>> ws.variables["X"].value
    '6'

quantaro.open() reads a worksheet's files; Worksheet.sweep() runs the formula
at many values of one or two inputs on every core, Worksheet.seek() finds
the value of an input that gives a variable a target value.
"""

import csv
import html
import io
import os
import warnings

import numpy

from . import _quantaro

__version__ = _quantaro.__version__
__all__ = ["open", "Worksheet", "Entry", "Explanation", "SeekResult", "Uncertainty",
           "Solution", "Optimum", "Fit", "UnitFinding", "RunError", "NoSolution", "InputWarning"]


class RunError(Exception):
    """A run that failed: the engine's message, its result code (1 to 9, 10 for a
    floating-point fault, as quantaro-cli exits), the failing equation and the
    item at fault (the word that could not be read, or a domain error's detail)."""

    def __init__(self, message, code, equation, item):
        super().__init__(message)
        self.message = message
        self.code = code
        self.equation = equation
        self.item = item


class NoSolution(Exception):
    """A study found no value; the message says why."""


class InputWarning(UserWarning):
    """A study's input whose value changes nothing the study reads."""


def _text(value):
    """A cell's text from a str or a number; a float by its shortest text,
    which reads back as the float it is."""
    if isinstance(value, str):
        return value
    if isinstance(value, (bool, numpy.bool_)):
        raise TypeError("a value is a number or its text, not %r" % (value,))
    if isinstance(value, (int, numpy.integer)):
        return str(int(value))
    if isinstance(value, (float, numpy.floating)):
        return repr(float(value)) if not isinstance(value, numpy.longdouble) \
            else numpy.format_float_scientific(value, unique=True)
    raise TypeError("a value is a number or its text, not %r" % (value,))


def _path(path):
    return os.fsencode(path)


def _warn(texts):
    for text in texts:
        warnings.warn(text, InputWarning, stacklevel=3)


def _frame_or_array(names, columns, as_frame):
    """The columns as a pandas DataFrame when pandas is there (or asked for),
    else as a NumPy structured array."""
    if as_frame is None or as_frame:
        try:
            import pandas
        except ImportError:
            if as_frame:
                raise
        else:
            return pandas.DataFrame(dict(zip(names, columns)), columns=names)
    fields = []
    for name, column in zip(names, columns):
        if isinstance(column, numpy.ndarray):
            fields.append((name, column.dtype))
        else:
            fields.append((name, object))
    table = numpy.empty(len(columns[0]) if columns else 0, dtype=fields)
    for name, column in zip(names, columns):
        table[name] = column
    return table


class Entry:
    """One row of a table as it stood when it was read: the name as the table
    spells it, the value's text and the units."""

    __slots__ = ("name", "value", "units", "_number", "_long")

    def __init__(self, name, value, units, number, long_number):
        self.name, self.value, self.units = name, value, units
        self._number, self._long = number, long_number

    @property
    def number(self):
        """The value as a run reads it, as a Python float; 0 for a cell that
        holds no number."""
        return self._number()

    @property
    def longdouble(self):
        """The same as a numpy.longdouble, the engine's 80-bit number."""
        return self._long()

    def __repr__(self):
        return "Entry(%r, %r, %r)" % (self.name, self.value, self.units)

    def __eq__(self, other):
        if not isinstance(other, Entry):
            return NotImplemented
        return (self.name, self.value, self.units) == (other.name, other.value, other.units)


class _Table:
    """The constants or the variables of a worksheet, as a mapping from name to
    Entry in table order. Names are matched as a run matches them, ignoring
    ASCII case. Assigning sets a value's text as the inline editor does: only
    a number's text is taken."""

    def __init__(self, sheet, table):
        self._sheet, self._table = sheet, table

    def __getitem__(self, name):
        core, table = self._sheet, self._table
        found, value, units = core.entry(table, name)
        return Entry(found, value, units,
                     lambda: core.number(table, found), lambda: core.long_double(table, found))

    def __setitem__(self, name, value):
        self._sheet.set_value(self._table, name, _text(value))

    def __contains__(self, name):
        try:
            self._sheet.entry(self._table, name)
        except KeyError:
            return False
        return True

    def __iter__(self):
        return iter(self._sheet.names(self._table))

    def __len__(self):
        return len(self._sheet.names(self._table))

    def keys(self):
        return list(self)

    def values(self):
        return [self[name] for name in self]

    def items(self):
        return [(name, self[name]) for name in self]

    def get(self, name, default=None):
        return self[name] if name in self else default

    def __repr__(self):
        return "{%s}" % ", ".join("%r: %r" % (name, entry.value) for name, entry in self.items())


class Explanation:
    """The steps of one run, line by line, and how the run ended: code 0 for
    success, else the run's code, message, equation and item."""

    def __init__(self, lines, code, message, equation, item):
        self.lines, self.code, self.message = lines, code, message
        self.equation, self.item = equation, item

    def __str__(self):
        return "".join(line + "\n" for line in self.lines)

    def __repr__(self):
        return "<Explanation of %d lines, code %d>" % (len(self.lines), self.code)


class SeekResult:
    """What a goal seek found: the input's value (a float) and its text, the
    result's text there and how many times the formula ran."""

    def __init__(self, found):
        self.input, self.result = found["input"], found["result"]
        self.value, self.value_text = found["value"], found["value_text"]
        self.result_text, self.trials = found["result_text"], found["trials"]

    def __repr__(self):
        return "<SeekResult %s = %s sets %s to %s (%d trials)>" % (
            self.input, self.value_text, self.result, self.result_text, self.trials)


def _report(table, as_frame):
    """A study's result table, its texts as the windows show them."""
    names = table["columns"]
    rows = table["rows"]
    columns = [[row[k] for row in rows] for k in range(len(names))]
    if not rows:
        columns = [numpy.empty(0, dtype=object) for _ in names]
    return _frame_or_array(names, columns, as_frame)


class Uncertainty:
    """What an uncertainty study found. summary: a row per result, its value
    and standard uncertainty u by the first-order law and, with draws, the
    draws' mean, sd, 2.5 %, 50 % and 97.5 % quantiles and shortest 95 %
    interval; budget: each input's sensitivity, contribution and share of
    each result's u; draws: each draw's inputs and results (NaN where it
    failed), None without draws; failed and failures: how many draws failed
    and the first ones' (draw, message)."""

    def __init__(self, found, values, as_frame):
        self.summary = _report(found["summary"], as_frame)
        self.budget = _report(found["budget"], as_frame)
        self.draws, self.failed, self.failures = None, 0, []
        drawn = found["draws"]
        if drawn is not None:
            columns = drawn["columns"]
            if values is float:
                columns = [column.astype(float) for column in columns]
            count = len(columns[0]) if columns else 0
            self.draws = _frame_or_array(["draw"] + drawn["names"],
                                         [numpy.arange(1, count + 1)] + columns, as_frame)
            self.failed, self.failures = drawn["failed"], drawn["failures"]

    def __repr__(self):
        return "<Uncertainty of %d results%s>" % (
            len(self.summary), "" if self.draws is None else ", %d draws" % len(self.draws))


class Solution:
    """What solve found: each input's value text, each result's text there,
    whether it is a least-squares fit (more targets than inputs) with its sum
    of squares, the trials, and the report as the Solve window shows it."""

    def __init__(self, found, as_frame):
        self.values = dict(zip(found["inputs"], found["values"]))
        self.results = dict(zip(found["results"], found["result_values"]))
        self.least_squares, self.sum_of_squares = found["least_squares"], found["sum_of_squares"]
        self.trials = found["trials"]
        self.report = _report(found["report"], as_frame)

    def __repr__(self):
        return "<Solution %s (%d trials)>" % (self.values, self.trials)


class Optimum:
    """What minimize or maximize found: each input's value text, the
    objective's name and text there, the evaluations, how many starts ended
    elsewhere, and the report as the Optimise window shows it."""

    def __init__(self, found, as_frame):
        self.values = dict(zip(found["inputs"], found["values"]))
        self.objective, self.objective_value = found["objective"], found["objective_value"]
        self.evaluations, self.starts_elsewhere = found["evaluations"], found["starts_elsewhere"]
        self.report = _report(found["report"], as_frame)

    def __repr__(self):
        return "<Optimum %s = %s at %s>" % (self.objective, self.objective_value, self.values)


class Fit:
    """What a fit found: each parameter's value text and standard error text
    (empty where the data cannot give one), the rows left out as (row,
    message), and the reports as the Fit window shows them: parameters (with
    their correlations), statistics and the data with each match's fitted
    value and residual."""

    def __init__(self, found, as_frame):
        self.values = dict(zip(found["names"], found["values"]))
        self.standard_errors = dict(zip(found["names"], found["standard_errors"]))
        self.failures = found["failures"]
        self.parameters = _report(found["parameters"], as_frame)
        self.statistics = _report(found["statistics"], as_frame)
        self.data = _report(found["data"], as_frame)

    def __repr__(self):
        return "<Fit %s>" % self.values


class UnitFinding:
    """Something the units check found: its kind ("dimension", "scale" or
    "not understood"), the equation and step (as Explain numbers them), the
    operator and the reason in plain words; str() is the batch runner's line."""

    __slots__ = ("kind", "equation", "step", "op", "reason", "line")

    def __init__(self, kind, equation, step, op, reason, line):
        self.kind, self.equation, self.step = kind, equation, step
        self.op, self.reason, self.line = op, reason, line

    def __str__(self):
        return self.line

    def __repr__(self):
        return "<UnitFinding %s>" % self.line


def _csv_text(data):
    """A CSV text of measurements from a mapping of column to values (a
    pandas DataFrame too), each value a number or its text."""
    names = list(data.keys())
    columns = [list(data[name]) for name in names]
    if any(len(column) != len(columns[0]) for column in columns):
        raise ValueError("the data's columns differ in length")
    out = io.StringIO(newline="")
    writer = csv.writer(out, lineterminator="\r\n")
    writer.writerow(names)
    writer.writerows([_text(value) for value in row] for row in zip(*columns))
    return out.getvalue()


def _pair(name, given):
    low, high = given
    return (_text(low), _text(high))


def _constraint(given):
    """("VOL", ">=", 1000) or "VOL >= 1000"."""
    if isinstance(given, str):
        for sign in ("<=", ">=", "=="):
            if sign in given:
                break
        else:
            sign = "="
        result, _, value = given.partition(sign)
        if not result.strip() or not value.strip():
            raise ValueError("a constraint is RESULT<=VALUE, RESULT>=VALUE or RESULT=VALUE, not %r"
                             % given)
        return (result.strip(), sign, value.strip())
    result, sign, value = given
    return (result, sign, _text(value))


def _entries(given):
    """A table's entries from a mapping of name to a value (a text or a
    number) or a (value, units) pair."""
    entries = []
    for name, value in (given or {}).items():
        if isinstance(value, tuple):
            if len(value) != 2:
                raise ValueError("%s: give a value or a (value, units) pair" % name)
            value, units = value
        else:
            units = ""
        entries.append((name, _text(value), units))
    return entries


def _axis(name, span):
    """A sweep's input from (FROM, TO, COUNT) or (FROM, TO, COUNT, "log")."""
    if not isinstance(span, (tuple, list)) or len(span) not in (3, 4):
        raise ValueError("%s: a sweep's input is (FROM, TO, COUNT) or (FROM, TO, COUNT, 'log')"
                         % name)
    log = len(span) == 4
    if log and str(span[3]).lower() != "log":
        raise ValueError("%s: the fourth part may only be 'log', not %r" % (name, span[3]))
    count = span[2]
    if isinstance(count, bool) or not isinstance(count, (int, numpy.integer)):
        raise TypeError("%s: COUNT is a whole number, not %r" % (name, count))
    return (name, _text(span[0]), _text(span[1]), int(count), log)


class Worksheet:
    """A formula with its constants and variables.

    Worksheet(formula="A * 2 = X", constants={"G": "9.81"},
              variables={"A": ("3", "m"), "X": "0"}, angle="degrees")

    Each value is a number's text or a number, or a (value, units) pair; the
    entries are checked as the entry screens check them. Lines of the formula
    may end in LF or CR LF."""

    def __init__(self, formula="", constants=None, variables=None, angle="degrees", *, _core=None):
        if _core is None:
            _core = _quantaro.Sheet.from_texts(formula, _entries(constants), _entries(variables),
                                               angle)
        self._core = _core
        self.constants = _Table(_core, "constants")
        self.variables = _Table(_core, "variables")

    @property
    def formula(self):
        """The formula's text, its lines separated by CR LF."""
        return self._core.formula

    @formula.setter
    def formula(self, text):
        self._core.formula = text

    @property
    def angle(self):
        """The angle unit of the circular functions: "degrees" or "radians"."""
        return self._core.angle

    @angle.setter
    def angle(self, name):
        self._core.angle = name

    def copy(self):
        return Worksheet(_core=self._core.copy())

    def run(self, passes=1, equation=0, angle=None):
        """Runs every equation (equation=0) or only the given one, `passes`
        times, each run storing its results into the variables. Raises
        RunError at the first failure, whose results before the failing
        equation stay stored. angle overrides the worksheet's unit for this
        run."""
        code, message, failed, item = self._core.run(passes, equation, angle)
        if code != 0:
            raise RunError(message, code, failed, item)

    def explain(self, equation=0, angle=None):
        """Each step of one run, as quantaro-cli --explain prints it; the
        worksheet is left as it was."""
        return Explanation(*self._core.explain(equation, angle))

    def sweep(self, axes=None, *, passes=1, equation=0, outputs=None, angle=None,
              values=float, as_frame=None, workers=0, **inputs):
        """Runs the formula at every value of one or two inputs, on every
        core, and returns a row per point: "point" (numbered from 1), the
        inputs, the outputs and "message" (empty for a point that ran
        cleanly), as a pandas DataFrame when pandas is installed, else as a
        NumPy structured array (as_frame=False asks for the array).

        ws.sweep(ANGLE=(0, 90, 91)) sweeps ANGLE over 91 values from 0 to 90;
        (FROM, TO, COUNT, "log") steps in equal ratios; axes={"NAME": ...}
        takes names that are no Python keyword. The first input varies
        slowest. outputs names the variables to collect (all but the inputs
        without it). values=float gives floats, NaN where a cell holds no
        number; numpy.longdouble the engine's 80-bit numbers; str the texts
        the tables held, as the batch runner writes them. The worksheet is
        left as it was."""
        given = list((axes or {}).items()) + list(inputs.items())
        kind = {float: "float", numpy.longdouble: "longdouble", str: "text"}.get(values)
        if kind is None:
            raise ValueError("values is float, numpy.longdouble or str, not %r" % (values,))
        table = _quantaro.sweep(self._core, [_axis(name, span) for name, span in given],
                                None if outputs is None else list(outputs), passes, equation,
                                angle, kind, workers)
        _warn(table["warnings"])
        names = ["point"] + table["inputs"] + table["outputs"] + ["message"]
        columns = [table["point"]] + table["columns"] + [table["message"]]
        return _frame_or_array(names, columns, as_frame)

    def seek(self, result, target, by, between=None, *, passes=1, equation=0, angle=None):
        """Finds the value of `by` (a constant or a variable) that sets the
        variable `result` to `target`, searching between the two values of
        `between` when given, else outward from by's value. Leaves the tables
        as the run at that value leaves them and returns a SeekResult; raises
        NoSolution when there is none."""
        if between is not None:
            low, high = between
            between = (_text(low), _text(high))
        found = _quantaro.seek(self._core, result, _text(target), by, between, passes, equation,
                               angle)
        _warn(found["warnings"])
        if not found["found"]:
            raise NoSolution(found["message"])
        return SeekResult(found)

    def uncertainty(self, inputs, *, results=None, draws=None, seed=1, passes=1, equation=0,
                    angle=None, values=float, as_frame=None):
        """How sure the results are, given how sure the inputs are: by the
        first-order law and, with draws=N, by N Monte Carlo draws from seed
        (the same draws, bit for bit, as quantaro-cli --monte-carlo N --seed).
        inputs maps each constant or variable to its uncertainty as the user
        writes it: "U", "U%", "+-A" (a half-width), or (amount, distribution)
        with the distribution "normal", "uniform" or "triangular". results
        names the variables to report (every other one without it). Returns
        an Uncertainty; the worksheet is left as it was."""
        given = []
        for name, given_as in inputs.items():
            amount, distribution = given_as if isinstance(given_as, tuple) else (given_as, "normal")
            given.append((name, _text(amount), distribution))
        found = _quantaro.uncertainty(self._core, given,
                                      None if results is None else list(results), draws, seed,
                                      passes, equation, angle)
        return Uncertainty(found, values, as_frame)

    def solve(self, targets, by, *, bounds=None, passes=1, equation=0, angle=None,
              as_frame=None):
        """Finds the values of the inputs `by` (names) that make each variable
        of targets (a mapping of name to target value) equal its target, by
        least squares when there are more targets than inputs; bounds maps an
        input to the (LO, HI) it must stay within. Leaves the tables as the
        run at the solution leaves them and returns a Solution; raises
        NoSolution when there is none."""
        bounds = dict(bounds or {})
        folded = {name.upper(): range_ for name, range_ in bounds.items()}
        if len(folded) != len(bounds) or not set(folded) <= {n.upper() for n in by}:
            raise ValueError("bounds name only inputs of by, each once")
        found = _quantaro.solve(
            self._core, [(name, _text(target)) for name, target in targets.items()],
            [(name, None if name.upper() not in folded else _pair(name, folded[name.upper()]))
             for name in by], passes, equation, angle)
        _warn(found["warnings"])
        if not found["found"]:
            raise NoSolution(found["message"])
        return Solution(found, as_frame)

    def _optimise(self, maximise, objective, by, subject_to, starts, seed, passes, equation,
                  angle, as_frame):
        found = _quantaro.optimise(
            self._core, maximise, objective, [(name, _pair(name, range_)) for name, range_ in
                                              by.items()],
            [_constraint(given) for given in subject_to or ()], starts, seed, passes, equation,
            angle)
        _warn(found["warnings"])
        if not found["found"]:
            raise NoSolution(found["message"])
        return Optimum(found, as_frame)

    def minimize(self, objective, by, *, subject_to=None, starts=1, seed=1, passes=1,
                 equation=0, angle=None, as_frame=None):
        """Finds the inputs, each within the (LO, HI) that by maps it to, that
        give the variable `objective` its least value, subject to constraints
        such as "VOL >= 1000" or ("VOL", ">=", 1000); from `starts` starts,
        the first the tables' values, the others drawn from seed. Leaves the
        tables as the run at the optimum leaves them and returns an Optimum;
        raises NoSolution when no point meets the constraints."""
        return self._optimise(False, objective, by, subject_to, starts, seed, passes, equation,
                              angle, as_frame)

    def maximize(self, objective, by, *, subject_to=None, starts=1, seed=1, passes=1,
                 equation=0, angle=None, as_frame=None):
        """The same as minimize, for the greatest value."""
        return self._optimise(True, objective, by, subject_to, starts, seed, passes, equation,
                              angle, as_frame)

    def fit(self, data, estimate, *, bounds=None, match=None, set=None, by_pass=None,
            weights=None, sigma=None, skip_failing_rows=False, passes=1, equation=0,
            angle=None, as_frame=None):
        """Fits the constants or variables `estimate` (names) to measurements:
        data is a CSV file's name, or a mapping of column name to values (a
        pandas DataFrame too). match maps a result variable to the column it
        is compared with, set a constant or variable to the column typed into
        it for each row; without them, columns named as results are matched
        and the others set. by_pass="pass" (a column of pass numbers) or
        by_pass="-" (the row's number) compares each row at that pass of the
        loop. weights or sigma names a column of weights or of standard
        deviations. bounds maps a parameter to its (LO, HI). Leaves the
        tables as the run with the values found leaves them and returns a
        Fit; raises NoSolution when the fit fails."""
        if weights is not None and sigma is not None:
            raise ValueError("weights and sigma exclude each other")
        bounds = {name.upper(): range_ for name, range_ in (bounds or {}).items()}
        if any(name not in {n.upper() for n in estimate} for name in bounds):
            raise ValueError("bounds name only parameters of estimate")
        path, text = (None, _csv_text(data)) if hasattr(data, "keys") else (_path(data), None)
        found = _quantaro.fit(
            self._core, path, text,
            [(name, None if name.upper() not in bounds else _pair(name, bounds[name.upper()]))
             for name in estimate],
            list((match or {}).items()), list((set or {}).items()), by_pass,
            "weights" if weights is not None else "sigmas" if sigma is not None else "none",
            weights if weights is not None else sigma or "", skip_failing_rows, passes, equation,
            angle)
        for row, message in found["failures"]:
            warnings.warn("row %d left out: %s" % (row, message), InputWarning, stacklevel=2)
        if not found["found"]:
            raise NoSolution(found["message"])
        return Fit(found, as_frame)

    def check_units(self, equation=0, angle=None):
        """Follows every equation (or only the given one) through the units of
        the cells it reads, in the run's own order, and returns the
        UnitFindings; runs nothing. A worksheet opened from a folder with a
        units.xml knows that file's units too."""
        return [UnitFinding(*finding) for finding in
                _quantaro.check_units(self._core, equation, angle)]

    def save_formula(self, path):
        """Writes the formula file, replacing the file only once it is whole."""
        self._core.save("formula", _path(path))

    def save_constants(self, path):
        """Writes the constant file, as save_formula does."""
        self._core.save("constants", _path(path))

    def save_variables(self, path):
        """Writes the variable file, as save_formula does."""
        self._core.save("variables", _path(path))

    def _repr_html_(self):
        def table(caption, rows):
            cells = "".join(
                "<tr><td>%s</td><td>%s</td><td>%s</td></tr>" % (
                    html.escape(entry.name), html.escape(entry.value), html.escape(entry.units))
                for entry in rows.values())
            return ("<table><caption>%s</caption><tr><th>Name</th><th>Value</th>"
                    "<th>Units</th></tr>%s</table>" % (caption, cells))
        return ("<div><pre>%s</pre>%s%s</div>" % (
            html.escape(self.formula.replace("\r\n", "\n")),
            table("Constants", self.constants), table("Variables", self.variables)))

    def __repr__(self):
        return "<quantaro.Worksheet: %d constants, %d variables, %s>" % (
            len(self.constants), len(self.variables), self.angle)


def open(formula, constants=None, variables=None):
    """Reads a worksheet: the formula file, and the constant and variable
    files beside it as Open All finds them (the formula's name ending in CON
    and VAR instead of its last three characters), or those given. A table
    file found beside the formula may be missing; one given must exist."""
    return Worksheet(_core=_quantaro.Sheet.open(
        _path(formula), None if constants is None else _path(constants),
        None if variables is None else _path(variables)))
