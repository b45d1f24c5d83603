// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Builders of the description records other than functions (records, enumerations and errors,
// the namespace record) and the macro that exports one as a data object whose symbol size is its
// length. Each builder takes the namespace, so every component describes its items the same way.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "ffi/abi.hpp"
#include "ffi/meta.hpp"

namespace quorvantile_log::ffi::meta {

struct Field {
  std::string_view name;
  Buf type;
  std::string_view doc;
};

struct Variant {
  std::string_view name;
  std::string_view doc;
};

// kind 0x02, path, name, 0x00, field count, fields (name, 0x00, type, 0x00, doc), doc.
template <class Ns>
constexpr Buf record(std::string_view name, std::initializer_list<Field> fields, std::string_view doc) {
  Buf b;
  b.byte(0x02).short_string(Ns::module_path).short_string(name).byte(0x00).byte(static_cast<uint8_t>(fields.size()));
  for (const Field& f : fields) b.short_string(f.name).byte(0x00).raw(f.type).byte(0x00).doc(f.doc);
  return b.doc(doc);
}

// kind 0x03, path, name, 0x00, shape, discriminant flag 0, variant count, variants, non-exhaustive
// flag 0, doc. Shape 0 variants end in three zero bytes, shape 2 (error) variants in one.
template <class Ns>
constexpr Buf enumeration(std::string_view name, uint8_t shape, std::initializer_list<Variant> variants,
                          std::string_view doc) {
  Buf b;
  b.byte(0x03).short_string(Ns::module_path).short_string(name).byte(0x00).byte(shape).byte(0x00);
  b.byte(static_cast<uint8_t>(variants.size()));
  for (const Variant& v : variants) {
    b.short_string(v.name);
    if (shape == 0) b.byte(0x00).byte(0x00).byte(0x00);
    else b.byte(0x00);
    b.doc(v.doc);
  }
  return b.byte(0x00).doc(doc);
}

// The namespace's one error: shape 2 with the single variant `Verification`, whose message is
// the rendered failure.
template <class Ns>
constexpr Buf error_enumeration(std::string_view variant_doc, std::string_view doc) {
  return enumeration<Ns>(Ns::error_name, 2, {{"Verification", variant_doc}}, doc);
}

// kind 0x06, the library name, the namespace name.
template <class Ns>
constexpr Buf namespace_record() {
  return Buf{}.byte(0x06).short_string(Ns::name).short_string(Ns::name);
}

// Record types shared by more than one namespace, described once; each namespace writes them
// under its own module path.
template <class Ns>
constexpr Buf checkpoint_head_record() {
  return record<Ns>(
      "CheckpointHead",
      {{"origin", type(kString), "The log's origin line."},
       {"size", type(kU64), "The tree size: the number of leaves."},
       {"root", sequence_of(type(kU8)), "The 32-byte RFC 6962 root hash."},
       {"extensions", sequence_of(type(kString)), "The extension lines after the root hash, in order."}},
      "The head of a transparency log as stated by a checkpoint body.");
}

}  // namespace quorvantile_log::ffi::meta

// Exports the record `buf` (a constexpr meta::Buf) as the read-only data object SYMBOL.
#define QV_DESCRIPTION(SYMBOL, buf)                            \
  extern "C" QV_API const std::array<uint8_t, buf.len> SYMBOL; \
  const std::array<uint8_t, buf.len> SYMBOL = ::quorvantile_log::ffi::meta::to_array<buf.len>(buf);
