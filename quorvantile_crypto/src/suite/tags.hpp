// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The version-tag table of framed signatures and keys: scheme, level and exact total lengths
// (tag byte included) for every known tag.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "quorvantile_crypto/sign.hpp"
#include "suite/component_sizes.hpp"

namespace quorvantile_crypto::tags {

inline constexpr uint8_t kHybridCat2 = 0x01;
inline constexpr uint8_t kHybridCat3 = 0x02;
inline constexpr uint8_t kHybridCat5 = 0x03;
inline constexpr uint8_t kPureMlDsa87 = 0x10;
inline constexpr uint8_t kEd448MlDsa65 = 0x13;
inline constexpr uint8_t kP521MlDsa87 = 0x14;

// Totals are derived from the components, so the slicing of a value that has the tag's total
// length always stays inside it.
struct TagInfo {
  uint8_t tag;
  Suite suite;
  SignatureLevel level;
  sizes::Component classical;  // kNone for pure ML-DSA
  sizes::Component lattice;
  std::size_t public_key_total = sizes::tagged(classical, lattice).public_key;
  std::size_t signature_total = sizes::tagged(classical, lattice).signature;
};

// The entry for a known tag, none for every other byte.
std::optional<TagInfo> lookup(uint8_t tag);

// 0x10, 0x13 and 0x14: tags that name a whole scheme rather than an Ed25519 + ML-DSA level.
bool is_suite_tag(uint8_t tag);

// Totals for the Ed25519 + ML-DSA level tags.
TagInfo level_info(SignatureLevel level);

}  // namespace quorvantile_crypto::tags
