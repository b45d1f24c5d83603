#include <gtest/gtest.h>

#include "leaf/context_label.hpp"
#include "leaf/entry.hpp"
#include "leaf/key_history.hpp"
#include "merkle/merkle.hpp"
#include "merkle_reference.hpp"
#include "sha3_reference.hpp"
#include "test_support.hpp"

namespace quorvantile_log::leaf {
namespace {

using qv_test::ref::cat;
using qv_test::ref::u32be;
using qv_test::ref::u64be;

TEST(KeyHistory, MinimalEntryIs36BytesExactly) {
  const auto got = key_history_v1_canonical_bytes(0x0102030405060708, 0x1112131415161718, {}, {}, {}, std::nullopt);
  ASSERT_TRUE(got);
  EXPECT_EQ(qv_test::to_hex(*got),
            "00000001" "0102030405060708" "1112131415161718" "00000000" "00000000" "00000000" "00000000");
}

TEST(KeyHistory, CanonicalLayoutAndGenesisForms) {
  const Bytes x(32, 0x25), pq(1184, 0x8e), sig(1952, 0x44), prev(64, 0x99);
  const Bytes want = cat({u32be(1), u64be(7), u64be(1700000000123), u32be(32), x, u32be(1184), pq, u32be(1952), sig,
                          u32be(64), prev});
  EXPECT_EQ(*key_history_v1_canonical_bytes(7, 1700000000123, x, pq, sig, prev), want);
  const Bytes genesis = *key_history_v1_canonical_bytes(0, 1, x, pq, sig, std::nullopt);
  EXPECT_EQ(genesis.size(), 36 + 32 + 1184 + 1952u);
  EXPECT_EQ(*key_history_v1_canonical_bytes(0, 1, x, pq, sig, ByteView{}), genesis) << "empty means genesis";
  EXPECT_EQ(*key_history_v1_entry_hash(0, 1, x, pq, sig, ByteView{}), *key_history_v1_entry_hash(0, 1, x, pq, sig, std::nullopt));

  const Entry present_but_empty{0, 1, x, pq, sig, ByteView{}};
  const std::string msg = "malformed canonical leaf: prev_entry_hash present but empty; genesis must use None";
  EXPECT_EQ(present_but_empty.canonical_bytes().error().render(), msg);
  EXPECT_EQ(present_but_empty.entry_hash_with_context("a/b/v1").error().render(), msg);
  EXPECT_EQ(present_but_empty.rfc6962_leaf_hash().error().render(), msg);
}

TEST(KeyHistory, HashesAreTheDefinedDigestsOfTheCanonicalBytes) {
  const Bytes x(32, 1), pq(1184, 2), sig(64, 3), prev(64, 4);
  const Bytes canonical = *key_history_v1_canonical_bytes(3, 4, x, pq, sig, prev);
  const auto fixed = qv_test::ref::sha3_ctx("tarnfel/key-history/v1", canonical);
  const auto bytes = [](const auto& digest) { return Bytes(digest->begin(), digest->end()); };
  EXPECT_TRUE(ContextLabel::parse(kKeyHistoryLabel)) << "the fixed label is used without parsing";
  EXPECT_EQ(bytes(key_history_v1_entry_hash(3, 4, x, pq, sig, prev)), Bytes(fixed.begin(), fixed.end()));
  EXPECT_EQ(bytes(key_history_entry_hash_with_context("tarnfel/key-history/v1", 3, 4, x, pq, sig, prev)),
            Bytes(fixed.begin(), fixed.end()));
  const auto other = qv_test::ref::sha3_ctx("acme/keys/v2", canonical);
  EXPECT_EQ(bytes(key_history_entry_hash_with_context("acme/keys/v2", 3, 4, x, pq, sig, prev)),
            Bytes(other.begin(), other.end()));
  EXPECT_EQ(bytes(key_history_v1_rfc6962_leaf_hash(3, 4, x, pq, sig, prev)),
            qv_test::ref::sha256(cat({Bytes{0}, canonical})));
  EXPECT_EQ(key_history_entry_hash_with_context("acme/keys/v01", 3, 4, x, pq, sig, prev).error().render(),
            "malformed canonical leaf: context label version must not have leading zeros: \"acme/keys/v01\"");
}

// A chain of entries, each naming the previous entry's hash, appended to a log: every leaf hash
// is proven included.
TEST(KeyHistory, ChainLeafHashesVerifyByInclusion) {
  std::vector<qv_test::rfc6962::Hash> leaves;
  std::optional<Bytes> prev;
  for (uint64_t seq = 0; seq < 9; ++seq) {
    const Bytes x(32, static_cast<uint8_t>(seq)), pq(800, static_cast<uint8_t>(seq + 1)), sig(32, 9);
    const Hash32 leaf = *key_history_v1_rfc6962_leaf_hash(seq, 1000 + seq, x, pq, sig, prev);
    qv_test::rfc6962::Hash h;
    std::copy(leaf.begin(), leaf.end(), h.begin());
    leaves.push_back(h);
    const Hash64 entry_hash = *key_history_v1_entry_hash(seq, 1000 + seq, x, pq, sig, prev);
    prev = Bytes(entry_hash.begin(), entry_hash.end());
  }
  const qv_test::rfc6962::Tree tree(leaves);
  const auto root = tree.root(leaves.size());
  for (std::size_t i = 0; i < leaves.size(); ++i) {
    const auto proof = tree.inclusion(i, leaves.size());
    const std::vector<quorvantile_crypto::ByteView> views(proof.begin(), proof.end());
    EXPECT_TRUE(merkle::verify_inclusion(i, leaves.size(), leaves[i], views, root)) << i;
  }
}

}  // namespace
}  // namespace quorvantile_log::leaf
