"""Command line for operators: verify notes, checkpoints, proofs and policies given as files.

Exit status: 0 verified, 1 rejected, 2 usage, configuration (key file, witness policy) or I/O
error. With --json the outcome is one JSON object on standard output.

The bindings are imported when a command runs, not with this module, so that --help, --version
and a library that cannot be loaded behave the same under `python3 -m quorvantile_log` and the
installed `quorvantile-log` script.
"""
from __future__ import annotations

import argparse
import base64
import binascii
import dataclasses
import datetime
import enum
import json
import os
import string
import sys
import time
from typing import Any, Callable, Dict, List, Optional, Sequence, Tuple

from . import _ffi

PROG = "quorvantile-log"
VERIFIED, REJECTED, FAILED = 0, 1, 2

# Timestamp fields of the records and their unit in seconds; each gets an ISO-8601 UTC twin.
_TIME_FIELDS = {"oldest_timestamp": 1, "newest_timestamp": 1, "effective_from": 1000, "created_at": 1000}
# A signature line no verifier key can match: checking one key against it tells a malformed key
# (the library parses every key first) from a well-formed one (no trusted signature).
_KEY_PROBE = "probe\n\n\u2014 probe " + base64.b64encode(bytes(68)).decode("ascii") + "\n"


class CommandError(Exception):
    """A failure of the command line itself: bad arguments, unreadable input, wrong configuration
    (exit 2), or a check the command line adds, such as --max-age (exit 1)."""

    def __init__(self, message: str, kind: str, status: int = FAILED, usage: str = "") -> None:
        super().__init__(message)
        self.kind = kind
        self.status = status
        self.usage = usage


def started_as_command_line() -> bool:
    """Whether this process is the command line (`python3 -m quorvantile_log` while the package is
    being imported, or the installed console script)."""
    main = sys.modules.get("__main__")
    script = os.path.basename(getattr(main, "__file__", None) or "")
    return sys.argv[:1] == ["-m"] or script == PROG


def _bindings():  # type: ignore[no-untyped-def]
    from . import _bindings as qv
    return qv


def _witness():  # type: ignore[no-untyped-def]
    """The witness component's bindings, loaded on first use so the other commands work without it."""
    from . import witness
    return witness


def _read_data(path: str) -> bytes:
    """A file a command names; `-` is standard input (main lets a command name it once)."""
    if path == "-":
        return sys.stdin.buffer.read()
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError as e:
        raise CommandError(f"cannot read {path}: {e.strerror}", "io") from None


def _read_text(path: str) -> str:
    try:
        return _read_data(path).decode("utf-8")
    except UnicodeDecodeError as e:
        raise CommandError(f"{_name(path)} is not UTF-8 text ({e.reason} at byte {e.start})", "io") from None


def _read_lines(path: str) -> List[Tuple[int, str]]:
    """Numbered lines without blank lines and `#` comment lines, stripped."""
    return [(n, line.strip()) for n, line in enumerate(_read_text(path).splitlines(), 1)
            if line.strip() and not line.strip().startswith("#")]


def _read_vkeys(paths: Sequence[str]) -> List[str]:
    """Every verifier key of the files, each checked by the library's own key parser."""
    qv = _bindings()
    keys = []
    for path in paths:
        found = _read_lines(path)
        if not found:
            raise CommandError(f"{_name(path)} holds no verifier key", "malformed_key_file")
        for n, key in found:
            try:
                qv.verify_signed_note(_KEY_PROBE, [key])
            except qv.VerifyError as e:
                message = str(e)
                if not message.startswith(("note has no verifiable signature", "invalid signature for known key")):
                    message = message.removeprefix("malformed signed note: ")
                    raise CommandError(f"{_name(path)}:{n}: {message}", "malformed_key_file") from None
        keys += [key for _, key in found]
    return keys


def _read_hashes(path: str) -> List[bytes]:
    return [parse_hash(line, f"{_name(path)}:{n}") for n, line in _read_lines(path)]


def _read_witness_policy(path: str) -> str:
    """The policy text, parsed once first so a malformed policy is a configuration error."""
    text = _read_text(path)
    w = _witness()
    try:
        w.witness_policy_parse(text)
    except w.WitnessError as e:
        raise CommandError(f"{_name(path)}: {e}", "malformed_witness_policy") from None
    return text


