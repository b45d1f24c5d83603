"""Writes the header-only C++ layer of an interface.

The header of the base interface (quorvantile_log) holds a fixed prelude (encoding, buffers, the
one Error type and the failure-kind table) and its generated items; the header of a linked
interface includes it, reuses its shared records and its Error, and adds its own items.
"""
from __future__ import annotations

import os
import textwrap
from typing import List

from description import (Enumeration, ErrorKinds, Function, Interface, Record, Type, load_error_kinds,
                         records_in_dependency_order)
from names import spdx_header

CPP_KEYWORDS = {
    "alignas", "alignof", "and", "asm", "auto", "bool", "break", "case", "catch", "char", "class", "const",
    "constexpr", "continue", "default", "delete", "do", "double", "else", "enum", "explicit", "export",
    "extern", "false", "float", "for", "friend", "goto", "if", "inline", "int", "long", "mutable",
    "namespace", "new", "noexcept", "not", "nullptr", "operator", "or", "private", "protected", "public",
    "register", "return", "short", "signed", "sizeof", "static", "struct", "switch", "template", "this",
    "throw", "true", "try", "typedef", "typename", "union", "unsigned", "using", "virtual", "void",
    "volatile", "while", "xor",
}
PRELUDE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cpp_prelude.hpp")
PRELUDE_NAMESPACE = "quorvantile_log"  # the namespace the prelude's shared machinery lives in
_INTS = {"u8": "uint8_t", "u16": "uint16_t", "u32": "uint32_t", "u64": "uint64_t"}
D = f"::{PRELUDE_NAMESPACE}::detail::"


def ident(name: str) -> str:
    return name + "_" if name in CPP_KEYWORDS else name


def camel(snake: str) -> str:
    return "".join(part.capitalize() for part in snake.split("_"))


def qualified(iface: Interface, name: str) -> str:
    """A named type with its namespace: the base's for a shared record, else the interface's."""
    owner = iface.base.namespace if iface.base is not None and name in iface.shared_records else iface.namespace
    return f"::{owner}::{name}"


def tag(t: Type, iface: Interface) -> str:
    kind = t[0]
    if kind in _INTS:
        return f"{D}{kind.upper()}"
    if kind == "bool":
        return f"{D}Bool"
    if kind == "string":
        return f"{D}String"
    if t == ("sequence", ("u8",)):
        return f"{D}Bytes"
    if kind == "sequence":
        return f"{D}Sequence<{tag(t[1], iface)}>"
    if kind == "optional":
        return f"{D}Optional<{tag(t[1], iface)}>"
    return f"{D}{'Enum' if kind == 'enum' else 'Record'}<{qualified(iface, t[1])}>"


def value_type(t: Type) -> str:
    kind = t[0]
    if kind in _INTS:
        return _INTS[kind]
    if kind == "bool":
        return "bool"
    if kind == "string":
        return "std::string"
    if kind == "sequence":
        return f"std::vector<{value_type(t[1])}>"
    if kind == "optional":
        return f"std::optional<{value_type(t[1])}>"
    return t[1]


def arg_type(t: Type) -> str:
    kind = t[0]
    if kind == "string":
        return "std::string_view"
    if kind == "sequence":
        return f"std::span<const {value_type(t[1])}>"
    if kind == "optional":
        return f"std::optional<{arg_type(t[1])}>"
    if kind == "record":
        return f"const {t[1]}&"
    return value_type(t)


def comment(text: str, indent: str = "") -> List[str]:
    """`text` as line comments wrapped at 100 columns; a wrapped indented line keeps its indent."""
    out: List[str] = []
    for line in text.split("\n") if text else []:
        lead = line[:len(line) - len(line.lstrip(" "))]
        wrapped = textwrap.wrap(line.lstrip(" "), width=100 - len(indent) - 3 - len(lead),
                                subsequent_indent="  " if lead else "") or [""]
        out += [f"{indent}// {lead}{w}".rstrip() for w in wrapped]
    return out


def _enum(e: Enumeration) -> List[str]:
    out = comment(e.doc) + [f"enum class {e.name} : int32_t {{"]
    for v in e.variants:
        out += comment(v.doc, "  ") + [f"  {v.name} = {v.number},"]
    return out + ["};", ""]


