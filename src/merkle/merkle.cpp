// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "merkle/merkle.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "quorvantile_crypto/hash.hpp"

namespace quorvantile_log::merkle {
namespace {

constexpr std::size_t kHashSize = 32;
constexpr std::size_t kMaxProof = 128;  // two chains of at most 64 hashes each

constexpr uint8_t kLeafPrefix[1] = {0x00};
constexpr uint8_t kNodePrefix[1] = {0x01};

// Proof hashes copied once into fixed arrays after validation.
struct Path {
  std::array<Hash32, kMaxProof> hashes;
  std::size_t size = 0;
};

// Fills `path` from proof[start..]; the first element of the wrong length is reported.
Result<void> load(std::span<const ByteView> proof, std::size_t start, Path& path) {
  for (std::size_t i = start; i < proof.size(); ++i) {
    if (proof[i].size() != kHashSize) return std::unexpected(Error::invalid_hash_length(proof[i].size(), kHashSize));
  }
  path.size = proof.size() - start;
  for (std::size_t i = 0; i < path.size; ++i) std::memcpy(path.hashes[i].data(), proof[start + i].data(), kHashSize);
  return {};
}

// Number of significant bits of x (0 for 0, up to 64).
unsigned bit_length(uint64_t x) { return static_cast<unsigned>(64 - std::countl_zero(x)); }

// One digest context for the whole call; each node is hashed from one contiguous 65-byte block
// (a single update costs measurably less than three).
struct Hasher {
  quorvantile_crypto::Sha256 sha;
  std::array<uint8_t, 65> block{0x01};
  Hash32 node(const Hash32& left, const Hash32& right) {
    std::memcpy(block.data() + 1, left.data(), kHashSize);
    std::memcpy(block.data() + 33, right.data(), kHashSize);
    return sha.digest({block});
  }
};

Hash32 chain_inner(Hasher& h, Hash32 seed, const Hash32* p, std::size_t count, uint64_t index) {
  for (std::size_t i = 0; i < count; ++i) seed = ((index >> i) & 1) == 0 ? h.node(seed, p[i]) : h.node(p[i], seed);
  return seed;
}

Hash32 chain_inner_right(Hasher& h, Hash32 seed, const Hash32* p, std::size_t count, uint64_t index) {
  for (std::size_t i = 0; i < count; ++i)
    if (((index >> i) & 1) == 1) seed = h.node(p[i], seed);
  return seed;
}

Hash32 chain_border_right(Hasher& h, Hash32 seed, const Hash32* p, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) seed = h.node(p[i], seed);
  return seed;
}

bool equal(const Hash32& a, ByteView b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

Hash32 to_hash(ByteView b) {
  Hash32 out;
  std::memcpy(out.data(), b.data(), kHashSize);
  return out;
}

}  // namespace

Hash32 hash_leaf(ByteView data) { return quorvantile_crypto::Sha256().digest({kLeafPrefix, data}); }

Hash32 hash_node(const Hash32& left, const Hash32& right) {
  return quorvantile_crypto::Sha256().digest({kNodePrefix, left, right});
}

Result<void> verify_inclusion(uint64_t index, uint64_t size, ByteView leaf_hash, std::span<const ByteView> proof,
                              ByteView root) {
  if (root.size() != kHashSize) return std::unexpected(Error::invalid_hash_length(root.size(), kHashSize));
  if (index >= size) return std::unexpected(Error::leaf_index_beyond_size(index, size));
  if (leaf_hash.size() != kHashSize) return std::unexpected(Error::invalid_hash_length(leaf_hash.size(), kHashSize));
  const unsigned inner = bit_length(index ^ (size - 1));
  const unsigned border = inner >= 64 ? 0 : static_cast<unsigned>(std::popcount(index >> inner));
  if (proof.size() != inner + border) return std::unexpected(Error::wrong_proof_size(proof.size(), inner + border));
  Path path;
  if (auto ok = load(proof, 0, path); !ok) return ok;

  Hasher h;
  Hash32 r = chain_inner(h, to_hash(leaf_hash), path.hashes.data(), inner, index);
  r = chain_border_right(h, r, path.hashes.data() + inner, border);
  if (!equal(r, root)) return std::unexpected(Error::root_mismatch());
  return {};
}

Result<void> verify_consistency(uint64_t size1, uint64_t size2, std::span<const ByteView> proof, ByteView root1,
                                ByteView root2) {
  if (root2.size() != kHashSize) return std::unexpected(Error::invalid_hash_length(root2.size(), kHashSize));
  if (size2 < size1) return std::unexpected(Error::tree_size_regression(size1, size2));
  if (size1 == 0) return std::unexpected(Error::empty_tree_consistency());
  if (root1.size() != kHashSize) return std::unexpected(Error::invalid_hash_length(root1.size(), kHashSize));
  if (size1 == size2) {
    if (!proof.empty()) return std::unexpected(Error::non_empty_equal_size_proof());
    if (!std::equal(root1.begin(), root1.end(), root2.begin(), root2.end()))
      return std::unexpected(Error::root_mismatch());
    return {};
  }
  if (proof.empty()) return std::unexpected(Error::wrong_proof_size(0, 1));

  const unsigned shift = static_cast<unsigned>(std::countr_zero(size1));
  unsigned inner = bit_length((size1 - 1) ^ (size2 - 1));
  const unsigned border = inner >= 64 ? 0 : static_cast<unsigned>(std::popcount((size1 - 1) >> inner));
  inner -= shift;

  Hash32 seed;
  std::size_t start = 0;
  if (size1 == (uint64_t{1} << shift)) {
    seed = to_hash(root1);
  } else {
    if (proof[0].size() != kHashSize) return std::unexpected(Error::invalid_hash_length(proof[0].size(), kHashSize));
    seed = to_hash(proof[0]);
    start = 1;
  }
  const std::size_t want = start + inner + border;
  if (proof.size() != want) return std::unexpected(Error::wrong_proof_size(proof.size(), want));
  Path path;
  if (auto ok = load(proof, start, path); !ok) return ok;

  const uint64_t mask = (size1 - 1) >> shift;
  const Hash32* inner_part = path.hashes.data();
  const Hash32* border_part = path.hashes.data() + inner;
  Hasher h;
  Hash32 h1 = chain_inner_right(h, seed, inner_part, inner, mask);
  h1 = chain_border_right(h, h1, border_part, border);
  if (!equal(h1, root1)) return std::unexpected(Error::root_mismatch());
  Hash32 h2 = chain_inner(h, seed, inner_part, inner, mask);
  h2 = chain_border_right(h, h2, border_part, border);
  if (!equal(h2, root2)) return std::unexpected(Error::root_mismatch());
  return {};
}

}  // namespace quorvantile_log::merkle
