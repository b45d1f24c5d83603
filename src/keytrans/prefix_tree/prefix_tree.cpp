// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/prefix_tree/prefix_tree.hpp"

#include <cstring>
#include "keytrans/tls/text.hpp"

namespace quorvantile_log::keytrans::prefix_tree {

Hash32 Hasher::leaf(const Hash32& vrf_output, ByteView commitment) {
  static constexpr uint8_t kLeafPrefix[1] = {0x01};
  return sha_.digest({kLeafPrefix, vrf_output, commitment});
}

Hash32 Hasher::parent(const Hash32& left, const Hash32& right) {
  std::memcpy(block_.data() + 1, left.data(), kHashSize);
  std::memcpy(block_.data() + 1 + kHashSize, right.data(), kHashSize);
  return sha_.digest({block_});
}

Hash32 recompute_root(Hasher& hasher, const Hash32& key, const Hash32& start, std::span<const Hash32> elements) {
  Hash32 current = start;
  for (std::size_t d = elements.size(); d-- > 0;) {
    current = key_bit(key, d) ? hasher.parent(elements[d], current) : hasher.parent(current, elements[d]);
  }
  return current;
}

Result<void> check_depth(const PrefixProof& proof) {
  const std::size_t n = proof.elements.size();
  std::size_t expected = n;
  if (proof.result.result_type == PrefixResultType::NonInclusionParent) expected = n == 0 ? 0 : n - 1;
  if (proof.result.depth != expected)
    return std::unexpected(malformed("prefix proof depth ", proof.result.depth, " inconsistent with copath length ", n));
  return {};
}

}  // namespace quorvantile_log::keytrans::prefix_tree
