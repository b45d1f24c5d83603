#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""The Kotlin bindings on the JVM (make test-jvm): the call tables of both components agree with
the Python and C++ layers on every outcome and message; every buffer is released; the library is
found where it should be and refused when it differs; the README's Kotlin and Java examples run.

  run_jvm_tests.py SOURCE_DIR BUILD_DIR CLASSPATH JAVA_EXAMPLE_CLASSES
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE, BUILD, CLASSPATH, JAVA_CLASSES = sys.argv[1:5]
LOG = os.path.join(BUILD, "libquorvantile_log.so")
WITNESS = os.path.join(BUILD, "libquorvantile_witness.so")
TABLES = os.path.join(SOURCE, "tests", "data", "bindings")
sys.path[:0] = [os.path.join(SOURCE, "python"), os.path.join(SOURCE, "tools", "bindgen")]
os.environ.update(QUORVANTILE_LOG_LIB=LOG, QUORVANTILE_WITNESS_LIB=WITNESS)

import quorvantile_log  # noqa: E402
import quorvantile_log.witness  # noqa: E402
from quorvantile_log import _codec  # noqa: E402
from description import read_interface  # noqa: E402
from elf_symbols import ElfFile  # noqa: E402

failures = []


def java(args, env=None, props=(), classpath=CLASSPATH):
    environment = dict(os.environ)
    for key, value in (env or {}).items():
        if value is None:
            environment.pop(key, None)
        else:
            environment[key] = value
    got = subprocess.run(["java", *props, "-cp", classpath, *args], capture_output=True, text=True, env=environment)
    if got.returncode != 0 and "Exception in thread" in got.stderr:
        print(got.stderr, file=sys.stderr)
    return got


def expect(name, ok, detail=""):
    print(f"{'ok  ' if ok else 'FAIL'} {name}" + (f": {detail}" if detail and not ok else ""))
    if not ok:
        failures.append(name)


def snake(name):
    return "".join(("_" + c.lower()) if c.isupper() else c for c in name).lstrip("_")


def python_outcome(module, row):
    spec = getattr(module, "_SPEC_" + row["function"].upper())
    args = [_codec.from_plain(t, v) for (_, t), v in zip(spec.arguments, row["args"])]
    try:
        value = getattr(module, row["function"])(*args)
    except quorvantile_log.InternalError as e:
        return {"outcome": "internal", "kind": e.kind, "message": str(e)}
    except quorvantile_log.Error as e:  # a variant of the component's error
        return {"outcome": snake(type(e).__name__), "kind": e.kind, "message": str(e)}
    return {"outcome": "ok", "value": _codec.to_plain(value)}


def call_tables():
    for table, module, cpp in (("calls.json", quorvantile_log._bindings, True),
                               ("witness_calls.json", quorvantile_log.witness, False)):
        path = os.path.join(TABLES, table)
        rows = json.load(open(path, encoding="utf-8"))["calls"]
        got = java(["dev.quorvantile.tests.JvmTestsKt", "calls", path])
        if got.returncode != 0:
            expect(f"{table} on the JVM", False, got.stderr[-2000:])
            continue
        jvm = json.loads(got.stdout)
        python = [python_outcome(module, row) for row in rows]
        layers = {"Python": python}
        if cpp:
            runner = os.path.join(BUILD, "tests", "qv_call_table")
            layers["C++"] = json.loads(subprocess.run([runner, path], capture_output=True, text=True, check=True).stdout)
        bad = [(i, row["function"]) for i, row in enumerate(rows)
               if (jvm[i]["outcome"], jvm[i].get("kind")) != (row["expect"], row.get("kind"))
               or any(jvm[i] != other[i] for other in layers.values())]
        expect(f"{table}: {len(rows)} rows on the JVM agree with {' and '.join(layers)}", not bad and len(jvm) == len(rows),
               f"rows {bad}: JVM {[jvm[i] for i, _ in bad][:2]} Python {[python[i] for i, _ in bad][:2]}")


def buffer_counts():
    shim = os.path.join(BUILD, "tests", "libqv_jvm_buffer_shim.so")
    got = java(["dev.quorvantile.tests.JvmTestsKt", "buffers", os.path.join(TABLES, "calls.json")],
               props=[f"-Ddev.quorvantile.log.library={shim}"])
    print(got.stdout.strip())
    expect("every buffer made is consumed or released", got.returncode == 0, got.stdout + got.stderr[-2000:])