def _name(path: str) -> str:
    return "standard input" if path == "-" else path


def parse_hash(text: str, where: str) -> bytes:
    """A hash written in hex (an even number of hex digits) or in canonical base64."""
    text = text.strip()
    if text and len(text) % 2 == 0 and all(c in string.hexdigits for c in text):
        return bytes.fromhex(text)
    try:
        raw = base64.b64decode(text, validate=True)
    except (binascii.Error, ValueError):
        raise CommandError(f"{where}: {text!r} is neither hex nor base64", "usage") from None
    if base64.b64encode(raw).decode("ascii") != text:
        raise CommandError(f"{where}: {text!r} is not canonical base64", "usage")
    return raw


def iso_utc(value: int, unit: int) -> Optional[str]:
    """The ISO-8601 UTC form of a time in seconds (unit 1) or milliseconds (unit 1000)."""
    try:
        moment = datetime.datetime.fromtimestamp(value / unit, datetime.timezone.utc)
    except (OverflowError, OSError, ValueError):
        return None
    return moment.isoformat(timespec="seconds" if unit == 1 else "milliseconds").replace("+00:00", "Z")


def plain(value: Any) -> Any:
    """A record as JSON values: byte strings in base64, enums by name, timestamps with their
    ISO-8601 twin `<field>_utc`."""
    if dataclasses.is_dataclass(value):
        out: Dict[str, Any] = {}
        for field in dataclasses.fields(value):
            item = getattr(value, field.name)
            out[field.name] = plain(item)
            if field.name in _TIME_FIELDS:
                out[field.name + "_utc"] = None if item is None else iso_utc(item, _TIME_FIELDS[field.name])
        return out
    if isinstance(value, bytes):
        return base64.b64encode(value).decode("ascii")
    if isinstance(value, enum.Enum):
        return value.name
    if isinstance(value, list):
        return [plain(v) for v in value]
    return value


def _when(value: Optional[int], unit: int = 1) -> str:
    return f"{value} ({iso_utc(value, unit)})" if value is not None else "(none)"


def _b64(data: bytes) -> str:
    return base64.b64encode(data).decode("ascii")


# Each command returns (text for a person, record for --json).
Outcome = Tuple[str, Dict[str, Any]]


def _head_text(head: Any) -> str:
    return (f"origin {head.origin}, size {head.size}, root {_b64(head.root)}"
            + "".join(f"\n  extension: {line}" for line in head.extensions))


def _note(args: argparse.Namespace) -> Outcome:
    keys = _read_vkeys(args.vkey)
    count = _bindings().verify_signed_note(_read_text(args.note), keys)
    return f"verified: {count} signature(s) from trusted keys", {"signatures": count}


def _checkpoint(args: argparse.Namespace) -> Outcome:
    keys = _read_vkeys(args.vkey)
    head = _bindings().checkpoint_verify(_read_text(args.checkpoint), keys)
    return "verified checkpoint: " + _head_text(head), plain(head)


def _inclusion(args: argparse.Namespace) -> Outcome:
    qv = _bindings()
    keys = _read_vkeys(args.vkey)
    leaf_hash = parse_hash(args.leaf_hash, "--leaf-hash")
    proof = _read_hashes(args.proof)
    note = _read_text(args.checkpoint)
    qv.checkpoint_verify_inclusion(note, keys, args.index, leaf_hash, proof)
    head = qv.checkpoint_verify(note, keys)
    return (f"verified: leaf {args.index} is in {head.origin} at size {head.size}",
            {"index": args.index, "leaf_hash": _b64(leaf_hash), "checkpoint": plain(head)})


def _consistency(args: argparse.Namespace) -> Outcome:
    qv = _bindings()
    keys = _read_vkeys(args.vkey)
    proof = _read_hashes(args.proof)
    older, newer = _read_text(args.older), _read_text(args.newer)
    qv.checkpoint_verify_consistency(older, newer, keys, proof)
    a, b = qv.checkpoint_verify(older, keys), qv.checkpoint_verify(newer, keys)
    return (f"verified: {b.origin} at size {b.size} extends size {a.size}",
            {"older": plain(a), "newer": plain(b)})


