# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Conveniences above the generated bindings: the RFC 6962 leaf hash, a checkpoint check that
also pins the log's origin, and a signed namespace policy that counts only once it is logged."""
from __future__ import annotations

import hashlib
import typing

from . import _bindings

_SHORT_ESCAPES = {"\\": "\\\\", '"': '\\"', "\t": "\\t", "\r": "\\r", "\n": "\\n", "\0": "\\0"}


def quote(text: str) -> str:
    """Text between double quotes, escaped as the library's messages escape echoed input."""
    return '"' + "".join(_SHORT_ESCAPES.get(c) or (c if c.isprintable() else f"\\u{{{ord(c):x}}}")
                         for c in text) + '"'


def leaf_hash(data: bytes) -> bytes:
    """The 32-byte RFC 6962 leaf hash of an entry: SHA-256 of a 0x00 byte followed by the entry."""
    return hashlib.sha256(b"\x00" + bytes(data)).digest()


def checkpoint_verify(note_text: str, vkeys: typing.Sequence[str], *,
                      origin: typing.Optional[str] = None) -> _bindings.CheckpointHead:
    """Verifies a signed checkpoint against trusted verifier keys and returns its head.

    A trusted key may sign checkpoints of several logs, so a caller that expects one log passes its
    `origin`: a checkpoint of any other log then raises VerifyError.Verification
    (`checkpoint origin "X" is not the expected origin "Y"`). Without `origin` this is the
    generated function, and comparing `head.origin` is the caller's job.
    """
    head = _bindings.checkpoint_verify(note_text, vkeys)
    if origin is not None and head.origin != origin:
        raise _bindings.VerifyError.Verification(  # type: ignore[attr-defined]
            f"checkpoint origin {quote(head.origin)} is not the expected origin {quote(origin)}")
    return head


def verify_logged_policy(envelope: bytes, checkpoint: str, vkeys: typing.Sequence[str], leaf_index: int,
                         proof: typing.Sequence[bytes], *,
                         origin: typing.Optional[str] = None) -> _bindings.PolicyPosture:
    """Verifies a signed namespace policy and returns its posture only once the policy's
    `rfc6962_leaf_hash` is proven included, at `leaf_index` with `proof`, in the tree of a
    checkpoint signed by one of `vkeys` (and of the log `origin` when given).

    A policy's own signature says who wrote it, not that it is the one everybody sees: it is
    authentic for a client once it is in a log the client trusts. Raises VerifyError.Verification
    when the policy, the checkpoint or the inclusion proof does not verify.
    """
    posture = _bindings.signed_policy_verify(envelope)
    if origin is not None:
        checkpoint_verify(checkpoint, vkeys, origin=origin)
    _bindings.checkpoint_verify_inclusion(checkpoint, vkeys, leaf_index, posture.rfc6962_leaf_hash, proof)
    return posture


__all__ = ["leaf_hash", "checkpoint_verify", "verify_logged_policy"]