def patched_copy(tmp, symbol, old, new):
    """A copy of the library whose function `symbol` returns `new` instead of the constant `old`."""
    data = bytearray(open(LOG, "rb").read())
    elf = ElfFile(bytes(data))
    sym = elf.symbols()[symbol]
    start = elf.symbol_file_offset(sym)
    at = bytes(data[start:start + sym.size]).find(old.to_bytes(2, "little"))
    assert at >= 0, f"{symbol} does not load its constant as an immediate"
    data[start + at:start + at + 2] = new.to_bytes(2, "little")
    path = os.path.join(tmp, f"patched-{symbol}.so")
    open(path, "wb").write(bytes(data))
    return path


def load(env=None, props=()):
    return java(["dev.quorvantile.tests.JvmTestsKt", "load"], env, props).stdout.strip()


def loading(tmp):
    functions = read_interface(LOG).functions
    for f in (functions[0], functions[-1]):
        lib = patched_copy(tmp, f"uniffi_quorvantile_log_checksum_func_{f.name}", f.checksum, f.checksum ^ 0x0100)
        want = (f"LibraryMismatchException: {lib} differs from these bindings in function {f.name}: "
                f"checksum 0x{f.checksum ^ 0x0100:04x}, expected 0x{f.checksum:04x}")
        got = load({"QUORVANTILE_LOG_LIB": lib})
        expect(f"a library with another checksum of {f.name} is refused", got == want, got)
    lib = patched_copy(tmp, "ffi_quorvantile_log_uniffi_contract_version", 30, 31)
    got = load({"QUORVANTILE_LOG_LIB": lib})
    expect("another contract version is refused",
           got == f"LibraryMismatchException: {lib} has contract version 31; these bindings need contract version 30", got)
    lib = patched_copy(tmp, "ffi_quorvantile_log_uniffi_contract_version", 30, 30)
    expect("the unpatched copy loads by explicit path", load({"QUORVANTILE_LOG_LIB": lib}) == f"loaded {lib}")
    expect("the system property names the library", load({"QUORVANTILE_LOG_LIB": None},
           [f"-Ddev.quorvantile.log.library={lib}"]) == f"loaded {lib}")
    libs = os.path.join(tmp, "libs")
    os.mkdir(libs)
    shutil.copy(LOG, os.path.join(libs, "libquorvantile_log.so.0"))
    got = load({"QUORVANTILE_LOG_LIB": None, "LD_LIBRARY_PATH": None}, [f"-Djna.library.path={libs}"])
    expect("the SONAME is found through jna.library.path", got == f"loaded {libs}/libquorvantile_log.so.0", got)
    got = load({"QUORVANTILE_LOG_LIB": None, "LD_LIBRARY_PATH": libs})
    expect("the SONAME is found through the system's search", got.startswith("loaded ") and got.endswith(".so.0"), got)
    got = load({"QUORVANTILE_LOG_LIB": None, "LD_LIBRARY_PATH": None}, ["-Djna.library.path=/nonexistent"])
    expect("a missing library names every place looked at", got.startswith("LibraryNotFoundException: cannot load "
           "libquorvantile_log; looked at: -Ddev.quorvantile.log.library and QUORVANTILE_LOG_LIB (not set); "
           "libquorvantile_log.so.0 through jna.library.path"), got)
    missing = os.path.join(tmp, "nowhere.so")
    got = load({"QUORVANTILE_LOG_LIB": missing})
    expect("an unloadable explicit library is not replaced",
           got.startswith(f"LibraryNotFoundException: cannot load libquorvantile_log: QUORVANTILE_LOG_LIB={missing}"), got)


def examples():
    got = java(["example.ReadmeExampleKt", os.path.join(SOURCE, "demo", "data", "witness")])
    expect("the README's Kotlin example", got.stdout.startswith("arche2025h1.staging.ct.transparency.dev size ")
           and ": counted [little-garden, smartit, remora, stagemole]" in got.stdout
           and 'refused (quorum_not_met): witness quorum "everyone" not met: 4 witnesses counted' in got.stdout,
           got.stdout + got.stderr)
    got = java(["ReadmeExample", os.path.join(SOURCE, "demo", "data")], classpath=f"{JAVA_CLASSES}:{CLASSPATH}")
    expect("the README's Java example", got.stdout.startswith("demo.example/log size 7 root CheckpointHead(origin=")
           and "refused (leaf_index_beyond_size): leaf index 5 is beyond tree size 5" in got.stdout, got.stdout + got.stderr)


def main():
    call_tables()
    buffer_counts()
    with tempfile.TemporaryDirectory() as tmp:
        loading(tmp)
    examples()
    if failures:
        print(f"{len(failures)} JVM check(s) failed: {failures}", file=sys.stderr)
        return 1
    print("all JVM checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
