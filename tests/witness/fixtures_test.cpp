// The independently generated fixtures: a composite hybrid log cosigned by an Ed25519 and an
// ML-DSA-44 witness, a proof bundle, and an older/newer pair with a consistency proof.
#include <gtest/gtest.h>

#include "witness/operations.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using qv_witness_test::data_text;

struct Fixtures {
  nlohmann::json meta = nlohmann::json::parse(data_text("fixtures.json"));
  std::string policy = data_text("policy.txt");
  std::string newer = data_text("checkpoint_newer.txt");
  std::string older = data_text("checkpoint_older.txt");
  std::vector<quorvantile_crypto::Bytes> proof_bytes;

  Fixtures() {
    const std::string text = data_text("consistency_7_13.txt");
    for (std::size_t pos = 0; pos < text.size();) {
      const std::size_t end = text.find('\n', pos);
      proof_bytes.push_back(qv_test::from_base64(text.substr(pos, end - pos)));
      pos = end + 1;
    }
  }
  std::vector<quorvantile_crypto::ByteView> proof() const { return {proof_bytes.begin(), proof_bytes.end()}; }
};

TEST(WitnessFixtures, CompositeLogWithBothCosignatureTypes) {
  const Fixtures f;
  for (const char* which : {"newer", "older"}) {
    SCOPED_TRACE(which);
    const auto& meta = f.meta[which];
    const auto result = w::checkpoint_verify_cosigned(std::string(which) == "newer" ? f.newer : f.older, f.policy);
    ASSERT_TRUE(result.has_value()) << result.error().render();
    EXPECT_EQ(result->log_key_name, f.meta["log_key_name"].get<std::string>());
    EXPECT_EQ(result->checkpoint.origin, f.meta["origin"].get<std::string>());
    EXPECT_EQ(result->checkpoint.size, meta["size"].get<uint64_t>());
    EXPECT_EQ(qv_test::to_hex(result->checkpoint.root), meta["root_hex"].get<std::string>());
    EXPECT_EQ(result->counted_witnesses, meta["counted"].get<std::vector<std::string>>());
    EXPECT_TRUE(result->rejected_witnesses.empty());
    EXPECT_EQ(result->oldest_timestamp, meta["oldest_timestamp"].get<uint64_t>());
    EXPECT_EQ(result->newest_timestamp, meta["newest_timestamp"].get<uint64_t>());
  }
  const auto unmet = w::checkpoint_verify_cosigned(f.newer, data_text("policy_unmet.txt"));
  ASSERT_FALSE(unmet.has_value());
  EXPECT_EQ(unmet.error().render(), "witness quorum \"three\" not met: 2 witnesses counted");
}

TEST(WitnessFixtures, CompositeLogSignatureMustVerify) {
  const Fixtures f;
  // One byte of the composite line changed (inside its Ed25519 component).
  std::string note = f.newer;
  const std::size_t at = note.find("\n\n\xE2\x80\x94 ") + 2;
  const std::size_t blob = note.find(' ', at + 4) + 1;
  note[blob + 20] = note[blob + 20] == 'A' ? 'B' : 'A';
  const auto result = w::checkpoint_verify_cosigned(note, f.policy);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().kind(), w::WitnessError::Kind::InvalidLogSignature) << result.error().render();
}

TEST(WitnessFixtures, ProofBundle) {
  const Fixtures f;
  const auto leaf_hash = qv_test::from_hex(f.meta["leaf_hash_hex"].get<std::string>());
  const auto result = w::tlog_proof_verify(data_text("index5.tlog-proof"), f.policy, leaf_hash);
  ASSERT_TRUE(result.has_value()) << result.error().render();
  EXPECT_EQ(result->index, f.meta["leaf_index"].get<uint64_t>());
  EXPECT_EQ(result->extra, qv_test::from_hex(f.meta["extra_hex"].get<std::string>()));
  EXPECT_EQ(result->checkpoint.counted_witnesses, (std::vector<std::string>{"ed1", "pq1"}));

  auto other_leaf = leaf_hash;
  other_leaf[0] ^= 1;
  const auto wrong = w::tlog_proof_verify(data_text("index5.tlog-proof"), f.policy, other_leaf);
  ASSERT_FALSE(wrong.has_value());
  EXPECT_EQ(wrong.error().render(), "root mismatch: recomputed root does not match the expected root");
  const auto unmet = w::tlog_proof_verify(data_text("index5.tlog-proof"), data_text("policy_unmet.txt"), leaf_hash);
  ASSERT_FALSE(unmet.has_value());
  EXPECT_EQ(unmet.error().kind(), w::WitnessError::Kind::QuorumNotMet);
}

TEST(WitnessFixtures, Consistency) {
  const Fixtures f;
  const auto proof = f.proof();
  struct Row {
    std::string what, older, newer, policy;
    std::vector<quorvantile_crypto::ByteView> proof;
    std::string message;  // empty: consistent
  };
  std::vector<quorvantile_crypto::ByteView> short_proof(proof.begin(), proof.end() - 1);
  auto tampered_bytes = f.proof_bytes;
  tampered_bytes[0][3] ^= 1;
  const std::vector<quorvantile_crypto::ByteView> tampered(tampered_bytes.begin(), tampered_bytes.end());
  const Row rows[] = {
      {"older to newer", f.older, f.newer, f.policy, proof, ""},
      {"reversed", f.newer, f.older, f.policy, proof, "tree size regression: size2 (7) < size1 (13)"},
      {"same checkpoint twice", f.newer, f.newer, f.policy, {}, ""},
      {"proof one hash short", f.older, f.newer, f.policy, short_proof, "wrong proof size: got 4, want 5"},
      {"tampered proof", f.older, f.newer, f.policy, tampered,
       "root mismatch: recomputed root does not match the expected root"},
      {"newer quorum not met", f.older, f.newer, data_text("policy_unmet.txt"), proof,
       "witness quorum \"three\" not met: 2 witnesses counted"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const auto result = w::checkpoint_verify_cosigned_consistency(row.older, row.newer, row.policy, row.proof);
    if (row.message.empty()) {
      EXPECT_TRUE(result.has_value()) << result.error().render();
    } else {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().render(), row.message);
    }
  }
}

// Two logs in one policy: a proof between their checkpoints is refused before it is looked at.
TEST(WitnessFixtures, ConsistencyNeedsOneOrigin) {
  const Fixtures f;
  const auto quorum = qv_witness_test::vectors("derived/policy-quorum.json");
  const std::string other_note = quorum["log_cases"][0]["note"];  // a valid size-13 checkpoint of another log
  const std::string other_log = quorum["log_cases"][0]["policy"].get<std::string>();
  const std::string policy = f.policy.substr(0, f.policy.find("quorum")) + other_log.substr(0, other_log.find('\n') + 1) +
                             "quorum both\n";
  const auto two_logs = w::witness_policy_parse(policy);
  ASSERT_TRUE(two_logs.has_value()) << two_logs.error().render();
  ASSERT_EQ(two_logs->log_key_names.size(), 2u);
  const std::string relaxed = policy.substr(0, policy.find("quorum")) + "quorum none\n";
  const auto result = w::checkpoint_verify_cosigned_consistency(f.older, other_note, relaxed, f.proof());
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().render(),
            "checkpoints are from different logs: \"witness-fixtures.quorvantile.dev/log\" and "
            "\"sigsum.org/v1/tree/e796172b92befd62d9dc67e41c2f5bc9d3100a3023b20b1ca40288dd1c679e69\"");
}

}  // namespace
