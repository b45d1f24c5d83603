#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Rewrites debian/<package>.symbols from the dynamic symbols a built library exports.

The Debian build runs dpkg-gensymbols at check level 4, so a symbol that appears or disappears
fails the package build until this is run and the change is reviewed. Symbols already listed
keep their version; new ones get the CMake project version. Run after a change to the exports:

    tools/release/update_symbols.py build/release
"""
from __future__ import annotations

import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# (shared object, runtime package, development package)
LIBRARIES = [("libquorvantile_log.so.0", "libquorvantile-log0", "libquorvantile-log-dev"),
             ("libquorvantile_witness.so.0", "libquorvantile-witness0", "libquorvantile-log-dev")]


def project_version() -> str:
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"^project\(quorvantile_log VERSION (\S+)", f.read(), re.MULTILINE).group(1)


def exported(library: str) -> list[str]:
    out = subprocess.run(["nm", "-D", "--defined-only", library], check=True, capture_output=True, text=True).stdout
    return sorted(line.split()[-1] for line in out.splitlines() if line.strip())


def listed(path: str) -> dict[str, str]:
    if not os.path.exists(path):
        return {}
    symbols = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.startswith(" "):
                name, version = line.split()
                symbols[name.split("@", 1)[0]] = version
    return symbols


def main() -> int:
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    build_dir, version = sys.argv[1], project_version()
    for soname, package, dev in LIBRARIES:
        path = os.path.join(ROOT, "debian", f"{package}.symbols")
        old = listed(path)
        new = exported(os.path.join(build_dir, soname))
        lines = [f"{soname} {package} #MINVER#", f"* Build-Depends-Package: {dev}"]
        lines += [f" {name}@Base {old.get(name, version)}" for name in new]
        with open(path, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        added, removed = sorted(set(new) - set(old)), sorted(set(old) - set(new))
        print(f"{path}: {len(new)} symbols, {len(added)} added, {len(removed)} removed")
        for sign, names in (("+", added), ("-", removed)):
            for name in names[:40]:
                print(f"  {sign} {name}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
