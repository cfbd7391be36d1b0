"""Runs each mode of quantaro-cli with --json on the examples and validates
each document against the published schema; checks that the document holds
what the text output and the files written hold, and a failing run's outcome.

Usage: check_json_reports.py QUANTARO_CLI EXAMPLES_DIR SCHEMA
"""
import csv
import hashlib
import json
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema

cli, examples, schema_file = str(Path(sys.argv[1]).resolve()), Path(sys.argv[2]), sys.argv[3]
schema = json.loads(Path(schema_file).read_text())
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
work = Path(tempfile.mkdtemp())
failures = []


def run(args):
    done = subprocess.run([cli, *args], capture_output=True, text=True, cwd=work)
    return done.returncode, done.stdout


def column(document, table, name):
    tables = {t["name"]: t for t in document["results"]["tables"]}
    return next(c["values"] for c in tables[table]["columns"] if c["name"] == name)


def table_rows(document, table):
    columns = next(t for t in document["results"]["tables"] if t["name"] == table)["columns"]
    return [[c["name"] for c in columns]] + [list(r) for r in zip(*(c["values"] for c in columns))]


def check(label, args, exit_code, *checks):
    code, out = run(["--json", *args])
    try:
        document = json.loads(out)  # the whole of standard output: nothing else mixed in
    except ValueError as error:
        failures.append(f"{label}: standard output is not one JSON document: {error}")
        return None
    problems = [e.message for e in validator.iter_errors(document)]
    if code != exit_code or document["outcome"]["exitCode"] != code:
        problems.append(f"exit {code}, document says {document['outcome']['exitCode']}, "
                        f"expected {exit_code}")
    for table in document["results"]["tables"]:
        if len({len(c["values"]) for c in table["columns"]}) > 1:
            problems.append(f"table {table['name']}: columns of different lengths")
    for f in (f for f in document["inputs"]["files"] if f["sha256"]):
        if f["sha256"] != hashlib.sha256(Path(work, f["name"]).read_bytes()).hexdigest():
            problems.append(f"{f['name']}: SHA-256 is not the file's")
    for extra in checks:
        problems += extra(document, args)
    failures.extend(f"{label}: {p}" for p in problems)
    return document


def same_tables_as_text(document, args):
    """The rows of the tables end the text output of the same command."""
    _, text = run(args)
    rows = document["results"].get("constants", []) + document["results"]["variables"]
    shown = [f"{r['name']} = {r['value']} {r['units']}" for r in rows]
    tail = text.splitlines()[-len(shown):]
    return [] if tail == shown else [f"tables {shown[:3]}... differ from the text {tail[:3]}..."]


def same_as_csv(name):
    def compare(document, args):
        with open(work / name, newline="", encoding="utf-8") as f:
            written = list(csv.reader(f))
        return [] if table_rows(document, "points") == written else ["points differ from the CSV"]
    return compare


def failed_at(equation, item):
    def compare(document, args):
        outcome = document["outcome"]
        if (outcome["equation"], outcome["item"]) != (equation, item) or not outcome["message"]:
            return [f"outcome {outcome}"]
        return []
    return compare


for name in ("engineering", "iteration", "can", "projectile", "statistics"):
    for suffix in ("FOR", "CON", "VAR"):
        (work / f"{name}.{suffix}").write_bytes((examples / f"{name}.{suffix}").read_bytes())
(work / "flight.csv").write_bytes((examples / "projectile-flight.csv").read_bytes())
study = ["--uncertainty", "V0=0.5", "--uncertainty", "ANGLE=1", "--report", "RANGE,HMAX"]

check("run", ["engineering.FOR"], 0, same_tables_as_text,
      lambda d, a: [] if [f["role"] for f in d["inputs"]["files"]] ==
      ["formula", "constants", "variables"] else ["the worksheet's files"])
