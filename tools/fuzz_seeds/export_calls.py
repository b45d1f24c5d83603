#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Writes the plain-form call table the export fuzz targets encode their seeds from.

Usage: export_calls.py OUT.json

The table is the bindings' call table (tests/data/bindings/calls.json) extended from the other
fixtures: the RFC 6962 vectors, the composite signed notes, the CONIKS proofs, the key-
transparency proofs under every suite, the generated signed policies with observed values, and
key-history entries with and without a previous hash. Arguments are in the call table's plain
form (bytes as hex, text as strings, lists as arrays, optionals as null or the value, enums as
variant numbers); each target picks the calls of its own function.
"""
import base64
import glob
import json
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "tests", "data")
VECTORS = os.path.join(ROOT, "tests", "vectors")


def load(*parts):
    with open(os.path.join(*parts), encoding="utf-8") as f:
        return json.load(f)


def b64hex(s):
    return base64.b64decode(s).hex() if s is not None else ""


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    table = load(DATA, "bindings", "calls.json")
    calls = list(table["calls"])

    def add(function, args, expect="verification"):
        calls.append({"function": function, "args": args, "expect": expect})

    def first(function):
        return [c for c in table["calls"] if c["function"] == function]

    for path in sorted(glob.glob(os.path.join(VECTORS, "merkle-rfc6962", "inclusion", "*", "*.json")))[::3]:
        v = load(path)
        add("verify_inclusion", [v["leafIdx"] % 2**64, v["treeSize"] % 2**64, b64hex(v["leafHash"]),
                                 [b64hex(p) for p in (v["proof"] or [])], b64hex(v["root"])],
            "verification" if v["wantErr"] else "ok")
    for path in sorted(glob.glob(os.path.join(VECTORS, "merkle-rfc6962", "consistency", "*", "*.json")))[::3]:
        v = load(path)
        add("verify_consistency", [v["size1"] % 2**64, v["size2"] % 2**64, [b64hex(p) for p in (v["proof"] or [])],
                                   b64hex(v["root1"]), b64hex(v["root2"])],
            "verification" if v["wantErr"] else "ok")

    notes = load(DATA, "notes", "composite_notes.json")
    for case in notes["cases"][::5]:
        ok = case["expect"].startswith("verified")
        add("verify_signed_note", [case["note"], case["vkeys"]], "ok" if ok else "verification")
    big = notes["checkpoint_2_30"]
    if "vkeys" in big:
        add("checkpoint_verify", [big["note"], big["vkeys"]], "ok")
        add("checkpoint_parse", [big["note"].split("\n\n", 1)[0] + "\n"], "ok")
        add("checkpoint_verify_inclusion", [big["note"], big["vkeys"], big["leaf_index"], big["leaf_hash"], big["proof"]], "ok")

    for c in first("checkpoint_verify"):
        note = c["args"][0]
        add("checkpoint_parse", [note.split("\n\n", 1)[0] + "\nextension line\n"], "ok")
        add("verify_signed_note", c["args"], c["expect"])
    for c in first("checkpoint_verify_inclusion"):
        a = c["args"]
        add("checkpoint_verify_inclusion", [a[0], a[1], 7, a[3], a[4]])

    coniks = load(DATA, "coniks", "proofs.json")
    for kind, fn in (("lookups", "coniks_verify_lookup"), ("absences", "coniks_verify_absence")):
        for item in coniks[kind]:
            args = [coniks["namespace"], coniks["vrf_public"], coniks["root"], item["identity"], item["proof"]]
            add(fn, args, "ok")
            other = "coniks_verify_absence" if fn == "coniks_verify_lookup" else "coniks_verify_lookup"
            add(other, args)

    kt = os.path.join(DATA, "keytrans")
    with open(os.path.join(kt, "keytrans.vrf_public"), "rb") as f:
        vrf_public = f.read().hex()
    with open(os.path.join(kt, "keytrans.root"), "rb") as f:
        root = f.read().hex()
    kinds = {"search": "keytrans_verify_search", "fixed": "keytrans_verify_fixed_version",
             "monitor": "keytrans_verify_monitor"}
    for path in sorted(glob.glob(os.path.join(kt, "*.proof"))):
        name = os.path.basename(path)
        with open(path, "rb") as f:
            proof = f.read().hex()
        kind = name.split("_")[1]
        label = name.split("_")[2].split(".")[0]
        args = ["demo/keytrans/v1", vrf_public, root, label.encode().hex(), proof]
        add(kinds[kind], args, "ok")
        for suite in (0x0001, 0x0002, 0xF000):
            add(kinds[kind] + "_suite", [suite] + args, "ok" if suite == 0xF000 else "verification")

    policies = load(DATA, "policy", "policies.json")["cases"]
    tokens = []
    for path in sorted(glob.glob(os.path.join(DATA, "signatures", "tag_*.json"))):
        case = load(path)["cases"][0]
        tokens.append((case["signature"], case["public_key"]))
    for i, case in enumerate(policies):
        env = case["envelope"]
        add("signed_policy_verify", [env], "ok")
        add("policy_enforce_commitment_hash", [env, 1 + i % 2])
        add("policy_enforce_directory_backend", [env, 0x0001 if i % 2 else 0xF004])
        add("policy_enforce_vrf_suite_id", [env, 0x03 if i % 3 else 0x04])
        sig, key = tokens[i % len(tokens)]
        add("policy_enforce_checkpoint_signature", [env, sig])
        add("policy_enforce_checkpoint_signing_key", [env, key])

    entry = [7, 1700000000123, "11" * 32, "22" * 64, "33" * 32]
    for prev in (None, "", "44" * 64, "55"):
        for fn in ("key_history_v1_canonical_bytes", "key_history_v1_entry_hash", "key_history_v1_rfc6962_leaf_hash"):
            add(fn, entry + [prev], "ok")
        for context in ("tarnfel/key-history/v1", "acme/key-history/v2", "bad-label"):
            add("key_history_entry_hash_with_context", [context] + entry + [prev],
                "verification" if context == "bad-label" else "ok")

    for c in first("verify_commitment"):
        add("verify_commitment", ["other/context/v1"] + c["args"][1:])

    with open(sys.argv[1], "w", encoding="utf-8") as f:
        json.dump({"calls": calls}, f)
    print(f"{len(calls)} calls")


if __name__ == "__main__":
    main()
