# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""One type system across both modules: shared records, one error hierarchy with kinds and the
witness variants, documented arguments, Python type names in TypeErrors, and the witness library
found beside the log library."""
import json
import os

import pytest

import quorvantile_log as qv
import quorvantile_log.witness as w
from conftest import LIBRARY, SOURCE_DIR, child_env, run_python

WIT = os.path.join(SOURCE_DIR, "demo", "data", "witness")
with open(os.path.join(SOURCE_DIR, "tools", "bindgen", "error_kinds.json"), encoding="utf-8") as _f:
    KINDS = json.load(_f)


def text(name):
    with open(os.path.join(WIT, name), encoding="utf-8") as f:
        return f.read()


def test_records_and_errors_are_shared():
    assert w.CheckpointHead is qv.CheckpointHead
    assert w.Error is qv.Error and w.InternalError is qv.InternalError
    for cls in (qv.VerifyError, w.WitnessError, qv.InternalError):
        assert issubclass(cls, qv.Error)
    head = w.checkpoint_verify_cosigned(text("arche2025h1.checkpoint"), text("arche2025h1_3of4.policy")).checkpoint
    assert head == qv.checkpoint_parse(text("arche2025h1.checkpoint").split("\n\n", 1)[0] + "\n")


def test_every_example_message_has_its_kind():
    for row in KINDS["kinds"]:
        for example in row["examples"]:
            assert qv.error_kind(example) == row["kind"], example
    for unknown in ("", "Root mismatch: capitalised", "policy", "opening must be"):
        assert qv.error_kind(unknown) == KINDS["fallback"]
    assert qv.InternalError("boom").kind == KINDS["internal"]


@pytest.mark.parametrize("note, policy, variant, kind", [
    (text("arche2025h1.checkpoint"), text("arche2025h1_unmet.policy"), "Verification", "quorum_not_met"),
    (text("arche2025h1.checkpoint"), "quorum none\nquorum none\n", "MalformedPolicy", "malformed_witness_policy"),
    ("not a note", text("arche2025h1_3of4.policy"), "MalformedInput", "malformed_note"),
    (text("arche2025h1.checkpoint").replace("\n", "\n\n", 1), text("arche2025h1_3of4.policy"), "MalformedInput",
     "malformed_checkpoint"),
])
def test_witness_failures_have_their_variant_and_kind(note, policy, variant, kind):
    with pytest.raises(qv.Error) as caught:
        w.checkpoint_verify_cosigned(note, policy)
    assert type(caught.value) is getattr(w.WitnessError, variant), caught.value
    assert caught.value.kind == kind, caught.value


def test_docstrings_document_each_argument():
    doc = qv.verify_inclusion.__doc__
    assert "leaf_hash (bytes): The 32-byte RFC 6962 leaf hash" in doc
    assert "proof (list of bytes): " in doc
    assert "sequence<" not in doc
    assert "WitnessError.MalformedPolicy: " in w.checkpoint_verify_cosigned.__doc__


@pytest.mark.parametrize("call, message", [
    (lambda: qv.verify_inclusion(0, 8, bytes(32), [bytes(32), "x"], bytes(32)), "proof'[1]: expected bytes, got str"),
    (lambda: qv.verify_inclusion(0, 8, bytes(32), b"x", bytes(32)), "expected a list of bytes, got bytes"),
    (lambda: qv.verify_inclusion(0, 1 << 64, bytes(32), [], bytes(32)), "is not between 0 and 2**64 - 1"),
])
def test_argument_errors_name_python_types(call, message):
    with pytest.raises((TypeError, ValueError)) as caught:
        call()
    assert message in str(caught.value)


def test_the_witness_library_is_found_beside_the_log_library():
    env = child_env(QUORVANTILE_WITNESS_LIB=None, QUORVANTILE_LOG_LIB=LIBRARY)
    got = run_python(["-c", "import quorvantile_log.witness as w; print(w._LIBRARY.path)"], env=env)
    assert got.returncode == 0, got.stderr
    assert os.path.dirname(got.stdout.strip()) == os.path.dirname(os.path.abspath(LIBRARY))
