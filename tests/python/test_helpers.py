# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""The hand-written conveniences above the generated bindings."""
import json
import os

import pytest

import quorvantile_log as qv
from conftest import DEMO, SOURCE_DIR

with open(os.path.join(SOURCE_DIR, "tests", "data", "policy", "logged_policy.json"), encoding="utf-8") as _f:
    LOGGED = json.load(_f)
with open(os.path.join(DEMO, "checkpoint.note"), encoding="utf-8") as _f:
    NOTE = _f.read()
with open(os.path.join(DEMO, "checkpoint.vkeys"), encoding="utf-8") as _f:
    KEYS = _f.read().split()


def test_leaf_hash_is_rfc6962():
    # The empty entry's leaf hash from RFC 6962's test vectors; and the demo's entry 5 in its log.
    assert qv.leaf_hash(b"").hex() == "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d"
    with open(os.path.join(DEMO, "inclusion.proof"), encoding="utf-8") as f:
        index, entry, leaf, *proof = f.read().split("\n")
    qv.checkpoint_verify_inclusion(NOTE, KEYS, int(index), qv.leaf_hash(entry.encode()), [bytes.fromhex(h) for h in proof if h])
    assert qv.leaf_hash(entry.encode()).hex() == leaf


@pytest.mark.parametrize("origin, message", [
    (None, None),
    ("demo.example/log", None),
    ("other.example/log", 'checkpoint origin "demo.example/log" is not the expected origin "other.example/log"'),
    ("demo.example/log\n", 'checkpoint origin "demo.example/log" is not the expected origin "demo.example/log\\n"'),
])
def test_checkpoint_verify_pins_the_origin(origin, message):
    if message is None:
        assert qv.checkpoint_verify(NOTE, KEYS, origin=origin).size == 7
        return
    with pytest.raises(qv.VerifyError.Verification) as caught:
        qv.checkpoint_verify(NOTE, KEYS, origin=origin)
    assert str(caught.value) == message


def logged(**changes):
    args = {"envelope": bytes.fromhex(LOGGED["envelope"]), "checkpoint": LOGGED["checkpoint"], "vkeys": [LOGGED["vkey"]],
            "leaf_index": LOGGED["leaf_index"], "proof": [bytes.fromhex(h) for h in LOGGED["proof"]]}
    args.update(changes)
    return qv.verify_logged_policy(**args)


def test_a_logged_policy_returns_its_posture():
    posture = logged(origin="policies.example/log")
    assert posture == qv.signed_policy_verify(bytes.fromhex(LOGGED["envelope"]))
    assert posture.namespace == "acme"


@pytest.mark.parametrize("changes, message", [
    ({"leaf_index": 2}, "root mismatch"),
    ({"proof": []}, "wrong proof size"),
    ({"envelope": open(os.path.join(DEMO, "namespace_policy.bin"), "rb").read()}, "root mismatch"),
    ({"vkeys": KEYS}, "note has no verifiable signature from a trusted key"),
    ({"origin": "demo.example/log"}, 'checkpoint origin "policies.example/log" is not the expected origin'),
    ({"envelope": b"\0" * 8}, "malformed namespace policy"),
], ids=["wrong-index", "no-proof", "unlogged-policy", "untrusted-log", "other-origin", "malformed-policy"])
def test_a_policy_not_proven_logged_is_refused(changes, message):
    with pytest.raises(qv.VerifyError.Verification) as caught:
        logged(**changes)
    assert str(caught.value).startswith(message)
