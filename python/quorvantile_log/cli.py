# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Command line for operators: verify notes, checkpoints, proofs and policies given as files.

Exit status: 0 verified, 1 rejected (the library's message on stderr), 2 usage or internal error.
"""
from __future__ import annotations

import argparse
import base64
import binascii
import hashlib
import string
import sys
from typing import Callable, List, Optional, Sequence

from . import _bindings as qv
from . import _ffi

VERIFIED, REJECTED, FAILED = 0, 1, 2


class UsageError(Exception):
    """An input file that cannot be read or parsed as the command line expects."""


def _read_bytes(path: str) -> bytes:
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise UsageError(f"cannot read {path}: {e.strerror}") from None


def _read_text(path: str) -> str:
    try:
        return _read_bytes(path).decode("utf-8")
    except UnicodeDecodeError as e:
        raise UsageError(f"{path} is not UTF-8 text ({e.reason} at byte {e.start})") from None


def _vkeys(paths: Sequence[str]) -> List[str]:
    """The verifier keys of every file, one key per non-empty line."""
    keys = []
    for path in paths:
        keys += [line.strip() for line in _read_text(path).splitlines() if line.strip()]
    return keys


def parse_hash(text: str, where: str) -> bytes:
    """A hash written in hex (an even number of hex digits) or in canonical base64."""
    text = text.strip()
    if text and len(text) % 2 == 0 and all(c in string.hexdigits for c in text):
        return bytes.fromhex(text)
    try:
        raw = base64.b64decode(text, validate=True)
    except (binascii.Error, ValueError):
        raise UsageError(f"{where}: {text!r} is neither hex nor base64") from None
    if base64.b64encode(raw).decode("ascii") != text:
        raise UsageError(f"{where}: {text!r} is not canonical base64")
    return raw


def _hashes(path: str) -> List[bytes]:
    lines = _read_text(path).splitlines()
    return [parse_hash(line, f"{path}:{i}") for i, line in enumerate(lines, 1) if line.strip()]


def _note(args: argparse.Namespace) -> str:
    count = qv.verify_signed_note(_read_text(args.note), _vkeys(args.vkey))
    return f"verified: {count} signature(s) from trusted keys"


def _head(head: qv.CheckpointHead) -> str:
    return (f"origin {head.origin}, size {head.size}, root {base64.b64encode(head.root).decode('ascii')}"
            + "".join(f"\n  extension: {line}" for line in head.extensions))


def _checkpoint(args: argparse.Namespace) -> str:
    return "verified checkpoint: " + _head(qv.checkpoint_verify(_read_text(args.checkpoint), _vkeys(args.vkey)))


def _inclusion(args: argparse.Namespace) -> str:
    note = _read_text(args.checkpoint)
    keys = _vkeys(args.vkey)
    leaf_hash = parse_hash(args.leaf_hash, "--leaf-hash")
    qv.checkpoint_verify_inclusion(note, keys, args.index, leaf_hash, _hashes(args.proof))
    head = qv.checkpoint_verify(note, keys)
    return f"verified: leaf {args.index} is in {head.origin} at size {head.size}"


def _consistency(args: argparse.Namespace) -> str:
    older, newer = _read_text(args.older), _read_text(args.newer)
    keys = _vkeys(args.vkey)
    qv.checkpoint_verify_consistency(older, newer, keys, _hashes(args.proof))
    a, b = qv.checkpoint_verify(older, keys), qv.checkpoint_verify(newer, keys)
    return f"verified: {b.origin} at size {b.size} extends size {a.size}"


def _policy(args: argparse.Namespace) -> str:
    envelope = _read_bytes(args.envelope)
    if args.base64:
        try:
            envelope = base64.b64decode(b"".join(envelope.split()), validate=True)
        except (binascii.Error, ValueError):
            raise UsageError(f"{args.envelope} is not base64") from None
    posture = qv.signed_policy_verify(envelope)  # type: ignore[attr-defined]
    lines = ["verified policy:"]
    for name, value in vars(posture).items():
        if isinstance(value, bytes):
            value = value.hex()
        elif hasattr(value, "name"):
            value = value.name
        lines.append(f"  {name}: {value}")
    return "\n".join(lines)


def _witness():  # type: ignore[no-untyped-def]
    """The witness component's bindings, loaded on first use so the other commands work without it."""
    from . import witness
    return witness


def _cosigned_lines(c) -> List[str]:  # type: ignore[no-untyped-def]
    lines = [f"  log key: {c.log_key_name}",
             f"  counted witnesses: {', '.join(c.counted_witnesses) if c.counted_witnesses else '(none)'}"]
    lines += [f"  not counted: {r.name} ({r.reason})" for r in c.rejected_witnesses]
    if c.oldest_timestamp is not None:
        lines.append(f"  cosignature timestamps: oldest {c.oldest_timestamp}, newest {c.newest_timestamp}")
    return lines


def _verify_cosigned(args: argparse.Namespace) -> str:
    c = _witness().checkpoint_verify_cosigned(_read_text(args.checkpoint), _read_text(args.policy))
    return "\n".join(["verified cosigned checkpoint: " + _head(c.checkpoint)] + _cosigned_lines(c))


def _verify_proof(args: argparse.Namespace) -> str:
    if (args.leaf_hash is None) == (args.leaf is None):
        raise UsageError("give exactly one of --leaf-hash and --leaf")
    if args.leaf is not None:
        leaf_hash = hashlib.sha256(b"\x00" + _read_bytes(args.leaf)).digest()
    else:
        leaf_hash = parse_hash(args.leaf_hash, "--leaf-hash")
    p = _witness().tlog_proof_verify(_read_text(args.proof), _read_text(args.policy), leaf_hash)
    lines = [f"verified: leaf {p.index} is in {p.checkpoint.checkpoint.origin} at size {p.checkpoint.checkpoint.size}"]
    if p.extra is not None:
        lines.append(f"  extra data (unauthenticated): {base64.b64encode(p.extra).decode('ascii')}")
    return "\n".join(lines + _cosigned_lines(p.checkpoint))


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(
        prog="python3 -m quorvantile_log",
        description="Verify signed notes, checkpoints, Merkle proofs and signed policies with libquorvantile_log, "
                    "and cosigned checkpoints and proof bundles with libquorvantile_witness.",
        epilog="Exit status: 0 verified, 1 rejected (the reason on stderr), 2 usage or internal error. "
               "Verifier-key files hold one key per line; proof files one hash per line, hex or base64.")
    sub = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")

    def command(name: str, help_text: str, run: Callable[[argparse.Namespace], str]) -> argparse.ArgumentParser:
        p = sub.add_parser(name, help=help_text, description=help_text)
        p.set_defaults(run=run)
        return p

    def vkeys(p: argparse.ArgumentParser) -> None:
        p.add_argument("--vkey", action="append", required=True, metavar="FILE",
                       help="file of trusted verifier keys, one per line (repeatable)")

    p = command("note", "verify a signed note against trusted verifier keys", _note)
    p.add_argument("note", metavar="NOTE", help="the signed note")
    vkeys(p)
    p = command("checkpoint", "verify a signed checkpoint and print its head", _checkpoint)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the signed checkpoint")
    vkeys(p)
    p = command("inclusion", "verify an inclusion proof against a signed checkpoint", _inclusion)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the signed checkpoint")
    vkeys(p)
    p.add_argument("--index", type=int, required=True, help="the leaf index")
    p.add_argument("--leaf-hash", required=True, metavar="HASH", help="the leaf's RFC 6962 hash, hex or base64")
    p.add_argument("--proof", required=True, metavar="FILE", help="the proof, one hash per line")
    p = command("consistency", "verify a consistency proof between two signed checkpoints", _consistency)
    p.add_argument("older", metavar="OLDER", help="the older signed checkpoint")
    p.add_argument("newer", metavar="NEWER", help="the newer signed checkpoint")
    vkeys(p)
    p.add_argument("--proof", required=True, metavar="FILE", help="the proof, one hash per line")
    if hasattr(qv, "signed_policy_verify"):
        p = command("policy", "verify a signed namespace policy and print its posture", _policy)
        p.add_argument("envelope", metavar="ENVELOPE", help="the signed policy envelope (binary)")
        p.add_argument("--base64", action="store_true", help="the envelope file holds base64 text")
    p = command("verify-cosigned", "verify a checkpoint's log signature and witness cosignatures under a witness "
                "quorum policy", _verify_cosigned)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the cosigned checkpoint")
    p.add_argument("--policy", required=True, metavar="FILE", help="the witness quorum policy")
    p = command("verify-proof", "verify a proof bundle (a leaf's inclusion proof and its cosigned checkpoint) "
                "under a witness quorum policy", _verify_proof)
    p.add_argument("proof", metavar="PROOF", help="the proof bundle")
    p.add_argument("--policy", required=True, metavar="FILE", help="the witness quorum policy")
    p.add_argument("--leaf-hash", metavar="HASH", help="the leaf's RFC 6962 hash, hex or base64")
    p.add_argument("--leaf", metavar="FILE", help="the leaf's data; its RFC 6962 leaf hash is computed")
    return parser


def _rejections() -> tuple:
    """The error classes that mean "did not verify": the log library's, and the witness
    component's once it has been loaded."""
    witness = sys.modules.get(f"{__package__}.witness")
    return (qv.VerifyError,) if witness is None else (qv.VerifyError, witness.WitnessError)


def main(argv: Optional[Sequence[str]] = None) -> int:
    args = _parser().parse_args(argv)
    try:
        print(args.run(args))
        return VERIFIED
    except (UsageError, ValueError, TypeError) as e:
        print(f"error: {e}", file=sys.stderr)
        return FAILED
    except (_ffi.LibraryNotFoundError, _ffi.LibraryMismatchError) as e:
        print(f"error: {e}", file=sys.stderr)
        return FAILED
    except qv.InternalError as e:
        print(f"internal error: {e}", file=sys.stderr)
        return FAILED
    except Exception as e:
        if isinstance(e, _rejections()):
            print(f"rejected: {e}", file=sys.stderr)
            return REJECTED
        raise
