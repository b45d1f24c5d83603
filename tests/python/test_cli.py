"""The operator command line: each subcommand's three exit statuses, in text and JSON."""
import base64
import json
import os
import subprocess
import sys

import pytest

import quorvantile_log as qv
from conftest import DEMO, SOURCE_DIR, child_env, run_python

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
    with open(KEYS, encoding="utf-8") as f:
        (d / "commented.vkeys").write_text("# the demo log's keys\n\n" + f.read().replace("\n", "\n\n  # one more\n"))
    (d / "bad.vkeys").write_text("# a key with a wrong key id\ndemo.example/log+f9fed784+AVJadhwX5sZn/Tb0/TEgi5kMN0hX0vFYOp1heTEVCsw+\n")
    (d / "empty.vkeys").write_text("# no keys yet\n\n")
    with open(os.path.join(DEMO, "namespace_policy.bin"), "rb") as f:
        envelope = f.read()
    (d / "tampered.policy").write_bytes(envelope[:-1] + bytes([envelope[-1] ^ 1]))
    (d / "bad.witness-policy").write_text("log not-a-key\nquorum none\n")
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


def test_a_missing_library_is_status_2_and_help_still_works():
    env = child_env(QUORVANTILE_LOG_LIB="/nonexistent/lib.so")
    got = run_python(["-m", "quorvantile_log", "checkpoint", NOTE, "--vkey", KEYS], env)
    assert got.returncode == 2
    assert got.stderr.startswith("error: cannot load libquorvantile_log")
    assert run_python(["-m", "quorvantile_log", "--help"], env).returncode == 0


W = os.path.join(DEMO, "witness")
T = os.path.join(SOURCE_DIR, "tests", "data", "witness")
ARCHE = [os.path.join(W, "arche2025h1.checkpoint"), "--policy", os.path.join(W, "arche2025h1_3of4.policy")]
OLD_NEW = [os.path.join(T, "checkpoint_older.txt"), os.path.join(T, "checkpoint_newer.txt"),
           "--policy", os.path.join(T, "policy.txt")]
BUNDLE = [os.path.join(W, "index5.tlog-proof"), "--leaf-hash", open(os.path.join(W, "index5.leaf_hash")).read().strip()]
HEAD = {"origin", "size", "root", "extensions"}
COSIGNED = {"checkpoint", "log_key_name", "counted_witnesses", "rejected_witnesses", "oldest_timestamp",
            "oldest_timestamp_utc", "newest_timestamp", "newest_timestamp_utc"}
POSTURE = {"namespace", "policy_schema_version", "security_level", "checkpoint_suite", "commitment_hash", "vrf_mode",
           "directory_mode", "keytrans_suite", "effective_from", "effective_from_utc", "created_at", "created_at_utc",
           "policy_hash", "rfc6962_leaf_hash"}
INCL = ["--index", INDEX, "--leaf-hash", LEAF, "--proof"]

