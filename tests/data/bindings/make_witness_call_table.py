#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Writes witness_calls.json: the witness component's functions with valid and invalid inputs,
in the plain form of calls.json (bytes as hex); an invalid row names the error variant it raises
(snake case) and the kind of its message. The Python and Kotlin layers run it.
"""
import base64
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def text(*parts):
    with open(os.path.join(HERE, "..", "..", "..", *parts), encoding="utf-8") as f:
        return f.read()


DEMO = ("demo", "data", "witness")
FIX = ("tests", "data", "witness")
LEAF = text(*DEMO, "index5.leaf_hash").strip()
PROOF = [base64.b64decode(line).hex() for line in text(*FIX, "consistency_7_13.txt").split()]


def calls():
    note, policy = text(*DEMO, "arche2025h1.checkpoint"), text(*DEMO, "arche2025h1_3of4.policy")
    yield "checkpoint_verify_cosigned", [note, policy], "ok"
    yield "checkpoint_verify_cosigned", [note, text(*DEMO, "arche2025h1_unmet.policy")], ("verification", "quorum_not_met")
    yield "checkpoint_verify_cosigned", ["not a checkpoint\n", policy], ("malformed_input", "malformed_note")
    yield "checkpoint_verify_cosigned", [text(*DEMO, "hybrid.checkpoint"), text(*DEMO, "hybrid.policy")], "ok"
    older, newer, fixture_policy = text(*FIX, "checkpoint_older.txt"), text(*FIX, "checkpoint_newer.txt"), text(*FIX, "policy.txt")
    yield "checkpoint_verify_cosigned_consistency", [older, newer, fixture_policy, PROOF], "ok"
    yield "checkpoint_verify_cosigned_consistency", [older, newer, fixture_policy, PROOF[:-1]], ("verification", "wrong_proof_size")
    yield "tlog_proof_verify", [text(*DEMO, "index5.tlog-proof"), text(*DEMO, "hybrid.policy"), LEAF], "ok"
    yield "tlog_proof_verify", [text(*DEMO, "index5.tlog-proof"), text(*DEMO, "hybrid.policy"), "00" * 32], ("verification", "root_mismatch")
    yield "witness_policy_parse", [policy], "ok"
    yield "witness_policy_parse", [policy + "quorum nobody\n"], ("malformed_policy", "malformed_witness_policy")


def main():
    table = [{"function": f, "args": a, "expect": e} if e == "ok" else {"function": f, "args": a, "expect": e[0], "kind": e[1]}
             for f, a, e in calls()]
    with open(os.path.join(HERE, "witness_calls.json"), "w", encoding="utf-8") as f:
        f.write('{"calls": [\n' + ",\n".join(json.dumps(call) for call in table) + "\n]}\n")


if __name__ == "__main__":
    main()
