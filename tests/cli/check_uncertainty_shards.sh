#!/bin/bash
# The draws of a Monte Carlo study run as shards by GNU parallel: the shards'
# files joined are the whole study's file, byte for byte, and --summarize of
# them prints what the whole study printed, however many shards there are.
#
# Usage: check_uncertainty_shards.sh QUANTARO_CLI EXAMPLES_DIR
set -eu
cli=${1:?usage: check_uncertainty_shards.sh QUANTARO_CLI EXAMPLES_DIR}
examples=${2:?usage: check_uncertainty_shards.sh QUANTARO_CLI EXAMPLES_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

study=(--uncertainty V0=0.5 --uncertainty ANGLE=±1:uniform --uncertainty g=0.1%:triangular
       --report RANGE,HMAX --monte-carlo 20011 --seed 42)
"$cli" "${study[@]}" --csv "$work/whole.csv" "$examples/engineering.FOR" >"$work/whole.txt" \
    2>"$work/whole.err"
# The summary lines: after the first-order table's.
grep ' failed)$' "$work/whole.txt" >"$work/whole.summary"
cat "$work/whole.err" >>"$work/whole.summary"
[[ $(wc -l <"$work/whole.summary") -eq 6 ]] || { echo "unexpected summary:" >&2; cat "$work/whole.summary" >&2; exit 1; }

failures=0
for shards in 1 2 5; do
    parallel "$cli" "${study[@]}" --shard {}/$shards --csv "$work/part-$shards-{}.csv" \
        "$examples/engineering.FOR" '>/dev/null' 2>/dev/null ::: $(seq "$shards")
    {
        cat "$work/part-$shards-1.csv"
        for ((i = 2; i <= shards; i++)); do tail -n +2 "$work/part-$shards-$i.csv"; done
    } >"$work/joined.csv"
    if ! cmp -s "$work/joined.csv" "$work/whole.csv"; then
        echo "$shards shards joined differ from the whole study's draws" >&2
        failures=$((failures + 1))
    fi
    # In reverse order: the summary goes by the draws' numbers.
    "$cli" --summarize $(ls -r "$work"/part-$shards-*.csv) >"$work/summary" 2>&1
    if ! diff "$work/whole.summary" "$work/summary" >&2; then
        echo "the summary of $shards shards differs from the whole study's" >&2
        failures=$((failures + 1))
    fi
done
((failures == 0)) && echo "shards: joined and summarised as the whole study"
exit $((failures > 0))
