// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Proof bundles: the published bundles with the step each must fail at (or pass), the framing
// rules with their exact messages, and the verified values.
#include <gtest/gtest.h>

#include <map>

#include "witness/operations.hpp"
#include "witness/tlog_proof.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using Kind = w::WitnessError::Kind;

// The step a bundle fails at, told apart by the error kind.
std::string step_of(const w::WitnessError& error) {
  switch (error.kind()) {
    case Kind::MalformedProof:
      return "parse";
    case Kind::Library: {
      const std::string message = error.render();
      return message.starts_with("malformed signed note") || message.starts_with("malformed checkpoint") ? "parse"
                                                                                                        : "inclusion";
    }
    case Kind::UnknownLog:
    case Kind::MissingLogSignature:
    case Kind::InvalidLogSignature:
    case Kind::UncoveredExtensions:
      return "log-signature";
    case Kind::QuorumNotMet:
      return "quorum";
    default:
      return "other: " + error.render();
  }
}

// The exact message of every failing bundle.
const std::map<std::string, std::string> kMessages = {
    {"V06", "root mismatch: recomputed root does not match the expected root"},
    {"V07", "root mismatch: recomputed root does not match the expected root"},
    {"V08", "wrong proof size: got 5, want 4"},
    {"V09", "wrong proof size: got 3, want 4"},
    {"V10", "leaf index 13 is beyond tree size 13"},
    {"V11", "malformed tlog proof: line 2: index \"05\" is not a 64-bit decimal number without leading zeros"},
    {"V12", "malformed tlog proof: line 2: index \"+5\" is not a 64-bit decimal number without leading zeros"},
    {"V13", "malformed tlog proof: line 2: index \"5 \" is not a 64-bit decimal number without leading zeros"},
    {"V15", "malformed tlog proof: line 3: proof hash is not canonical base64"},
    {"V16", "malformed tlog proof: line 1: unknown header \"c2sp.org/tlog-proof@v2\""},
    {"V17", "malformed tlog proof: line 1: unknown header \"c2sp.org/tlog-proof@v1\\r\""},
    {"V18", "witness quorum \"g\" not met: 1 witness counted"},
    {"V20", "checkpoint has no signature from log key \"sigsum.org/v1/tree/"
            "e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69\" (key id 809da1a3)"},
    {"V21", "no log in the policy has key name \"example.com/other-log\""},
    {"V23", "malformed tlog proof: line 2: extra data is not canonical base64"},
    {"V24", "malformed tlog proof: line 3: proof hash is 31 bytes, want 32"},
    {"V29", "leaf index 18446744073709551615 is beyond tree size 13"},
    {"V31", "malformed tlog proof: line 2: missing index line"},
};

TEST(WitnessTlogProof, PublishedBundles) {
  const auto file = qv_witness_test::vectors("derived/tlog-proof.json");
  std::size_t verified = 0;
  for (const auto& c : file["cases"]) {
    const std::string id = c["id"];
    SCOPED_TRACE(id);
    const std::string policy = c["policy"].is_string() ? c["policy"] : file["default_policy"];
    auto leaf_hash = qv_test::from_hex(c["leaf_hash_hex"].get<std::string>());
    const auto result = w::tlog_proof_verify(c["proof"].get<std::string>(), policy, leaf_hash);
    // Decided: a corrupted known cosignature leaves its witness uncounted (V19), and an empty
    // extra payload is empty extra data (V22).
    if (id == "V19" || id == "V22" || c["expected"] == "ok") {
      ASSERT_TRUE(result.has_value()) << result.error().render();
      if (id == "V02") { EXPECT_EQ(result->extra, qv_test::from_base64(c["extra_data_b64"].get<std::string>())); }
      if (id == "V22") { EXPECT_EQ(result->extra, quorvantile_crypto::Bytes{}); }
      if (id == "V19") {
        EXPECT_EQ(result->extra, std::nullopt);
        EXPECT_EQ(result->checkpoint.rejected_witnesses, (std::vector<w::RejectedWitness>{{"B", "invalid signature"}}));
      }
      leaf_hash.pop_back();  // the leaf hash must be 32 bytes
      EXPECT_EQ(w::tlog_proof_verify(c["proof"].get<std::string>(), policy, leaf_hash).error().render(),
                "invalid hash length: got 31 bytes, want 32");
      ++verified;
      continue;
    }
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(step_of(result.error()), c["expected"].get<std::string>()) << result.error().render();
    if (kMessages.contains(id)) { EXPECT_EQ(result.error().render(), kMessages.at(id)); }
  }
  EXPECT_EQ(verified, 9u);
}

// Framing rules the published bundles leave out.
TEST(WitnessTlogProof, FramingRules) {
  const std::string head = "c2sp.org/tlog-proof@v1\n", hash = "IVvpArDzjUKt4TKsdd4PIOw8pMJyPFT+fL9GwdM34J0=\n";
  std::string hashes;
  for (int i = 0; i < 64; ++i) hashes += hash;
  const std::pair<std::string, std::string> rows[] = {
      {"c2sp.org/tlog-proof@v1", "missing header line"},
      {head + "extra AB==\nindex 0\n\nx", "line 2: extra data is not canonical base64"},
      {head + "index 18446744073709551616\n\nx",
       "line 2: index \"18446744073709551616\" is not a 64-bit decimal number without leading zeros"},
      {head + "index 0\n" + hash, "line 4: missing empty line before the checkpoint"},
      {head + "index 0\n" + hash + "\n", "line 5: missing checkpoint"},
      {head + "index 0\n" + hashes + hash + "\nx", "line 67: more than 64 proof hashes"},
      {head + "index 18446744073709551615\n" + hashes + "\nx", ""},
  };
  for (const auto& [text, rule] : rows) {
    SCOPED_TRACE(rule);
    const auto bundle = w::parse_tlog_proof(text);
    if (rule.empty()) {
      EXPECT_EQ(bundle.value().note, "x");
      EXPECT_EQ(bundle->proof.size(), 64u);
    } else {
      EXPECT_EQ(bundle.error().render(), "malformed tlog proof: " + rule);
    }
  }
}

}  // namespace
