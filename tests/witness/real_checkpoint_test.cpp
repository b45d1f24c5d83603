// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Published, really cosigned checkpoints under policies built from the real witness keys.
#include <gtest/gtest.h>

#include "note/signed_note.hpp"
#include "witness/cosignature.hpp"
#include "witness/operations.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;

TEST(WitnessRealCheckpoints, VerifyUnderRealWitnessKeys) {
  const std::map<std::string, std::string> kRefused = {
      // ECDSA log keys are not log keys here.
      {"pixel-bt-0-2-armoredwitnesses.checkpoint",
       "policy line 1: log key type 0x02 is not a log signature type (0x01, 0x06 or 0xff)"},
      // The log signs under a key name that is not its origin, so no policy log matches.
      {"aw-ftlog-ci-3-2-armoredwitnesses.checkpoint",
       "no log in the policy has key name \"transparency.dev/armored-witness/firmware_transparency/ci/3\""},
  };
  const auto manifest = qv_witness_test::vectors("real/real-checkpoints.json");
  ASSERT_EQ(manifest["cases"].size(), 5u);
  for (const auto& c : manifest["cases"]) {
    const std::string file = c["file"], note_text = qv_witness_test::vector_text("real/" + file);
    SCOPED_TRACE(file);
    std::string policy = "log " + c["log_vkey"].get<std::string>() + "\n", members;
    std::vector<std::string> names;
    uint64_t oldest = UINT64_MAX, newest = 0;
    const auto note = quorvantile_log::note::SignedNote::parse(note_text).value();
    const auto checkpoint = quorvantile_log::checkpoint::Checkpoint::parse(note.text()).value();
    for (const auto& line : c["signature_lines"]) {
      if (line["role"] != "witness") continue;
      std::string name(1, 'w');
      name.append(std::to_string(names.size()));
      names.push_back(name);
      members += " " + names.back();
      policy += "witness " + names.back() + " " + line["witness_vkey_0x04"].get<std::string>() + "\n";
      const uint64_t timestamp = line["timestamp"];
      oldest = std::min(oldest, timestamp);
      newest = std::max(newest, timestamp);
      // Line by line, whatever the log: each real witness line verifies with its timestamp.
      const std::string vkey = line["witness_vkey_0x04"];
      const auto key = w::complete_vkey(w::decode_vkey(vkey).value()).value();
      std::size_t matched = 0;
      for (const auto& sig : note.signatures()) {
        if (sig.name != key.name || sig.key_id != key.key_id) continue;
        EXPECT_EQ(w::check_cosignature(key, checkpoint, note.text(), sig.signature), timestamp);
        ++matched;
      }
      EXPECT_EQ(matched, 1u) << key.name;
    }
    policy += names.empty() ? "quorum none\n" : "group all-of-them all" + members + "\nquorum all-of-them\n";

    const auto result = w::checkpoint_verify_cosigned(note_text, policy);
    if (kRefused.contains(file)) {
      EXPECT_EQ(result.error().render(), kRefused.at(file));
      continue;
    }
    ASSERT_TRUE(result.has_value()) << result.error().render();
    EXPECT_EQ(result->counted_witnesses, names);
    EXPECT_TRUE(result->rejected_witnesses.empty());
    EXPECT_EQ(result->oldest_timestamp, names.empty() ? std::nullopt : std::optional<uint64_t>(oldest));
    EXPECT_EQ(result->newest_timestamp, names.empty() ? std::nullopt : std::optional<uint64_t>(newest));
  }
}

}  // namespace
