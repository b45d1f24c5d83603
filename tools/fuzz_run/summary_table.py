#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Turns run_targets.sh summary lines into the rows of the fuzzing table in docs/fuzzing.md.

Usage: summary_table.py SUMMARY... (the files holding run_targets.sh output)
Prints one Markdown row per target: target, seconds, executions, result.
"""
import sys

for path in sys.argv[1:]:
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 5 and parts[0].startswith("fuzz_") and parts[3] == "execs":
                print(f"| `{parts[0]}` | {parts[1].rstrip('s')} | {int(parts[2]):,} | {' '.join(parts[4:])} |")
