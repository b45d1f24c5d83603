# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Decodes the interface-description records a library embeds as UNIFFI_META_* data objects."""
from __future__ import annotations

from dataclasses import dataclass, field
from typing import Dict, List, Optional, Tuple, Union

from elf_symbols import ElfFile

META_PREFIX = "UNIFFI_META_"
CHECKSUM_PREFIX = "uniffi_{}_checksum_func_"
FUNCTION_PREFIX = "uniffi_{}_fn_func_"

# A type is a tuple: ("u8",), ("u16",), ("u32",), ("u64",), ("bool",), ("string",),
# ("optional", inner), ("sequence", inner), ("record", name), ("enum", name).
Type = Tuple
CONTRACT_VERSION = 30  # the foreign-call contract these bindings speak
SCALARS = {0x00: "u8", 0x01: "u16", 0x02: "u32", 0x03: "u64", 0x0A: "bool", 0x0B: "string"}


class DescriptionError(Exception):
    """A description record that does not decode."""


@dataclass
class Argument:
    name: str
    type: Type


@dataclass
class Function:
    name: str
    arguments: List[Argument]
    result: Optional[Type]  # None: the function returns nothing
    error: str
    doc: str
    record: bytes

    @property
    def checksum(self) -> int:
        return checksum(self.record)


@dataclass
class Field:
    name: str
    type: Type
    doc: str


@dataclass
class Record:
    name: str
    fields: List[Field]
    doc: str


@dataclass
class Variant:
    name: str
    number: int
    doc: str


@dataclass
class Enumeration:
    name: str
    is_error: bool
    variants: List[Variant]
    doc: str


@dataclass
class Interface:
    namespace: str
    library: str
    soname: str
    functions: List[Function] = field(default_factory=list)
    records: List[Record] = field(default_factory=list)
    enums: List[Enumeration] = field(default_factory=list)
    errors: List[Enumeration] = field(default_factory=list)


def fnv1a64(data: bytes) -> int:
    h = 0xCBF29CE484222325
    for b in data:
        h = ((h ^ b) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return h


def checksum(record: bytes) -> int:
    h = fnv1a64(record)
    return (h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48)) & 0xFFFF


class _Reader:
    def __init__(self, name: str, data: bytes) -> None:
        self.name = name
        self.data = data
        self.pos = 0

    def fail(self, what: str) -> DescriptionError:
        return DescriptionError(f"{self.name}: {what} at byte {self.pos}")

    def byte(self) -> int:
        if self.pos >= len(self.data):
            raise self.fail("record ends early")
        b = self.data[self.pos]
        self.pos += 1
        return b

    def expect(self, value: int, what: str) -> None:
        got = self.byte()
        if got != value:
            raise self.fail(f"{what}: expected 0x{value:02x}, found 0x{got:02x}")

    def chars(self, n: int) -> str:
        if self.pos + n > len(self.data):
            raise self.fail("record ends early")
        raw = self.data[self.pos:self.pos + n]
        self.pos += n
        try:
            return raw.decode("utf-8")
        except UnicodeDecodeError as e:
            raise self.fail(f"text is not UTF-8 ({e})") from None

    def short_string(self) -> str:
        return self.chars(self.byte())

    def doc(self) -> str:
        lo = self.byte()
        hi = self.byte()
        return self.chars(lo | (hi << 8))

    def type(self) -> Optional[Type]:
        code = self.byte()
        if code in SCALARS:
            return (SCALARS[code],)
        if code == 0x0C:
            return ("optional", self.value_type())
        if code == 0x11:
            return ("sequence", self.value_type())
        if code == 0x0D:
            self.short_string()
            return ("record", self.short_string())
        if code == 0x0E:
            self.short_string()
            return ("enum", self.short_string())
        if code == 0xFF:
            return None
        raise self.fail(f"unknown type code 0x{code:02x}")

    def value_type(self) -> Type:
        t = self.type()
        if t is None:
            raise self.fail("no-value type where a value type is needed")
        return t

    def done(self) -> None:
        if self.pos != len(self.data):
            raise self.fail(f"{len(self.data) - self.pos} bytes after the record")


def _function(r: _Reader) -> Function:
    r.expect(0x00, "function kind")
    r.short_string()
    name = r.short_string()
    if r.byte() != 0:
        raise r.fail("asynchronous functions are not supported")
    r.expect(0x00, "function flags")
    arguments = []
    for _ in range(r.byte()):
        arg_name = r.short_string()
        arg_type = r.value_type()
        r.expect(0x00, "default value")
        r.expect(0x00, "argument flags")
        arguments.append(Argument(arg_name, arg_type))
    r.expect(0x17, "result type")
    result = r.type()
    error = r.type()
    if error is None or error[0] != "enum":
        raise r.fail("the error type is not an error enumeration")
    doc = r.doc()
    r.done()
    return Function(name, arguments, result, error[1], doc, r.data)


