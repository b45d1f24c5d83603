// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/tree_hasher.hpp"

namespace quorvantile_log::coniks {

using quorvantile_crypto::as_bytes;
using quorvantile_crypto::ByteView;

TreeHasher::TreeHasher(const Namespace& ns)
    : leaf_context_(ns.text() + "/coniks-leaf/v1"),
      node_context_(ns.text() + "/coniks-node/v1"),
      empty_(std::make_unique<std::array<Hash64, kDepth + 1>>()) {
  auto& e = *empty_;
  hash_.digest_into(as_bytes(ns.text() + "/coniks-empty/v1"), {}, e[kDepth]);
  for (std::size_t d = kDepth; d-- > 0;) e[d] = node_hash(e[d + 1].data(), e[d + 1].data());
}

Hash64 TreeHasher::node_hash(const uint8_t* left, const uint8_t* right) {
  Hash64 out;
  hash_.digest_into(as_bytes(node_context_), {ByteView(left, kHashSize), ByteView(right, kHashSize)}, out);
  return out;
}

Hash64 TreeHasher::leaf_hash(const Index& index, const Hash64& commitment) {
  const uint8_t prefix[1] = {kLeafPrefix};
  Hash64 out;
  hash_.digest_into(as_bytes(leaf_context_), {prefix, index, commitment}, out);
  return out;
}

Hash64 TreeHasher::recompute_root(const Hash64& leaf, const Index& index, const AuthPath& path) {
  Hash64 cur = leaf;
  for (std::size_t n = kDepth; n-- > 0;) {
    const uint8_t* s = path.siblings[n] != nullptr ? path.siblings[n] : empty(n + 1).data();
    cur = index_bit(index, n) ? node_hash(s, cur.data()) : node_hash(cur.data(), s);
  }
  return cur;
}

}  // namespace quorvantile_log::coniks
