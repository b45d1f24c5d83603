# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0
"""Writes the Kotlin/JVM package of an interface (JNA direct mapping) and the shared frame it uses.

One package per component, dev.quorvantile.<component>; the records an interface shares with its
base (see description.link) are imported from the base's package instead of repeated. The frame
carries the error-kind table, so a failure's `kind` is the same as in the other bindings.
"""
from __future__ import annotations

import os
import re
from typing import Dict, List, Optional, Set, Tuple

from description import CONTRACT_VERSION, Enumeration, Function, Interface, Record, Type, load_error_kinds
from names import shouty, spdx_header

RUNTIME = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kotlin_runtime.kt")
RUNTIME_PATH = os.path.join("dev", "quorvantile", "ffi", "Runtime.kt")
KEYWORDS = {"as", "break", "class", "continue", "do", "else", "false", "for", "fun", "if", "in", "interface",
            "is", "null", "object", "package", "return", "super", "this", "throw", "true", "try", "typealias",
            "typeof", "val", "var", "when", "while"}
_RAW = {"u8": "Byte", "u16": "Short", "u32": "Int", "u64": "Long", "bool": "Byte"}
_BITS = {"u8": 8, "u16": 16, "u32": 32}


def package_of(namespace: str) -> str:
    """quorvantile_log -> dev.quorvantile.log."""
    return "dev." + namespace.replace("_", ".", 1)


def facade_of(namespace: str) -> str:
    """quorvantile_log -> QuorvantileLog: the class Java sees the package's functions in."""
    return "".join(part.capitalize() for part in namespace.split("_"))


def camel(name: str) -> str:
    head, *rest = name.split("_")
    text = head + "".join(p[:1].upper() + p[1:] for p in rest)
    return f"`{text}`" if text in KEYWORDS else text


def kdoc(text: str, indent: str = "", tags: Optional[List[str]] = None) -> List[str]:
    """A KDoc block; `/*` and `*/` inside the text are defused (Kotlin comments nest)."""
    text = text.replace("*/", "*&#47;").replace("/*", "/&#42;")
    lines = [line.rstrip() for line in text.split("\n")] if text else []
    if tags:
        lines += ([""] if lines else []) + tags
    if not lines:
        return []
    if len(lines) == 1:
        return [f"{indent}/** {lines[0]} */"]
    return [f"{indent}/**"] + [f"{indent} * {line}".rstrip() for line in lines] + [f"{indent} */"]


def is_bytes(t: Type) -> bool:
    return t == ("sequence", ("u8",))


def kotlin_type(t: Type) -> str:
    kind = t[0]
    if kind in ("u8", "u16"):
        return "Int"
    if kind in ("u32", "u64"):
        return "Long"
    if kind == "bool":
        return "Boolean"
    if kind == "string":
        return "String"
    if is_bytes(t):
        return "ByteArray"
    if kind == "sequence":
        return f"List<{kotlin_type(t[1])}>"
    if kind == "optional":
        return f"{kotlin_type(t[1])}?"
    return t[1]


def spelled(t: Type) -> str:
    if t[0] in ("optional", "sequence"):
        return f"{t[0]}<{spelled(t[1])}>"
    return t[1] if t[0] in ("record", "enum") else t[0]


def has_content_fields(t: Type) -> bool:
    """Whether a field of type `t` needs content equality (it holds byte arrays itself)."""
    if is_bytes(t):
        return True
    return t[0] in ("optional", "sequence") and has_content_fields(t[1])


def write(t: Type, value: str, where: str, depth: int = 0) -> str:
    """A statement writing `value` of type `t` to the Writer `w`."""
    kind = t[0]
    item = f"x{depth}"
    if kind in _BITS:
        widened = value if kind in ("u32",) else f"{value}.toLong()"
        checked = f'checkUnsigned({widened}, {_BITS[kind]}, "{where}")'
        return f"w.{kind}({checked if kind == 'u32' else checked + '.toInt()'})"
    if kind in ("u64", "bool", "string"):
        return f"w.{kind}({value})"
    if is_bytes(t):
        return f"w.bytes({value})"
    if kind == "sequence":
        return f"w.list({value}) {{ {item} -> {write(t[1], item, where, depth + 1)} }}"
    if kind == "optional":
        return f"w.optional({value}) {{ {item} -> {write(t[1], item, where, depth + 1)} }}"
    if kind == "enum":
        return f"w.i32({value}.number)"
    return f"{value}.write(w)"


