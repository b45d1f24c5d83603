// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A version-1 key-history entry and its canonical bytes:
//   u32 1 | u64 seq | u64 ts_ms | lp32 enc_x25519 | lp32 enc_pq | lp32 signing_pub | lp32 prev_entry_hash
// (big-endian, lp32 = 4-byte length then the bytes; an absent previous hash is length 0).
#include <cstdint>
#include <optional>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::leaf {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash32;
using quorvantile_crypto::Hash64;

// The entry borrows its byte fields from the caller.
struct Entry {
  uint64_t seq = 0;
  uint64_t ts_ms = 0;
  ByteView enc_x25519;
  ByteView enc_pq;
  ByteView signing_pub;
  std::optional<ByteView> prev_entry_hash;  // absent for the first entry of a chain

  // Fails (MalformedLeaf) only when the previous hash is present but empty.
  Result<Bytes> canonical_bytes() const;
  // SHA3-512 with the context text (used unchanged) over the canonical bytes.
  Result<Hash64> entry_hash_with_context(std::string_view context) const;
  // SHA-256(0x00 || canonical bytes), the RFC 6962 leaf hash.
  Result<Hash32> rfc6962_leaf_hash() const;
};

}  // namespace quorvantile_log::leaf
