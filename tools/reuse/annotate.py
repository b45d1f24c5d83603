#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Adds the project's SPDX header to every file of the work tree that lacks one.

Run from anywhere inside the checkout, as often as wanted (after merging branches that add files):
files that already name a licence and files that .reuse/dep5 covers (generated bindings, JSON,
fixtures, vendored vectors) are left alone, so a second run changes nothing. The header goes in
with `reuse annotate` and the compact template of .reuse/templates (after a shebang line, if any).
A file whose type takes no comment gets a `.license` file beside it instead.

    tools/reuse/annotate.py            # annotate
    tools/reuse/annotate.py --dry-run  # list what would be annotated, exit 1 if anything
"""
from __future__ import annotations

import argparse
import os
import subprocess
import sys
from collections import defaultdict

from debian.copyright import Copyright

COPYRIGHT = "2026 The quorvantile_log authors"
LICENSE = "Apache-2.0"
NEVER = ("LICENSE", "LICENSES/", ".reuse/", ".git/")

# reuse comment style (and whether the multi-line form is required) per suffix or file name.
LINE_C = ("c", False)
BLOCK_C = ("c", True)
HASH = ("python", False)
HTML = ("html", False)
STYLE_BY_SUFFIX = {
    ".c": LINE_C, ".h": LINE_C, ".cpp": LINE_C, ".hpp": LINE_C, ".inc": LINE_C, ".mjs": LINE_C,
    ".js": LINE_C, ".kt": LINE_C, ".kts": LINE_C, ".java": LINE_C,
    ".map": BLOCK_C,  # linker version scripts take only /* */ comments
    ".py": HASH, ".sh": HASH, ".cmake": HASH, ".toml": HASH, ".supp": HASH, ".in": HASH,
    ".txt": HASH, ".yml": HASH, ".yaml": HASH, ".cfg": HASH, ".gitignore": HASH,
    ".gitattributes": HASH, ".md": HTML,
}
STYLE_BY_NAME = {"Makefile": HASH, "CMakeLists.txt": HASH, ".gitignore": HASH, "rules": HASH}


def repo_root() -> str:
    return subprocess.run(["git", "rev-parse", "--show-toplevel"], check=True, capture_output=True,
                          text=True).stdout.strip()


def work_tree_files() -> list[str]:
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                            check=True, capture_output=True).stdout.decode().split("\0")
    return sorted(f for f in set(listed) if f and os.path.isfile(f) and not os.path.islink(f))


def has_licence_info(path: str) -> bool:
    if os.path.exists(path + ".license"):
        return True
    with open(path, "rb") as fh:
        return b"SPDX-License-Identifier:" in fh.read()


def style_of(path: str) -> tuple[str, bool] | None:
    name = os.path.basename(path)
    if name in STYLE_BY_NAME:
        return STYLE_BY_NAME[name]
    suffix = os.path.splitext(name)[1] or (name if name.startswith(".") else "")
    if suffix in STYLE_BY_SUFFIX:
        return STYLE_BY_SUFFIX[suffix]
    with open(path, "rb") as fh:
        if fh.read(2) == b"#!":
            return HASH
    return None


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dry-run", action="store_true", help="only list the files that lack a header")
    args = parser.parse_args()
    os.chdir(repo_root())
    with open(".reuse/dep5", encoding="utf-8") as fh:
        dep5 = Copyright(fh)

    groups: dict[tuple[str, bool] | None, list[str]] = defaultdict(list)
    for path in work_tree_files():
        if path.startswith(NEVER) or path.endswith(".license"):
            continue
        if dep5.find_files_paragraph(path) is not None or has_licence_info(path):
            continue
        groups[style_of(path)].append(path)

    pending = sorted(p for paths in groups.values() for p in paths)
    if args.dry_run:
        print("\n".join(pending))
        return 1 if pending else 0
    base = ["reuse", "annotate", "--template", "compact", "--exclude-year", "--copyright-style", "spdx",
            "--copyright", COPYRIGHT, "--license", LICENSE]
    for style, paths in groups.items():
        if style is None:
            options = ["--force-dot-license"]
        else:
            options = ["--style", style[0]] + (["--multi-line"] if style[1] else [])
        subprocess.run(base + options + paths, check=True, stdout=subprocess.DEVNULL)
    print(f"annotated {len(pending)} files")
    for path in groups.get(None, []):
        print(f"  {path}: no comment syntax known, wrote {path}.license")
    return 0


if __name__ == "__main__":
    sys.exit(main())
