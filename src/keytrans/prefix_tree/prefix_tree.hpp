// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The prefix tree: node hashing, and the root recomputed from a search's copath.
#include <span>

#include "keytrans/tls/proof.hpp"
#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::keytrans::prefix_tree {

// Bit i of a 256-bit search key, most significant bit of byte 0 first.
inline bool key_bit(const Hash32& key, std::size_t i) { return ((key[i / 8] >> (7 - i % 8)) & 1) != 0; }

// One digest context for every node hash of a call.
class Hasher {
 public:
  // SHA-256(0x01 || vrf_output || commitment).
  Hash32 leaf(const Hash32& vrf_output, ByteView commitment);
  // SHA-256(0x02 || left || right).
  Hash32 parent(const Hash32& left, const Hash32& right);

 private:
  quorvantile_crypto::Sha256 sha_;
  std::array<uint8_t, 65> block_{0x02};
};

// Climbs from `start` at depth n to the root; elements[0] is the sibling nearest the root. The
// caller has checked the length (at most 256) with check_depth.
Hash32 recompute_root(Hasher& hasher, const Hash32& key, const Hash32& start, std::span<const Hash32> elements);

// The depth byte must match the copath length: n for inclusion and nonInclusionLeaf, n - 1 for
// nonInclusionParent (0 when there is no element).
Result<void> check_depth(const PrefixProof& proof);

}  // namespace quorvantile_log::keytrans::prefix_tree