# (command, argv, exit status, the verified record's keys or the failure's kind)
TABLE = [
    ("note", ["note", NOTE, "--vkey", "{d}/commented.vkeys"], 0, {"signatures"}),
    ("note", ["note", "{d}/tampered.note", "--vkey", KEYS], 1, None),
    ("note", ["note", NOTE, "--vkey", "{d}/bad.vkeys"], 2, "malformed_key_file"),
    ("checkpoint", ["checkpoint", NOTE, "--vkey", KEYS], 0, HEAD),
    ("checkpoint", ["checkpoint", "{d}/tampered.note", "--vkey", KEYS], 1, None),
    ("checkpoint", ["checkpoint", NOTE, "--vkey", "{d}/empty.vkeys"], 2, "malformed_key_file"),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, *INCL, "{d}/hex.proof"], 0, {"index", "leaf_hash", "checkpoint"}),
    ("inclusion", ["inclusion", "{d}/tampered.note", "--vkey", KEYS, *INCL, "{d}/hex.proof"], 1, None),
    ("inclusion", ["inclusion", NOTE, "--vkey", KEYS, *INCL, "{d}/bad.proof"], 2, "usage"),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", "{d}/empty.proof"], 0, {"older", "newer"}),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", "{d}/one.proof"], 1, None),
    ("consistency", ["consistency", NOTE, NOTE, "--vkey", KEYS, "--proof", "{d}/absent.proof"], 2, "io"),
    ("policy", ["policy", os.path.join(DEMO, "namespace_policy.bin")], 0, POSTURE),
    ("policy", ["policy", "{d}/tampered.policy"], 1, None),
    ("policy", ["policy", "--base64", os.path.join(DEMO, "namespace_policy.bin")], 2, "usage"),
    ("verify-cosigned", ["verify-cosigned", *ARCHE, "--max-age", "3000000000"], 0, COSIGNED),
    ("verify-cosigned", ["verify-cosigned", *ARCHE, "--max-age", "60"], 1, "stale_cosignature"),
    ("verify-cosigned", ["verify-cosigned", ARCHE[0], "--policy", os.path.join(W, "arche2025h1_unmet.policy")], 1, None),
    ("verify-cosigned", ["verify-cosigned", ARCHE[0], "--policy", "{d}/bad.witness-policy"], 2, "malformed_witness_policy"),
    ("verify-cosigned", ["verify-cosigned", ARCHE[0], "--policy", KEYS], 2, "malformed_witness_policy"),
    ("verify-cosigned-consistency", ["verify-cosigned-consistency", *OLD_NEW, "--proof",
                                     os.path.join(T, "consistency_7_13.txt")], 0, {"older", "newer"}),
    ("verify-cosigned-consistency", ["verify-cosigned-consistency", *OLD_NEW, "--proof", "{d}/hex.proof"], 1, None),
    ("verify-cosigned-consistency", ["verify-cosigned-consistency", *OLD_NEW[:2], "--policy", "{d}/bad.witness-policy",
                                     "--proof", "{d}/hex.proof"], 2, "malformed_witness_policy"),
    ("verify-proof", ["verify-proof", *BUNDLE, "--policy", os.path.join(W, "hybrid.policy")], 0,
     {"index", "extra", "checkpoint"}),
    ("verify-proof", ["verify-proof", *BUNDLE, "--policy", os.path.join(W, "hybrid_unmet.policy")], 1, None),
    ("verify-proof", ["verify-proof", *BUNDLE, "--policy", "{d}/bad.witness-policy"], 2, "malformed_witness_policy"),
    ("usage", ["checkpoint", NOTE], 2, "usage"),
    ("usage", ["checkpoint", "-", "--vkey", "-"], 2, "usage"),
]
OUTCOMES = {0: "verified", 1: "rejected", 2: "error"}


@pytest.mark.parametrize("as_json", [False, True], ids=["text", "json"])
@pytest.mark.parametrize("command, argv, status, shape", TABLE, ids=[f"{r[0]}-{r[2]}" for r in TABLE])
def test_command_table(files, command, argv, status, shape, as_json):
    args = [a.format(d=files) for a in argv] + (["--json"] if as_json else [])
    got = run_python(["-m", "quorvantile_log", *args])
    assert got.returncode == status, (got.stdout, got.stderr)
    if not as_json:
        assert bool(got.stdout.strip()) == (status == 0)
        assert got.stderr.startswith({0: "", 1: "rejected: ", 2: ("usage:", "error:")}[status]) or status == 0
        return
    assert got.stderr == ""
    record = json.loads(got.stdout)
    assert list(record)[0] == "outcome" and record["outcome"] == OUTCOMES[status]
    if status == 0:
        assert set(record) == {"outcome"} | shape
    else:
        assert set(record) - {"kind"} == {"outcome", "message"} and record["message"]
        if shape is not None:
            assert record["kind"] == shape


def test_json_records_carry_iso_times_and_base64():
    got = run_python(["-m", "quorvantile_log", "--json", "verify-cosigned", *ARCHE])
    record = json.loads(got.stdout)
    assert (record["newest_timestamp"], record["newest_timestamp_utc"]) == (1779573024, "2026-05-23T21:50:24Z")
    assert record["checkpoint"]["root"] == "U7WM79jrzyhGZ5/GUBTpM7NzwdyfFx61t3RovgcC4Ro="
    assert "(2026-05-23T21:50:24Z)" in run_python(["-m", "quorvantile_log", "verify-cosigned", *ARCHE]).stdout


def test_standard_input_is_a_file_argument():
    with open(NOTE, "rb") as note:
        got = subprocess.run([sys.executable, "-m", "quorvantile_log", "checkpoint", "-", "--vkey", KEYS],
                             stdin=note, env=child_env(), capture_output=True, text=True)
    assert got.returncode == 0, got.stderr
    assert "origin demo.example/log, size 7" in got.stdout


def test_a_closed_output_pipe_ends_quietly():
    read_end, write_end = os.pipe()
    os.close(read_end)
    try:
        got = subprocess.run([sys.executable, "-m", "quorvantile_log", "verify-cosigned", *ARCHE], stdout=write_end,
                             env=child_env(), stderr=subprocess.PIPE, text=True)
    finally:
        os.close(write_end)
    assert (got.returncode, got.stderr) == (0, "")


def test_version():
    got = run_python(["-m", "quorvantile_log", "--version"])
    assert got.stdout == f"quorvantile-log {qv.__version__}\n"
