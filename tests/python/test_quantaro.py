"""The quantaro module against the batch runner, whose texts its results equal."""

import csv
import io
import os
import subprocess

import numpy
import pytest

import quantaro

CLI = os.environ["QUANTARO_CLI"]
EXAMPLES = os.environ["QUANTARO_EXAMPLES"]


def cli(*arguments):
    done = subprocess.run([CLI, *arguments], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def example(name):
    return os.path.join(EXAMPLES, name + ".FOR")


def printed(table):
    """A table as quantaro-cli prints it."""
    return "".join("%s = %s %s\n" % (e.name, e.value, e.units) for e in table.values())


@pytest.mark.parametrize("name, passes", [("engineering", 1), ("can", 1), ("iteration", 7),
                                          ("projectile", 40), ("statistics", 1)])
def test_runs_print_what_the_batch_runner_prints(name, passes):
    code, out, err = cli(example(name), "--passes", str(passes))
    ws = quantaro.open(example(name))
    assert str(ws.explain()) == cli(example(name), "--explain")[1]
    ws.run(passes=passes)
    assert (code, printed(ws.variables)) == (0, out)


def sweep_csv(*arguments):
    code, out, err = cli(*arguments, "--csv", "-")
    assert code == 0, err
    return list(csv.reader(io.StringIO(out, newline="")))


def test_sweep_equals_the_batch_runners_file():
    rows = sweep_csv(example("engineering"), "--sweep", "ANGLE=0:90:91", "--sweep", "V0=1:100:4:log")
    ws = quantaro.open(example("engineering"))
    texts = ws.sweep(ANGLE=(0, 90, 91), V0=("1", 100, 4, "log"), values=str, as_frame=False)
    assert list(texts.dtype.names) == rows[0]
    assert [[str(field) for field in point] for point in texts] == rows[1:]
    numbers = ws.sweep(ANGLE=(0, 90, 91), V0=(1, 100, 4, "log"), values=numpy.longdouble,
                       as_frame=False, workers=1)
    assert numbers["RANGE"].dtype == numpy.longdouble
    column = rows[0].index("RANGE")
    assert numbers["RANGE"][300] == numpy.longdouble(rows[301][column])
    floats = ws.sweep(ANGLE=(0, 90, 91), V0=(1, 100, 4, "log"), as_frame=False)
    assert numpy.array_equal(floats["RANGE"], [float(row[column]) for row in rows[1:]])
    # The sweep leaves the worksheet's tables as they were.
    assert ws.variables["RANGE"].value == "0" and ws.variables["ANGLE"].value == "40"


def test_saved_files_and_failures_reach_the_batch_runner(tmp_path):
    ws = quantaro.Worksheet(formula="1 / A = X\nX * G = Y\n", constants={"G": ("9.81", "m/s2")},
                            variables={"A": ("2", "1"), "X": "0", "Y": ("0", "<m> & co")})
    for document in ("formula", "constants", "variables"):
        getattr(ws, "save_" + document)(tmp_path / ("sheet." + document[:3].upper()))
    formula = str(tmp_path / "sheet.FOR")
    rows = sweep_csv(formula, "--sweep", "A=-1:1:3")
    texts = ws.sweep(A=(-1, 1, 3), values=str, as_frame=False)
    assert [[str(field) for field in point] for point in texts] == rows[1:]
    assert texts["message"][1] == "Equation 1: Domain Error: Divide by 0."

    ws.variables["A"] = 0
    ws.save_variables(tmp_path / "sheet.VAR")
    code, out, err = cli(formula)
    with pytest.raises(quantaro.RunError) as failure:
        ws.run()
    assert (failure.value.code, failure.value.message + "\n") == (code, err)
    assert (failure.value.equation, failure.value.item) == (1, "Divide by 0.")
    ws.formula = "A + ( A = X"
    with pytest.raises(quantaro.RunError) as failure:
        ws.run()
    assert (failure.value.code, failure.value.equation) == (4, 1)
    html = quantaro.open(formula)._repr_html_()
    assert "&lt;m&gt; &amp; co" in html and "<m>" not in html


def test_seek_leaves_the_tables_the_batch_runner_prints():
    code, out, err = cli(example("engineering"), "--seek", "RANGE=50", "--by", "ANGLE",
                         "--between", "0:45")
    ws = quantaro.open(example("engineering"))
    found = ws.seek("range", 50, "ANGLE", between=(0, 45))
    assert (found.value_text, found.result_text) == ("25.8387073404809", "50.0000000000001")
    assert (code, printed(ws.variables)) == (0, out)
    with pytest.raises(quantaro.NoSolution, match="stays below 1000"):
        ws.seek("RANGE", 1000, "ANGLE", between=(0, 45))
    with pytest.warns(quantaro.InputWarning):
        ws.sweep(VX=(0, 1, 2), as_frame=False)


def test_entries_are_checked_as_the_entry_screens_check_them():
    ws = quantaro.Worksheet(constants={"my g": "9.81"}, variables={"X": ("1E4931", "m")})
    assert list(ws.constants) == ["my_g"] and "x" in ws.variables
    ws.variables["X"] = "1E5000"
    with pytest.raises(OverflowError):
        ws.variables["X"].number
    ws.variables["x"] = "0.1"
    assert ws.variables["X"].longdouble == numpy.longdouble("0.1") != numpy.longdouble(0.1)
    for bad, message in [({"constants": {"SIN": "1"}}, "belongs to an operator"),
                         ({"constants": {"A": "1", "a": "2"}}, "already exists"),
                         ({"constants": {"A": "1"}, "variables": {"A": "1"}}, "allocated"),
                         ({"variables": {"A": "one"}}, "Non Numeric"),
                         ({"variables": {"": "1"}}, "Give the variable a name"),
                         ({"variables": {"V%d" % k: "1" for k in range(100)}}, "is full")]:
        with pytest.raises(ValueError, match=message):
            quantaro.Worksheet(**bad)
    with pytest.raises(ValueError, match="Non Numeric"):
        ws.variables["X"] = "1,5"
    with pytest.raises(KeyError):
        ws.variables["NONE"] = "1"
    with pytest.raises(ValueError, match="Equation 2 does not exist"):
        quantaro.Worksheet(formula="1 = X", variables={"X": "0"}).run(equation=2)


def test_opening_finds_the_tables_as_open_all_does(tmp_path):
    (tmp_path / "alone.for").write_bytes(b"0A * 2 = X\r\n")
    ws = quantaro.open(tmp_path / "alone.for")
    assert len(ws.variables) == 0 and ws.angle == "degrees"
    with pytest.raises(FileNotFoundError) as missing:
        quantaro.open(tmp_path / "alone.for", variables=tmp_path / "none.VAR")
    assert missing.value.filename == str(tmp_path / "none.VAR")
    with pytest.raises(FileNotFoundError):
        quantaro.open(tmp_path / "none.FOR")


def test_studies_give_the_batch_runners_numbers():
    code, out, err = cli(example("engineering"), "--uncertainty", "V0=0.5", "--uncertainty",
                         "ANGLE=1:uniform", "--report", "RANGE,HMAX", "--monte-carlo", "500",
                         "--seed", "7")
    ws = quantaro.open(example("engineering"))
    found = ws.uncertainty({"V0": "0.5", "ANGLE": (1, "uniform")}, results=["RANGE", "HMAX"],
                           draws=500, seed=7, as_frame=False)
    lines = out.splitlines()
    for row in found.summary:
        assert "%s = %s ± %s %s" % (row["result"], row["value"], row["u"], row["units"]) in lines
        assert "%s = %s ± %s %s [%s, %s] (0 failed)" % (
            row["result"], row["mean"], row["sd"], row["units"], row["2.5 %"],
            row["97.5 %"]) in lines
    assert len(found.draws) == 500 and found.failed == 0 and found.draws.dtype["RANGE"] == float
    with pytest.raises(ValueError, match="half-width"):
        ws.uncertainty({"V0": "+-1"})

    code, out, err = cli(example("engineering"), "--solve", "RANGE=50", "--solve", "HMAX=5",
                         "--by", "ANGLE,V0", "--bounds", "ANGLE=0:45")
    solved = ws.solve({"RANGE": 50, "HMAX": "5"}, by=["ANGLE", "V0"], bounds={"angle": (0, 45)})
    assert (code, printed(ws.variables)) == (0, out)
    assert solved.results == {name: ws.variables[name].value for name in ("RANGE", "HMAX")}

    can = quantaro.open(example("can"))
    code, out, err = cli(example("can"), "--minimize", "AREA", "--by", "R=0.1:100,H=0.1:100",
                         "--subject-to", "VOL>=1000")
    best = can.minimize("AREA", by={"R": (0.1, 100), "H": (0.1, 100)}, subject_to=["VOL >= 1000"])
    assert (code, printed(can.variables)) == (0, out)
    assert best.objective_value == can.variables["AREA"].value
    with pytest.raises(quantaro.NoSolution):
        can.maximize("AREA", by={"R": (0.1, 1)}, subject_to=[("VOL", ">=", 1e9)])


def test_fit_and_units_check_agree_with_the_batch_runner(tmp_path):
    flight = os.path.join(EXAMPLES, "projectile-flight.csv")
    code, out, err = cli("--fit", flight, "--estimate", "K", "--by-pass", "pass",
                         example("projectile"))
    ws = quantaro.open(example("projectile"))
    fitted = ws.fit(flight, ["K"], by_pass="pass", as_frame=False)
    statistics = "".join("%s = %s\n" % tuple(row) for row in fitted.statistics[:-1])
    assert out == ("K = %s ± %s\n" % (fitted.values["K"], fitted.standard_errors["K"]) +
                   statistics + "Stopped because: %s\n\n" % fitted.statistics[-1][1] +
                   "K = %s 1/m\n" % ws.constants["K"].value + printed(ws.variables))
    made = quantaro.Worksheet(formula="K * T = D", constants={"K": "1"},
                              variables={"T": "0", "D": "0"})
    assert made.fit({"T": [0, 1, 2], "D": [0, 3, "6.0"]}, ["K"]).values == {"K": "3"}
    assert made.constants["K"].value == "3"

    mixed = quantaro.Worksheet(formula="A + B = X\nA * 1000 = Y",
                               variables={"A": ("1", "m"), "B": ("2", "s"), "X": ("0", "m"),
                                          "Y": ("0", "km")})
    for document in ("formula", "variables"):
        getattr(mixed, "save_" + document)(tmp_path / ("mixed." + document[:3].upper()))
    code, out, err = cli(str(tmp_path / "mixed.FOR"), "--check-units")
    findings = mixed.check_units()
    assert [finding.kind for finding in findings] == ["dimension", "scale"]
    assert (code, "".join(str(finding) + "\n" for finding in findings)) == (13, out)


def test_a_sweep_is_a_dataframe_where_pandas_is_installed():
    pandas = pytest.importorskip("pandas")
    ws = quantaro.open(example("engineering"))
    frame = ws.sweep(ANGLE=(0, 90, 7), outputs=["RANGE"])
    array = ws.sweep(ANGLE=(0, 90, 7), outputs=["RANGE"], as_frame=False)
    assert isinstance(frame, pandas.DataFrame) and list(frame.columns) == list(array.dtype.names)
    assert frame["RANGE"].tolist() == array["RANGE"].tolist()
    assert isinstance(ws.uncertainty({"V0": "1"}).summary, pandas.DataFrame)