def read(t: Type) -> str:
    """An expression reading a value of type `t` from the Reader `r`."""
    kind = t[0]
    if kind in ("u8", "u16", "u32", "u64", "bool", "string"):
        return f"r.{kind}()"
    if is_bytes(t):
        return "r.bytes()"
    if kind == "sequence":
        return f"r.list {{ {read(t[1])} }}"
    if kind == "optional":
        return f"r.optional {{ {read(t[1])} }}"
    if kind == "enum":
        return f'r.enumeration({t[1]}.values(), "{t[1]}")'
    return f"{t[1]}.read(r)"


def _enum(e: Enumeration) -> List[str]:
    out = kdoc(e.doc) + [f"enum class {e.name}(", "    /** The variant's number in the buffer encoding. */",
                         "    val number: Int", ") {"]
    for i, v in enumerate(e.variants):
        out += kdoc(v.doc, "    ") + [f"    {shouty(v.name)}({v.number}){',' if i + 1 < len(e.variants) else ';'}"]
    return out + ["}", ""]


def _hash(names: List[str]) -> str:
    text = "0"
    for n in names:
        text = f"fieldHash({n})" if text == "0" else f"({text}) * 31 + fieldHash({n})"
    return text


def _record(r: Record) -> List[str]:
    tags = [f"@property {camel(f.name)} {f.doc}".rstrip() for f in r.fields]
    out = kdoc(r.doc, "", tags) + [f"data class {r.name}("]
    for i, f in enumerate(r.fields):
        out.append(f"    val {camel(f.name)}: {kotlin_type(f.type)}{',' if i + 1 < len(r.fields) else ''}")
    out.append(") {")
    if any(has_content_fields(f.type) for f in r.fields):
        names = [camel(f.name) for f in r.fields]
        out += ["    /** Equal when every field is: byte arrays compare by content. */",
                "    override fun equals(other: Any?): Boolean =",
                f"        other is {r.name} && " + " && ".join(f"fieldEquals({n}, other.{n})" for n in names), "",
                "    override fun hashCode(): Int =",
                "        " + _hash(names), "",
                "    /** The fields, byte arrays in hex. */",
                "    override fun toString(): String =",
                f'        "{r.name}(' + ", ".join(f"{n.strip('`')}=${{fieldText({n})}}" for n in names) + ')"', ""]
    out += ["    internal fun write(w: Writer) {"]
    out += [f"        {write(f.type, camel(f.name), f'{r.name}.{f.name}')}" for f in r.fields]
    out += ["    }", "", "    internal companion object {",
            f"        fun read(r: Reader): {r.name} = {r.name}("]
    out += [f"            {read(f.type)}{',' if i + 1 < len(r.fields) else ''}" for i, f in enumerate(r.fields)]
    return out + ["        )", "    }", "}", ""]


def _error(e: Enumeration) -> List[str]:
    out = kdoc(e.doc) + [f"sealed class {e.name}(message: String) : QuorvantileException(message) {{"]
    for v in e.variants:
        out += kdoc(v.doc or f"{e.name}.{v.name}", "    ")
        out += [f"    class {v.name}(message: String) : {e.name}(message)", ""]
    out += ["    internal companion object {",
            "        /** The exception of variant [number] with [message]; null for an unknown variant. */",
            "        fun lift(number: Int, message: String): QuorvantileException? = when (number) {"]
    out += [f"            {v.number} -> {v.name}(message)" for v in e.variants]
    return out + ["            else -> null", "        }", "    }", "}", ""]


def _raw_symbol(iface: Interface, f: Function) -> str:
    return f"uniffi_{iface.namespace}_fn_func_{f.name}"


def _raw_type(t: Optional[Type]) -> str:
    if t is None:
        return "Unit"
    return _RAW.get(t[0], "RustBuffer.ByValue")


def _raw_object(iface: Interface, raw: str) -> List[str]:
    ns = iface.namespace
    out = ["/** The library's symbols, bound through JNA's direct mapping once the library is checked. */",
           f"internal object {raw} : BufferFunctions {{",
           f"    @JvmStatic external fun ffi_{ns}_rustbuffer_from_bytes(bytes: ForeignBytes.ByValue, "
           "status: RustCallStatus): RustBuffer.ByValue", "",
           f"    @JvmStatic external fun ffi_{ns}_rustbuffer_free(buf: RustBuffer.ByValue, status: RustCallStatus)", ""]
    for f in iface.functions:
        params = "".join(f"{camel(a.name)}: {_raw_type(a.type)}, " for a in f.arguments)
        out += [f"    @JvmStatic external fun {_raw_symbol(iface, f)}({params}status: RustCallStatus): "
                f"{_raw_type(f.result)}", ""]
    out += ["    override fun rustbufferFromBytes(bytes: ForeignBytes.ByValue, status: RustCallStatus): "
            f"RustBuffer.ByValue =", f"        ffi_{ns}_rustbuffer_from_bytes(bytes, status)", "",
            "    override fun rustbufferFree(buf: RustBuffer.ByValue, status: RustCallStatus) =",
            f"        ffi_{ns}_rustbuffer_free(buf, status)", "}", ""]
    return out


