// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The failure-kind table the bindings are generated with (tools/bindgen/error_kinds.json) against
// both error catalogues: every kind the library renders is one of the table's example messages of
// the expected kind (the bindings' tests map every example to its kind), and every witness kind
// has the exported variant it must.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "error/error.hpp"
#include "test_support.hpp"
#include "witness/witness_error.hpp"

namespace {

using quorvantile_log::Error;
using quorvantile_log::witness::WitnessError;
using Category = WitnessError::Category;

// kind -> its example messages.
std::map<std::string, std::set<std::string>> table_examples() {
  std::ifstream in(qv_test::data_dir() / ".." / ".." / "tools" / "bindgen" / "error_kinds.json");
  const auto table = nlohmann::json::parse(in);
  std::map<std::string, std::set<std::string>> out;
  for (const auto& row : table["kinds"]) out[row["kind"]] = row["examples"].get<std::set<std::string>>();
  return out;
}

TEST(ErrorKinds, EveryLogCatalogueKindRendersAnExampleOfItsKind) {
  const struct {
    Error error;
    std::string kind;
    Category category;  // as a library failure inside the witness component
  } cases[] = {
      {Error::leaf_index_beyond_size(5, 5), "leaf_index_beyond_size", Category::FailedCheck},
      {Error::wrong_proof_size(1, 2), "wrong_proof_size", Category::FailedCheck},
      {Error::invalid_hash_length(31, 32), "invalid_hash_length", Category::MalformedInput},
      {Error::root_mismatch(), "root_mismatch", Category::FailedCheck},
      {Error::empty_tree_consistency(), "empty_tree_consistency", Category::FailedCheck},
      {Error::tree_size_regression(8, 3), "tree_size_regression", Category::FailedCheck},
      {Error::non_empty_equal_size_proof(), "non_empty_equal_size_proof", Category::FailedCheck},
      {Error::malformed_leaf("enc_x25519 must be 32 bytes"), "malformed_leaf", Category::MalformedInput},
      {Error::malformed_checkpoint("missing tree size"), "malformed_checkpoint", Category::MalformedInput},
      {Error::malformed_note("no signature lines"), "malformed_note", Category::MalformedInput},
      {Error::invalid_signature("alpha", 0x1a2b), "invalid_signature", Category::FailedCheck},
      {Error::no_trusted_signature(), "no_trusted_signature", Category::FailedCheck},
      {Error::malformed_namespace("empty"), "malformed_namespace", Category::MalformedInput},
      {Error::vrf("invalid public key"), "vrf", Category::FailedCheck},
      {Error::vrf_proof_invalid(), "vrf_proof_invalid", Category::FailedCheck},
      {Error::commitment_mismatch(), "commitment_mismatch", Category::FailedCheck},
      {Error::malformed_coniks_proof("truncated"), "malformed_coniks_proof", Category::MalformedInput},
      {Error::coniks_root_mismatch(), "coniks_root_mismatch", Category::FailedCheck},
      {Error::malformed_policy(""), "malformed_policy", Category::MalformedInput},
      {Error::posture_mismatch("Sha3_512", "Sha3_256"), "posture_mismatch", Category::FailedCheck},
      {Error::malformed_keytrans("trailing bytes"), "malformed_keytrans", Category::MalformedInput},
      {Error::keytrans_root_mismatch(), "keytrans_root_mismatch", Category::FailedCheck},
  };
  const auto examples = table_examples();
  std::set<Error::Kind> covered;
  for (const auto& c : cases) {
    const std::string message = c.error.render();
    ASSERT_TRUE(examples.contains(c.kind)) << c.kind;
    EXPECT_TRUE(examples.at(c.kind).contains(message)) << c.kind << ": " << message;
    EXPECT_EQ(WitnessError::library(c.error).category(), c.category) << message;
    covered.insert(c.error.kind());
  }
  EXPECT_EQ(covered.size(), static_cast<std::size_t>(Error::Kind::KeytransRootMismatch) + 1) << "a kind has no row";
}

TEST(ErrorKinds, EveryWitnessCatalogueKindRendersAnExampleOfItsKindAndHasItsVariant) {
  const struct {
    WitnessError error;
    std::string kind;
    Category category;
  } cases[] = {
      {WitnessError::malformed_policy(3, "unknown keyword \"wtness\""), "malformed_witness_policy",
       Category::MalformedPolicy},
      {WitnessError::malformed_policy(0, "no quorum line"), "malformed_witness_policy", Category::MalformedPolicy},
      {WitnessError::malformed_proof("missing index line"), "malformed_tlog_proof", Category::MalformedInput},
      {WitnessError::unknown_log("example.com/log"), "unknown_log", Category::FailedCheck},
      {WitnessError::missing_log_signature("example.com/log", 0x0a1b2c3d), "missing_log_signature",
       Category::FailedCheck},
      {WitnessError::invalid_log_signature("example.com/log", 0x0a1b2c3d), "invalid_log_signature",
       Category::FailedCheck},
      {WitnessError::uncovered_extensions("example.com/log", 0x0a1b2c3d), "uncovered_extensions",
       Category::FailedCheck},
      {WitnessError::quorum_not_met("main", 1), "quorum_not_met", Category::FailedCheck},
      {WitnessError::origin_mismatch("a", "b"), "origin_mismatch", Category::FailedCheck},
  };
  const auto examples = table_examples();
  for (const auto& c : cases) {
    const std::string message = c.error.render();
    ASSERT_TRUE(examples.contains(c.kind)) << c.kind;
    EXPECT_TRUE(examples.at(c.kind).contains(message)) << c.kind << ": " << message;
    EXPECT_EQ(c.error.category(), c.category) << message;
  }
}

}  // namespace
