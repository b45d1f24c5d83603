// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <filesystem>

#include "merkle/merkle.hpp"
#include "merkle_reference.hpp"
#include "test_support.hpp"

namespace quorvantile_log::merkle {
namespace {

using qv_test::rfc6962::Tree;

Bytes h(const qv_test::rfc6962::Hash& x) { return Bytes(x.begin(), x.end()); }
Bytes filled(std::size_t n, uint8_t v = 0xAB) { return Bytes(n, v); }

std::string message(const Result<void>& r) { return r ? "ok" : r.error().render(); }

// The tests hold proofs as owned hashes; the verifiers take views, as the boundary lifts them.
Result<void> verify_inclusion(uint64_t index, uint64_t size, ByteView leaf, const std::vector<Bytes>& proof,
                              ByteView root) {
  const std::vector<ByteView> views(proof.begin(), proof.end());
  return merkle::verify_inclusion(index, size, leaf, std::span<const ByteView>(views), root);
}
Result<void> verify_consistency(uint64_t size1, uint64_t size2, const std::vector<Bytes>& proof, ByteView root1,
                                ByteView root2) {
  const std::vector<ByteView> views(proof.begin(), proof.end());
  return merkle::verify_consistency(size1, size2, std::span<const ByteView>(views), root1, root2);
}

TEST(MerkleHash, LeafAndNodeHashes) {
  EXPECT_EQ(qv_test::to_hex(hash_leaf({})), "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d");
  const auto l123 = qv_test::from_hex("4c313233343536");
  EXPECT_EQ(qv_test::to_hex(hash_leaf(l123)), "395aa064aa4c29f7010acfe3f25db9485bbd4b91897b6ad7ad547639252b4d56");
  Hash32 a{}, b{};
  a.fill(1);
  b.fill(2);
  EXPECT_EQ(hash_node(a, b), qv_test::rfc6962::node(a, b));
}

TEST(MerkleInclusion, EveryIndexOfEveryTreeUpTo300Verifies) {
  const Tree tree(300);
  for (std::size_t n = 1; n <= 300; ++n) {
    const Bytes root = h(tree.root(n));
    for (std::size_t m = 0; m < n; ++m) {
      const auto proof = tree.inclusion(m, n);
      ASSERT_TRUE(verify_inclusion(m, n, h(tree.leaf(m)), proof, root)) << m << "/" << n;
    }
  }
}

TEST(MerkleInclusion, OneBitChangeOfAnyElementOrRootFails) {
  const Tree tree(70);
  for (std::size_t n = 1; n <= 70; ++n) {
    Bytes root = h(tree.root(n));
    for (std::size_t m = 0; m < n; ++m) {
      auto proof = tree.inclusion(m, n);
      Bytes leaf = h(tree.leaf(m));
      for (std::size_t e = 0; e < proof.size(); ++e) {
        const std::size_t bit = (e * 37 + m) % 256;
        proof[e][bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        ASSERT_EQ(message(verify_inclusion(m, n, leaf, proof, root)), Error::root_mismatch().render());
        proof[e][bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
      }
      leaf[m % 32] ^= 0x80;
      ASSERT_EQ(message(verify_inclusion(m, n, leaf, proof, root)), Error::root_mismatch().render());
      leaf[m % 32] ^= 0x80;
      root[(m + 5) % 32] ^= 0x01;
      ASSERT_EQ(message(verify_inclusion(m, n, leaf, proof, root)), Error::root_mismatch().render());
      root[(m + 5) % 32] ^= 0x01;
    }
  }
}

TEST(MerkleConsistency, EveryPairUpTo300Verifies) {
  const Tree tree(300);
  std::vector<Bytes> roots(301);
  for (std::size_t n = 1; n <= 300; ++n) roots[n] = h(tree.root(n));
  for (std::size_t n = 1; n <= 300; ++n) {
    for (std::size_t m = 1; m <= n; ++m) {
      const auto proof = m == n ? std::vector<Bytes>{} : tree.consistency(m, n);
      ASSERT_TRUE(verify_consistency(m, n, proof, roots[m], roots[n])) << m << "->" << n;
    }
  }
}

TEST(MerkleConsistency, OneBitChangeOfAnyElementOrRootFails) {
  const Tree tree(70);
  for (std::size_t n = 2; n <= 70; ++n) {
    for (std::size_t m = 1; m < n; ++m) {
      auto proof = tree.consistency(m, n);
      Bytes r1 = h(tree.root(m)), r2 = h(tree.root(n));
      for (std::size_t e = 0; e < proof.size(); ++e) {
        const std::size_t bit = (e * 53 + m + n) % 256;
        proof[e][bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
        ASSERT_EQ(message(verify_consistency(m, n, proof, r1, r2)), Error::root_mismatch().render()) << m << "->" << n;
        proof[e][bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
      }
      r1[3] ^= 0x10;
      ASSERT_EQ(message(verify_consistency(m, n, proof, r1, r2)), Error::root_mismatch().render());
      r1[3] ^= 0x10;
      r2[30] ^= 0x02;
      ASSERT_EQ(message(verify_consistency(m, n, proof, r1, r2)), Error::root_mismatch().render());
    }
  }
}

struct InclusionCase {
  const char* what;
  uint64_t index, size;
  Bytes leaf;
  std::vector<Bytes> proof;
  Bytes root;
  std::string want;
};

TEST(MerkleInclusion, ChecksRunInOrder) {
  const Tree tree(8);
  const Bytes r3 = h(tree.root(3));
  const Bytes leaf0 = h(tree.leaf(0));
  const auto p = tree.inclusion(0, 3);  // 2 elements
  auto too_long = p;
  too_long.push_back(filled(7));
  auto bad_element = p;
  bad_element[1] = filled(33);
  const InclusionCase cases[] = {
      {"31-byte root before index", 9, 3, leaf0, p, filled(31), "invalid hash length: got 31 bytes, want 32"},
      {"index equal to size", 5, 5, leaf0, p, r3, "leaf index 5 is beyond tree size 5"},
      {"size 0", 0, 0, leaf0, {}, r3, "leaf index 0 is beyond tree size 0"},
      {"short leaf hash", 0, 3, filled(5), p, r3, "invalid hash length: got 5 bytes, want 32"},
      {"size before element length", 0, 3, leaf0, too_long, r3, "wrong proof size: got 3, want 2"},
      {"33-byte element", 0, 3, leaf0, bad_element, r3, "invalid hash length: got 33 bytes, want 32"},
      {"size 1 needs an empty proof", 0, 1, leaf0, {leaf0}, leaf0, "wrong proof size: got 1, want 0"},
      {"size 1 root is the leaf", 0, 1, leaf0, {}, leaf0, "ok"},
      {"size 1 other root", 0, 1, leaf0, {}, r3, "root mismatch: recomputed root does not match the expected root"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(message(verify_inclusion(c.index, c.size, c.leaf, c.proof, c.root)), c.want) << c.what;
}

TEST(MerkleInclusion, SizeTwoShapes) {
  Hash32 leaf{}, p{};
  leaf.fill(0x11);
  p.fill(0x22);
  const Bytes lb(leaf.begin(), leaf.end()), pb(p.begin(), p.end());
  EXPECT_TRUE(verify_inclusion(0, 2, lb, std::vector<Bytes>{pb}, h(qv_test::rfc6962::node(leaf, p))));
  EXPECT_TRUE(verify_inclusion(1, 2, lb, std::vector<Bytes>{pb}, h(qv_test::rfc6962::node(p, leaf))));
}

TEST(MerkleInclusion, LargestTreesAreBoundedAndExact) {
  // index 0 in a tree of 2^64 - 1 leaves needs 64 hashes; a huge index needs its border part.
  const uint64_t max = ~uint64_t{0};
  EXPECT_EQ(message(verify_inclusion(0, max, filled(32), std::vector<Bytes>{}, filled(32))), "wrong proof size: got 0, want 64");
  EXPECT_EQ(message(verify_inclusion(max - 1, max, filled(32), std::vector<Bytes>{}, filled(32))), "wrong proof size: got 0, want 63");
  std::vector<Bytes> proof(64, filled(32));
  EXPECT_EQ(message(verify_inclusion(0, max, filled(32), proof, filled(32))),
            "root mismatch: recomputed root does not match the expected root");
}

struct ConsistencyCase {
  const char* what;
  uint64_t size1, size2;
  std::vector<Bytes> proof;
  Bytes root1, root2;
  std::string want;
};

TEST(MerkleConsistency, ChecksRunInOrder) {
  const Tree tree(8);
  const Bytes r1 = h(tree.root(1)), r2 = h(tree.root(2)), r3 = h(tree.root(3)), r4 = h(tree.root(4)),
              r5 = h(tree.root(5)), r8 = h(tree.root(8));
  const auto p34 = tree.consistency(3, 4);
  const auto p12 = tree.consistency(1, 2);
  auto p34_bad_first = p34;
  p34_bad_first[0] = filled(31);
  auto p34_bad_last = p34;
  p34_bad_last[2] = filled(33);
  const ConsistencyCase cases[] = {
      {"short root2 first", 8, 3, {}, filled(3), filled(12), "invalid hash length: got 12 bytes, want 32"},
      {"regression after root2 length", 8, 3, {}, filled(3), r3, "tree size regression: size2 (3) < size1 (8)"},
      {"0 -> 0", 0, 0, {}, r1, r1, "consistency proof from an empty tree is meaningless"},
      {"0 -> 5 with a short root1", 0, 5, {r1}, filled(1), r5, "consistency proof from an empty tree is meaningless"},
      {"short root1", 3, 4, p34, filled(31), r4, "invalid hash length: got 31 bytes, want 32"},
      {"5 -> 5 empty, equal roots", 5, 5, {}, r5, r5, "ok"},
      {"5 -> 5 one element", 5, 5, {r5}, r5, r5, "consistency proof between equal sizes must be empty"},
      {"5 -> 5 different roots", 5, 5, {}, r5, r4, "root mismatch: recomputed root does not match the expected root"},
      {"4 -> 8 empty", 4, 8, {}, r4, r8, "wrong proof size: got 0, want 1"},
      {"1 -> 2", 1, 2, p12, r1, r2, "ok"},
      {"3 -> 4 has three elements", 3, 4, p34, r3, r4, "ok"},
      {"3 -> 4 short seed before count", 3, 4, {p34[0].size() == 32 ? filled(31) : filled(31)}, r3, r4,
       "invalid hash length: got 31 bytes, want 32"},
      {"3 -> 4 too short", 3, 4, {p34[0]}, r3, r4, "wrong proof size: got 1, want 3"},
      {"3 -> 4 bad seed", 3, 4, p34_bad_first, r3, r4, "invalid hash length: got 31 bytes, want 32"},
      {"3 -> 4 bad last element", 3, 4, p34_bad_last, r3, r4, "invalid hash length: got 33 bytes, want 32"},
      {"3 -> 4 wrong root2", 3, 4, p34, r3, r5, "root mismatch: recomputed root does not match the expected root"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(message(verify_consistency(c.size1, c.size2, c.proof, c.root1, c.root2)), c.want) << c.what;
}

TEST(MerkleVectors, PublishedProbes) {
  const auto dir = qv_test::vectors_dir() / "merkle-rfc6962";
  int inclusion = 0, consistency = 0;
  auto b64 = [](const nlohmann::json& j) { return qv_test::from_base64(j.get<std::string>()); };
  auto proof_of = [&](const nlohmann::json& j) {
    std::vector<Bytes> proof;
    if (!j.is_null())
      for (const auto& e : j) proof.push_back(b64(e));
    return proof;
  };
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "inclusion")) {
    if (entry.path().extension() != ".json") continue;
    const auto j = qv_test::read_json(entry.path());
    const auto r = verify_inclusion(j["leafIdx"], j["treeSize"], b64(j["leafHash"]), proof_of(j["proof"]), b64(j["root"]));
    EXPECT_EQ(!r.has_value(), j["wantErr"].get<bool>()) << entry.path();
    ++inclusion;
  }
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir / "consistency")) {
    if (entry.path().extension() != ".json") continue;
    const auto j = qv_test::read_json(entry.path());
    const auto r = verify_consistency(j["size1"], j["size2"], proof_of(j["proof"]), b64(j["root1"]), b64(j["root2"]));
    bool want_err = j["wantErr"].get<bool>();
    // Equal sizes with 12-byte roots: the root length is checked first here.
    if (entry.path().filename() == "sizes-are-equal-one-and-proof-is-empty.json") {
      want_err = true;
      EXPECT_EQ(message(r), "invalid hash length: got 12 bytes, want 32");
    }
    EXPECT_EQ(!r.has_value(), want_err) << entry.path();
    ++consistency;
  }
  EXPECT_EQ(inclusion, 98);
  EXPECT_EQ(consistency, 98);
}

TEST(MerkleVectors, ReferenceTree) {
  const auto j = qv_test::read_json(qv_test::vectors_dir() / "merkle-rfc6962" / "reference_tree.json");
  auto hexes = [](const nlohmann::json& arr) {
    std::vector<Bytes> out;
    for (const auto& e : arr) out.push_back(qv_test::from_hex(e.get<std::string>()));
    return out;
  };
  for (const auto& c : j["inclusion"]) {
    EXPECT_TRUE(verify_inclusion(c["leaf_index"], c["tree_size"], qv_test::from_hex(c["leaf_hash"].get<std::string>()),
                                 hexes(c["proof"]), qv_test::from_hex(c["root"].get<std::string>())));
  }
  for (const auto& c : j["consistency"]) {
    EXPECT_TRUE(verify_consistency(c["size1"], c["size2"], hexes(c["proof"]), qv_test::from_hex(c["root1"].get<std::string>()),
                                   qv_test::from_hex(c["root2"].get<std::string>())));
  }
}

}  // namespace
}  // namespace quorvantile_log::merkle