def _lower_scalar(t: Type, value: str, where: str) -> str:
    kind = t[0]
    if kind == "u64":
        return value
    if kind == "bool":
        return f"(if ({value}) 1 else 0).toByte()"
    if kind == "u32":
        return f'checkUnsigned({value}, 32, "{where}").toInt()'
    return f'checkUnsigned({value}.toLong(), {_BITS[kind]}, "{where}").to{_RAW[kind]}()'


def _lift_scalar(t: Type, value: str) -> str:
    return {"u8": f"{value}.toInt() and 0xFF", "u16": f"{value}.toInt() and 0xFFFF",
            "u32": f"{value}.toLong() and 0xFFFFFFFFL", "u64": value, "bool": f"{value} != 0.toByte()"}[t[0]]


def _function(iface: Interface, f: Function, raw: str) -> List[str]:
    tags = [f"@param {camel(a.name)} ({spelled(a.type)}) {a.doc}".rstrip() for a in f.arguments]
    if f.result is not None:
        tags.append(f"@return {spelled(f.result)}")
    error = next(e for e in iface.errors if e.name == f.error)
    tags += [f"@throws {f.error}.{v.name} {v.doc}".rstrip() for v in error.variants]
    tags += ["@throws InternalException the library reported an unexpected failure.",
             "@throws LibraryNotFoundException the library was found nowhere (on the first call).",
             "@throws LibraryMismatchException the library differs from these bindings (on the first call)."]
    params = ", ".join(f"{camel(a.name)}: {kotlin_type(a.type)}" for a in f.arguments)
    result = "" if f.result is None else f": {kotlin_type(f.result)}"
    out = kdoc(f.doc, "", tags) + [f"fun {camel(f.name)}({params}){result} {{"]
    buffered = [a for a in f.arguments if _raw_type(a.type) == "RustBuffer.ByValue"]
    encoded = []
    for a in buffered:
        name = camel(a.name)
        encoded.append(f"utf8({name})" if a.type[0] == "string" else f"encode {{ w -> {write(a.type, name, a.name)} }}")
    if encoded:
        out.append(f'    val call = Call(functions(), "{f.name}", arrayOf(')
        out += [f"        {e}{',' if i + 1 < len(encoded) else ''}" for i, e in enumerate(encoded)]
        out.append("    ))")
    else:
        out.append(f'    val call = Call(functions(), "{f.name}", arrayOf())')
    out += ["    try {"]
    if buffered:
        out.append("        val a = call.arguments()")
    args = []
    for a in f.arguments:
        if a in buffered:
            args.append(f"a[{buffered.index(a)}]")
        else:
            args.append(_lower_scalar(a.type, camel(a.name), a.name))
    invoke = f"{raw}.{_raw_symbol(iface, f)}({''.join(x + ', ' for x in args)}call.status)"
    errors = f"{{ n, m -> {f.error}.lift(n, m) }}"
    if f.result is None:
        out += [f"        {invoke}", f"        call.check({errors})"]
    elif _raw_type(f.result) != "RustBuffer.ByValue":
        out += [f"        val v = {invoke}", f"        call.check({errors})",
                f"        return {_lift_scalar(f.result, 'v')}"]
    else:
        out += [f"        return call.lift({invoke}, {{ r -> {read(f.result)} }}, {errors}, \"{spelled(f.result)}\")"]
    out += ["    } finally {", "        call.close()", "    }"]
    return out + ["}", ""]


