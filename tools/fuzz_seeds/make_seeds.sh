#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

# Rewrites fuzz/corpus/ from the fixtures: the parser targets' seeds from parser_seeds.py, the
# export targets' seeds by each built target's own encoder (QV_FUZZ_WRITE_SEEDS) from the plain
# call table of export_calls.py. Needs the fuzz build (cmake --build --preset fuzz).
set -eu
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BIN=$ROOT/build/fuzz/fuzz
CORPUS=$ROOT/fuzz/corpus
TABLE=$ROOT/build/fuzz/export_calls.json
mkdir -p "$ROOT/build/fuzz"
python3 "$ROOT/tools/fuzz_seeds/export_calls.py" "$TABLE"
for src in "$ROOT"/fuzz/fuzz_*.cpp; do
  t=$(basename "$src" .cpp)
  if grep -q QV_FUZZ_TARGET "$src"; then
    rm -rf "${CORPUS:?}/$t"
    QV_FUZZ_WRITE_SEEDS="$TABLE:$CORPUS/$t" "$BIN/$t"
  fi
done
python3 "$ROOT/tools/fuzz_seeds/parser_seeds.py" "$CORPUS"
du -sh "$CORPUS"
