// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A test-side CONIKS directory written from the tree and proof formats: a 256-level sparse Merkle
// tree whose leaf positions are ECVRF outputs, hashed with OpenSSL directly (sha3_reference.hpp),
// and the presence and absence proofs it serves.
#include <algorithm>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "sha3_reference.hpp"
#include "vrf/vrf.hpp"

namespace qv_test::coniks {

using ref::Bytes;
using ref::cat;
using ref::Hash64;
using Index = std::array<uint8_t, 32>;

inline bool bit(const Index& index, std::size_t i) { return (index[i / 8] >> (7 - i % 8)) & 1; }

class Directory {
 public:
  struct Entry {
    Bytes identity;
    Bytes value;
    Bytes opening;
  };

  Directory(std::string ns, Bytes vrf_secret) : ns_(std::move(ns)), secret_(std::move(vrf_secret)) {
    public_ = *vrf_.derive_public_key(secret_);
    empty_[256] = ref::sha3_ctx(ns_ + "/coniks-empty/v1", {});
    for (std::size_t d = 256; d-- > 0;) empty_[d] = node(empty_[d + 1], empty_[d + 1]);
  }

  void add(Entry e) {
    const Index index = index_of(e.identity);
    const Hash64 commitment = ref::sha3_ctx(ns_ + "/coniks-commitment/v1", cat({e.opening, e.value}));
    leaves_[index] = ref::sha3_ctx(ns_ + "/coniks-leaf/v1", cat({Bytes{0x03}, Bytes(index.begin(), index.end()),
                                                                   Bytes(commitment.begin(), commitment.end())}));
    entries_[index] = std::move(e);
  }

  const Bytes& vrf_public() const { return public_; }
  const Hash64& empty(std::size_t depth) const { return empty_[depth]; }
  Bytes root() const {
    const Hash64 r = subtree(0, Index{});
    return Bytes(r.begin(), r.end());
  }

  Bytes alpha(const Bytes& identity) const {
    return cat({ref::u32be(static_cast<uint32_t>(ns_.size())), ref::text(ns_), identity});
  }
  Bytes vrf_proof(const Bytes& identity) const { return *vrf_.prove(secret_, alpha(identity)); }
  Index index_of(const Bytes& identity) const {
    const auto out = *vrf_.proof_to_output(vrf_proof(identity));
    Index index;
    std::copy_n(out.begin(), 32, index.begin());
    return index;
  }

  // The compressed path of the identity's leaf: siblings equal to the empty hash of their depth
  // are left out unless listed in `keep_empty`.
  Bytes auth_path(const Bytes& identity, const std::vector<std::size_t>& keep_empty = {}) const {
    const Index index = index_of(identity);
    Bytes bitmap(32, 0), siblings;
    for (std::size_t i = 0; i < 256; ++i) {
      Index prefix = masked(index, i + 1);
      prefix[i / 8] ^= static_cast<uint8_t>(0x80 >> (i % 8));  // the other side at this level
      const Hash64 s = subtree(i + 1, prefix);
      if (s == empty_[i + 1] && std::ranges::find(keep_empty, i) == keep_empty.end()) continue;
      bitmap[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
      siblings.insert(siblings.end(), s.begin(), s.end());
    }
    return cat({bitmap, siblings});
  }

  Bytes lookup_proof(const Bytes& identity) const {
    const Entry& e = entries_.at(index_of(identity));
    const Bytes vrf = vrf_proof(identity);
    return cat({Bytes{0x01}, ref::u32be(static_cast<uint32_t>(vrf.size())), vrf,
                ref::u32be(static_cast<uint32_t>(e.value.size())), e.value, e.opening, auth_path(identity)});
  }

  Bytes absence_proof(const Bytes& identity) const {
    const Bytes vrf = vrf_proof(identity);
    return cat({Bytes{0x00}, ref::u32be(static_cast<uint32_t>(vrf.size())), vrf, auth_path(identity)});
  }

 private:
  Hash64 node(const Hash64& l, const Hash64& r) const {
    return ref::sha3_ctx(ns_ + "/coniks-node/v1", cat({Bytes(l.begin(), l.end()), Bytes(r.begin(), r.end())}));
  }

  static Index masked(Index index, std::size_t bits) {
    for (std::size_t i = bits; i < 256; ++i) index[i / 8] &= static_cast<uint8_t>(~(0x80 >> (i % 8)));
    return index;
  }

  // The hash of the subtree at `depth` whose leaves share the first `depth` bits of `prefix`.
  Hash64 subtree(std::size_t depth, const Index& prefix) const {
    Index hi = prefix;
    for (std::size_t i = depth; i < 256; ++i) hi[i / 8] |= static_cast<uint8_t>(0x80 >> (i % 8));
    const auto first = leaves_.lower_bound(prefix);
    if (first == leaves_.end() || first->first > hi) return empty_[depth];
    if (depth == 256) return first->second;
    Index right = prefix;
    right[depth / 8] |= static_cast<uint8_t>(0x80 >> (depth % 8));
    return node(subtree(depth + 1, prefix), subtree(depth + 1, right));
  }

  std::string ns_;
  Bytes secret_;
  Bytes public_;
  quorvantile_log::vrf::Ecvrf vrf_;
  std::array<Hash64, 257> empty_;
  std::map<Index, Hash64> leaves_;
  std::map<Index, Entry> entries_;
};

}  // namespace qv_test::coniks