HEADER = """\
//
// Generated by tools/bindgen from the interface description embedded in lib{library}.so.
// Do not edit: rebuild the library, then run `make bindings`.
@file:JvmName("{facade}")

package {package}

import com.sun.jna.Native
import dev.quorvantile.ffi.BufferFunctions
import dev.quorvantile.ffi.Call
import dev.quorvantile.ffi.ForeignBytes
import dev.quorvantile.ffi.InternalException
import dev.quorvantile.ffi.LibraryMismatchException
import dev.quorvantile.ffi.LibraryNotFoundException
import dev.quorvantile.ffi.QuorvantileException
import dev.quorvantile.ffi.Reader
import dev.quorvantile.ffi.RustBuffer
import dev.quorvantile.ffi.RustCallStatus
import dev.quorvantile.ffi.Writer
import dev.quorvantile.ffi.checkLibrary
import dev.quorvantile.ffi.checkUnsigned
import dev.quorvantile.ffi.encode
import dev.quorvantile.ffi.fieldEquals
import dev.quorvantile.ffi.fieldHash
import dev.quorvantile.ffi.fieldText
import dev.quorvantile.ffi.findLibrary
import dev.quorvantile.ffi.utf8
"""


def emit(iface: Interface) -> Dict[str, str]:
    """The generated files, by path relative to the Kotlin source root."""
    package = package_of(iface.namespace)
    facade = facade_of(iface.namespace)
    raw = facade + "Raw"
    shared = iface.shared_records
    header = spdx_header("//") + HEADER.format(library=iface.library, facade=facade, package=package)
    out = header.rstrip("\n").split("\n")
    out += sorted(f"import {package_of(iface.base.namespace)}.{name}" for name in shared) if iface.base else []
    out += ["", f"/** The foreign-call contract version these bindings speak. */",
            f"const val CONTRACT_VERSION: Int = {CONTRACT_VERSION}", "",
            "/** The interface namespace of the library. */", f'const val NAMESPACE: String = "{iface.namespace}"', "",
            "/** The name the library is looked up by when no explicit path is given. */",
            f'const val SONAME: String = "{iface.soname}"', "",
            f"/** The system property naming the library's file explicitly (else ${iface.namespace.upper()}_LIB). */",
            f'const val LIBRARY_PROPERTY: String = "{package}.library"', "",
            "/** Each function's checksum, as the library must report it. */",
            "val CHECKSUMS: Map<String, Int> = mapOf("]
    out += [f'    "{f.name}" to 0x{f.checksum:04x}{"," if i + 1 < len(iface.functions) else ""}'
            for i, f in enumerate(iface.functions)]
    out += [")", "",
            "/**",
            " * The library, loaded and checked on the first call: from the system property",
            f" * [LIBRARY_PROPERTY] or the environment variable {iface.namespace.upper()}_LIB if set, else [SONAME]",
            " * through `jna.library.path` and the system's search, else the unversioned name. A library",
            " * whose contract version or checksums differ is refused; a failed load is retried by the next call.",
            " */",
            "private val loaded = lazy {",
            f'    val lib = findLibrary("{iface.library}", SONAME, LIBRARY_PROPERTY, "{iface.namespace.upper()}_LIB")',
            "    checkLibrary(lib, NAMESPACE, CONTRACT_VERSION, CHECKSUMS)",
            f"    Native.register({raw}::class.java, lib.handle)",
            "    lib",
            "}", "",
            f"private fun functions(): {raw} {{",
            "    loaded.value",
            f"    return {raw}",
            "}", "",
            "/** The file of the loaded library (loading it if no call has yet). */",
            "fun loadedLibrary(): String = loaded.value.path", ""]
    for e in iface.enums:
        out += _enum(e)
    for r in iface.own_records:
        out += _record(r)
    for e in iface.errors:
        out += _error(e)
    out += _raw_object(iface, raw)
    for f in iface.functions:
        out += _function(iface, f, raw)
    text = "\n".join(out).rstrip("\n") + "\n"
    text = re.sub(r"\n{3,}", "\n\n", text)
    return {os.path.join(*package.split("."), f"{facade}.kt"): text, RUNTIME_PATH: _runtime()}


def _runtime() -> str:
    """The shared frame, with the error-kind table in place of its marker line."""
    kinds = load_error_kinds()
    with open(RUNTIME, encoding="utf-8") as fh:
        frame = fh.read().split("\n", 2)[2]  # after the template's own licence lines
    table = [f"    {_string(prefix)} to {_string(kind)}," for prefix, kind in kinds.prefixes]
    table[-1] = table[-1].rstrip(",")
    frame = frame.replace('private const val FALLBACK_KIND = "other"', f"private const val FALLBACK_KIND = {_string(kinds.fallback)}")
    frame = frame.replace('private const val INTERNAL_KIND = "internal"', f"private const val INTERNAL_KIND = {_string(kinds.internal)}")
    return spdx_header("//") + frame.replace("    // ERROR_KINDS\n", "\n".join(table) + "\n")


def _string(text: str) -> str:
    """A Kotlin string literal."""
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("$", "\\$")
    return f'"{escaped}"'

