#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Writes the seed corpora of the C++-level fuzz targets from the repository's fixtures.

Usage: parser_seeds.py OUT_DIR   (OUT_DIR/<target>/<name> for every parser target)

Each seed is one input in the target's own format: raw text for the note, checkpoint, vkey,
base64 and label parsers, a mode byte and proof bytes for the key-transparency decoders, raw
envelopes for the policy parser, and short recipes for the targets that build their inputs.
The seeds are deterministic: running the script twice writes the same files.
"""
import base64
import hashlib
import json
import os
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DATA = os.path.join(ROOT, "tests", "data")
DEMO = os.path.join(ROOT, "demo", "data")
VECTORS = os.path.join(ROOT, "tests", "vectors")


def load_json(*parts):
    with open(os.path.join(DATA, *parts), encoding="utf-8") as f:
        return json.load(f)


def read(path, mode="r"):
    with open(path, mode, **({} if "b" in mode else {"encoding": "utf-8"})) as f:
        return f.read()


class Corpus:
    def __init__(self, out):
        self.out = out
        self.counts = {}

    def add(self, target, data):
        if isinstance(data, str):
            data = data.encode("utf-8")
        d = os.path.join(self.out, target)
        os.makedirs(d, exist_ok=True)
        name = hashlib.sha1(data).hexdigest()[:16]
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)
        self.counts[target] = self.counts.get(target, 0) + 1


def notes():
    """Signed notes: the demo checkpoint, the call table's notes and a sample of composite notes."""
    out = [read(os.path.join(DEMO, "checkpoint.note"))]
    for call in load_json("bindings", "calls.json")["calls"]:
        for arg in call["args"]:
            if isinstance(arg, str) and "\n\n\u2014 " in arg:
                out.append(arg)
    cases = load_json("notes", "composite_notes.json")["cases"]
    out += [c["note"] for c in cases[::4]]
    return list(dict.fromkeys(out))


def vkeys():
    out = [l for l in read(os.path.join(DEMO, "checkpoint.vkeys")).splitlines() if l.strip()]
    for c in load_json("notes", "composite_notes.json")["cases"][::3]:
        out += c.get("vkeys", [])
    return list(dict.fromkeys(out))


def parser_seeds(c):
    ns = notes()
    for n in ns:
        c.add("fuzz_note_parse", n)
        body = n.split("\n\n", 1)[0] + "\n"
        c.add("fuzz_checkpoint_body_parse", body)
    # Checkpoint bodies with extension lines, CRLF endings and no final line feed.
    body = ns[0].split("\n\n", 1)[0] + "\n"
    c.add("fuzz_checkpoint_body_parse", body.rstrip("\n"))
    c.add("fuzz_checkpoint_body_parse", body + "ext one\next two\n")
    c.add("fuzz_checkpoint_body_parse", body.replace("\n", "\r\n"))
    c.add("fuzz_checkpoint_body_parse", body.replace("\n7\n", "\n18446744073709551615\n"))
    c.add("fuzz_note_parse", ns[0].replace("\n\n", "\n\n\n", 1))

    for k in vkeys():
        c.add("fuzz_vkey_parse", k)
        c.add("fuzz_base64", k.rsplit("+", 1)[-1])
    for n in ns[:6]:
        for line in n.split("\n"):
            if line.startswith("\u2014 "):
                c.add("fuzz_base64", line.rsplit(" ", 1)[-1])
    for raw in (b"", b"f", b"fo", b"foo", b"\x00\xff\x10"):
        c.add("fuzz_base64", base64.b64encode(raw))
    c.add("fuzz_base64", "Zm9v=")
    c.add("fuzz_base64", "Zg==\n")

    for label in ("acme/namespace-policy/v1", "quorvantile.dev/signed-note/v1", "demo/keytrans/v1",
                  "quorvantile.dev/composite-mldsa-ed25519/v1", "a/b/v0", "a/b/v18446744073709551615",
                  "a/b/v01", "a//v1", "ctx", "acme", "a/b/c/v1", "a/b/v"):
        c.add("fuzz_context_label", label)

    kt = os.path.join(DATA, "keytrans")
    for name in sorted(os.listdir(kt)):
        if name.endswith(".proof"):
            proof = read(os.path.join(kt, name), "rb")
            c.add("fuzz_keytrans_decode", b"\x00" + proof)
            c.add("fuzz_keytrans_decode", b"\x01" + proof)
    for mode in (2, 3, 6, 7, 10, 11):
        c.add("fuzz_keytrans_decode", bytes([mode]) + bytes(range(1, 40)))

    # Log-tree recipes: mode, element count, tree size, entry index, timestamp, prefix root, elements.
    for mode, count, size, index in ((1, 0, 1, 0), (1, 3, 8, 5), (1, 9, 299, 17), (0, 1, 2**40, 2**39),
                                     (3, 6, 64, 63), (2, 40, 2**63, 7), (1, 4, 13, 12)):
        rec = bytes([mode, count]) + size.to_bytes(8, "big") + index.to_bytes(8, "big") + bytes(8)
        rec += bytes([0x5a] * 32) + b"".join(bytes([i * 37 % 256]) * 32 for i in range(count))
        c.add("fuzz_keytrans_log_tree", rec)

    for case in load_json("policy", "policies.json")["cases"]:
        c.add("fuzz_policy_parse", bytes.fromhex(case["envelope"]))
    for shape in (0, 1, 2, 4, 8, 16, 32, 64):
        c.add("fuzz_policy_parse", bytes([shape]) + b"\x01\x04acme\x01\x03\x01\x01\x01" + bytes(16) + b"\x01\x02\x00\x01")


