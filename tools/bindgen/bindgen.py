#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Generates the Python module, the C++ header and the Kotlin sources of a library from its
embedded description.

  bindgen.py LIBRARY --python OUT.py --cpp OUT.hpp          write the outputs
  bindgen.py LIBRARY --python OUT.py --cpp OUT.hpp --check  compare instead; exit 1 on a difference
  bindgen.py LIBRARY --base BASE_LIBRARY ...                reuse the base library's bindings'
                                                            record types and error base
  bindgen.py LIBRARY --kotlin DIR ...                       the Kotlin package under the source root DIR
"""
from __future__ import annotations

import argparse
import difflib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import cpp_emitter  # noqa: E402
import kotlin_emitter  # noqa: E402
import python_emitter  # noqa: E402
from description import DescriptionError, link, read_interface  # noqa: E402
from elf_symbols import ElfError  # noqa: E402


def main(argv: list) -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("library", help="the built shared library")
    parser.add_argument("--python", help="where the Python module goes")
    parser.add_argument("--cpp", help="where the C++ header goes")
    parser.add_argument("--kotlin", help="the Kotlin source root the package goes under")
    parser.add_argument("--base", help="the library whose bindings this one's build on (shared records, errors)")
    parser.add_argument("--check", action="store_true", help="compare with the files instead of writing them")
    args = parser.parse_args(argv)
    for path in [args.library] + ([args.base] if args.base else []):
        try:
            read = read_interface(path)
        except (OSError, ElfError, DescriptionError) as e:
            print(f"bindgen: {path}: {e}", file=sys.stderr)
            return 2
        if path == args.library:
            iface = read
        else:
            link(iface, read)
    outputs = []
    if args.python:
        outputs.append((args.python, python_emitter.emit(iface)))
    if args.cpp:
        outputs.append((args.cpp, cpp_emitter.emit(iface)))
    if args.kotlin:
        outputs += [(os.path.join(args.kotlin, path), text) for path, text in kotlin_emitter.emit(iface).items()]
    stale = 0
    for path, text in outputs:
        if args.check:
            try:
                with open(path, encoding="utf-8") as fh:
                    current = fh.read()
            except FileNotFoundError:
                current = ""
            if current != text:
                stale += 1
                sys.stderr.writelines(difflib.unified_diff(
                    current.splitlines(True), text.splitlines(True), path, f"{path} (regenerated)"))
        else:
            os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
            with open(path, "w", encoding="utf-8") as fh:
                fh.write(text)
    if stale:
        print(f"bindgen: {stale} generated file(s) out of date; run `make bindings`", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
