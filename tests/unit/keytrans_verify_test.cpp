// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The key-transparency verifier against proofs of a directory built on the test side.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "keytrans/ext/exports.hpp"
#include "keytrans/mod/verifier.hpp"
#include "kt_directory.hpp"

namespace quorvantile_log::keytrans {
namespace {

using qv_kt::Directory;
using qv_kt::to_bytes;

const std::string kContext = "tarnfel/keytrans/v1";
const uint32_t kVersionCounts[] = {0, 1, 5, 6, 7, 100, 1000};
const uint64_t kLogSizes[] = {1, 2, 3, 7, 100};

Bytes label_with(uint32_t versions) { return to_bytes("label-" + std::to_string(versions)); }

// One directory per suite, holding every label of the table and a few unrelated ones.
Directory& directory(const qv_kt::Suite& suite) {
  static std::map<uint16_t, std::unique_ptr<Directory>> dirs;
  auto& d = dirs[suite.id];
  if (!d) {
    d = std::make_unique<Directory>(suite, kContext);
    for (uint32_t n : kVersionCounts) d->add_label(label_with(n), n);
    for (int i = 0; i < 20; ++i) d->add_label(to_bytes("other-" + std::to_string(i)), 2);
    d->publish(7, 6);
  }
  return *d;
}

std::string message(const Error& e) { return e.render(); }

template <class T>
std::string outcome(const Result<T>& r) {
  return r ? std::string("ok") : message(r.error());
}

Result<SearchResult> search(const Directory& d, ByteView label, const Bytes& proof, std::string_view context = kContext) {
  const auto root = d.root();
  return verify_search_suite(d.suite().id, context, d.vrf_public(), root, label, proof);
}
Result<void> monitor(const Directory& d, ByteView label, const Bytes& proof) {
  const auto root = d.root();
  return verify_monitor_suite(d.suite().id, kContext, d.vrf_public(), root, label, proof);
}
Result<SearchResult> fixed(const Directory& d, ByteView label, const Bytes& proof, std::string_view context = kContext) {
  const auto root = d.root();
  return verify_fixed_version_suite(d.suite().id, context, d.vrf_public(), root, label, proof);
}

const std::string kRootMismatch = "keytrans proof root mismatch: recomputed root does not match the expected root";
const std::string kCommitmentMismatch = "commitment did not open to the claimed value";
const std::string kMalformed = "malformed keytrans structure: ";

// Every label of the table in every log size verifies under every suite: search and fixed
// versions (present and absent) about the latest entry; monitoring of the greatest version and of
// a middle one about an older entry, where search and fixed versions are refused.
TEST(KeytransVerify, RealProofsVerifyForEveryLabelLogSizeAndSuite) {
  for (const auto& suite : qv_kt::suites()) {
    Directory& d = directory(suite);
    for (uint64_t log_size : kLogSizes) {
      const uint64_t latest = log_size - 1, older = log_size - 1 - log_size / 3;
      d.publish(log_size, latest);
      for (uint32_t n : kVersionCounts) {
        SCOPED_TRACE(std::string(suite.name) + " log " + std::to_string(log_size) + " versions " + std::to_string(n));
        const Bytes label = label_with(n);
        auto found = search(d, label, qv_kt::encode(d.search(label)));
        ASSERT_TRUE(found) << message(found.error());
        EXPECT_EQ(found->present, n > 0);
        if (n > 0) EXPECT_EQ(found->value, Directory::value_of(label, n - 1));
        else EXPECT_FALSE(found->value);

        const auto absent = fixed(d, label, qv_kt::encode(d.fixed_version(label, n)));
        ASSERT_TRUE(absent) << message(absent.error());
        EXPECT_EQ(*absent, SearchResult{});
        for (uint32_t v : {n - 1, n / 2}) {
          if (n == 0) break;
          auto present = fixed(d, label, qv_kt::encode(d.fixed_version(label, v)));
          ASSERT_TRUE(present) << message(present.error());
          EXPECT_EQ(*present, (SearchResult{true, Directory::value_of(label, v)}));
        }
      }
      d.publish(log_size, older);
      const std::string stale = older == latest ? "ok"
                                                : kMalformed + "proof is about log entry " + std::to_string(older) +
                                                      ", not the latest entry " + std::to_string(latest);
      for (uint32_t n : kVersionCounts) {
        SCOPED_TRACE(std::string(suite.name) + " log " + std::to_string(log_size) + " entry " + std::to_string(older));
        const Bytes label = label_with(n);
        EXPECT_EQ(outcome(search(d, label, qv_kt::encode(d.search(label)))), stale);
        EXPECT_EQ(outcome(fixed(d, label, qv_kt::encode(d.fixed_version(label, n)))), stale);
        for (uint32_t v : {n - 1, n / 2}) {
          if (n == 0) break;
          auto watched = monitor(d, label, qv_kt::encode(d.monitor(label, v)));
          EXPECT_TRUE(watched) << v << ": " << message(watched.error());
        }
      }
    }
    d.publish(7, 6);
  }
}

// The default exports are the experimental suite.
TEST(KeytransVerify, DefaultExportsAreTheExperimentalSuite) {
  Directory& d = directory(qv_kt::suites()[0]);
  const Bytes label = label_with(5);
  const auto root = d.root();
  auto found = verify_search(kContext, d.vrf_public(), root, label, qv_kt::encode(d.search(label)));
  ASSERT_TRUE(found);
  EXPECT_EQ(found->value, Directory::value_of(label, 4));
  EXPECT_TRUE(verify_monitor(kContext, d.vrf_public(), root, label, qv_kt::encode(d.monitor(label, 3))));
  EXPECT_TRUE(verify_fixed_version(kContext, d.vrf_public(), root, label, qv_kt::encode(d.fixed_version(label, 2))));
}

// Index of the step for version v.
std::size_t rung(const qv_kt::SearchProof& p, uint32_t v) {
  for (std::size_t i = 0; i < p.ladder.size(); ++i)
    if (p.ladder[i].version == v) return i;
  throw std::runtime_error("no rung");
}

// Forged search proofs for the label with 6 versions (greatest 5: ladder 0, 1, 3, 7, 5, 6).
TEST(KeytransVerify, ForgedSearchProofsFailWithTheirMessage) {
  const Bytes label = label_with(6);
  struct Row {
    const char* name;
    std::function<void(qv_kt::SearchProof&, Directory&)> forge;
    std::function<std::string(const qv_kt::Suite&)> want;
  };
  auto same = [](std::string s) { return [s](const qv_kt::Suite&) { return s; }; };
  auto absent_as_leaf = [&](qv_kt::SearchProof& p, Directory& d, bool equal_key) {
    qv_kt::Step& s = p.ladder[rung(p, 7)];
    const auto key = d.vrf(label, 7).second;
    s.result_type = 2;
    s.leaf_output = key;
    if (!equal_key) s.leaf_output[0] ^= 0x80;
    s.leaf_commitment.assign(d.suite().commitment_len, 0x55);
    s.depth = static_cast<uint8_t>(s.elements.size());
  };
  const std::vector<Row> rows = {
      {"non-inclusion leaf equal to the search key", [&](auto& p, auto& d) { absent_as_leaf(p, d, true); },
       same(kMalformed + "forged absence: terminal leaf matches the search key")},
      {"non-inclusion leaf off the key's prefix", [&](auto& p, auto& d) { absent_as_leaf(p, d, false); },
       same(kMalformed + "cross-key absence: terminal leaf does not share the search-key prefix")},
      {"wrong depth",
       [](auto& p, auto&) { p.ladder[0].depth++; },
       [&](const qv_kt::Suite& s) {
         auto p = directory(s).search(label);
         return kMalformed + "prefix proof depth " + std::to_string(p.ladder[0].depth + 1) +
                " inconsistent with copath length " + std::to_string(p.ladder[0].elements.size());
       }},
      {"ladder out of order", [](auto& p, auto&) { std::swap(p.ladder[4], p.ladder[5]); },
       same(kMalformed + "search ladder versions do not match the canonical binary ladder")},
      {"ladder missing its last rung", [](auto& p, auto&) { p.ladder.pop_back(); },
       same(kMalformed + "search ladder versions do not match the canonical binary ladder")},
      {"ladder with an extra rung", [&](auto& p, auto& d) { p.ladder.push_back(d.step(label, 8)); },
       same(kMalformed + "search ladder versions do not match the canonical binary ladder")},
      {"greatest claimed below the real one",
       [&](auto& p, auto& d) {
         p.greatest = 4;  // ladder 0, 1, 3, 7, 5, 4
         p.ladder.clear();
         for (uint32_t v : {0u, 1u, 3u, 7u, 5u, 4u}) p.ladder.push_back(d.step(label, v));
         p.revealed = d.revealed(label, 4);
       },
       same(kMalformed + "ladder rung version 5 inclusion true contradicts claimed greatest Some(4)")},
      {"greatest claimed above the real one",
       [&](auto& p, auto& d) {
         p.greatest = 6;  // the same ladder as 5
         p.revealed = d.revealed(label, 6);
       },
       same(kMalformed + "ladder rung version 6 inclusion false contradicts claimed greatest Some(6)")},
      {"present label claimed absent",
       [&](auto& p, auto& d) {
         p.greatest.reset();
         p.ladder = {d.step(label, 0)};
       },
       same(kMalformed + "ladder rung version 0 inclusion true contradicts claimed greatest None")},
      {"revealed value differs", [](auto& p, auto&) { p.revealed->value.push_back('!'); }, same(kCommitmentMismatch)},
      {"revealed opening differs", [](auto& p, auto&) { p.revealed->opening[0] ^= 1; }, same(kCommitmentMismatch)},
      {"rung commitment differs", [&](auto& p, auto&) { (*p.ladder[rung(p, 5)].commitment)[0] ^= 1; },
       same(kRootMismatch)},
      {"opening of the other suites' length",
       [](auto& p, auto& d) { p.revealed->opening.assign(d.suite().opening_len == 16 ? 32 : 16, 7); },
       [](const qv_kt::Suite& s) {
         return kMalformed + "commitment opening must be " + std::to_string(s.opening_len) + " bytes for " +
                std::string(s.name) + ", got " + std::to_string(s.opening_len == 16 ? 32 : 16);
       }},
      {"no revealed value", [](auto& p, auto&) { p.revealed.reset(); },
       same(kMalformed + "present label is missing its revealed value")},
      {"included rung without commitment", [](auto& p, auto&) { p.ladder[1].commitment.reset(); },
       same(kMalformed + "inclusion ladder rung is missing its commitment")},
      {"vrf proof of another version", [&](auto& p, auto& d) { p.ladder[0].vrf_proof = d.vrf(label, 1).first; },
       same("vrf proof did not verify against the namespace public key")},
      {"vrf proof one byte short", [](auto& p, auto&) { p.ladder[0].vrf_proof.pop_back(); },
       [](const qv_kt::Suite& s) {
         return std::string("vrf error: ") + (s.id == 1 ? "invalid length: expected 81 bytes, got 80" : "invalid length: expected 80 bytes, got 79");
       }},
      {"copath element changed", [](auto& p, auto&) { p.ladder[2].elements.back()[31] ^= 1; }, same(kRootMismatch)},
      {"prefix root changed", [](auto& p, auto&) { p.head.prefix_root[0] ^= 1; }, same(kRootMismatch)},
      {"log element dropped", [](auto& p, auto&) { p.head.log_inclusion.pop_back(); },
       same(kMalformed + "batch proof is missing expected element(s)")},
      {"log element added", [](auto& p, auto&) { p.head.log_inclusion.push_back({}); },
       same(kMalformed + "batch proof has unused trailing elements")},
      {"entry index at the tree size", [](auto& p, auto&) { p.head.entry_index = p.head.tree_size; },
       same(kMalformed + "proved leaf index 7 is beyond tree size 7")},
      {"empty log", [](auto& p, auto&) { p.head.tree_size = 0; },
       same(kMalformed + "cannot verify a batch proof against an empty log")},
  };
  for (const auto& suite : qv_kt::suites()) {
    Directory& d = directory(suite);
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(suite.name) + ": " + row.name);
      auto p = d.search(label);
      row.forge(p, d);
      EXPECT_EQ(outcome(search(d, label, qv_kt::encode(p))), row.want(suite));
    }
  }
}