def _record(r: Record) -> List[str]:
    out = comment(r.doc) + [f"struct {r.name} {{"]
    for f in r.fields:
        out += comment(f.doc, "  ") + [f"  {value_type(f.type)} {ident(f.name)}{{}};"]
    return out + ["};", ""]


def _record_codec(r: Record, iface: Interface) -> List[str]:
    name = qualified(iface, r.name)
    out = ["template <>", f"struct RecordCodec<{name}> {{",
           f"  static bool write(Writer& w, const {name}& v) {{"]
    if r.fields:
        out.append("    return " + "\n        && ".join(
            f"put<{tag(f.type, iface).replace(D, '')}>(w, v.{ident(f.name)})" for f in r.fields) + ";")
    else:
        out.append("    return true;")
    out += ["  }", f"  static {name} read(Reader& r) {{", f"    {name} v;"]
    out += [f"    v.{ident(f.name)} = {tag(f.type, iface).replace(D, '')}::read(r);" for f in r.fields]
    return out + ["    return v;", "  }", "};", ""]


def _function(iface: Interface, f: Function, error: Enumeration) -> List[str]:
    params = ", ".join(f"{arg_type(a.type)} {ident(a.name)}" for a in f.arguments)
    result = "void" if f.result is None else value_type(f.result)
    doc = f.doc
    for a in f.arguments:
        doc += f"\n  `{a.name}`: {a.doc}"
    doc += f"\nFails with a {error.name} variant: " + ", ".join(v.name for v in error.variants) + "."
    out = comment(doc) + [f"[[nodiscard]] inline Result<{result}> {f.name}({params}) {{"]
    names = []
    for i, a in enumerate(f.arguments):
        out.append(f"  {D}Lowered<{tag(a.type, iface)}, detail::Abi> a{i}({ident(a.name)});")
        names.append(f"a{i}")
    if names:
        out.append(f"  if (auto failure = {D}first_failure({', '.join(names)})) "
                   "return std::unexpected(std::move(*failure));")
    out.append("  RustCallStatus status{};")
    call = f"uniffi_{iface.namespace}_fn_func_{f.name}({''.join(n + '.take(), ' for n in names)}&status)"
    if f.result is None:
        out += [f"  {call};", f"  return {D}finish<detail::Abi>(status);"]
    else:
        out += [f"  auto returned = {call};",
                f"  return {D}finish<{tag(f.result, iface)}, detail::Abi>(status, returned);"]
    return out + ["}", ""]


def _error_kinds(kinds: ErrorKinds) -> List[str]:
    members = kinds.kinds + [kinds.internal]
    out = ["// The kind of a failure, named after its message's fixed form (kind_name gives the name every",
           f"// binding uses); {camel(kinds.fallback)} for a message of no known form, {camel(kinds.internal)} "
           "for an unexpected failure.",
           "enum class ErrorKind {"]
    out += [f"  {camel(k)}," for k in members]
    out += ["};", "", "constexpr std::string_view kind_name(ErrorKind kind) noexcept {", "  switch (kind) {"]
    out += [f'    case ErrorKind::{camel(k)}:\n      return "{k}";' for k in members]
    out += ["  }", '  return "";', "}", "",
            "// The kind of a failure message: that of the longest known prefix it starts with.",
            "constexpr ErrorKind error_kind(std::string_view message) noexcept {",
            "  struct Prefix {", "    std::string_view text;", "    ErrorKind kind;", "  };",
            "  constexpr Prefix prefixes[] = {"]
    out += [f"      {{{cpp_string(p)}, ErrorKind::{camel(k)}}}," for p, k in kinds.prefixes]
    out += ["  };", "  for (const Prefix& p : prefixes) {", "    if (message.starts_with(p.text)) return p.kind;", "  }",
            f"  return ErrorKind::{camel(kinds.fallback)};", "}"]
    return out


