// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The log tree over (timestamp, prefix root) entries: node hashing, batch resolution of a subtree
// from known leaves and proof elements, and the combined-root check of a proof head.
#include <span>

#include "keytrans/tls/proof.hpp"
#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::keytrans::log_tree {

struct LogNode {
  bool parent = false;  // enters the parent hash as 0x01, a leaf as 0x00
  Hash32 value{};
};

struct KnownLeaf {
  uint64_t index = 0;
  Hash32 value{};
};

// Proof elements consumed strictly in order.
class Elements {
 public:
  explicit Elements(std::span<const Hash32> elements) : elements_(elements) {}
  const Hash32* next() { return used_ < elements_.size() ? &elements_[used_++] : nullptr; }
  bool exhausted() const { return used_ == elements_.size(); }

 private:
  std::span<const Hash32> elements_;
  std::size_t used_ = 0;
};

class Hasher {
 public:
  // SHA-256(k(left) || left.value || k(right) || right.value); the result is a parent.
  LogNode parent(const LogNode& left, const LogNode& right);
  // SHA-256(timestamp as u64 big-endian || prefix_root).
  Hash32 entry_leaf(uint64_t timestamp, const Hash32& prefix_root);

 private:
  quorvantile_crypto::Sha256 sha_;
  std::array<uint8_t, 66> block_{};
};

// The node over entries [lo, hi), lo < hi. `known` is sorted by index, strictly ascending. Each
// recursion at least halves the range, so the depth stays below 65 whatever the input.
Result<LogNode> resolve(Hasher& hasher, uint64_t lo, uint64_t hi, std::span<const KnownLeaf> known, Elements& elements);

// The head's entry under the expected combined root.
Result<void> check_combined_root(const Hash32& expected_root, const ProofHead& head);

// Search and fixed-version answers state a label's current value, which only the log's latest
// entry holds: an older entry would report the state from before later updates as current.
// Monitoring looks at past entries on purpose and does not call this.
Result<void> check_latest_entry(const ProofHead& head);

// The combined-root argument as a 32-byte array.
Result<Hash32> root_array(ByteView root);

}  // namespace quorvantile_log::keytrans::log_tree
