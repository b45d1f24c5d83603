"""Encoding of argument and result values in the foreign-call buffer format.

Integers are big-endian; strings and sequences carry a signed 32-bit count; an optional is a tag
byte 0 or 1 then the value; an enumeration is its variant number as a signed 32-bit integer; a
record is its fields in order. A type is a tuple such as ("sequence", ("u8",)); records and
enumerations appear as ("record", cls) and ("enum", cls), where a record class lists its fields
in ``_FIELDS`` and an enumeration's values are its variant numbers.
"""
from __future__ import annotations

import dataclasses
import enum
import struct
from collections.abc import Sequence
from typing import Any, List, Tuple

_WIDTHS = {"u8": 1, "u16": 2, "u32": 4, "u64": 8}
_I32_MAX = 0x7FFFFFFF


class DecodeError(Exception):
    """A result buffer that does not hold exactly one value of the expected type."""


def _describe(t: Tuple) -> str:
    """A type in Python's terms: int, bytes, list of str, CheckpointHead or None."""
    kind = t[0]
    if kind in _WIDTHS:
        return "int"
    if kind == "string":
        return "str"
    if is_bytes(t):
        return "bytes"
    if kind == "sequence":
        return f"list of {_describe(t[1])}"
    if kind == "optional":
        return f"{_describe(t[1])} or None"
    if kind in ("record", "enum"):
        return t[1].__name__
    return kind


def is_bytes(t: Tuple) -> bool:
    return t == ("sequence", ("u8",))


def check_value(t: Tuple, value: Any, where: str) -> None:
    """Raises TypeError or ValueError when `value` cannot be written as type `t`."""
    kind = t[0]
    if kind in _WIDTHS:
        if not isinstance(value, int) or isinstance(value, bool):
            raise TypeError(f"{where}: expected an int, got {type(value).__name__}")
        if not 0 <= value < 1 << (8 * _WIDTHS[kind]):
            raise ValueError(f"{where}: {value} is not between 0 and 2**{8 * _WIDTHS[kind]} - 1")
    elif kind == "bool":
        if not isinstance(value, bool):
            raise TypeError(f"{where}: expected a bool, got {type(value).__name__}")
    elif kind == "string":
        if not isinstance(value, str):
            raise TypeError(f"{where}: expected a str, got {type(value).__name__}")
    elif is_bytes(t):
        if not isinstance(value, (bytes, bytearray, memoryview)):
            raise TypeError(f"{where}: expected bytes, got {type(value).__name__}")
    elif kind == "sequence":
        if isinstance(value, (str, bytes, bytearray, memoryview)) or not isinstance(value, Sequence):
            raise TypeError(f"{where}: expected a list of {_describe(t[1])}, got {type(value).__name__}")
        for i, item in enumerate(value):
            check_value(t[1], item, f"{where}[{i}]")
    elif kind == "optional":
        if value is not None:
            check_value(t[1], value, where)
    elif kind == "enum":
        if not isinstance(value, t[1]):
            raise TypeError(f"{where}: expected {t[1].__name__}, got {type(value).__name__}")
    elif kind == "record":
        if not isinstance(value, t[1]):
            raise TypeError(f"{where}: expected {t[1].__name__}, got {type(value).__name__}")
        for name, field_type in t[1]._FIELDS:
            check_value(field_type, getattr(value, name), f"{where}.{name}")
    else:
        raise TypeError(f"{where}: unsupported type {_describe(t)}")


def _count(n: int) -> bytes:
    if n > _I32_MAX:
        raise ValueError(f"{n} elements do not fit a 32-bit count")
    return struct.pack(">i", n)


def write(t: Tuple, value: Any, out: bytearray) -> None:
    kind = t[0]
    if kind in _WIDTHS:
        out += value.to_bytes(_WIDTHS[kind], "big")
    elif kind == "bool":
        out.append(1 if value else 0)
    elif kind == "string":
        raw = value.encode("utf-8")
        out += _count(len(raw))
        out += raw
    elif is_bytes(t):
        raw = bytes(value)
        out += _count(len(raw))
        out += raw
    elif kind == "sequence":
        out += _count(len(value))
        for item in value:
            write(t[1], item, out)
    elif kind == "optional":
        if value is None:
            out.append(0)
        else:
            out.append(1)
            write(t[1], value, out)
    elif kind == "enum":
        out += struct.pack(">i", value.value)
    elif kind == "record":
        for name, field_type in t[1]._FIELDS:
            write(field_type, getattr(value, name), out)


