# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Reads named data objects and the SONAME out of an ELF64 little-endian shared object.

Only the file is read: nothing is loaded or executed.
"""
from __future__ import annotations

import struct
from dataclasses import dataclass
from typing import Dict, Iterator, List, Optional

SHT_SYMTAB = 2
SHT_DYNAMIC = 6
SHT_NOBITS = 8
SHT_DYNSYM = 11
SHN_UNDEF = 0
SHN_LORESERVE = 0xFF00
DT_NULL = 0
DT_SONAME = 14


class ElfError(Exception):
    """The file is not an ELF64 little-endian object this reader understands."""


@dataclass(frozen=True)
class Section:
    name_offset: int
    kind: int
    addr: int
    offset: int
    size: int
    link: int
    entsize: int


@dataclass(frozen=True)
class Symbol:
    name: str
    value: int
    size: int
    section: int
    kind: int  # STT_* from st_info


class ElfFile:
    def __init__(self, data: bytes) -> None:
        if len(data) < 64 or data[:4] != b"\x7fELF":
            raise ElfError("not an ELF file")
        if data[4] != 2 or data[5] != 1:
            raise ElfError("not a 64-bit little-endian ELF file")
        self.data = data
        (shoff,) = struct.unpack_from("<Q", data, 0x28)
        shentsize, shnum, _shstrndx = struct.unpack_from("<HHH", data, 0x3A)
        if shoff == 0 or shentsize != 64:
            raise ElfError("no section headers")
        if shoff + shnum * 64 > len(data):
            raise ElfError("section headers run past the end of the file")
        self.sections: List[Section] = []
        for i in range(shnum):
            name, kind, _flags, addr, offset, size, link, _info, _align, entsize = struct.unpack_from(
                "<IIQQQQIIQQ", data, shoff + i * 64)
            self.sections.append(Section(name, kind, addr, offset, size, link, entsize))

    def _bytes(self, offset: int, size: int) -> bytes:
        if offset < 0 or size < 0 or offset + size > len(self.data):
            raise ElfError(f"range {offset}+{size} runs past the end of the file")
        return self.data[offset:offset + size]

    def _string(self, table: Section, offset: int) -> str:
        start = table.offset + offset
        end = self.data.find(b"\0", start, table.offset + table.size)
        if offset >= table.size or end < 0:
            raise ElfError("string outside its table")
        return self.data[start:end].decode("utf-8")

    def _symbols_of(self, table: Section) -> Iterator[Symbol]:
        if table.link >= len(self.sections):
            raise ElfError("symbol table without a string table")
        strings = self.sections[table.link]
        for pos in range(table.offset, table.offset + table.size - 23, 24):
            name, info, _other, shndx, value, size = struct.unpack_from("<IBBHQQ", self.data, pos)
            if shndx == SHN_UNDEF or shndx >= SHN_LORESERVE:
                continue
            yield Symbol(self._string(strings, name), value, size, shndx, info & 0xF)

    def symbols(self) -> Dict[str, Symbol]:
        """Every defined symbol of .dynsym and .symtab, by name."""
        found: Dict[str, Symbol] = {}
        for section in self.sections:
            if section.kind in (SHT_DYNSYM, SHT_SYMTAB):
                for sym in self._symbols_of(section):
                    found.setdefault(sym.name, sym)
        return found

    def symbol_bytes(self, sym: Symbol) -> bytes:
        """The bytes of a symbol's object in the file; their count is the symbol's size."""
        section = self.sections[sym.section]
        if section.kind == SHT_NOBITS:
            raise ElfError(f"{sym.name} has no bytes in the file")
        start = sym.value - section.addr
        if start < 0 or start + sym.size > section.size:
            raise ElfError(f"{sym.name} lies outside its section")
        return self._bytes(section.offset + start, sym.size)

    def symbol_file_offset(self, sym: Symbol) -> int:
        section = self.sections[sym.section]
        return section.offset + (sym.value - section.addr)

    def soname(self) -> Optional[str]:
        for section in self.sections:
            if section.kind != SHT_DYNAMIC:
                continue
            strings = self.sections[section.link]
            for pos in range(section.offset, section.offset + section.size - 15, 16):
                tag, val = struct.unpack_from("<qQ", self.data, pos)
                if tag == DT_NULL:
                    break
                if tag == DT_SONAME:
                    return self._string(strings, val)
        return None
