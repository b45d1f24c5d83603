#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Compares two builds of a benchmark program side by side in one run.

    tools/bench_compare.py OLD_BINARY NEW_BINARY [--rounds N] [--filter REGEX] [-- extra args]

Runs the two programs alternately (old, new, old, new, ...) for N rounds, so both see the same
machine load, and prints per benchmark the median CPU time of each with its spread (min-max
over the rounds) and the ratio new/old of the medians. CPU time, not wall time: on a shared
machine the wall time mostly measures the neighbours. A ratio near 1 within the spread means no
measurable change.
"""
import argparse
import json
import statistics
import subprocess
import sys


def run(binary, bench_filter, extra):
    args = [binary, "--benchmark_format=json", "--benchmark_min_time=0.05"]
    if bench_filter:
        args.append("--benchmark_filter=" + bench_filter)
    out = subprocess.run(args + extra, check=True, capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type", "iteration") == "iteration":
            times[b["name"]] = b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    return times


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--filter", default="")
    parser.add_argument("extra", nargs="*")
    args = parser.parse_args()
    samples = {"old": {}, "new": {}}
    for _ in range(args.rounds):
        for label, binary in (("old", args.old), ("new", args.new)):
            for name, t in run(binary, args.filter, args.extra).items():
                samples[label].setdefault(name, []).append(t)
    print(f"{'benchmark':60} {'old median (spread) ns':>28} {'new median (spread) ns':>28} {'new/old':>8}")
    for name in samples["old"]:
        if name not in samples["new"]:
            continue
        old, new = samples["old"][name], samples["new"][name]
        mo, mn = statistics.median(old), statistics.median(new)
        print(f"{name[:60]:60} {mo:12.0f} ({min(old):.0f}-{max(old):.0f}) {mn:12.0f} ({min(new):.0f}-{max(new):.0f})"
              f" {mn / mo:8.3f}")


if __name__ == "__main__":
    sys.exit(main())