def lower_argument(t: Tuple, value: Any, where: str) -> Any:
    """The C-level form of an argument: an int for integers, else the bytes of its buffer.

    A top-level string travels as its UTF-8 bytes without a count.
    """
    check_value(t, value, where)
    if t[0] in _WIDTHS:
        return value
    if t[0] == "bool":
        return 1 if value else 0
    if t[0] == "string":
        return value.encode("utf-8")
    out = bytearray()
    write(t, value, out)
    return bytes(out)


class Reader:
    def __init__(self, data: bytes) -> None:
        self.data = data
        self.pos = 0

    def take(self, n: int) -> bytes:
        if n > len(self.data) - self.pos:
            raise DecodeError(f"not enough bytes remaining in buffer ({len(self.data) - self.pos} < {n})")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def count(self) -> int:
        (n,) = struct.unpack(">i", self.take(4))
        if n < 0:
            raise DecodeError(f"negative count {n}")
        return n

    def read(self, t: Tuple) -> Any:
        kind = t[0]
        if kind in _WIDTHS:
            return int.from_bytes(self.take(_WIDTHS[kind]), "big")
        if kind == "bool":
            b = self.take(1)[0]
            if b > 1:
                raise DecodeError(f"bool byte {b}")
            return b == 1
        if kind == "string":
            raw = self.take(self.count())
            try:
                return raw.decode("utf-8")
            except UnicodeDecodeError as e:
                raise DecodeError(f"string is not UTF-8: {e}") from None
        if is_bytes(t):
            return self.take(self.count())
        if kind == "sequence":
            return [self.read(t[1]) for _ in range(self.count())]
        if kind == "optional":
            tag = self.take(1)[0]
            if tag == 0:
                return None
            if tag == 1:
                return self.read(t[1])
            raise DecodeError(f"unexpected tag byte {tag} for an optional")
        if kind == "enum":
            (n,) = struct.unpack(">i", self.take(4))
            try:
                return t[1](n)
            except ValueError:
                raise DecodeError(f"invalid {t[1].__name__} variant number {n}") from None
        if kind == "record":
            values = {name: self.read(field_type) for name, field_type in t[1]._FIELDS}
            return t[1](**values)
        raise DecodeError(f"unsupported type {kind}")

    def finish(self) -> None:
        if self.pos != len(self.data):
            raise DecodeError(f"{len(self.data) - self.pos} bytes left after the value")


def lift_buffer(t: Tuple, data: bytes) -> Any:
    reader = Reader(data)
    value = reader.read(t)
    reader.finish()
    return value


def to_plain(value: Any) -> Any:
    """A JSON-friendly form: bytes as hex, enumerations as variant numbers, records as dicts."""
    if isinstance(value, (bytes, bytearray)):
        return bytes(value).hex()
    if isinstance(value, enum.Enum):
        return value.value
    if dataclasses.is_dataclass(value) and not isinstance(value, type):
        return {f.name: to_plain(getattr(value, f.name)) for f in dataclasses.fields(value)}
    if isinstance(value, list):
        return [to_plain(v) for v in value]
    return value


def from_plain(t: Tuple, value: Any) -> Any:
    """The inverse of to_plain for a value of type `t`."""
    kind = t[0]
    if is_bytes(t):
        return bytes.fromhex(value)
    if kind == "sequence":
        return [from_plain(t[1], v) for v in value]
    if kind == "optional":
        return None if value is None else from_plain(t[1], value)
    if kind == "enum":
        return t[1](value)
    if kind == "record":
        return t[1](**{name: from_plain(ft, value[name]) for name, ft in t[1]._FIELDS})
    return value


def type_list(types: List[Tuple]) -> str:
    return ", ".join(_describe(t) for t in types)