// The experimental suite binds the context into the commitment; the on-spec suites ignore it.
TEST(KeytransVerify, OnlyTheExperimentalSuiteDependsOnTheContext) {
  const Bytes label = label_with(5);
  for (const auto& suite : qv_kt::suites()) {
    SCOPED_TRACE(suite.name);
    Directory& d = directory(suite);
    const std::string want = suite.id == 0xF000 ? kCommitmentMismatch : "ok";
    EXPECT_EQ(outcome(search(d, label, qv_kt::encode(d.search(label)), "tarnfel/keytrans/v2")), want);
    EXPECT_EQ(outcome(fixed(d, label, qv_kt::encode(d.fixed_version(label, 1)), "")), want);
  }
}

TEST(KeytransVerify, MonitoringAndFixedVersionEdgeCases) {
  const Bytes label = label_with(6);
  for (const auto& suite : qv_kt::suites()) {
    SCOPED_TRACE(suite.name);
    Directory& d = directory(suite);
    // Version 7 does not exist: its rung proves non-inclusion, reported as a root mismatch.
    EXPECT_EQ(outcome(monitor(d, label, qv_kt::encode(d.monitor(label, 7)))), kRootMismatch);
    auto m = d.monitor(label, 5);
    ASSERT_EQ(m.ladder.size(), 4u);  // 0, 1, 3, 5
    std::swap(m.ladder[0], m.ladder[1]);
    EXPECT_EQ(outcome(monitor(d, label, qv_kt::encode(m))),
              kMalformed + "monitor ladder versions do not match the canonical monitoring ladder");
    m = d.monitor(label, 5);
    m.ladder.push_back(d.step(label, 6));
    EXPECT_EQ(outcome(monitor(d, label, qv_kt::encode(m))),
              kMalformed + "monitor ladder versions do not match the canonical monitoring ladder");

    // An absent version with a revealed value still reports absence.
    auto f = d.fixed_version(label, 9);
    f.revealed = d.revealed(label, 9);
    auto r = fixed(d, label, qv_kt::encode(f));
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, SearchResult{});
    f = d.fixed_version(label, 2);
    f.revealed.reset();
    EXPECT_EQ(outcome(fixed(d, label, qv_kt::encode(f))), kMalformed + "present fixed version is missing its revealed value");
    f = d.fixed_version(label, 2);
    f.revealed->value.clear();
    EXPECT_EQ(outcome(fixed(d, label, qv_kt::encode(f))), kCommitmentMismatch);
    f = d.fixed_version(label, 2);
    f.step.commitment.reset();
    EXPECT_EQ(outcome(fixed(d, label, qv_kt::encode(f))), kMalformed + "inclusion ladder rung is missing its commitment");
  }
}