def primitive_seeds(c):
    """The crypto and decoding targets: VRF and ML-DSA vectors, points, tokens, result buffers."""
    for suite_bit, name in ((1, "ecvrf_p256_sha256_tai.json"), (0, "ecvrf_edwards25519_sha512_tai.json")):
        for v in load_json_abs(VECTORS, "rfc9381-ecvrf", name)["vectors"]:
            key, proof, alpha = bytes.fromhex(v["pk"]), bytes.fromhex(v["pi"]), bytes.fromhex(v["alpha"])
            c.add("fuzz_vrf_verify", bytes([suite_bit, len(key), len(proof)]) + key + proof + alpha)
            bad = bytearray(proof)
            bad[-1] ^= 1
            c.add("fuzz_vrf_verify", bytes([suite_bit, len(key), len(proof)]) + key + bytes(bad) + alpha)

    acvp = load_json_abs(VECTORS, "acvp-mldsa-sigver", "internalProjection.json")
    sets = {"ML-DSA-44": 0, "ML-DSA-65": 1, "ML-DSA-87": 2}
    for group in acvp["testGroups"]:
        for t in group["tests"][:2]:
            body = bytes.fromhex(group["pk"]) + bytes.fromhex(t["signature"]) + bytes.fromhex(t["message"])
            c.add("fuzz_mldsa_verify", bytes([sets[group["parameterSet"]] | 4]) + body)
            if t is group["tests"][0]:
                c.add("fuzz_mldsa_verify", bytes([sets[group["parameterSet"]]]) + body[:-len(t["message"]) // 2 or None])

    base = bytes.fromhex("5866666666666666666666666666666666666666666666666666666666666666")
    for enc in (base, bytes(32), bytes([1]) + bytes(31), bytes([0xec] + [0xff] * 30 + [0x7f]),
                bytes([0xed] + [0xff] * 30 + [0x7f]), bytes([1]) + bytes(30) + b"\x80",
                bytes.fromhex("c7176a703d4dd84fba3c0b760d10670f2a2053fa2c39ccc64ec7fd7792ac037a")):
        c.add("fuzz_point_decode", enc)

    for case in (load_json("signatures", "tag_02.json")["cases"][:2] + load_json("signatures", "tag_13.json")["cases"][:1]):
        ctx, msg = bytes.fromhex(case["context"]), bytes.fromhex(case["message"])
        sig, key = base64.b64decode(case["signature"]), base64.b64decode(case["public_key"])
        for modes in (0, 0x55, 0xaa):
            c.add("fuzz_sign_verify", bytes([modes, sig[0], len(ctx) % 256]) + ctx[:255] + bytes([len(msg) % 256]) +
                  msg[:255] + sig[:200] + key[:200])
    for control in (0, 1, 2, 3, 0x40, 0x81):
        c.add("fuzz_sign_verify", bytes([control, 0x02, 3]) + b"ctx" + bytes([3]) + b"msg" + bytes(range(64)))

    # Point, scalar a, scalar b, torsion selector: the base point, a y with no x, y = p (non-canonical
    # zero), scalars 0, L and 2^256 - 1.
    order = bytes.fromhex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010")
    for point, a, b, t in ((base, bytes([7]) + bytes(31), bytes([9]) + bytes(31), 0),
                           (bytes([2]) + bytes(31), bytes([0xff] * 32), order, 3),
                           (bytes([0xed] + [0xff] * 30 + [0x7f]), order, bytes([0xff] * 32), 5),
                           (bytes(32), bytes(32), bytes(32), 7)):
        c.add("fuzz_ed25519_backends", point + a + b + bytes([t]))

    for b0 in (0, 1, 2, 3, 4, 7, 8, 12, 24, 29):
        c.add("fuzz_keccak_lanes", bytes([b0]) + bytes([0, 64, 0, 17, 0, 40]) * 4 + bytes(range(200)))

    origin = b"demo.example/log"
    head = len(origin).to_bytes(4, "big") + origin + (7).to_bytes(8, "big") + (32).to_bytes(4, "big") + bytes(32)
    for rec in (head + bytes(4), head + (1).to_bytes(4, "big") + (3).to_bytes(4, "big") + b"ext"):
        c.add("fuzz_cpp_result_decode", b"\x00" + rec)
    c.add("fuzz_cpp_result_decode", b"\x01\x01\x01" + (2).to_bytes(4, "big") + b"v1")
    c.add("fuzz_cpp_result_decode", b"\x01\x00\x00")
    c.add("fuzz_cpp_result_decode", b"\x03" + (3).to_bytes(4, "big") + b"abc")
    c.add("fuzz_cpp_result_decode", b"\x04" + (2).to_bytes(4, "big") + (1).to_bytes(4, "big") + b"a" + bytes(4))
    c.add("fuzz_cpp_result_decode", b"\x05" + (1).to_bytes(4, "big") + (2).to_bytes(4, "big") + b"hi")
    c.add("fuzz_cpp_result_decode", b"\x06\x01" + (1).to_bytes(4, "big") + b"z")
    c.add("fuzz_cpp_result_decode", b"\x07\x01" + (1).to_bytes(4, "big") + (4).to_bytes(4, "big") + b"oops")

    for mode in range(0, 64, 5):
        c.add("fuzz_coniks_exports", bytes([mode, 1, 0, 0, 3, 0, 5, 1, 2, 0, 9]))


def load_json_abs(*parts):
    with open(os.path.join(*parts), encoding="utf-8") as f:
        return json.load(f)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    c = Corpus(sys.argv[1])
    parser_seeds(c)
    primitive_seeds(c)
    for target, n in sorted(c.counts.items()):
        print(f"{target}: {n} seeds")


if __name__ == "__main__":
    main()
