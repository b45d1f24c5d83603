// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The independently generated fixtures: a composite hybrid log cosigned by an Ed25519 and an
// ML-DSA-44 witness, a proof bundle, and an older/newer pair with a consistency proof.
#include <gtest/gtest.h>

#include "witness/operations.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using qv_witness_test::data_text;

TEST(WitnessFixtures, CompositeLogBundleAndBothCosignatureTypes) {
  const auto meta = nlohmann::json::parse(data_text("fixtures.json"));
  const std::string policy = data_text("policy.txt"), unmet = data_text("policy_unmet.txt");
  for (const char* which : {"newer", "older"}) {
    SCOPED_TRACE(which);
    const auto& m = meta[which];
    const std::string note = data_text(std::string("checkpoint_") + which + ".txt");
    const auto result = w::checkpoint_verify_cosigned(note, policy);
    ASSERT_TRUE(result.has_value()) << result.error().render();
    EXPECT_EQ(result->log_key_name, meta["log_key_name"].get<std::string>());
    EXPECT_EQ(result->checkpoint.size, m["size"].get<uint64_t>());
    EXPECT_EQ(qv_test::to_hex(result->checkpoint.root), m["root_hex"].get<std::string>());
    EXPECT_EQ(result->counted_witnesses, m["counted"].get<std::vector<std::string>>());
    EXPECT_EQ(result->oldest_timestamp, m["oldest_timestamp"].get<uint64_t>());
    EXPECT_EQ(result->newest_timestamp, m["newest_timestamp"].get<uint64_t>());
    EXPECT_EQ(w::checkpoint_verify_cosigned(note, unmet).error().render(),
              "witness quorum \"three\" not met: 2 witnesses counted");
    std::string changed = note;  // one character inside the composite log line
    const std::size_t at = changed.find(' ', changed.find("\n\n\xE2\x80\x94 ") + 6) + 21;
    changed[at] = changed[at] == 'A' ? 'B' : 'A';
    EXPECT_EQ(w::checkpoint_verify_cosigned(changed, policy).error().kind(), w::WitnessError::Kind::InvalidLogSignature);
  }
  auto leaf = qv_test::from_hex(meta["leaf_hash_hex"].get<std::string>());
  const auto bundle = w::tlog_proof_verify(data_text("index5.tlog-proof"), policy, leaf);
  ASSERT_TRUE(bundle.has_value()) << bundle.error().render();
  EXPECT_EQ(bundle->index, meta["leaf_index"].get<uint64_t>());
  EXPECT_EQ(bundle->extra, qv_test::from_hex(meta["extra_hex"].get<std::string>()));
  leaf[0] ^= 1;
  EXPECT_EQ(w::tlog_proof_verify(data_text("index5.tlog-proof"), policy, leaf).error().render(),
            "root mismatch: recomputed root does not match the expected root");
}

TEST(WitnessFixtures, Consistency) {
  const std::string policy = data_text("policy.txt"), older = data_text("checkpoint_older.txt"),
                    newer = data_text("checkpoint_newer.txt"), text = data_text("consistency_7_13.txt");
  std::vector<quorvantile_crypto::Bytes> bytes;
  for (std::size_t pos = 0; pos < text.size(); pos = text.find('\n', pos) + 1) {
    bytes.push_back(qv_test::from_base64(text.substr(pos, text.find('\n', pos) - pos)));
  }
  const std::vector<quorvantile_crypto::ByteView> proof(bytes.begin(), bytes.end());
  auto tampered = bytes;
  tampered[0][3] ^= 1;
  // Another log in the same policy, with a valid size-13 checkpoint of its own.
  const auto quorum = qv_witness_test::vectors("derived/policy-quorum.json");
  const std::string other_policy = quorum["log_cases"][0]["policy"], other_note = quorum["log_cases"][0]["note"];
  const std::string two_logs = policy.substr(0, policy.find("group")) + other_policy.substr(0, other_policy.find('\n') + 1) +
                               "quorum none\n";
  struct Row {
    std::string what, older, newer, policy;
    std::vector<quorvantile_crypto::ByteView> proof;
    std::string message;  // empty: consistent
  };
  const Row rows[] = {
      {"older to newer", older, newer, policy, proof, ""},
      {"same checkpoint twice", newer, newer, policy, {}, ""},
      {"reversed", newer, older, policy, proof, "tree size regression: size2 (7) < size1 (13)"},
      {"one hash short", older, newer, policy, {proof.begin(), proof.end() - 1}, "wrong proof size: got 4, want 5"},
      {"tampered", older, newer, policy, {tampered.begin(), tampered.end()},
       "root mismatch: recomputed root does not match the expected root"},
      {"quorum not met", older, newer, data_text("policy_unmet.txt"), proof,
       "witness quorum \"three\" not met: 2 witnesses counted"},
      {"two logs", older, other_note, two_logs, proof,
       "checkpoints are from different logs: \"witness-fixtures.quorvantile.dev/log\" and "
       "\"sigsum.org/v1/tree/e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto result = w::checkpoint_verify_cosigned_consistency(row.older, row.newer, row.policy, row.proof);
    if (row.message.empty()) {
      EXPECT_TRUE(result.has_value()) << result.error().render();
    } else {
      EXPECT_EQ(result.error().render(), row.message);
    }
  }
}

}  // namespace