check("passes", ["--passes", "50", "iteration.FOR"], 0, same_tables_as_text,
      lambda d, a: [] if d["summary"]["passesRun"] == 50 else ["passes run"])
check("explain", ["--explain", "engineering.FOR"], 0,
      lambda d, a: [] if "\n".join(d["results"]["explanation"]) + "\n" == run(a)[1]
      else ["explanation differs from the text"])
check("sweep", ["--sweep", "ANGLE=0:90:91", "--record", "RANGE,HMAX", "--csv", "range.csv",
                "engineering.FOR"], 0, same_as_csv("range.csv"))
check("sweep shard", ["--sweep", "ANGLE=0:90:10", "--sweep", "V0=10:20:3", "--shard", "2/3",
                      "--csv", "grid.csv", "engineering.FOR"], 0, same_as_csv("grid.csv"))
check("seek", ["--seek", "RANGE=50", "--by", "ANGLE", "--between", "0:45", "engineering.FOR"], 0,
      same_tables_as_text)
check("check-units", ["--check-units", "statistics.FOR"], 0,
      lambda d, a: [] if len(column(d, "findings", "reason")) == len(run(a)[1].splitlines())
      else ["findings differ from the text"])
check("first order", [*study, "engineering.FOR"], 0)
monte_carlo = check("monte carlo", [*study, "--monte-carlo", "2000", "--seed", "7", "--csv",
                                    "draws.csv", "engineering.FOR"], 0)
check("summarize", ["--summarize", "draws.csv"], 0,
      lambda d, a: [] if monte_carlo and table_rows(d, "monte carlo") ==
      table_rows(monte_carlo, "monte carlo") else ["summary differs from the study's"])
check("solve", ["--solve", "RANGE=50", "--solve", "HMAX=8", "--by", "V0,ANGLE", "engineering.FOR"],
      0, same_tables_as_text)
check("minimize", ["--minimize", "AREA", "--by", "R=1:20,H=1:40", "--subject-to", "VOL=1000",
                   "can.FOR"], 0, same_tables_as_text)
check("maximize", ["--maximize", "RANGE", "--by", "ANGLE=0:90", "engineering.FOR"], 0,
      same_tables_as_text)
check("fit", ["--fit", "flight.csv", "--estimate", "K", "--by-pass", "pass", "projectile.FOR"], 0,
      same_tables_as_text)

# Failures: a domain error, a missing file, a study without a solution, bad usage.
check("domain error", ["--formula-text", "ANGLE / 0 = VX", "--variables", "engineering.VAR"], 9,
      failed_at(1, "Divide by 0."))
check("unknown item", ["--formula-text", "1 + 1 = VX 2 + Q = VY", "--variables",
                       "engineering.VAR"], 3, failed_at(2, "Q"))
check("missing file", ["nothere.FOR"], 66,
      lambda d, a: [] if d["inputs"]["files"][0]["sha256"] is None else ["a hash of nothing"])
check("no solution", ["--seek", "RANGE=500", "--by", "ANGLE", "--between", "0:45",
                      "engineering.FOR"], 12)
check("usage", ["--sweep", "ANGLE=0:90", "--csv", "x.csv", "engineering.FOR"], 64,
      lambda d, a: [] if d["mode"] is None and "--sweep" in d["outcome"]["message"] else ["usage"])
check("csv to standard output", ["--sweep", "ANGLE=0:90:3", "--csv", "-", "engineering.FOR"], 64)

# To a file, the text output stays on standard output.
code, out = run(["--json", "report.json", "engineering.FOR"])
if code != 0 or not out.startswith("V0 = 25"):
    failures.append(f"--json FILE: exit {code}, standard output {out[:40]!r}")
elif list(validator.iter_errors(json.loads((work / "report.json").read_text()))):
    failures.append("--json FILE: the file's document is not valid")

shutil.rmtree(work)
for failure in failures:
    print(failure, file=sys.stderr)
print(f"{len(failures)} problems")
sys.exit(1 if failures else 0)
