// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Hashing of one namespace's 256-level sparse Merkle tree, built afresh for each verification:
// the leaf and node contexts, the 257 empty-subtree hashes, and the present-leaf prefix byte.
#include <array>
#include <memory>
#include <string>

#include "coniks/auth_path.hpp"
#include "coniks/namespace.hpp"
#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/context_hash.hpp"

namespace quorvantile_log::coniks {

using quorvantile_crypto::Hash64;
using Index = std::array<uint8_t, 32>;

inline constexpr uint8_t kLeafPrefix = 0x03;

// Bit i of the index, most significant bit first; 1 goes right.
inline unsigned index_bit(const Index& index, std::size_t i) { return (index[i / 8] >> (7 - i % 8)) & 1u; }

class TreeHasher {
 public:
  explicit TreeHasher(const Namespace& ns);

  // E[d]: the root of an empty subtree whose top is at depth d (E[256] is the empty leaf).
  const Hash64& empty(std::size_t depth) const { return (*empty_)[depth]; }

  // Context-bound SHA3-512 of left || right under the node context.
  Hash64 node_hash(const uint8_t* left, const uint8_t* right);
  // Context-bound SHA3-512 of 0x03 || index || commitment under the leaf context.
  Hash64 leaf_hash(const Index& index, const Hash64& commitment);
  // Folds the leaf up the path to the root; absent siblings are the empty hashes.
  Hash64 recompute_root(const Hash64& leaf, const Index& index, const AuthPath& path);

  // The digest context all of this call's hashes reuse.
  quorvantile_crypto::ContextHash& digest_context() { return hash_; }

 private:
  std::string leaf_context_;
  std::string node_context_;
  std::unique_ptr<std::array<Hash64, kDepth + 1>> empty_;
  quorvantile_crypto::ContextHash hash_;
};

}  // namespace quorvantile_log::coniks