TEST(KeytransVerify, SuiteAndRootAreCheckedBeforeTheProof) {
  Directory& d = directory(qv_kt::suites()[0]);
  const Bytes label = label_with(5);
  const Bytes proof = qv_kt::encode(d.search(label));
  const auto root = d.root();
  EXPECT_EQ(outcome(verify_search_suite(3, kContext, d.vrf_public(), root, label, proof)),
            kMalformed + "unknown keytrans suite id 0x0003");
  EXPECT_EQ(outcome(verify_monitor_suite(0xABCD, kContext, d.vrf_public(), root, label, proof)),
            kMalformed + "unknown keytrans suite id 0xabcd");
  EXPECT_EQ(outcome(verify_search(kContext, d.vrf_public(), ByteView(root).first(31), label, Bytes{})),
            kMalformed + "combined root must be 32 bytes, got 31");
  EXPECT_EQ(outcome(verify_fixed_version(kContext, d.vrf_public(), Bytes(33), label, Bytes{})),
            kMalformed + "combined root must be 32 bytes, got 33");
  const Bytes long_label(256, 'x');
  auto p = d.search(label);
  EXPECT_EQ(outcome(verify_search(kContext, d.vrf_public(), root, long_label, qv_kt::encode(p))),
            kMalformed + "VrfInput.label: 256 bytes exceeds the <0..2^8-1> vector bound (255)");
  Bytes other_root(root.begin(), root.end());
  other_root[5] ^= 1;
  EXPECT_EQ(outcome(verify_search(kContext, d.vrf_public(), other_root, label, proof)), kRootMismatch);
  // The same bytes under an on-spec suite read 32-byte commitments and fail in decoding.
  EXPECT_TRUE(outcome(verify_search_suite(2, kContext, d.vrf_public(), root, label, proof)).starts_with(kMalformed));
}

