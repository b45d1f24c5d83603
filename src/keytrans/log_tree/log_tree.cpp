// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/log_tree/log_tree.hpp"

#include <algorithm>
#include <bit>
#include <cstring>
#include "keytrans/tls/text.hpp"

namespace quorvantile_log::keytrans::log_tree {
namespace {

Error missing_elements() { return Error::malformed_keytrans("batch proof is missing expected element(s)"); }

// The largest power of two strictly below n (n >= 2).
uint64_t split_point(uint64_t n) { return std::bit_floor(n - 1); }

bool has_known(std::span<const KnownLeaf> known, uint64_t lo, uint64_t hi) {
  auto it = std::lower_bound(known.begin(), known.end(), lo, [](const KnownLeaf& k, uint64_t i) { return k.index < i; });
  return it != known.end() && it->index < hi;
}

// A range with no known leaf: its full subtrees, largest first, one element each, combined from
// the right.
Result<LogNode> resolve_unknown(Hasher& hasher, uint64_t size, Elements& elements) {
  std::array<LogNode, 64> nodes;
  std::size_t count = 0;
  while (size > 0) {
    const uint64_t p = std::bit_floor(size);
    const Hash32* e = elements.next();
    if (e == nullptr) return std::unexpected(missing_elements());
    nodes[count++] = LogNode{p != 1, *e};
    size -= p;
  }
  LogNode result = nodes[count - 1];
  for (std::size_t i = count - 1; i-- > 0;) result = hasher.parent(nodes[i], result);
  return result;
}

}  // namespace

LogNode Hasher::parent(const LogNode& left, const LogNode& right) {
  block_[0] = left.parent ? 0x01 : 0x00;
  std::memcpy(block_.data() + 1, left.value.data(), kHashSize);
  block_[33] = right.parent ? 0x01 : 0x00;
  std::memcpy(block_.data() + 34, right.value.data(), kHashSize);
  return LogNode{true, sha_.digest({block_})};
}

Hash32 Hasher::entry_leaf(uint64_t timestamp, const Hash32& prefix_root) {
  std::array<uint8_t, 8> ts;
  for (std::size_t i = 0; i < 8; ++i) ts[i] = static_cast<uint8_t>(timestamp >> (56 - 8 * i));
  return sha_.digest({ts, prefix_root});
}

Result<LogNode> resolve(Hasher& hasher, uint64_t lo, uint64_t hi, std::span<const KnownLeaf> known, Elements& elements) {
  if (!has_known(known, lo, hi)) return resolve_unknown(hasher, hi - lo, elements);
  if (hi - lo == 1) {
    auto it = std::lower_bound(known.begin(), known.end(), lo, [](const KnownLeaf& k, uint64_t i) { return k.index < i; });
    return LogNode{false, it->value};
  }
  const uint64_t k = split_point(hi - lo);
  auto left = resolve(hasher, lo, lo + k, known, elements);
  if (!left) return left;
  auto right = resolve(hasher, lo + k, hi, known, elements);
  if (!right) return right;
  return hasher.parent(*left, *right);
}

Result<void> check_combined_root(const Hash32& expected_root, const ProofHead& head) {
  Hasher hasher;
  const KnownLeaf leaf{head.entry_index, hasher.entry_leaf(head.timestamp, head.prefix_root)};
  if (head.tree_size == 0)
    return std::unexpected(Error::malformed_keytrans("cannot verify a batch proof against an empty log"));
  if (head.entry_index >= head.tree_size)
    return std::unexpected(malformed("proved leaf index ", head.entry_index, " is beyond tree size ", head.tree_size));
  Elements elements(head.log_inclusion);
  auto root = resolve(hasher, 0, head.tree_size, std::span(&leaf, 1), elements);
  if (!root) return std::unexpected(std::move(root.error()));
  if (!elements.exhausted())
    return std::unexpected(Error::malformed_keytrans("batch proof has unused trailing elements"));
  if (root->value != expected_root) return std::unexpected(Error::keytrans_root_mismatch());
  return {};
}

Result<void> check_latest_entry(const ProofHead& head) {
  const uint64_t latest = head.tree_size - 1;
  if (head.entry_index != latest)
    return std::unexpected(malformed("proof is about log entry ", head.entry_index, ", not the latest entry ", latest));
  return {};
}

Result<Hash32> root_array(ByteView root) {
  if (root.size() != kHashSize)
    return std::unexpected(
        malformed("combined root must be ", kHashSize, " bytes, got ", root.size()));
  Hash32 out;
  std::memcpy(out.data(), root.data(), kHashSize);
  return out;
}

}  // namespace quorvantile_log::keytrans::log_tree