def _policy(args: argparse.Namespace) -> Outcome:
    envelope = _read_data(args.envelope)
    if args.base64:
        try:
            envelope = base64.b64decode(b"".join(envelope.split()), validate=True)
        except (binascii.Error, ValueError):
            raise CommandError(f"{_name(args.envelope)} is not base64", "usage") from None
    posture = _bindings().signed_policy_verify(envelope)
    lines = ["verified policy:"]
    for field in dataclasses.fields(posture):
        value = getattr(posture, field.name)
        if field.name in _TIME_FIELDS:
            value = _when(value, _TIME_FIELDS[field.name])
        elif isinstance(value, bytes):
            value = value.hex()
        elif isinstance(value, enum.Enum):
            value = value.name
        lines.append(f"  {field.name}: {value}")
    return "\n".join(lines), plain(posture)


def _cosigned_lines(c: Any) -> List[str]:
    lines = [f"  log key: {c.log_key_name}",
             f"  counted witnesses: {', '.join(c.counted_witnesses) if c.counted_witnesses else '(none)'}"]
    lines += [f"  not counted: {r.name} ({r.reason})" for r in c.rejected_witnesses]
    if c.newest_timestamp is not None:
        lines.append(f"  cosignature timestamps: oldest {_when(c.oldest_timestamp)}, newest {_when(c.newest_timestamp)}")
    return lines


def _check_age(c: Any, max_age: Optional[int]) -> None:
    """--max-age: the newest counted cosignature must be at most max_age seconds old."""
    if max_age is None:
        return
    if c.newest_timestamp is None:
        raise CommandError("no counted cosignature dates the checkpoint (--max-age)", "stale_cosignature", REJECTED)
    age = int(time.time()) - c.newest_timestamp
    if age > max_age:
        raise CommandError(f"newest counted cosignature ({iso_utc(c.newest_timestamp, 1)}) is {age} seconds old, "
                           f"more than --max-age {max_age}", "stale_cosignature", REJECTED)


def _verify_cosigned(args: argparse.Namespace) -> Outcome:
    policy = _read_witness_policy(args.policy)
    c = _witness().checkpoint_verify_cosigned(_read_text(args.checkpoint), policy)
    _check_age(c, args.max_age)
    return "\n".join(["verified cosigned checkpoint: " + _head_text(c.checkpoint)] + _cosigned_lines(c)), plain(c)


def _verify_cosigned_consistency(args: argparse.Namespace) -> Outcome:
    w = _witness()
    policy = _read_witness_policy(args.policy)
    proof = _read_hashes(args.proof)
    older, newer = _read_text(args.older), _read_text(args.newer)
    w.checkpoint_verify_cosigned_consistency(older, newer, policy, proof)
    a, b = w.checkpoint_verify_cosigned(older, policy), w.checkpoint_verify_cosigned(newer, policy)
    _check_age(b, args.max_age)
    text = [f"verified: {b.checkpoint.origin} at size {b.checkpoint.size} extends size {a.checkpoint.size}",
            "older: " + _head_text(a.checkpoint)] + _cosigned_lines(a)
    text += ["newer: " + _head_text(b.checkpoint)] + _cosigned_lines(b)
    return "\n".join(text), {"older": plain(a), "newer": plain(b)}


def _verify_proof(args: argparse.Namespace) -> Outcome:
    from .helpers import leaf_hash as rfc6962_leaf_hash
    if (args.leaf_hash is None) == (args.leaf is None):
        raise CommandError("give exactly one of --leaf-hash and --leaf", "usage")
    policy = _read_witness_policy(args.policy)
    if args.leaf is not None:
        leaf_hash = rfc6962_leaf_hash(_read_data(args.leaf))
    else:
        leaf_hash = parse_hash(args.leaf_hash, "--leaf-hash")
    p = _witness().tlog_proof_verify(_read_text(args.proof), policy, leaf_hash)
    _check_age(p.checkpoint, args.max_age)
    lines = [f"verified: leaf {p.index} is in {p.checkpoint.checkpoint.origin} at size {p.checkpoint.checkpoint.size}"]
    if p.extra is not None:
        lines.append(f"  extra data (unauthenticated): {_b64(p.extra)}")
    return "\n".join(lines + _cosigned_lines(p.checkpoint)), plain(p)


