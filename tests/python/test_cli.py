# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""The operator command line: each subcommand's three exit statuses."""
import base64
import os

import pytest

import quorvantile_log as qv
from conftest import DEMO, run_python

NOTE = os.path.join(DEMO, "checkpoint.note")
KEYS = os.path.join(DEMO, "checkpoint.vkeys")
with open(os.path.join(DEMO, "inclusion.proof"), encoding="utf-8") as _f:
    _LINES = _f.read().split("\n")
INDEX, LEAF, PATH = _LINES[0], _LINES[2], [line for line in _LINES[3:] if line]


@pytest.fixture(scope="module")
def files(tmp_path_factory):
    d = tmp_path_factory.mktemp("cli")
    with open(NOTE, encoding="utf-8") as f:
        (d / "tampered.note").write_text(f.read().replace("\n7\n", "\n8\n", 1))
    (d / "hex.proof").write_text("\n".join(PATH) + "\n")
    (d / "b64.proof").write_text("\n".join(base64.b64encode(bytes.fromhex(h)).decode() for h in PATH) + "\n")
    (d / "empty.proof").write_text("")
    (d / "one.proof").write_text(LEAF + "\n")
    (d / "bad.proof").write_text("not a hash\n")
    return d


CASES = [
    ("note", ["note", NOTE, "--vkey", KEYS], 0),
    ("note", ["note", "{d}/tampered.note", "--vkey", KEYS], 1),
    ("note", ["note", "{d}/absent.note", "--vkey", KEYS], 2),
    ("checkpoint", ["checkpoint", NOTE, "--vkey", KEYS], 0),
    ("checkpoint", ["checkpoint", "{d}/tampered.note", "--vkey", KEYS], 1),
    ("checkpoint", ["checkpoint", NOTE], 2),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, "--index", INDEX, "--leaf-hash", LEAF, "--proof", "{d}/hex.proof"], 0),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, "--index", INDEX, "--leaf-hash",
                   base64.b64encode(bytes.fromhex(LEAF)).decode(), "--proof", "{d}/b64.proof"], 0),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, "--index", "0", "--leaf-hash", LEAF, "--proof", "{d}/hex.proof"], 1),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, "--index", INDEX, "--leaf-hash", LEAF, "--proof", "{d}/bad.proof"], 2),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, "--index", "-1", "--leaf-hash", LEAF, "--proof", "{d}/hex.proof"], 2),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", "{d}/empty.proof"], 0),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", "{d}/one.proof"], 1),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS], 2),
    ("usage", ["no-such-command"], 2),
    ("usage", ["--help"], 0),
]


@pytest.mark.parametrize("command, argv, status", CASES, ids=[f"{c[0]}-{c[2]}" for c in CASES])
def test_exit_status(files, command, argv, status):
    got = run_python(["-m", "quorvantile_log", *[a.format(d=files) for a in argv]])
    assert got.returncode == status, (got.stdout, got.stderr)
    if status == 0:
        assert got.stdout.strip()
    if status == 1:
        assert got.stderr.startswith("rejected: ")


def test_a_rejection_prints_the_library_message(files):
    got = run_python(["-m", "quorvantile_log", "consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", f"{files}/one.proof"])
    assert got.stderr == "rejected: consistency proof between equal sizes must be empty\n"


def test_the_checkpoint_head_is_printed():
    got = run_python(["-m", "quorvantile_log", "checkpoint", NOTE, "--vkey", KEYS])
    assert got.stdout == "verified checkpoint: origin demo.example/log, size 7, root " \
                         "nGvuSfr2UaQlJIENfycjlLu0GBE2Q3hM4i+oYtA7bYc=\n"


def test_policy_command_exists_exactly_when_the_library_has_signed_policies():
    got = run_python(["-m", "quorvantile_log", "--help"])
    assert ("policy" in got.stdout) == hasattr(qv, "signed_policy_verify")


def test_a_missing_library_is_status_2():
    from conftest import child_env
    got = run_python(["-m", "quorvantile_log", "--help"], child_env(QUORVANTILE_LOG_LIB="/nonexistent/lib.so"))
    assert got.returncode == 2
    assert got.stderr.startswith("error: cannot load libquorvantile_log")
