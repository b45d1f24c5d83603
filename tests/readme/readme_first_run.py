#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Runs what README.md tells a newcomer, as written, from the top of the checkout:

- the shell block after `<!-- first-run -->` (make cli, then the command line) in a clean
  environment, whose output must end with the block after `<!-- first-run-output -->`;
- every block after `<!-- example: python -->` with the interpreter `make cli` prepared;
- the block after `<!-- example: c -->`, compiled against the built library and run.

    readme_first_run.py SOURCE_DIR
"""
import os
import re
import subprocess
import sys
import tempfile


def blocks(readme: str, marker: str) -> list:
    """The fenced code blocks that directly follow `<!-- marker -->`."""
    return re.findall(r"<!-- " + re.escape(marker) + r" -->\n```[a-z]*\n(.*?)```\n", readme, re.S)


def run(what: str, command: list, cwd: str, env: dict, **kw) -> str:
    got = subprocess.run(command, cwd=cwd, env=env, capture_output=True, text=True, **kw)
    if got.returncode != 0:
        sys.exit(f"README {what} failed (exit {got.returncode}):\n{got.stdout}\n{got.stderr}")
    return got.stdout


def main() -> None:
    source = os.path.abspath(sys.argv[1])
    with open(os.path.join(source, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    first_run, expected = blocks(readme, "first-run"), blocks(readme, "first-run-output")
    python_examples, c_examples = blocks(readme, "example: python"), blocks(readme, "example: c")
    if not (len(first_run) == len(expected) == len(c_examples) == 1 and len(python_examples) >= 2):
        sys.exit("README: the first-run, first-run-output, python and c example markers are not all there")

    # A newcomer's shell: none of the variables the test suite sets.
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("QUORVANTILE_", "PYTHON", "QV_", "CTEST", "MAKE", "MFLAGS"))}
    out = run("first-run commands", ["bash", "-euo", "pipefail", "-c", first_run[0]], source, env)
    if not out.endswith(expected[0]):
        sys.exit(f"README first-run output differs:\n--- README\n{expected[0]}--- got\n{out}")

    for n, example in enumerate(python_examples, 1):
        run(f"python example {n}", [os.path.join(source, "build", "venv", "bin", "python"), "-"], source, env,
            input=example)

    with tempfile.TemporaryDirectory() as tmp:
        program, library = os.path.join(tmp, "example"), os.path.join(source, "build", "release")
        with open(program + ".c", "w", encoding="utf-8") as f:
            f.write(c_examples[0])
        run("C example (build)", ["cc", "-std=c11", "-Wall", "-Wextra", "-Wpedantic", "-Werror", "-o", program,
                                  program + ".c", "-I" + os.path.join(source, "include"), "-L" + library,
                                  "-lquorvantile_log", "-Wl,-rpath," + library], source, env)
        run("C example", [program], source, env)
    print(f"README: first run, {len(python_examples)} Python examples and the C example work as written")


if __name__ == "__main__":
    main()
