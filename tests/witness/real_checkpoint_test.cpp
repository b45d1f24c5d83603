// Published, really cosigned checkpoints under policies built from the real witness keys.
#include <gtest/gtest.h>

#include "checkpoint/checkpoint.hpp"
#include "note/signed_note.hpp"
#include "witness/cosignature.hpp"
#include "witness/operations.hpp"
#include "witness/policy.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;

struct RealCase {
  std::string file;
  std::string note;
  std::string log_vkey;
  std::vector<nlohmann::json> witness_lines;
};

std::vector<RealCase> real_cases() {
  std::vector<RealCase> out;
  const auto manifest = qv_witness_test::vectors("real/real-checkpoints.json");
  for (const auto& c : manifest["cases"]) {
    RealCase r{c["file"], qv_witness_test::vector_text("real/" + c["file"].get<std::string>()), c["log_vkey"], {}};
    for (const auto& line : c["signature_lines"]) {
      if (line["role"] == "witness") r.witness_lines.push_back(line);
    }
    out.push_back(std::move(r));
  }
  return out;
}

// The whole-policy result where the log's key type and name allow it; otherwise the reason the
// policy or the origin refuses the log. Every witness line verifies under its real key.
TEST(WitnessRealCheckpoints, VerifyUnderRealWitnessKeys) {
  const std::map<std::string, std::string> kLogOutcome = {
      {"arche2025h1-staging-4-witnesses.checkpoint", "ok"},
      // ECDSA log keys are not log keys here.
      {"pixel-bt-0-2-armoredwitnesses.checkpoint",
       "policy line 1: log key type 0x02 is not a log signature type (0x01, 0x06 or 0xff)"},
      // The log signs under a key name that is not its origin, so no policy log matches it.
      {"aw-ftlog-ci-3-2-armoredwitnesses.checkpoint",
       "no log in the policy has key name \"transparency.dev/armored-witness/firmware_transparency/ci/3\""},
      {"sigsum-go-seed17-log.checkpoint", "ok"},
      {"torchwood-mldsa44-log.checkpoint", "ok"},
  };
  const auto cases = real_cases();
  ASSERT_EQ(cases.size(), 5u);
  for (const RealCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::string policy = "log " + c.log_vkey + "\n";
    std::vector<std::string> names;
    for (std::size_t i = 0; i < c.witness_lines.size(); ++i) {
      std::string name(1, 'w');
      name.append(std::to_string(i));
      names.push_back(name);
      policy += "witness " + names.back() + " " + c.witness_lines[i]["witness_vkey_0x04"].get<std::string>() + "\n";
    }
    policy += "group all-of-them all";
    for (const auto& name : names) policy += " " + name;
    policy += names.empty() ? "\nquorum none\n" : "\nquorum all-of-them\n";
    if (names.empty()) policy = "log " + c.log_vkey + "\nquorum none\n";

    const auto result = w::checkpoint_verify_cosigned(c.note, policy);
    const std::string& want = kLogOutcome.at(c.file);
    if (want != "ok") {
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().render(), want);
    } else {
      ASSERT_TRUE(result.has_value()) << result.error().render();
      EXPECT_EQ(result->counted_witnesses, names);
      EXPECT_TRUE(result->rejected_witnesses.empty());
      if (!names.empty()) {
        uint64_t oldest = UINT64_MAX, newest = 0;
        for (const auto& line : c.witness_lines) {
          oldest = std::min(oldest, line["timestamp"].get<uint64_t>());
          newest = std::max(newest, line["timestamp"].get<uint64_t>());
        }
        EXPECT_EQ(result->oldest_timestamp, oldest);
        EXPECT_EQ(result->newest_timestamp, newest);
      } else {
        EXPECT_EQ(result->oldest_timestamp, std::nullopt);
      }
    }

    // Line by line, independent of the log: each real witness line verifies with its timestamp.
    const auto note = quorvantile_log::note::SignedNote::parse(c.note);
    ASSERT_TRUE(note.has_value());
    const auto checkpoint = quorvantile_log::checkpoint::Checkpoint::parse(note->text());
    ASSERT_TRUE(checkpoint.has_value());
    for (const auto& line : c.witness_lines) {
      const std::string vkey = line["witness_vkey_0x04"];
      auto encoded = w::decode_vkey(vkey);
      ASSERT_TRUE(encoded.has_value());
      const auto key = w::complete_vkey(*encoded);
      ASSERT_TRUE(key.has_value());
      std::size_t matched = 0;
      for (const auto& sig : note->signatures()) {
        if (sig.name != key->name || sig.key_id != key->key_id) continue;
        EXPECT_EQ(w::check_cosignature(*key, *checkpoint, note->text(), sig.signature), line["timestamp"].get<uint64_t>());
        ++matched;
      }
      EXPECT_EQ(matched, 1u) << key->name;
    }
  }
}

// The published 0x01 forms of the Armored Witness keys are refused as witness keys, and their
// key ids do not match the cosignature lines anyway.
TEST(WitnessRealCheckpoints, PublishedNoteKeysAreNotWitnessKeys) {
  for (const RealCase& c : real_cases()) {
    for (const auto& line : c.witness_lines) {
      if (!line.contains("published_vkey_0x01")) continue;
      const auto result =
          w::witness_policy_parse("witness a " + line["published_vkey_0x01"].get<std::string>() + "\nquorum a\n");
      ASSERT_FALSE(result.has_value());
      EXPECT_EQ(result.error().render(),
                "policy line 1: witness keys are cosignature keys (type 0x04 or 0x06), not type 0x01");
    }
  }
}

}  // namespace
