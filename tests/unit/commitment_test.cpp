// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <string>

#include "commitment/commitment.hpp"
#include "commitment/kt_suite.hpp"
#include "commitment/verify_commitment.hpp"
#include "sha3_reference.hpp"
#include "test_support.hpp"

namespace quorvantile_log {
namespace {

using qv_test::from_hex;
using qv_test::to_hex;
using qv_test::ref::Bytes;
using qv_test::ref::cat;
using qv_test::ref::text;

const Bytes kOpening32 = [] {
  Bytes b(32);
  for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i * 7 + 1);
  return b;
}();

std::string outcome(const ExportResult<void>& r) { return r ? "ok" : r.error().message; }

template <class T>
std::string outcome(const Result<T>& r) {
  return r ? "ok" : r.error().render();
}

TEST(Commitment, IsSha3WithContextOverOpeningThenValue) {
  struct Row {
    std::string context;
    Bytes value;
  };
  for (const Row& row : {Row{"", {}}, Row{"ns/coniks-commitment/v1", text("hello")}, Row{"x", Bytes(300, 0xEE)}}) {
    const auto got = commitment::commit_with_opening(row.context, row.value, std::span<const uint8_t, 32>(kOpening32));
    EXPECT_EQ(got, qv_test::ref::sha3_ctx(row.context, cat({kOpening32, row.value}))) << row.context;
  }
}

TEST(VerifyCommitment, ChecksInOrderWithExactMessages) {
  const std::string context = "acme/coniks-commitment/v1";
  const Bytes value = text("value bytes");
  const auto c = qv_test::ref::sha3_ctx(context, cat({kOpening32, value}));
  const Bytes good(c.begin(), c.end());
  auto flip = [](Bytes b, std::size_t i) {
    b[i] ^= 0x01;
    return b;
  };
  const std::string mismatch = "commitment did not open to the claimed value";
  struct Row {
    const char* what;
    std::string context;
    Bytes commitment, value, opening;
    std::string want;
  } rows[] = {
      {"valid", context, good, value, kOpening32, "ok"},
      {"63-byte commitment, bad opening too", context, Bytes(63), value, Bytes(31), "commitment must be exactly 64 bytes"},
      {"65-byte commitment", context, Bytes(65), value, kOpening32, "commitment must be exactly 64 bytes"},
      {"31-byte opening", context, good, value, Bytes(31), "opening must be exactly 32 bytes"},
      {"33-byte opening", context, good, value, Bytes(33), "opening must be exactly 32 bytes"},
      {"changed context", "acme/coniks-commitment/v2", good, value, kOpening32, mismatch},
      {"changed value", context, good, flip(value, 3), kOpening32, mismatch},
      {"changed opening", context, good, value, flip(kOpening32, 31), mismatch},
      {"changed commitment", context, flip(good, 0), value, kOpening32, mismatch},
  };
  for (const Row& r : rows)
    EXPECT_EQ(outcome(commitment::verify_commitment(r.context, r.commitment, r.value, r.opening)), r.want) << r.what;

  const auto empty = qv_test::ref::sha3_ctx("", kOpening32);
  EXPECT_EQ(outcome(commitment::verify_commitment("", Bytes(empty.begin(), empty.end()), {}, kOpening32)), "ok");
}

// The two worked examples of tests/vectors/keytrans/commitment_key.md; they hold for both
// registered suites, which share the key and layout.
TEST(KtSuiteCommit, OnSpecSuitesMatchTheWorkedExamples) {
  const Bytes opening = from_hex("000102030405060708090a0b0c0d0e0f");
  struct Example {
    std::string label;
    uint32_t version;
    std::string value;
    std::string commitment;
  } examples[] = {
      {"alice", 0, "hello", "200d510c175cae60a46220d0dd1eeb940c7096e362459f69e69eb0aaf7590d6a"},
      {"", 1, "", "55d163655dc1f3cc618a65d920bc7f0f3e9b4e4110135aed7260a0c21a0cf07e"},
  };
  for (KtSuite suite : {KtSuite::Kt128Sha256P256, KtSuite::Kt128Sha256Ed25519}) {
    for (const Example& e : examples) {
      for (const char* context : {"", "ignored/context/v1"}) {
        const auto got = suite.commit(context, text(e.label), e.version, text(e.value), opening);
        ASSERT_TRUE(got) << got.error().render();
        EXPECT_EQ(to_hex(*got), e.commitment) << suite.name() << " " << e.label;
      }
    }
  }
}

TEST(KtSuiteCommit, ExperimentalSuiteIsContextBoundSha3OverOpeningAndEncoding) {
  const KtSuite suite = KtSuite::QuorvantileHybridExp;
  const Bytes label = text("bob");
  const Bytes value = Bytes(1300, 0x42);
  const Bytes encoding = cat({Bytes{3}, label, qv_test::ref::u32be(7), qv_test::ref::u32be(1300), value});
  for (const char* context : {"", "a/b/v1"}) {
    const auto got = suite.commit(context, label, 7, value, kOpening32);
    ASSERT_TRUE(got);
    const auto want = qv_test::ref::sha3_ctx(context, cat({kOpening32, encoding}));
    EXPECT_EQ(*got, Bytes(want.begin(), want.end())) << context;
  }
}

TEST(KtSuiteCommit, LengthChecksPerSuite) {
  const std::string prefix = "malformed keytrans structure: ";
  struct Row {
    KtSuite suite;
    std::size_t opening, label;
    std::string want;
  } rows[] = {
      {KtSuite::Kt128Sha256P256, 32, 0, prefix + "commitment opening must be 16 bytes for Kt128Sha256P256, got 32"},
      {KtSuite::Kt128Sha256Ed25519, 15, 0, prefix + "commitment opening must be 16 bytes for Kt128Sha256Ed25519, got 15"},
      {KtSuite::QuorvantileHybridExp, 16, 0, prefix + "commitment opening must be 32 bytes for QuorvantileHybridExp, got 16"},
      {KtSuite::QuorvantileHybridExp, 16, 300, prefix + "commitment opening must be 32 bytes for QuorvantileHybridExp, got 16"},
      {KtSuite::Kt128Sha256P256, 16, 255, "ok"},
      {KtSuite::Kt128Sha256Ed25519, 16, 255, "ok"},
      {KtSuite::QuorvantileHybridExp, 32, 255, "ok"},
      {KtSuite::Kt128Sha256P256, 16, 256, prefix + "CommitmentValue.label: 256 bytes exceeds the <0..2^8-1> vector bound (255)"},
      {KtSuite::Kt128Sha256Ed25519, 16, 256, prefix + "CommitmentValue.label: 256 bytes exceeds the <0..2^8-1> vector bound (255)"},
      {KtSuite::QuorvantileHybridExp, 32, 256, prefix + "CommitmentValue.label: 256 bytes exceeds the <0..2^8-1> vector bound (255)"},
  };
  for (const Row& r : rows) {
    const auto got = r.suite.commit("c", Bytes(r.label, 'l'), 0, text("v"), Bytes(r.opening, 0x11));
    EXPECT_EQ(outcome(got), r.want) << r.suite.name() << " " << r.opening << " " << r.label;
    if (got) {
      EXPECT_EQ(got->size(), r.suite.commitment_size());
    }
  }
}

}  // namespace
}  // namespace quorvantile_log
