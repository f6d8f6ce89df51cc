#!/usr/bin/env bash
# Benchmarks of both builds: the host micro-benchmarks with their ratio lines,
# the allocation count check, then every executable bench/sections/*.sh in
# name order (each prints its own ratio lines). Arguments go to zavik-bench.
set -uo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
HOST_BUILD="$ROOT/build/host"
# Short runs keep the whole bench section well under a minute; three
# repetitions and their median keep one disturbed run from deciding a ratio.
MIN_TIME="${ZAVIK_BENCH_MIN_TIME:-0.05}"
REPETITIONS="${ZAVIK_BENCH_REPETITIONS:-3}"
status=0

echo "== host micro-benchmarks"
"$HOST_BUILD/zavik-bench" --benchmark_min_time="$MIN_TIME" \
  --benchmark_repetitions="$REPETITIONS" --benchmark_display_aggregates_only=true "$@" || status=1

echo "== allocation counts"
"$HOST_BUILD/zavik-alloc-check" || status=1

shopt -s nullglob
for section in "$ROOT"/bench/sections/*.sh; do
  [ -x "$section" ] || continue
  echo "== $(basename "$section" .sh)"
  "$section" || status=1
done
exit "$status"
