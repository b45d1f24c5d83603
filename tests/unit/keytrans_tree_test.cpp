// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Log-tree resolution, prefix-tree recomputation and binary ladders on small worked cases.
#include <gtest/gtest.h>

#include "keytrans/ladder/ladder.hpp"
#include "keytrans/log_tree/log_tree.hpp"
#include "keytrans/prefix_tree/prefix_tree.hpp"
#include "kt_directory.hpp"

namespace quorvantile_log::keytrans {
namespace {

using qv_kt::part;
using qv_kt::sha256;

Hash32 h(uint8_t b) {
  Hash32 x;
  x.fill(b);
  return x;
}

Hash32 entry_leaf(uint64_t ts, const Hash32& root) {
  qv_kt::Writer w;
  w.u64(ts).raw(root);
  return sha256({part(w.out)});
}

Hash32 node(uint8_t kl, const Hash32& l, uint8_t kr, const Hash32& r) {
  return sha256({{&kl, 1}, part(l), {&kr, 1}, part(r)});
}

std::string outcome(const Result<void>& r) { return r ? "ok" : r.error().render(); }

ProofHead head(uint64_t index, uint64_t size, std::vector<Hash32> elements) {
  return ProofHead{index, size, 99, h(7), std::move(elements)};
}

TEST(KeytransLogTree, WorkedRoots) {
  const Hash32 leaf = entry_leaf(99, h(7));
  const Hash32 e1 = h(1), e2 = h(2), e3 = h(3);
  struct Row {
    const char* name;
    ProofHead head;
    Hash32 root;
  };
  const Row rows[] = {
      {"size 1: the leaf itself", head(0, 1, {}), leaf},
      {"size 2, entry 1", head(1, 2, {e1}), node(0, e1, 0, leaf)},
      {"size 3, entry 0", head(0, 3, {e1, e2}), node(1, node(0, leaf, 0, e1), 0, e2)},
      // Entry 6 of 7: the first element covers 0-3, the second 4-5.
      {"size 7, entry 6", head(6, 7, {e1, e2}), node(1, e1, 1, node(1, e2, 0, leaf))},
      // Entry 0 of 7: the right part [4, 7) without the entry comes as its full subtrees 4-5 and 6.
      {"size 7, entry 0", head(0, 7, {e1, e2, e3, h(4)}),
       node(1, node(1, node(0, leaf, 0, e1), 1, e2), 1, node(1, e3, 0, h(4)))},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(outcome(log_tree::check_combined_root(row.root, row.head)), "ok");
    Hash32 other = row.root;
    other[0] ^= 1;
    EXPECT_EQ(outcome(log_tree::check_combined_root(other, row.head)),
              "keytrans proof root mismatch: recomputed root does not match the expected root");
  }
}

TEST(KeytransLogTree, Failures) {
  const std::string m = "malformed keytrans structure: ";
  const std::pair<ProofHead, std::string> rows[] = {
      {head(0, 0, {}), m + "cannot verify a batch proof against an empty log"},
      {head(3, 3, {}), m + "proved leaf index 3 is beyond tree size 3"},
      {head(UINT64_MAX, 5, {}), m + "proved leaf index 18446744073709551615 is beyond tree size 5"},
      {head(0, 3, {h(1)}), m + "batch proof is missing expected element(s)"},
      {head(0, 3, {h(1), h(2), h(3)}), m + "batch proof has unused trailing elements"},
      {head(0, 1, {h(1)}), m + "batch proof has unused trailing elements"},
      // The largest log: 64 elements are expected, none is read past the end.
      {head(UINT64_MAX - 1, UINT64_MAX, std::vector<Hash32>(10, h(1))), m + "batch proof is missing expected element(s)"},
  };
  for (const auto& [hd, want] : rows) EXPECT_EQ(outcome(log_tree::check_combined_root(h(0), hd)), want);
  EXPECT_EQ(log_tree::root_array(Bytes(31)).error().render(), m + "combined root must be 32 bytes, got 31");
  EXPECT_TRUE(log_tree::root_array(Bytes(32)));
}

// Several known leaves at once, and agreement with the test-side log over every entry of a log.
TEST(KeytransLogTree, ResolveAgreesWithTheReferenceLog) {
  for (uint64_t size : {1u, 2u, 3u, 5u, 7u, 8u, 13u, 100u}) {
    qv_kt::LogTree ref;
    for (uint64_t i = 0; i < size; ++i) ref.append(i * 10, h(static_cast<uint8_t>(i)));
    for (uint64_t i = 0; i < size; ++i) {
      const qv_kt::Head t = ref.head(i);
      const ProofHead hd{t.entry_index, t.tree_size, t.timestamp, t.prefix_root, t.log_inclusion};
      ASSERT_EQ(outcome(log_tree::check_combined_root(ref.root(), hd)), "ok") << size << " " << i;
    }
  }
  // Two known leaves of a 4-entry log need only the two other leaves.
  log_tree::Hasher hasher;
  const std::vector<log_tree::KnownLeaf> known = {{0, h(10)}, {3, h(13)}};
  const std::vector<Hash32> elements = {h(11), h(12)};
  log_tree::Elements cursor(elements);
  auto root = log_tree::resolve(hasher, 0, 4, known, cursor);
  ASSERT_TRUE(root);
  EXPECT_TRUE(cursor.exhausted());
  EXPECT_EQ(root->value, node(1, node(0, h(10), 0, h(11)), 1, node(0, h(12), 0, h(13))));
}

TEST(KeytransPrefixTree, DepthAndRoot) {
  const std::string m = "malformed keytrans structure: ";
  auto proof = [](PrefixResultType t, uint8_t depth, std::size_t n) {
    PrefixProof p;
    p.result.result_type = t;
    p.result.depth = depth;
    p.elements.assign(n, h(1));
    return p;
  };
  const std::tuple<PrefixProof, std::string> rows[] = {
      {proof(PrefixResultType::Inclusion, 0, 0), "ok"},
      {proof(PrefixResultType::Inclusion, 3, 3), "ok"},
      {proof(PrefixResultType::NonInclusionLeaf, 3, 3), "ok"},
      {proof(PrefixResultType::NonInclusionParent, 2, 3), "ok"},
      {proof(PrefixResultType::NonInclusionParent, 0, 0), "ok"},
      {proof(PrefixResultType::NonInclusionParent, 3, 3), m + "prefix proof depth 3 inconsistent with copath length 3"},
      {proof(PrefixResultType::Inclusion, 2, 3), m + "prefix proof depth 2 inconsistent with copath length 3"},
      {proof(PrefixResultType::NonInclusionLeaf, 255, 0), m + "prefix proof depth 255 inconsistent with copath length 0"},
  };
  for (const auto& [p, want] : rows) EXPECT_EQ(outcome(prefix_tree::check_depth(p)), want);

  // No elements: the root is the start value; one element on each side of the key's first bit.
  prefix_tree::Hasher hasher;
  Hash32 key{};
  const Hash32 leaf = qv_kt::prefix_leaf_hash(key, Bytes(32, 5));
  EXPECT_EQ(hasher.leaf(key, Bytes(32, 5)), leaf);
  EXPECT_EQ(prefix_tree::recompute_root(hasher, key, leaf, {}), leaf);
  const std::vector<Hash32> one = {h(9)};
  EXPECT_EQ(prefix_tree::recompute_root(hasher, key, leaf, one), qv_kt::prefix_parent_hash(leaf, h(9)));
  key[0] = 0x80;
  EXPECT_EQ(prefix_tree::recompute_root(hasher, key, leaf, one), qv_kt::prefix_parent_hash(h(9), leaf));
  // Bit 1 selects at the second level, elements[0] stays nearest the root.
  key[0] = 0x40;
  const std::vector<Hash32> two = {h(8), h(9)};
  EXPECT_EQ(prefix_tree::recompute_root(hasher, key, leaf, two),
            qv_kt::prefix_parent_hash(qv_kt::prefix_parent_hash(h(9), leaf), h(8)));
}

TEST(KeytransLadder, CanonicalLadders) {
  using V = std::vector<uint64_t>;
  EXPECT_EQ(ladder::base_binary_ladder(0), (V{0, 1}));
  EXPECT_EQ(ladder::base_binary_ladder(4), (V{0, 1, 3, 7, 5, 4}));
  EXPECT_EQ(ladder::base_binary_ladder(5), (V{0, 1, 3, 7, 5, 6}));
  EXPECT_EQ(ladder::base_binary_ladder(7), (V{0, 1, 3, 7, 15, 11, 9, 8}));
  EXPECT_EQ(ladder::search_ladder(std::nullopt), (V{0}));
  EXPECT_EQ(ladder::monitoring_ladder(5), (V{0, 1, 3, 5}));
  EXPECT_EQ(ladder::monitoring_ladder(0), (V{0}));
  for (uint64_t t : {0ull, 1ull, 2ull, 5ull, 99ull, 999ull, 1ull << 20, 0xFFFFFFFFull, 1ull << 40}) {
    const V l = ladder::base_binary_ladder(t);
    EXPECT_EQ(l, qv_kt::binary_ladder(t)) << t;
    EXPECT_EQ(std::count(l.begin(), l.end(), t), 1) << t;
    EXPECT_EQ(std::set<uint64_t>(l.begin(), l.end()).size(), l.size()) << t;
  }
  const V top = ladder::search_ladder(0xFFFFFFFF);
  ASSERT_EQ(top.size(), 66u);
  EXPECT_EQ(top[32], 0xFFFFFFFFull);
  EXPECT_EQ(top[33], (1ull << 33) - 1);
  EXPECT_EQ(top.back(), 1ull << 32);
  EXPECT_EQ(ladder::low32(top[33]), 0xFFFFFFFFu);
  EXPECT_EQ(ladder::low32(top.back()), 0u);
  // No value above the largest target: the ladder stops at it.
  const V max = ladder::base_binary_ladder(UINT64_MAX);
  EXPECT_EQ(max.size(), 65u);
  EXPECT_EQ(max.back(), UINT64_MAX);
}

}  // namespace
}  // namespace quorvantile_log::keytrans