def cpp_string(text: str) -> str:
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _abi(iface: Interface) -> List[str]:
    ns = iface.namespace
    variants = max(len(e.variants) for e in iface.errors)
    return ["namespace detail {", "",
            f"// The buffer functions of the {ns} library and its error's variant count.",
            "struct Abi {",
            "  static RustBuffer from_bytes(ForeignBytes bytes, RustCallStatus* status) {",
            f"    return ffi_{ns}_rustbuffer_from_bytes(bytes, status);", "  }",
            f"  static void free(RustBuffer buf, RustCallStatus* status) {{ ffi_{ns}_rustbuffer_free(buf, status); }}",
            f"  static constexpr int32_t error_variants = {variants};", "};", "", "}  // namespace detail", ""]


def emit(iface: Interface) -> str:
    ns = iface.namespace
    base = iface.base is not None
    out = spdx_header("//").rstrip("\n").split("\n")
    if base:
        out += [f"// C++23 layer over the {ns} C interface, generated like {iface.base.namespace}.hpp, whose",
                "// records, Error and Result it shares.",
                "//",
                "// Generated by tools/bindgen from the interface description embedded in the library. Do not",
                "// edit: rebuild the library, then run `make bindings`.",
                "#pragma once", "",
                "#if !defined(__cplusplus) || __cplusplus <= 202002L",
                f'#error "{ns}.hpp needs C++23 (std::expected): compile with -std=c++23, or link the CMake target '
                f'{ns}::{ns}, which requires cxx_std_23"',
                "#endif", "",
                f'#include "{iface.base.namespace}.hpp"',
                f'#include "{ns}.h"', ""]
    else:
        with open(PRELUDE, encoding="utf-8") as fh:
            prelude = fh.read().rstrip("\n")
        prelude = prelude.replace("// ERROR_KINDS", "\n".join(_error_kinds(load_error_kinds())))
        out += prelude.split("\n")
    out += ["", f"namespace {ns} {{", ""]
    if base:
        out += [f"using ::{PRELUDE_NAMESPACE}::Error;", f"using ::{PRELUDE_NAMESPACE}::ErrorKind;",
                f"using ::{PRELUDE_NAMESPACE}::error_kind;", f"using ::{PRELUDE_NAMESPACE}::kind_name;",
                "template <class T>", f"using Result = ::{PRELUDE_NAMESPACE}::Result<T>;", ""]
        if iface.shared_records:
            out.append(f"// Records described identically by {iface.base.namespace}: the same types.")
            out += [f"using ::{iface.base.namespace}::{name};" for name in sorted(iface.shared_records)]
            out += [f"using ::{iface.base.namespace}::visit_fields;", ""]
    out += [f"inline uint32_t contract_version() noexcept {{ return ffi_{ns}_uniffi_contract_version(); }}", ""]
    for e in iface.enums:
        out += _enum(e)
    for e in iface.errors:
        out += _enum(e)
    own = records_in_dependency_order(iface.own_records)
    for r in own:
        out += _record(r)
    out += _abi(iface)
    out += [f"}}  // namespace {ns}", "", f"namespace {PRELUDE_NAMESPACE}::detail {{", ""]
    for e in iface.enums:
        out += ["template <>", f"struct EnumTraits<::{ns}::{e.name}> {{",
                f"  static constexpr int32_t count = {len(e.variants)};", "};", ""]
    for r in own:
        out += _record_codec(r, iface)
    out += [f"}}  // namespace {PRELUDE_NAMESPACE}::detail", "", f"namespace {ns} {{", ""]
    for r in own:
        out += [f"// Calls f(name, value) for each field of a {r.name}, in encoding order.",
                "template <class F>", f"void visit_fields(const {r.name}& v, F&& f) {{"]
        out += [f'  f("{fl.name}", v.{ident(fl.name)});' for fl in r.fields]
        out += ["}", ""]
    errors = {e.name: e for e in iface.errors}
    for f in iface.functions:
        out += _function(iface, f, errors[f.error])
    out += [f"}}  // namespace {ns}", "",
            "// Every function of the interface, for code that visits them all: X(name).",
            f"#define {ns.upper()}_FUNCTIONS(X) \\"]
    out += [f"  X({f.name}) \\" for f in iface.functions]
    out.append("")
    return "\n".join(out) + "\n"
