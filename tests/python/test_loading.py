# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Loading the library: the places looked at, and refusal of a library that differs."""
import os
import shutil

import pytest

from conftest import LIBRARY, SOURCE_DIR, child_env, run_python
from description import read_interface
from elf_symbols import ElfFile

IMPORT = ["-c", "import quorvantile_log as q; print(q.verify_signed_note.__name__)"]


def patched_copy(tmp_path, symbol, old, new):
    """A copy of the library whose function `symbol` returns `new` instead of the constant `old`."""
    data = bytearray(open(LIBRARY, "rb").read())
    elf = ElfFile(bytes(data))
    sym = elf.symbols()[symbol]
    start = elf.symbol_file_offset(sym)
    body = bytes(data[start:start + sym.size])
    at = body.find(old.to_bytes(2, "little"))
    assert at >= 0, f"{symbol} does not load its constant as an immediate"
    data[start + at:start + at + 2] = new.to_bytes(2, "little")
    path = tmp_path / "libquorvantile_log.so"
    path.write_bytes(bytes(data))
    return str(path)


FUNCTIONS = read_interface(LIBRARY).functions


@pytest.mark.parametrize("function", [FUNCTIONS[0], FUNCTIONS[-1]], ids=lambda f: f.name)
def test_a_changed_checksum_is_refused_naming_the_function(tmp_path, function):
    lib = patched_copy(tmp_path, f"uniffi_quorvantile_log_checksum_func_{function.name}",
                       function.checksum, function.checksum ^ 0x0100)
    got = run_python(IMPORT, child_env(QUORVANTILE_LOG_LIB=lib))
    assert got.returncode != 0
    assert "LibraryMismatchError" in got.stderr
    assert f"differs from these bindings in function {function.name}: checksum " \
           f"0x{function.checksum ^ 0x0100:04x}, expected 0x{function.checksum:04x}" in got.stderr


def test_another_contract_version_is_refused(tmp_path):
    lib = patched_copy(tmp_path, "ffi_quorvantile_log_uniffi_contract_version", 30, 31)
    got = run_python(IMPORT, child_env(QUORVANTILE_LOG_LIB=lib))
    assert "has contract version 31; these bindings need contract version 30" in got.stderr


def test_the_unpatched_copy_loads(tmp_path):
    lib = patched_copy(tmp_path, "ffi_quorvantile_log_uniffi_contract_version", 30, 30)
    got = run_python(IMPORT, child_env(QUORVANTILE_LOG_LIB=lib))
    assert (got.returncode, got.stdout.strip()) == (0, "verify_signed_note"), got.stderr


def package_copy(tmp_path, with_library):
    """A copy of the package, optionally with the library beside its modules."""
    dest = tmp_path / "site"
    shutil.copytree(os.path.join(SOURCE_DIR, "python", "quorvantile_log"), dest / "quorvantile_log",
                    ignore=shutil.ignore_patterns("__pycache__"))
    if with_library:
        shutil.copy(LIBRARY, dest / "quorvantile_log" / "libquorvantile_log.so")
    return str(dest)


@pytest.mark.parametrize("place", ["variable", "package directory", "system search"])
def test_each_place_is_looked_at(tmp_path, place):
    site = package_copy(tmp_path, place == "package directory")
    env = child_env(PYTHONPATH=site, QUORVANTILE_LOG_LIB=LIBRARY if place == "variable" else None)
    if place == "system search":
        lib_dir = tmp_path / "libs"
        lib_dir.mkdir()
        from quorvantile_log._bindings import SONAME
        shutil.copy(LIBRARY, lib_dir / SONAME)
        env["LD_LIBRARY_PATH"] = str(lib_dir)
    got = run_python(IMPORT, env, cwd=str(tmp_path))
    assert (got.returncode, got.stdout.strip()) == (0, "verify_signed_note"), got.stderr


def test_a_missing_library_names_every_place(tmp_path):
    site = package_copy(tmp_path, False)
    got = run_python(IMPORT, child_env(PYTHONPATH=site, QUORVANTILE_LOG_LIB=None, LD_LIBRARY_PATH=None),
                     cwd=str(tmp_path))
    assert "LibraryNotFoundError" in got.stderr
    from quorvantile_log._bindings import SONAME
    for place in ["QUORVANTILE_LOG_LIB (not set)", os.path.join(site, "quorvantile_log", SONAME),
                  f"{SONAME} through the system's library search"]:
        assert place in got.stderr


def test_an_unloadable_explicit_library_is_not_replaced(tmp_path):
    missing = str(tmp_path / "nowhere.so")
    got = run_python(IMPORT, child_env(QUORVANTILE_LOG_LIB=missing))
    assert f"QUORVANTILE_LOG_LIB={missing}" in got.stderr


def test_the_library_checksums_are_the_records_checksums():
    import quorvantile_log as q
    import ctypes
    lib = ctypes.CDLL(LIBRARY)
    for function in FUNCTIONS:
        fn = getattr(lib, f"uniffi_quorvantile_log_checksum_func_{function.name}")
        fn.restype = ctypes.c_uint16
        assert fn() == function.checksum == q.CHECKSUMS[function.name], function.name
