#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them in turn.
#
#   fuzz/run.sh [SECONDS]     seconds per target, 60 by default
#
# Each target keeps its corpus in build-fuzz/corpus/<target>, seeded from
# fuzz/seeds/<target>; crashes and failed invariants are written to
# build-fuzz/artifacts/<target>/. Exits non-zero when any target found one.
# Environment: BUILD_DIR (default <repo>/build-fuzz), CXX (default clang++),
# FUZZ_JOBS (targets run side by side, default 1), FUZZ_TARGETS (names).
set -euo pipefail

seconds="${1:-60}"
case "$seconds" in
  ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 64 ;;
esac

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(dirname "$here")"
build="${BUILD_DIR:-$repo/build-fuzz}"
targets=(${FUZZ_TARGETS:-fuzz_parse_number fuzz_run_formula fuzz_table_file})
jobs="${FUZZ_JOBS:-1}"

generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

CXX="${CXX:-clang++}" cmake -S "$repo" -B "$build" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUANTARO_BUILD_FUZZERS=ON \
  -DQUANTARO_BUILD_TESTS=OFF \
  -DQUANTARO_BUILD_BENCHMARKS=OFF \
  -DQUANTARO_SANITIZE=OFF
cmake --build "$build" --target "${targets[@]}"

# Runs one target; its log goes to build-fuzz/logs/<target>.log.
run_target() {
  local target="$1"
  local corpus="$build/corpus/$target"
  local artifacts="$build/artifacts/$target/"
  local log="$build/logs/$target.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  local seeds=()
  [ -d "$here/seeds/$target" ] && seeds=("$here/seeds/$target")
  local dict=()
  [ -f "$here/$target.dict" ] && dict=("-dict=$here/$target.dict")
  echo "== $target: ${seconds}s, log $log"
  if "$build/fuzz/$target" "$corpus" "${seeds[@]}" "${dict[@]}" \
       -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="$artifacts" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed "s/^/$target /" || true
    return 0
  fi
  echo "!! $target found a failure; see $log and $artifacts" >&2
  grep -E 'ERROR|invariant failed|SUMMARY' "$log" | head -5 >&2 || true
  return 1
}

failed=0
running=0
pids=()
for target in "${targets[@]}"; do
  run_target "$target" &
  pids+=($!)
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    running=$((running - 1))
  fi
done
for pid in "${pids[@]}"; do
  wait "$pid" || failed=1
done

if [ "$failed" -ne 0 ]; then
  echo "fuzzing found failures" >&2
  exit 1
fi
echo "no failures"
