#!/usr/bin/env bash
# Times quantaro-cli and the equivalent Python script on the projectile
# worksheet, in turn, whole process each, and prints the best of N runs and
# the ratio. Usage: compare-with-python.sh [CLI] [PASSES] [RUNS]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cli="${1:-$here/../../build/bin/quantaro-cli}"
passes="${2:-20000}"
runs="${3:-11}"
# The interpreter itself, not a wrapper such as a pyenv shim, whose own start
# would be counted against the script.
python="${PYTHON:-/usr/bin/python3}"

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

best_cli=""; best_py=""
for _ in 1 2 3; do  # interleave the two, so both see the same machine load
    c=$(runs=$runs seconds "$cli" "$here/projectile.FOR" --passes "$passes")
    p=$(runs=$runs seconds "$python" "$here/projectile.py" "$passes")
    best_cli=$(awk -v a="$c" -v b="$best_cli" 'BEGIN { print (b == "" || a < b) ? a : b }')
    best_py=$(awk -v a="$p" -v b="$best_py" 'BEGIN { print (b == "" || a < b) ? a : b }')
done
awk -v c="$best_cli" -v p="$best_py" -v n="$passes" 'BEGIN {
    printf "quantaro-cli %.1f ms, python3 %.1f ms, %d passes: ratio %.2f\n", c * 1000, p * 1000, n, c / p }'
