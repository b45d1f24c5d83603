#!/usr/bin/env python3
"""Writes calls.json: for every exported function, calls with a valid and an invalid input
(only valid ones for the functions listed as total); an invalid row names the kind of its
failure (tools/bindgen/error_kinds.json).

Both binding layers (Python and C++) run this table and must agree on every outcome. Arguments
are in plain form: bytes as hex, enumerations as variant numbers, optionals as null or the value.
Run from anywhere; inputs come from the repository's demo data.
"""
import hashlib
import json
import os

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "..", "..", "demo", "data")


def demo(name):
    with open(os.path.join(DEMO, name), encoding="utf-8") as f:
        return f.read()


def flip_last_hex(h):
    return h[:-1] + ("0" if h[-1] != "0" else "1")


# The eight-leaf RFC 6962 test tree.
ROOT8 = "5dc9da79a70659a9ad559cb701ded9a2ab9d823aad2f4960cfe370eff4604328"
ROOT4 = "d37ee418976dd95753c1c73862b9398fa2a2cf9b4ff0fdfe8b30cd95209614b7"
LEAF0 = "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d"
PATH0 = ["96a296d224f285c67bee93c30f8a309157f0daa35dc5b87e410b78630a09cfc7",
         "5f083f0a1a33ca076a95279832580db3e0ef4584bdff1f54c8a360f50de3031e",
         "6b47aaf29ee3c2af9af889bc1fb9254dabd31177f16232dd6aab035ca39bf6e4"]
CONS4_8 = ["6b47aaf29ee3c2af9af889bc1fb9254dabd31177f16232dd6aab035ca39bf6e4"]

NOTE = demo("checkpoint.note")
VKEYS = [line for line in demo("checkpoint.vkeys").splitlines() if line.strip()]
_proof = demo("inclusion.proof").splitlines()
INDEX, LEAF, PATH = int(_proof[0]), _proof[2], _proof[3:]
BODY = NOTE.split("\n\n", 1)[0] + "\n"
TAMPERED = NOTE.replace("\n7\n", "\n8\n", 1)


def sha3_with_context(context, message):
    c = context.encode()
    return hashlib.sha3_512(len(c).to_bytes(8, "big") + c + message).hexdigest()


OPENING = bytes([7] * 32)
COMMITMENT = sha3_with_context("ctx", OPENING + b"val")


def data(*parts):
    with open(os.path.join(HERE, "..", *parts), encoding="utf-8") as f:
        return json.load(f)


CONIKS = data("coniks", "proofs.json")
POLICY = data("policy", "policies.json")["cases"][0]["envelope"]
# Real composite tokens: 0x02 (Hybrid/Cat3, what the acme genesis policy declares) and 0x14.
TAG02 = data("signatures", "tag_02.json")["cases"][0]
TAG14 = data("signatures", "tag_14.json")["cases"][0]
KH = [1, 1700000000000, "11" * 32, "22" * 64, "33" * 32, None]


def kt(name):
    with open(os.path.join(HERE, "..", "keytrans", name), "rb") as f:
        return f.read().hex()


KT = ["demo/keytrans/v1", kt("keytrans.vrf_public"), kt("keytrans.root"), b"alice".hex()]


def rejected(kind):
    """The outcome of a failing row: the error variant and the kind its message has."""
    return "verification", kind


