#!/usr/bin/env bash
# Times quantaro-cli and the equivalent Python scripts on the projectile and
# orbit worksheets, in turn, and prints for each worksheet and interpreter
# the best of N runs and the ratios: whole process at PASSES passes, and per
# pass, the time for 200,000 passes less the time for 1, over 199,999.
# Usage: compare-with-python.sh [CLI] [PASSES] [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../../build/bin/quantaro-cli}"
passes="${2:-20000}"
runs="${3:-11}"
long=200000
# The interpreters themselves, not wrappers such as pyenv shims, whose own
# start would be counted against the script.
pythons=("${PYTHON:-/usr/bin/python3}")
pyenv=/root/.pyenv/versions/3.11.7/bin/python3
if [[ -x "$pyenv" && -z "${PYTHON:-}" ]]; then pythons+=("$pyenv"); fi

seconds() {  # best wall time of one command over $runs runs
    local best=""
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        best=$(echo "$end - $start" | bc -l | awk -v b="$best" '{ if (b == "" || $1 < b) print $1; else print b }')
    done
    echo "$best"
}

least() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

for sheet in projectile orbit; do
    declare -A best=()
    for _ in 1 2 3; do  # interleave them all, so all see the same machine load
        for n in 1 "$passes" "$long"; do
            best[cli$n]=$(least "$(seconds "$cli" "$here/$sheet.FOR" --passes "$n")" "${best[cli$n]:-}")
            for i in "${!pythons[@]}"; do
                best[py$i.$n]=$(least "$(seconds "${pythons[$i]}" "$here/$sheet.py" "$n")" \
                                      "${best[py$i.$n]:-}")
            done
        done
    done
    for i in "${!pythons[@]}"; do
        awk -v sheet="$sheet" -v py="${pythons[$i]}" -v n="$passes" -v long="$long" \
            -v c="${best[cli$passes]}" -v p="${best[py$i.$passes]}" \
            -v c1="${best[cli1]}" -v cl="${best[cli$long]}" \
            -v p1="${best[py$i.1]}" -v pl="${best[py$i.$long]}" 'BEGIN {
            cp = (cl - c1) / (long - 1) * 1e6; pp = (pl - p1) / (long - 1) * 1e6
            printf "%s, %s: %d passes quantaro-cli %.1f ms, python %.1f ms, ratio %.2f;", sheet, py, n, c * 1000, p * 1000, c / p
            printf " per pass %.3f us against %.3f us, ratio %.2f\n", cp, pp, cp / pp }'
    done
    unset best
done
