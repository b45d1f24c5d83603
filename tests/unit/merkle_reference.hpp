// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// An independent RFC 6962 reference: tree hashes, audit paths and consistency proofs computed
// recursively from the definitions, to check the verifier against.
#include <openssl/sha.h>

#include <array>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace qv_test::rfc6962 {

using Hash = std::array<uint8_t, 32>;
using Bytes = std::vector<uint8_t>;

inline Hash sha(uint8_t prefix, const uint8_t* a, std::size_t alen, const uint8_t* b = nullptr, std::size_t blen = 0) {
  Bytes buf;
  buf.push_back(prefix);
  buf.insert(buf.end(), a, a + alen);
  if (b) buf.insert(buf.end(), b, b + blen);
  Hash out;
  SHA256(buf.data(), buf.size(), out.data());
  return out;
}

inline Hash node(const Hash& l, const Hash& r) { return sha(0x01, l.data(), 32, r.data(), 32); }

// Largest power of two strictly below n (n >= 2).
inline uint64_t split(uint64_t n) {
  uint64_t k = 1;
  while (k * 2 < n) k *= 2;
  return k;
}

class Tree {
 public:
  explicit Tree(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      const uint8_t data[2] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i >> 8)};
      leaves_.push_back(sha(0x00, data, 2));
    }
  }
  explicit Tree(std::vector<Hash> leaf_hashes) : leaves_(std::move(leaf_hashes)) {}
  const Hash& leaf(std::size_t i) const { return leaves_[i]; }

  // MTH(D[begin:end]), memoised: the proofs below ask for the same subtrees again and again.
  Hash root(std::size_t begin, std::size_t end) const {
    if (end - begin == 1) return leaves_[begin];
    if (auto it = memo_.find({begin, end}); it != memo_.end()) return it->second;
    const std::size_t k = split(end - begin);
    const Hash h = node(root(begin, begin + k), root(begin + k, end));
    memo_.emplace(std::make_pair(begin, end), h);
    return h;
  }
  Hash root(std::size_t n) const { return root(0, n); }

  // PATH(m, D[begin:end]).
  std::vector<Bytes> path(std::size_t m, std::size_t begin, std::size_t end) const {
    if (end - begin == 1) return {};
    const std::size_t k = split(end - begin);
    std::vector<Bytes> out;
    if (m < k) {
      out = path(m, begin, begin + k);
      out.push_back(as_bytes(root(begin + k, end)));
    } else {
      out = path(m - k, begin + k, end);
      out.push_back(as_bytes(root(begin, begin + k)));
    }
    return out;
  }
  std::vector<Bytes> inclusion(std::size_t m, std::size_t n) const { return path(m, 0, n); }

  // SUBPROOF(m, D[begin:end], b).
  std::vector<Bytes> subproof(std::size_t m, std::size_t begin, std::size_t end, bool b) const {
    const std::size_t n = end - begin;
    if (m == n) {
      if (b) return {};
      return {as_bytes(root(begin, end))};
    }
    const std::size_t k = split(n);
    std::vector<Bytes> out;
    if (m <= k) {
      out = subproof(m, begin, begin + k, b);
      out.push_back(as_bytes(root(begin + k, end)));
    } else {
      out = subproof(m - k, begin + k, end, false);
      out.push_back(as_bytes(root(begin, begin + k)));
    }
    return out;
  }
  std::vector<Bytes> consistency(std::size_t m, std::size_t n) const { return subproof(m, 0, n, true); }

  static Bytes as_bytes(const Hash& h) { return Bytes(h.begin(), h.end()); }

 private:
  std::vector<Hash> leaves_;
  mutable std::map<std::pair<std::size_t, std::size_t>, Hash> memo_;
};

}  // namespace qv_test::rfc6962
