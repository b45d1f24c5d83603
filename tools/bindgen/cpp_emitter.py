# SPDX-FileCopyrightText: 2026 The quorvantile_log authors
# SPDX-License-Identifier: Apache-2.0

"""Writes the header-only C++ layer of an interface: a fixed prelude, then the generated items."""
from __future__ import annotations

import os
from typing import List

from description import Enumeration, Function, Interface, Record, Type

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
_INTS = {"u8": "uint8_t", "u16": "uint16_t", "u32": "uint32_t", "u64": "uint64_t"}


def ident(name: str) -> str:
    return name + "_" if name in CPP_KEYWORDS else name


def tag(t: Type) -> str:
    kind = t[0]
    if kind in _INTS:
        return f"detail::{kind.upper()}"
    if kind == "bool":
        return "detail::Bool"
    if kind == "string":
        return "detail::String"
    if t == ("sequence", ("u8",)):
        return "detail::Bytes"
    if kind == "sequence":
        return f"detail::Sequence<{tag(t[1])}>"
    if kind == "optional":
        return f"detail::Optional<{tag(t[1])}>"
    return f"detail::{'Enum' if kind == 'enum' else 'Record'}<{t[1]}>"


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
    return [f"{indent}// {line}".rstrip() for line in text.split("\n")] if text else []


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


def _record_codec(r: Record) -> List[str]:
    out = ["template <>", f"struct RecordCodec<{r.name}> {{",
           f"  static bool write(Writer& w, const {r.name}& v) {{"]
    if r.fields:
        out.append("    return " + "\n        && ".join(
            f"put<{tag(f.type).replace('detail::', '')}>(w, v.{ident(f.name)})" for f in r.fields) + ";")
    else:
        out.append("    return true;")
    out += ["  }", f"  static {r.name} read(Reader& r) {{", f"    {r.name} v;"]
    out += [f"    v.{ident(f.name)} = {tag(f.type).replace('detail::', '')}::read(r);" for f in r.fields]
    return out + ["    return v;", "  }", "};", ""]


def _function(iface: Interface, f: Function) -> List[str]:
    params = ", ".join(f"{arg_type(a.type)} {ident(a.name)}" for a in f.arguments)
    result = "void" if f.result is None else value_type(f.result)
    out = comment(f.doc) + [f"inline Result<{result}> {f.name}({params}) {{"]
    names = []
    for i, a in enumerate(f.arguments):
        out.append(f"  detail::Lowered<{tag(a.type)}> a{i}({ident(a.name)});")
        names.append(f"a{i}")
    if names:
        out.append(f"  if (auto failure = detail::first_failure({', '.join(names)})) "
                   "return std::unexpected(std::move(*failure));")
    out.append("  RustCallStatus status{};")
    call = f"uniffi_{iface.namespace}_fn_func_{f.name}({''.join(n + '.take(), ' for n in names)}&status)"
    if f.result is None:
        out += [f"  {call};", "  return detail::finish(status);"]
    else:
        out += [f"  auto returned = {call};", f"  return detail::finish<{tag(f.result)}>(status, returned);"]
    return out + ["}", ""]


def emit(iface: Interface) -> str:
    with open(PRELUDE, encoding="utf-8") as fh:
        out = fh.read().rstrip("\n").split("\n")
    out += ["", f"namespace {iface.namespace} {{", ""]
    for e in iface.enums:
        out += _enum(e)
    for r in iface.records:
        out += _record(r)
    out += ["namespace detail {", ""]
    for e in iface.enums:
        out += ["template <>", f"struct EnumTraits<{e.name}> {{",
                f"  static constexpr int32_t count = {len(e.variants)};", "};", ""]
    for r in iface.records:
        out += _record_codec(r)
    out += ["}  // namespace detail", ""]
    for r in iface.records:
        out += [f"// Calls f(name, value) for each field of a {r.name}, in encoding order.",
                "template <class F>", f"void visit_fields(const {r.name}& v, F&& f) {{"]
        out += [f'  f("{fl.name}", v.{ident(fl.name)});' for fl in r.fields]
        out += ["}", ""]
    for f in iface.functions:
        out += _function(iface, f)
    out += [f"}}  // namespace {iface.namespace}", "",
            "// Every function of the interface, for code that visits them all: X(name).",
            "#define QUORVANTILE_LOG_FUNCTIONS(X) \\"]
    out += [f"  X({f.name}) \\" for f in iface.functions]
    out.append("")
    return "\n".join(out) + "\n"