def calls():
    yield "verify_inclusion", [0, 8, LEAF0, PATH0, ROOT8], "ok"
    yield "verify_inclusion", [0, 8, LEAF0, PATH0, flip_last_hex(ROOT8)], rejected("root_mismatch")
    yield "verify_inclusion", [8, 8, LEAF0, PATH0, ROOT8], rejected("leaf_index_beyond_size")
    yield "verify_consistency", [4, 8, CONS4_8, ROOT4, ROOT8], "ok"
    yield "verify_consistency", [8, 4, CONS4_8, ROOT8, ROOT4], rejected("tree_size_regression")
    yield "verify_signed_note", [NOTE, VKEYS], "ok"
    yield "verify_signed_note", [NOTE, VKEYS[:1]], "ok"
    yield "verify_signed_note", [TAMPERED, VKEYS], rejected("invalid_signature")
    yield "verify_signed_note", [NOTE, []], rejected("no_trusted_signature")
    yield "checkpoint_parse", [BODY], "ok"
    yield "checkpoint_parse", [BODY.replace("\n7\n", "\n07\n")], rejected("malformed_checkpoint")
    yield "checkpoint_verify", [NOTE, VKEYS], "ok"
    yield "checkpoint_verify", [TAMPERED, VKEYS], rejected("invalid_signature")
    yield "checkpoint_verify_inclusion", [NOTE, VKEYS, INDEX, LEAF, PATH], "ok"
    yield "checkpoint_verify_inclusion", [NOTE, VKEYS, INDEX - 1, LEAF, PATH], rejected("root_mismatch")
    yield "checkpoint_verify_consistency", [NOTE, NOTE, VKEYS, []], "ok"
    yield "checkpoint_verify_consistency", [NOTE, NOTE, VKEYS, [LEAF]], rejected("non_empty_equal_size_proof")
    yield "verify_commitment", ["ctx", COMMITMENT, b"val".hex(), OPENING.hex()], "ok"
    yield "verify_commitment", ["ctx", flip_last_hex(COMMITMENT), b"val".hex(), OPENING.hex()], rejected("commitment_mismatch")
    yield "verify_commitment", ["ctx", COMMITMENT, b"val".hex(), OPENING[:31].hex()], rejected("wrong_argument_length")
    for name, rows in (("coniks_verify_lookup", CONIKS["lookups"]), ("coniks_verify_absence", CONIKS["absences"])):
        row = rows[0]
        yield name, [CONIKS["namespace"], CONIKS["vrf_public"], CONIKS["root"], row["identity"], row["proof"]], "ok"
        yield name, [CONIKS["namespace"], CONIKS["vrf_public"], flip_last_hex(CONIKS["root"]), row["identity"],
                     row["proof"]], rejected("coniks_root_mismatch")
    for name in ("key_history_v1_canonical_bytes", "key_history_v1_entry_hash", "key_history_v1_rfc6962_leaf_hash"):
        yield name, KH, "ok"
        yield name, KH[:5] + ["44" * 64], "ok"
    yield "key_history_entry_hash_with_context", ["acme/key-history/v1"] + KH, "ok"
    yield "key_history_entry_hash_with_context", ["acme/key-history/v01"] + KH, rejected("malformed_leaf")
    yield "signed_policy_verify", [POLICY], "ok"
    yield "policy_enforce_commitment_hash", [POLICY, 1], "ok"
    yield "policy_enforce_commitment_hash", [POLICY, 2], rejected("posture_mismatch")
    for name, proof in (("keytrans_verify_search", "keytrans_search_alice.proof"),
                        ("keytrans_verify_monitor", "keytrans_monitor_alice_3.proof"),
                        ("keytrans_verify_fixed_version", "keytrans_fixed_alice_2.proof")):
        yield name, KT + [kt(proof)], "ok"
        yield name, KT[:2] + [flip_last_hex(KT[2])] + KT[3:] + [kt(proof)], rejected("keytrans_root_mismatch")
        yield name + "_suite", [0xF000] + KT + [kt(proof)], "ok"
        yield name + "_suite", [3] + KT + [kt(proof)], rejected("malformed_keytrans")
    yield "signed_policy_verify", [POLICY[:-2]], rejected("malformed_policy")
    for name, key in (("policy_enforce_checkpoint_signature", "signature"),
                      ("policy_enforce_checkpoint_signing_key", "public_key")):
        yield name, [POLICY, TAG02[key]], "ok"
        yield name, [POLICY, TAG14[key]], rejected("posture_mismatch")
    yield "policy_enforce_directory_backend", [POLICY, 1], "ok"
    yield "policy_enforce_directory_backend", [POLICY, 0xF004], rejected("posture_mismatch")
    yield "policy_enforce_vrf_suite_id", [POLICY, 3], "ok"
    yield "policy_enforce_vrf_suite_id", [POLICY, 4], rejected("posture_mismatch")


# Functions that compute rather than verify and accept every well-typed input: they have valid
# rows only.
TOTAL = ["key_history_v1_canonical_bytes", "key_history_v1_entry_hash", "key_history_v1_rfc6962_leaf_hash"]


def main():
    table = []
    for function, args, expect in calls():
        row = {"function": function, "args": args, "expect": expect}
        if expect != "ok":
            row["expect"], row["kind"] = expect
        table.append(row)
    with open(os.path.join(HERE, "calls.json"), "w", encoding="utf-8") as f:
        f.write('{"total": ' + json.dumps(TOTAL) + ',\n"calls": [\n'
                + ",\n".join(json.dumps(call) for call in table) + "\n]}\n")


if __name__ == "__main__":
    main()