// Greatest version 2^32 - 1: the ladder runs on to 2^33 - 1 and bisects down to 2^32; those
// values are compared by their low 32 bits (2^32 - 1, 2^31 - 1, ..., 1, 0), all of them included.
TEST(KeytransVerify, GreatestVersionAtTheTopOfTheRangeUsesTheLow32Bits) {
  const uint32_t top = 0xFFFFFFFF;
  const auto ladder64 = qv_kt::binary_ladder(top);
  ASSERT_EQ(ladder64.size(), 33u + 1u + 32u);
  std::vector<uint32_t> versions;
  for (uint64_t v : ladder64) versions.push_back(static_cast<uint32_t>(v));
  for (const auto& suite : qv_kt::suites()) {
    SCOPED_TRACE(suite.name);
    Directory d(suite, kContext);
    const Bytes label = to_bytes("top");
    d.add_versions(label, versions);
    d.add_label(to_bytes("neighbour"), 3);
    d.publish(3, 2);
    auto p = d.search(label);
    ASSERT_EQ(p.ladder.size(), ladder64.size());
    EXPECT_EQ(p.ladder[33].version, top);
    EXPECT_EQ(p.ladder.back().version, 0u);
    auto found = search(d, label, qv_kt::encode(p));
    ASSERT_TRUE(found) << message(found.error());
    EXPECT_EQ(found->value, Directory::value_of(label, top));
    EXPECT_TRUE(monitor(d, label, qv_kt::encode(d.monitor(label, top))));
    // A ladder written with the untruncated tail is not canonical.
    p.ladder.resize(34);
    EXPECT_EQ(outcome(search(d, label, qv_kt::encode(p))),
              kMalformed + "search ladder versions do not match the canonical binary ladder");
  }
}

}  // namespace
}  // namespace quorvantile_log::keytrans