class _Parser(argparse.ArgumentParser):
    """Reports usage errors as a CommandError, so that --json can report them too."""

    def error(self, message: str) -> None:  # type: ignore[override]
        raise CommandError(f"{self.prog}: {message}", "usage", usage=self.format_usage())


def _non_negative(text: str) -> int:
    value = int(text)
    if value < 0:
        raise ValueError(text)
    return value


_non_negative.__name__ = "non-negative integer"  # argparse names the type in its message

DESCRIPTION = ("Verify signed notes, checkpoints, Merkle proofs and signed namespace policies with "
               "libquorvantile_log, and witness-cosigned checkpoints and proof bundles with libquorvantile_witness.")
EPILOG = """\
Exit status:
  0 verified, 1 rejected (the reason on standard error), 2 usage, configuration (a key file or
  witness policy that does not parse) or input/output error.

Files:
  A FILE argument of - reads standard input (once per command). Verifier-key files hold one key
  per line (name+keyid+base64 key); proof files one hash per line, hex or base64. In both, blank
  lines and lines starting with # are ignored. Witness policies use the log/witness/group/quorum
  line format.

Output:
  With --json the outcome is one JSON object on standard output: "outcome" ("verified",
  "rejected" or "error"), then the verified record's fields, or "message" and "kind" on failure.
  Byte strings are base64; each timestamp field has an ISO-8601 UTC twin named <field>_utc.
"""


def _parser() -> argparse.ArgumentParser:
    from . import __version__
    parser = _Parser(prog=PROG, description=DESCRIPTION, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--version", action="version", version=f"{PROG} {__version__}")
    parser.add_argument("--json", action="store_true", default=argparse.SUPPRESS,
                        help="print the outcome as one JSON object (also accepted after the command)")
    sub = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")
    usages = []

    def command(name: str, help_text: str, run: Callable[[argparse.Namespace], Outcome]) -> argparse.ArgumentParser:
        p = sub.add_parser(name, help=help_text, description=help_text)
        p.set_defaults(run=run)
        p.add_argument("--json", action="store_true", default=argparse.SUPPRESS,
                       help="print the outcome as one JSON object")
        usages.append(p)
        return p

    def vkeys(p: argparse.ArgumentParser) -> None:
        p.add_argument("--vkey", action="append", required=True, metavar="FILE",
                       help="file of trusted verifier keys, one per line (repeatable)")

    def max_age(p: argparse.ArgumentParser) -> None:
        p.add_argument("--max-age", type=_non_negative, metavar="SECONDS",
                       help="reject when the newest counted cosignature is older than this")

    p = command("note", "verify a signed note against trusted verifier keys", _note)
    p.add_argument("note", metavar="NOTE", help="the signed note")
    vkeys(p)
    p = command("checkpoint", "verify a signed checkpoint and print its head", _checkpoint)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the signed checkpoint")
    vkeys(p)
    p = command("inclusion", "verify an inclusion proof against a signed checkpoint", _inclusion)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the signed checkpoint")
    vkeys(p)
    p.add_argument("--index", type=_non_negative, required=True, help="the leaf index")
    p.add_argument("--leaf-hash", required=True, metavar="HASH", help="the leaf's RFC 6962 hash, hex or base64")
    p.add_argument("--proof", required=True, metavar="FILE", help="the proof, one hash per line")
    p = command("consistency", "verify a consistency proof between two signed checkpoints", _consistency)
    p.add_argument("older", metavar="OLDER", help="the older signed checkpoint")
    p.add_argument("newer", metavar="NEWER", help="the newer signed checkpoint")
    vkeys(p)
    p.add_argument("--proof", required=True, metavar="FILE", help="the proof, one hash per line")
    p = command("policy", "verify a signed namespace policy and print its posture", _policy)
    p.add_argument("envelope", metavar="ENVELOPE", help="the signed policy envelope (binary)")
    p.add_argument("--base64", action="store_true", help="the envelope file holds base64 text")
    p = command("verify-cosigned", "verify a checkpoint's log signature and witness cosignatures under a witness "
                "quorum policy", _verify_cosigned)
    p.add_argument("checkpoint", metavar="CHECKPOINT", help="the cosigned checkpoint")
    p.add_argument("--policy", required=True, metavar="FILE", help="the witness quorum policy")
    max_age(p)
    p = command("verify-cosigned-consistency", "verify two cosigned checkpoints of one log under a witness quorum "
                "policy, then the consistency proof between them", _verify_cosigned_consistency)
    p.add_argument("older", metavar="OLDER", help="the older cosigned checkpoint")
    p.add_argument("newer", metavar="NEWER", help="the newer cosigned checkpoint")
    p.add_argument("--policy", required=True, metavar="FILE", help="the witness quorum policy")
    p.add_argument("--proof", required=True, metavar="FILE", help="the proof, one hash per line")
    max_age(p)
    p = command("verify-proof", "verify a proof bundle (a leaf's inclusion proof and its cosigned checkpoint) "
                "under a witness quorum policy", _verify_proof)
    p.add_argument("proof", metavar="PROOF", help="the proof bundle")
    p.add_argument("--policy", required=True, metavar="FILE", help="the witness quorum policy")
    p.add_argument("--leaf-hash", metavar="HASH", help="the leaf's RFC 6962 hash, hex or base64")
    p.add_argument("--leaf", metavar="FILE", help="the leaf's data; its RFC 6962 leaf hash is computed")
    max_age(p)
    parser.epilog = "Commands:\n" + "".join(f"  {_synopsis(p)}\n      {p.description}\n" for p in usages) + \
        f"  Each command's options: {PROG} COMMAND --help\n\n" + EPILOG
    return parser


def _synopsis(parser: argparse.ArgumentParser) -> str:
    """A command's usage on one line (the man page shows it as the heading of the command)."""
    formatter = argparse.HelpFormatter(parser.prog, width=10_000)
    formatter.add_usage(None, parser._actions, parser._mutually_exclusive_groups, prefix="")
    return formatter.format_help().strip()


def _emit(stream: Any, text: str) -> None:
    """Writes a line; a reader that went away (`| head`) ends the output, not the program."""
    try:
        stream.write(text + "\n")
        stream.flush()
    except BrokenPipeError:
        # Later writes, and the interpreter's flush at exit, go nowhere instead of failing again.
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, stream.fileno())
        os.close(devnull)


