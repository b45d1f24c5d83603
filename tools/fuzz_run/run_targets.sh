#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# Runs fuzz targets of the fuzz build, each for SECONDS on a working copy of its seed corpus.
#
#   run_targets.sh SECONDS JOBS [TARGET...]     (no TARGET: every fuzz/fuzz_*.cpp target)
#
# The seeds in fuzz/corpus/<target>/ are copied to build/fuzz/work/<target>/ and only that copy
# grows; logs go to build/fuzz/logs/<target>.log (or $FUZZ_LOGS/<target>.log) and crash inputs to build/fuzz/artifacts/<target>/.
# One summary line per target: target, seconds, executions, result. Stops at the first failing
# target (the others still running are stopped) and exits non-zero; with FUZZ_KEEP_GOING=1 every
# target still runs and the exit status reports whether any failed.
set -u
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$ROOT/build/fuzz/fuzz
SECONDS_PER=${1:?seconds}
JOBS=${2:?jobs}
shift 2
if [ $# -gt 0 ]; then TARGETS=("$@"); else
  TARGETS=()
  for f in "$ROOT"/fuzz/fuzz_*.cpp; do TARGETS+=("$(basename "$f" .cpp)"); done
fi
LOGS=${FUZZ_LOGS:-$ROOT/build/fuzz/logs}
mkdir -p "$LOGS" "$ROOT/build/fuzz/work" "$ROOT/build/fuzz/artifacts"

summary() {  # target log rc
  local execs secs result
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$2" | tail -1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$2" | tail -1)
  if [ "$3" -eq 0 ]; then result=ok; else
    result="FAILED (exit $3$(ls "$ROOT/build/fuzz/artifacts/$1"/* 2>/dev/null | head -1 | sed 's/^/, /'))"
  fi
  printf '%-48s %6ss %12s execs  %s\n' "$1" "${secs:-?}" "${execs:-?}" "$result"
}

run_one() {  # target
  local t=$1 log=$LOGS/$1.log work=$ROOT/build/fuzz/work/$1
  if [ ! -x "$BIN/$t" ]; then echo "$t: not built" >"$log"; return 127; fi
  mkdir -p "$work" "$ROOT/build/fuzz/artifacts/$t"
  [ -d "$ROOT/fuzz/corpus/$t" ] && cp -n "$ROOT/fuzz/corpus/$t"/* "$work"/ 2>/dev/null
  exec nice -n 19 "$BIN/$t" -max_total_time="$SECONDS_PER" -print_final_stats=1 -timeout=60 \
    -artifact_prefix="$ROOT/build/fuzz/artifacts/$t/" "$work" >"$log" 2>&1
}

declare -A PIDS=()
failed=0
reap() {  # waits for one running target, prints its line
  local pid rc t
  wait -n -p pid "${!PIDS[@]}"
  rc=$?
  t=${PIDS[$pid]}
  unset "PIDS[$pid]"
  summary "$t" "$LOGS/$t.log" "$rc"
  [ "$rc" -eq 0 ] || failed=1
  [ "${FUZZ_KEEP_GOING:-0}" = 1 ] && [ "$failed" -ne 0 ] && { failures=1; failed=0; }
  return 0
}
failures=0

for t in "${TARGETS[@]}"; do
  while [ "${#PIDS[@]}" -ge "$JOBS" ]; do reap; done
  [ "$failed" -eq 0 ] || break
  run_one "$t" &
  PIDS[$!]=$t
done
while [ "${#PIDS[@]}" -gt 0 ]; do
  if [ "$failed" -ne 0 ]; then for p in "${!PIDS[@]}"; do kill -- "$p" 2>/dev/null; done; fi
  reap
done
[ "$failures" -eq 0 ] || failed=1
exit "$failed"