def _record(r: _Reader) -> Record:
    r.expect(0x02, "record kind")
    r.short_string()
    name = r.short_string()
    r.expect(0x00, "record flags")
    fields = []
    for _ in range(r.byte()):
        field_name = r.short_string()
        r.expect(0x00, "field flags")
        field_type = r.value_type()
        r.expect(0x00, "default value")
        fields.append(Field(field_name, field_type, r.doc()))
    doc = r.doc()
    r.done()
    return Record(name, fields, doc)


def _enumeration(r: _Reader) -> Enumeration:
    r.expect(0x03, "enumeration kind")
    r.short_string()
    name = r.short_string()
    r.expect(0x00, "enumeration flags")
    shape = r.byte()
    if shape not in (0, 2):
        raise r.fail(f"unsupported enumeration shape {shape}")
    r.expect(0x00, "discriminant type")
    variants = []
    for number in range(1, r.byte() + 1):
        variant_name = r.short_string()
        for _ in range(3 if shape == 0 else 1):
            r.expect(0x00, "variant flags")
        variants.append(Variant(variant_name, number, r.doc()))
    r.expect(0x00, "non-exhaustive flag")
    doc = r.doc()
    r.done()
    return Enumeration(name, shape == 2, variants, doc)


def read_interface(path: str) -> Interface:
    """The interface described by the library at `path`, items sorted by name."""
    with open(path, "rb") as f:
        elf = ElfFile(f.read())
    symbols = elf.symbols()
    namespaces = [s for n, s in symbols.items() if n.startswith(META_PREFIX + "NAMESPACE_")]
    if len(namespaces) != 1:
        raise DescriptionError(f"expected one namespace record, found {len(namespaces)}")
    ns = _Reader(namespaces[0].name, elf.symbol_bytes(namespaces[0]))
    ns.expect(0x06, "namespace kind")
    library = ns.short_string()
    namespace = ns.short_string()
    ns.done()
    prefix = META_PREFIX + namespace.upper() + "_"
    soname = elf.soname() or f"lib{library}.so"
    iface = Interface(namespace, library, soname)
    for name in sorted(symbols):
        if not name.startswith(prefix):
            continue
        r = _Reader(name, elf.symbol_bytes(symbols[name]))
        kind = name[len(prefix):].split("_", 1)[0]
        if kind == "FUNC":
            iface.functions.append(_function(r))
        elif kind == "RECORD":
            iface.records.append(_record(r))
        elif kind == "ENUM":
            iface.enums.append(_enumeration(r))
        elif kind == "ERROR":
            iface.errors.append(_enumeration(r))
        else:
            raise DescriptionError(f"{name}: unknown description kind {kind}")
    for function in iface.functions:
        for needed in (FUNCTION_PREFIX.format(namespace) + function.name,
                       CHECKSUM_PREFIX.format(namespace) + function.name):
            if needed not in symbols:
                raise DescriptionError(f"{function.name} is described but {needed} is not exported")
    iface.functions.sort(key=lambda f: f.name)
    iface.records.sort(key=lambda x: x.name)
    iface.enums.sort(key=lambda x: x.name)
    iface.errors.sort(key=lambda x: x.name)
    _check_references(iface)
    return iface


def _check_references(iface: Interface) -> None:
    records = {r.name for r in iface.records}
    enums = {e.name for e in iface.enums}
    errors = {e.name for e in iface.errors}

    def visit(where: str, t: Optional[Type]) -> None:
        if t is None:
            return
        if t[0] in ("optional", "sequence"):
            visit(where, t[1])
        elif t[0] == "record" and t[1] not in records:
            raise DescriptionError(f"{where} uses the undescribed record {t[1]}")
        elif t[0] == "enum" and t[1] not in enums:
            raise DescriptionError(f"{where} uses the undescribed enumeration {t[1]}")

    for f in iface.functions:
        for a in f.arguments:
            visit(f"{f.name}.{a.name}", a.type)
        visit(f.name, f.result)
        if f.error not in errors:
            raise DescriptionError(f"{f.name} raises the undescribed error {f.error}")
    for r in iface.records:
        for fl in r.fields:
            visit(f"{r.name}.{fl.name}", fl.type)