def _failure(as_json: bool, status: int, message: str, kind: Optional[str], label: str = "error") -> int:
    if as_json:
        record: Dict[str, Any] = {"outcome": "rejected" if status == REJECTED else "error", "message": message}
        if kind:
            record["kind"] = kind
        _emit(sys.stdout, json.dumps(record))
    else:
        _emit(sys.stderr, f"{label}: {message}")
    return status


def _rejections() -> tuple:
    """The error classes that mean "did not verify": the log library's, and the witness
    component's once it has been loaded."""
    qv = sys.modules.get(f"{__package__}._bindings")
    witness = sys.modules.get(f"{__package__}.witness")
    return tuple(getattr(m, name) for m, name in ((qv, "VerifyError"), (witness, "WitnessError")) if m is not None)


def _stdin_uses(values: Any) -> int:
    return sum(_stdin_uses(v) if isinstance(v, list) else v == "-" for v in values)


def main(argv: Optional[Sequence[str]] = None) -> int:
    argv = list(sys.argv[1:] if argv is None else argv)
    as_json = "--json" in argv
    try:
        args = _parser().parse_args(argv)
        if _stdin_uses(vars(args).values()) > 1:
            raise CommandError("standard input (-) can be read only once", "usage")
        text, record = args.run(args)
    except CommandError as e:
        if e.usage and not as_json:
            _emit(sys.stderr, e.usage.rstrip("\n"))
        return _failure(as_json, e.status, str(e), e.kind, "rejected" if e.status == REJECTED else "error")
    except (_ffi.LibraryNotFoundError, _ffi.LibraryMismatchError) as e:
        return _failure(as_json, FAILED, str(e), "library")
    except _ffi.InternalError as e:
        return _failure(as_json, FAILED, str(e), "internal", "internal error")
    except KeyboardInterrupt:
        return 130
    except Exception as e:
        if isinstance(e, _rejections()):
            return _failure(as_json, REJECTED, str(e), getattr(e, "kind", None), "rejected")
        raise
    if as_json:
        _emit(sys.stdout, json.dumps({"outcome": "verified", **record}))
    else:
        _emit(sys.stdout, text)
    return VERIFIED
