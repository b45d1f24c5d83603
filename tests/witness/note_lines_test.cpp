// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Which lines of a cosigned note decide the outcome: a log that rotates its key (two policy log
// keys with the origin as name), and a witness whose lines repeat or disagree, where only the
// newest line that verifies counts and copies of a line change nothing.
#include <gtest/gtest.h>

#include <array>

#include "encoding/base64.hpp"
#include "note_test_signer.hpp"
#include "witness/cosignature.hpp"
#include "witness/operations.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using qv_test::Ed25519NoteSigner;

const std::string kOrigin = "example.com/rotating-log";

std::string checkpoint_text() {
  std::array<uint8_t, 32> root{};
  root.fill(0x5A);
  return kOrigin + "\n42\n" + quorvantile_log::encoding::base64_encode(root) + "\n";
}

std::string note_with(const std::string& lines) { return checkpoint_text() + "\n" + lines; }

std::string outcome(const w::WitnessResult<w::CosignedCheckpoint>& result) {
  return result ? "ok" : result.error().render();
}

TEST(WitnessNoteLines, LogKeyRotation) {
  const Ed25519NoteSigner old_key(kOrigin, 1), new_key(kOrigin, 2), stranger("example.com/other", 3);
  const std::string text = checkpoint_text();
  const std::string policy = "log " + old_key.vkey() + "\nlog " + new_key.vkey() + "\nquorum none\n";
  const auto forged = [&](const Ed25519NoteSigner& key) { return key.line_with(std::vector<uint8_t>(64, 0x11)); };
  const auto key_id = [](const Ed25519NoteSigner& key) {
    char id[9];
    std::snprintf(id, sizeof id, "%08x", key.key_id());
    return std::string(id);
  };
  const std::string name = "\"" + kOrigin + "\"";
  struct Row {
    const char* name;
    std::string lines;
    std::string want;
  };
  const Row rows[] = {
      {"old key only", old_key.line(text), "ok"},
      {"new key only", new_key.line(text), "ok"},
      {"both keys", new_key.line(text) + old_key.line(text), "ok"},
      {"new key valid, forged old-key line", new_key.line(text) + forged(old_key),
       "invalid log signature for key " + name + " (key id " + key_id(old_key) + ")"},
      {"old key valid, forged new-key line", old_key.line(text) + forged(new_key),
       "invalid log signature for key " + name + " (key id " + key_id(new_key) + ")"},
      {"both forged: the first listed key is reported", forged(new_key) + forged(old_key),
       "invalid log signature for key " + name + " (key id " + key_id(old_key) + ")"},
      {"neither: the first listed key is named", stranger.line(text),
       "checkpoint has no signature from log key " + name + " (key id " + key_id(old_key) + ")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto result = w::checkpoint_verify_cosigned(note_with(row.lines), policy);
    EXPECT_EQ(outcome(result), row.want);
    if (result) {
      EXPECT_EQ(result->log_key_name, kOrigin);
    }
  }
}

TEST(WitnessNoteLines, RepeatedAndDisagreeingCosignatureLines) {
  const Ed25519NoteSigner log(kOrigin, 1), a("witness-a", 4, 0x04), b("witness-b", 5, 0x04);
  const std::string text = checkpoint_text();
  const std::string policy = "log " + log.vkey() + "\nwitness A " + a.vkey() + "\nwitness B " + b.vkey() + "\nquorum none\n";
  // A line claiming `timestamp` whose signature does not verify, and one too short to hold one.
  const auto bogus = [](const Ed25519NoteSigner& key, uint64_t timestamp) {
    std::vector<uint8_t> blob(72, 0x22);
    for (int i = 0; i < 8; ++i) blob[i] = static_cast<uint8_t>(timestamp >> (56 - 8 * i));
    return key.line_with(blob);
  };
  const std::string short_line = a.line_with(std::vector<uint8_t>(10, 0x33));
  const auto times = [](const std::string& line, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += line;
    return out;
  };
  struct Row {
    const char* name;
    std::string lines;
    std::vector<std::string> counted;
    std::vector<w::RejectedWitness> rejected;
    std::optional<uint64_t> oldest, newest;
  };
  const std::string invalid(w::kReasonSignature), length(w::kReasonLength);
  const Row rows[] = {
      {"99 copies of one bogus line", times(bogus(a, 7), 99), {}, {{"A", invalid}}, {}, {}},
      {"a valid line among copies of a bogus one", times(bogus(a, 9), 50) + a.cosignature_line(text, 5) +
                                                       times(bogus(a, 9), 48),
       {"A"}, {}, 5, 5},
      {"bogus lines claiming newer times than the valid one",
       bogus(a, 1000) + a.cosignature_line(text, 10) + bogus(a, 999), {"A"}, {}, 10, 10},
      {"the newest of several valid lines, repeated", times(a.cosignature_line(text, 10), 3) +
                                                          a.cosignature_line(text, 30) + a.cosignature_line(text, 20),
       {"A"}, {}, 30, 30},
      {"none verifies: the first line's reason in note order", short_line + times(bogus(a, 8), 3), {},
       {{"A", length}}, {}, {}},
      {"witnesses settle apart", b.cosignature_line(text, 3) + times(bogus(a, 4), 2) + a.cosignature_line(text, 6) +
                                     times(bogus(b, 40), 2),
       {"A", "B"}, {}, 3, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto result = w::checkpoint_verify_cosigned(note_with(log.line(text) + row.lines), policy);
    ASSERT_TRUE(result) << result.error().render();
    EXPECT_EQ(result->counted_witnesses, row.counted);
    EXPECT_EQ(result->rejected_witnesses, row.rejected);
    EXPECT_EQ(result->oldest_timestamp, row.oldest);
    EXPECT_EQ(result->newest_timestamp, row.newest);
  }
}

}  // namespace
