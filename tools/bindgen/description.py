"""Decodes the interface-description records a library embeds as UNIFFI_META_* data objects.

Everything every emitter needs beyond the records themselves also lives here: the argument
documentation carried in function docstrings, the record types two interfaces share, and the
table that derives a failure's kind from its message.
"""
from __future__ import annotations

import json
import os
from dataclasses import dataclass, field
from typing import Dict, List, Optional, Set, Tuple

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
    doc: str = ""


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
    # The interface whose record types this one reuses (see link), and the names it reuses.
    base: Optional["Interface"] = None
    shared_records: Set[str] = field(default_factory=set)

    @property
    def own_records(self) -> List[Record]:
        """The records this interface defines itself (not taken from its base)."""
        return [r for r in self.records if r.name not in self.shared_records]


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
    summary, documented = split_argument_docs(doc, [a.name for a in arguments], name)
    for a in arguments:
        a.doc = documented[a.name]
    return Function(name, arguments, result, error[1], summary, r.data)


ARGUMENTS_HEADING = "\n\nArguments:"


def split_argument_docs(doc: str, names: List[str], where: str) -> Tuple[str, Dict[str, str]]:
    """Splits a function docstring into its summary and the text of each argument.

    A function with arguments documents each one after the summary, in declaration order:
    "<summary>\n\nArguments:\n<name>: <text>\n<name>: <text>...".
    """
    if not names:
        return doc, {}
    summary, heading, block = doc.partition(ARGUMENTS_HEADING)
    if not heading:
        raise DescriptionError(f"{where}: the docstring documents no argument")
    lines = block.split("\n")[1:] if block.startswith("\n") else []
    found = [line.split(": ", 1) for line in lines]
    if [f[0] for f in found] != names or any(len(f) != 2 or not f[1].strip() for f in found):
        raise DescriptionError(f"{where}: the docstring's arguments {[f[0] for f in found]} are not {names}, "
                               "each with a text")
    return summary, {f[0]: f[1] for f in found}


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


def _uses(t: Optional[Type]) -> List[str]:
    if t is None:
        return []
    if t[0] in ("optional", "sequence"):
        return _uses(t[1])
    return [t[1]] if t[0] in ("record", "enum") else []


def records_in_dependency_order(records: List[Record]) -> List[Record]:
    """`records` with every record after the records its fields use (those among `records`)."""
    by_name = {r.name: r for r in records}
    done: List[Record] = []

    def uses(t: Type) -> List[str]:
        if t[0] in ("optional", "sequence"):
            return uses(t[1])
        return [t[1]] if t[0] == "record" and t[1] in by_name else []

    def visit(r: Record) -> None:
        if r in done:
            return
        for f in r.fields:
            for dep in uses(f.type):
                visit(by_name[dep])
        done.append(r)

    for r in records:
        visit(r)
    return done


def link(iface: Interface, base: Interface) -> None:
    """Makes `iface` reuse the record types of `base` that it describes identically.

    A record is shared when `base` has a record of the same name with the same fields (names and
    types, in order) and every named type those fields use is itself shared; the bindings of
    `iface` then use the base's type instead of defining their own.
    """
    theirs = {r.name: r for r in base.records}
    candidates = {r.name for r in iface.records
                  if r.name in theirs and [(f.name, f.type) for f in r.fields]
                  == [(f.name, f.type) for f in theirs[r.name].fields]}
    mine = {r.name: r for r in iface.records}
    changed = True
    while changed:
        changed = False
        for name in sorted(candidates):
            if any(dep not in candidates for f in mine[name].fields for dep in _uses(f.type)):
                candidates.discard(name)
                changed = True
    iface.base = base
    iface.shared_records = candidates


ERROR_KINDS_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "error_kinds.json")


@dataclass
class ErrorKinds:
    """How a failure's kind follows from its message: the kind of the longest matching prefix."""
    prefixes: List[Tuple[str, str]]  # (prefix, kind), longest prefix first
    kinds: List[str]                 # every kind a message can have, in table order, then the fallback
    examples: Dict[str, List[str]]   # messages of each kind, one per prefix at least
    fallback: str                    # the kind of a message of no known form
    internal: str                    # the kind of an unexpected failure (status code 2)

    def kind_of(self, message: str) -> str:
        for prefix, kind in self.prefixes:
            if message.startswith(prefix):
                return kind
        return self.fallback


def load_error_kinds(path: str = ERROR_KINDS_FILE) -> ErrorKinds:
    with open(path, encoding="utf-8") as f:
        table = json.load(f)
    prefixes = [(p, row["kind"]) for row in table["kinds"] for p in row["prefixes"]]
    if len({p for p, _ in prefixes}) != len(prefixes):
        raise DescriptionError(f"{path}: a prefix appears twice")
    kinds = [row["kind"] for row in table["kinds"]]
    if len(set(kinds)) != len(kinds) or {table["fallback"], table["internal"]} & set(kinds):
        raise DescriptionError(f"{path}: kind names must be distinct")
    prefixes.sort(key=lambda pk: (-len(pk[0]), pk[0]))
    result = ErrorKinds(prefixes, kinds + [table["fallback"]], {row["kind"]: row["examples"] for row in table["kinds"]},
                        table["fallback"], table["internal"])
    for kind, examples in result.examples.items():
        for example in examples:
            if result.kind_of(example) != kind:
                raise DescriptionError(f"{path}: the example {example!r} of {kind} has the kind {result.kind_of(example)}")
    return result
