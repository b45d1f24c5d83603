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
  const std::string default_policy = file["default_policy"];
  std::size_t verified = 0;
  for (const auto& c : file["cases"]) {
    const std::string id = c["id"];
    SCOPED_TRACE(id);
    const std::string policy = c.contains("policy") && c["policy"].is_string() ? c["policy"].get<std::string>()
                                                                              : default_policy;
    const auto leaf_hash = qv_test::from_hex(c["leaf_hash_hex"].get<std::string>());
    const auto result = w::tlog_proof_verify(c["proof"].get<std::string>(), policy, leaf_hash);
    // Decided: a corrupted known cosignature leaves its witness uncounted (V19), and an empty
    // extra payload is empty extra data (V22).
    const std::string expected = id == "V19" || id == "V22" ? "ok" : c["expected"].get<std::string>();
    if (expected == "ok") {
      ASSERT_TRUE(result.has_value()) << result.error().render();
      ++verified;
      continue;
    }
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(step_of(result.error()), expected) << result.error().render();
    if (const auto it = kMessages.find(id); it != kMessages.end()) {
      EXPECT_EQ(result.error().render(), it->second);
    }
  }
  EXPECT_EQ(verified, 9u);
}

TEST(WitnessTlogProof, VerifiedValues) {
  const auto file = qv_witness_test::vectors("derived/tlog-proof.json");
  for (const auto& c : file["cases"]) {
    const std::string id = c["id"];
    if (id != "V02" && id != "V19" && id != "V22") continue;
    SCOPED_TRACE(id);
    const auto result = w::tlog_proof_verify(c["proof"].get<std::string>(), file["default_policy"].get<std::string>(),
                                             qv_test::from_hex(c["leaf_hash_hex"].get<std::string>()));
    ASSERT_TRUE(result.has_value()) << result.error().render();
    EXPECT_EQ(result->index, 5u);
    EXPECT_EQ(result->checkpoint.checkpoint.size, 13u);
    if (id == "V02") {
      EXPECT_EQ(result->extra, qv_test::from_base64(c["extra_data_b64"].get<std::string>()));
    } else if (id == "V22") {
      EXPECT_EQ(result->extra, quorvantile_crypto::Bytes{});
    } else {
      EXPECT_EQ(result->extra, std::nullopt);
      EXPECT_EQ(result->checkpoint.rejected_witnesses.size(), 1u);
      EXPECT_EQ(result->checkpoint.rejected_witnesses.at(0).reason, "invalid signature");
    }
  }
}

TEST(WitnessTlogProof, FramingRules) {
  const std::string hash = "IVvpArDzjUKt4TKsdd4PIOw8pMJyPFT+fL9GwdM34J0=";
  std::string many;
  for (int i = 0; i < 65; ++i) many += hash + "\n";
  struct Row {
    std::string text;
    std::string message;  // empty: the framing parses
  };
  const Row rows[] = {
      {"", "malformed tlog proof: missing header line"},
      {"c2sp.org/tlog-proof@v1", "malformed tlog proof: missing header line"},
      {"c2sp.org/tlog-proof@v1\n", "malformed tlog proof: line 2: missing index line"},
      {"c2sp.org/tlog-proof@v1\nextra AA==\n", "malformed tlog proof: line 3: missing index line"},
      {"c2sp.org/tlog-proof@v1\nextra AA=\nindex 0\n\nx", "malformed tlog proof: line 2: extra data is not canonical base64"},
      {"c2sp.org/tlog-proof@v1\nextra AB==\nindex 0\n\nx", "malformed tlog proof: line 2: extra data is not canonical base64"},
      {"c2sp.org/tlog-proof@v1\nindex 18446744073709551616\n\nx",
       "malformed tlog proof: line 2: index \"18446744073709551616\" is not a 64-bit decimal number without leading zeros"},
      {"c2sp.org/tlog-proof@v1\nindex \n\nx",
       "malformed tlog proof: line 2: index \"\" is not a 64-bit decimal number without leading zeros"},
      {"c2sp.org/tlog-proof@v1\nindex 0\n", "malformed tlog proof: line 3: missing empty line before the checkpoint"},
      {"c2sp.org/tlog-proof@v1\nindex 0\n" + hash + "\n", "malformed tlog proof: line 4: missing empty line before the checkpoint"},
      {"c2sp.org/tlog-proof@v1\nindex 0\n" + hash + "\n\n", "malformed tlog proof: line 5: missing checkpoint"},
      {"c2sp.org/tlog-proof@v1\nindex 0\n" + hash.substr(0, 43) + "\n\nx", "malformed tlog proof: line 3: proof hash is not canonical base64"},
      {"c2sp.org/tlog-proof@v1\nindex 0\n" + many + "\nx", "malformed tlog proof: line 67: more than 64 proof hashes"},
      {"c2sp.org/tlog-proof@v1\nindex 18446744073709551615\n" + many.substr(0, 64 * 45) + "\nx", ""},
      {"c2sp.org/tlog-proof@v1\nindex 0\n\nx", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 80));
    const auto bundle = w::parse_tlog_proof(row.text);
    if (row.message.empty()) {
      ASSERT_TRUE(bundle.has_value()) << bundle.error().render();
      EXPECT_EQ(bundle->note, "x");
    } else {
      ASSERT_FALSE(bundle.has_value());
      EXPECT_EQ(bundle.error().render(), row.message);
    }
  }
}

TEST(WitnessTlogProof, LeafHashMustBe32Bytes) {
  const auto file = qv_witness_test::vectors("derived/tlog-proof.json");
  const auto& c = file["cases"][0];
  auto leaf_hash = qv_test::from_hex(c["leaf_hash_hex"].get<std::string>());
  leaf_hash.pop_back();
  const auto result = w::tlog_proof_verify(c["proof"].get<std::string>(), file["default_policy"].get<std::string>(), leaf_hash);
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().render(), "invalid hash length: got 31 bytes, want 32");
}

TEST(WitnessTlogProof, ExampleFiles) {
  const std::string policy = qv_witness_test::vector_text("derived/example-policy.txt");
  const auto file = qv_witness_test::vectors("derived/tlog-proof.json");
  for (const auto& c : file["cases"]) {
    if (c["id"] != "V02") continue;
    const auto result = w::tlog_proof_verify(qv_witness_test::vector_text("derived/example-valid-index5-with-extra.tlog-proof"),
                                             policy, qv_test::from_hex(c["leaf_hash_hex"].get<std::string>()));
    ASSERT_TRUE(result.has_value()) << result.error().render();
    EXPECT_EQ(result->index, 5u);
  }
}

}  // namespace
