#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build/fuzz and runs each one for
# SECONDS on a copy of its seed corpus. Prints each target's execution count;
# exits non-zero when a target crashes (the input is kept under build/fuzz).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
RUN_SECONDS="${1:-60}"
BUILD="$ROOT/build/fuzz"
JOBS="$(nproc 2>/dev/null || echo 2)"
TARGETS=(fuzz_parse fuzz_profile fuzz_render fuzz_image)
MAX_LEN=8192

case "$RUN_SECONDS" in
  ''|*[!0-9]*) echo "usage: run-fuzz.sh SECONDS" >&2; exit 2 ;;
esac

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZAVIK_FUZZ=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target "${TARGETS[@]}"

status=0
for target in "${TARGETS[@]}"; do
  work="$BUILD/work/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/artifacts"
  cp "$ROOT/fuzz/corpus/$target/"* "$work/corpus/"
  log="$work/fuzz.log"
  rc=0
  "$BUILD/$target" -max_total_time="$RUN_SECONDS" -max_len="$MAX_LEN" -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/" "$work/corpus" >"$log" 2>&1 || rc=$?
  execs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
  if [ "$rc" -ne 0 ]; then
    echo "$target: CRASH (exit $rc) after ${execs:-?} executions; log $log, input in $work/artifacts"
    tail -n 40 "$log"
    status=1
  else
    echo "$target: ${execs:-?} executions in ${RUN_SECONDS} s, no crash"
  fi
done
exit "$status"
