#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Writes debian/copyright (DEP-5) from the REUSE data, or checks that it is up to date.

The project's own files carry SPDX headers with one notice (`Files: *`); everything else is
described in .reuse/dep5, whose paragraphs are copied in order; each licence used gets a
stand-alone License paragraph with its text from LICENSES/ (Apache-2.0 refers to Debian's
common-licenses copy, as policy asks).

    tools/reuse/debian_copyright.py          # rewrite debian/copyright
    tools/reuse/debian_copyright.py --check  # exit 1 if it differs from what would be written
"""
from __future__ import annotations

import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROJECT_COPYRIGHT = "2026 The quorvantile_log authors"
PROJECT_LICENSE = "Apache-2.0"
COMMON_LICENSES = {"Apache-2.0": "/usr/share/common-licenses/Apache-2.0"}


def dep5_paragraphs() -> tuple[str, list[str]]:
    with open(os.path.join(ROOT, ".reuse", "dep5"), encoding="utf-8") as f:
        text = f.read()
    blocks = [b.strip("\n") for b in re.split(r"\n\s*\n", text) if b.strip()]
    # Comment lines are for the REUSE file's readers; DEP-5 has its own Comment field.
    blocks = ["\n".join(line for line in b.splitlines() if not line.startswith("#")) for b in blocks]
    blocks = [b for b in blocks if b]
    return blocks[0], blocks[1:]


def dep5_license(expression: str) -> str:
    # DEP-5 joins licence names with lower-case "and"/"or".
    return re.sub(r"\b(AND|OR)\b", lambda m: m.group(1).lower(), expression)


def licence_paragraph(name: str) -> str:
    if name in COMMON_LICENSES:
        body = [f"On Debian systems, the complete text of the {name} licence is in", f"{COMMON_LICENSES[name]}."]
    else:
        with open(os.path.join(ROOT, "LICENSES", f"{name}.txt"), encoding="utf-8") as f:
            body = f.read().strip("\n").splitlines()
    lines = [f"License: {name}"] + [f" {line}" if line.strip() else " ." for line in body]
    return "\n".join(lines)


def render() -> str:
    header, paragraphs = dep5_paragraphs()
    files = [f"Files: *\nCopyright: {PROJECT_COPYRIGHT}\nLicense: {PROJECT_LICENSE}"]
    used = {PROJECT_LICENSE}
    for block in paragraphs:
        out = []
        for line in block.splitlines():
            if line.startswith("License:"):
                expression = line.split(":", 1)[1].strip()
                used.update(re.findall(r"[A-Za-z0-9.+-]+", re.sub(r"\b(AND|OR|WITH)\b", " ", expression)))
                line = f"License: {dep5_license(expression)}"
            out.append(line)
        files.append("\n".join(out))
    licences = [licence_paragraph(name) for name in sorted(used)]
    return "\n\n".join([header] + files + licences) + "\n"


def main() -> int:
    target = os.path.join(ROOT, "debian", "copyright")
    text = render()
    if sys.argv[1:] == ["--check"]:
        with open(target, encoding="utf-8") as f:
            if f.read() != text:
                print("debian/copyright differs from the REUSE data: run tools/reuse/debian_copyright.py",
                      file=sys.stderr)
                return 1
        return 0
    with open(target, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
