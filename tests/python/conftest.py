# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Shared set-up of the Python binding tests: where the library, the call table and the C++
call-table runner are, and a way to run Python in a child process with a chosen environment."""
import json
import os
import subprocess
import sys

import pytest

SOURCE_DIR = os.environ.get("QV_SOURCE_DIR") or os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD_DIR = os.path.join(SOURCE_DIR, "build", "release")
LIBRARY = os.environ.get("QUORVANTILE_LOG_LIB") or os.path.join(BUILD_DIR, "libquorvantile_log.so")
WITNESS_LIBRARY = os.environ.get("QUORVANTILE_WITNESS_LIB") or os.path.join(BUILD_DIR, "libquorvantile_witness.so")
CALL_TABLE_RUNNER = os.environ.get("QV_CALL_TABLE") or os.path.join(BUILD_DIR, "tests", "qv_call_table")
CALL_TABLE = os.path.join(SOURCE_DIR, "tests", "data", "bindings", "calls.json")
DEMO = os.path.join(SOURCE_DIR, "demo", "data")

os.environ["QUORVANTILE_LOG_LIB"] = LIBRARY
os.environ["QUORVANTILE_WITNESS_LIB"] = WITNESS_LIBRARY
sys.path.insert(0, os.path.join(SOURCE_DIR, "python"))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "bindgen"))


def child_env(**changes):
    """The environment of a child Python: this one with `changes` applied (None removes)."""
    env = dict(os.environ)
    env["PYTHONPATH"] = os.path.join(SOURCE_DIR, "python")
    env["PYTHONDONTWRITEBYTECODE"] = "1"
    for key, value in changes.items():
        if value is None:
            env.pop(key, None)
        else:
            env[key] = value
    return env


def run_python(args, env=None, cwd=None):
    return subprocess.run([sys.executable, *args], env=env or child_env(), cwd=cwd, capture_output=True, text=True)


@pytest.fixture(scope="session")
def table_file():
    with open(CALL_TABLE, encoding="utf-8") as f:
        return json.load(f)


@pytest.fixture(scope="session")
def call_table(table_file):
    return table_file["calls"]


@pytest.fixture(scope="session")
def cpp_outcomes():
    out = subprocess.run([CALL_TABLE_RUNNER, CALL_TABLE], capture_output=True, text=True, check=True)
    return json.loads(out.stdout)
