# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Name conversions shared by the emitters."""
from __future__ import annotations

import keyword
import re


def shouty(name: str) -> str:
    """UpperCamel (with digits and underscores) to SHOUTY_SNAKE: Kt128Sha256Ed25519 -> KT128_SHA256_ED25519."""
    words = []
    for part in name.split("_"):
        words += re.findall(r"[A-Z]+[a-z0-9]*|[a-z0-9]+", part)
    return "_".join(w.upper() for w in words)


def python_identifier(name: str) -> str:
    return name + "_" if keyword.iskeyword(name) else name


def docstring(text: str, indent: str) -> str:
    """A triple-quoted docstring body for `text`, escaped and indented."""
    text = text.replace("\\", "\\\\").replace('"""', '\\"\\"\\"')
    lines = [line.rstrip() for line in text.split("\n")]
    body = "\n".join((indent + line if line and i else line) for i, line in enumerate(lines))
    if len(lines) > 1:
        return f'{indent}"""{body}\n{indent}"""'
    if body.endswith('"'):
        body += " "
    return f'{indent}"""{body}"""'


# REUSE-IgnoreStart (these are the lines generated files carry, not this file's own)
SPDX_LINES = ("SPDX-FileCopyrightText: 2026 The quorvantile_log authors",
              "SPDX-License-Identifier: Apache-2.0")
# REUSE-IgnoreEnd


def spdx_header(comment: str) -> str:
    """The licence header every generated file starts with, in a line-comment syntax such as '#'."""
    return "".join(f"{comment} {line}\n" for line in SPDX_LINES)
