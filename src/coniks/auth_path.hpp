// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The authentication path of a directory proof: a 32-byte bitmap (bit i, most significant bit
// first, marks sibling i present) followed by the present 64-byte siblings in increasing i.
#include <array>
#include <cstddef>
#include <cstdint>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::coniks {

inline constexpr std::size_t kDepth = 256;
inline constexpr std::size_t kHashSize = 64;
inline constexpr std::size_t kBitmapSize = 32;

struct AuthPath {
  // Slot i points at sibling i (the node beside the path at depth i + 1) inside the parsed bytes,
  // or is null when the sibling is the empty hash of its depth. The path borrows those bytes.
  std::array<const uint8_t*, kDepth> siblings{};

  struct Parsed;
  // Reads the bitmap and the siblings it announces; bytes after them are left to the caller.
  static Result<Parsed> parse(quorvantile_crypto::ByteView bytes);
};

struct AuthPath::Parsed {
  AuthPath path;
  std::size_t consumed;
};

}  // namespace quorvantile_log::coniks
