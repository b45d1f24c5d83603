// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Cosignature lines: the published Ed25519 and ML-DSA-44 vectors line by line, the signed messages
// byte for byte, and one-byte changes that must break exactly the line they touch.
#include <gtest/gtest.h>

#include <map>

#include "encoding/base64.hpp"
#include "note/key_id.hpp"
#include "note/signed_note.hpp"
#include "witness/cosignature.hpp"
#include "witness/operations.hpp"
#include "witness/policy.hpp"
#include "witness_test_support.hpp"

namespace {

namespace w = quorvantile_log::witness;
using quorvantile_log::checkpoint::Checkpoint;
using quorvantile_log::encoding::base64_encode;

w::Vkey key_of(const std::string& text) {
  auto key = w::complete_vkey(w::decode_vkey(text).value());
  if (!key) throw std::runtime_error(key.error());
  return *key;
}

// "valid" or the reason, for every line of the note that is for `key`.
std::vector<std::string> line_outcomes(std::string_view note_text, const w::Vkey& key) {
  const auto note = quorvantile_log::note::SignedNote::parse(note_text);
  if (!note) return {"malformed-note"};
  const auto checkpoint = Checkpoint::parse(note->text()).value();
  std::vector<std::string> out;
  for (const auto& line : note->signatures()) {
    if (line.name != key.name || line.key_id != key.key_id) continue;
    const auto checked = w::check_cosignature(key, checkpoint, note->text(), line.signature);
    out.emplace_back(checked ? std::string("valid") : std::string(checked.error()));
  }
  return out;
}

// The reason of every line the vectors call invalid. M08 is decided here: its signature holds,
// but it leaves the checkpoint's extension line unsigned, so it does not count.
const std::map<std::string, std::string_view> kReasons = {
    {"E04", w::kReasonTimestamp}, {"E05", w::kReasonTimestamp}, {"E14", w::kReasonLength},
    {"E15", w::kReasonLength},    {"E16", w::kReasonLength},    {"M03", w::kReasonTimestamp},
    {"M09", w::kReasonLength},    {"M08", w::kReasonExtensions},
};

TEST(WitnessCosignature, PublishedCheckpointLines) {
  std::size_t checked = 0;
  for (const char* file : {"derived/ed25519-cosignature.json", "derived/mldsa44-cosignature.json"}) {
    const auto vectors = qv_witness_test::vectors(file);
    for (const auto& c : vectors["cases"]) {
      if (c.value("kind", "checkpoint") != "checkpoint") continue;
      const std::string id = c["id"];
      SCOPED_TRACE(id);
      const std::string vkey = c.contains("witness_vkey") ? c["witness_vkey"] : c["cosigner_vkey"];
      if (id == "E22") {  // decided: a published 0x01 key is refused as a witness key, not converted
        EXPECT_EQ(w::witness_policy_parse("witness a " + vkey + "\nquorum a\n").error().render(),
                  "policy line 1: witness keys are cosignature keys (type 0x04 or 0x06), not type 0x01");
        continue;
      }
      std::vector<std::string> want;
      const auto& status = c["expected_line_status"];
      for (const std::string s : status.is_array() ? status : nlohmann::json::array({status})) {
        if (s == "ignored") continue;
        if (s == "valid" || s == "malformed-note") want.push_back(s);
        else want.emplace_back(kReasons.contains(id) ? kReasons.at(id) : w::kReasonSignature);
      }
      EXPECT_EQ(line_outcomes(c["note"].get<std::string>(), key_of(vkey)), want);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 27u + 12u);
}

uint64_t number(const nlohmann::json& v) { return v.is_string() ? std::stoull(v.get<std::string>()) : v.get<uint64_t>(); }

// Messages against the published bytes; whole-tree subtree vectors also as the checkpoints they
// amount to (subtrees that do not start at 0 have no checkpoint form and are not verified).
TEST(WitnessCosignature, SignedMessagesAndWholeTreeSubtrees) {
  std::size_t compared = 0, whole_tree = 0;
  for (const char* file : {"derived/ed25519-cosignature.json", "derived/mldsa44-cosignature.json"}) {
    const auto vectors = qv_witness_test::vectors(file);
    std::string last_signature;
    for (const auto& c : vectors["cases"]) {
      if (!c.contains("signed_message_hex") && c.value("kind", "") != "subtree") continue;
      SCOPED_TRACE(c["id"].get<std::string>());
      const w::Vkey key = key_of(c.contains("witness_vkey") ? c["witness_vkey"] : c["cosigner_vkey"]);
      std::string body, message;
      uint64_t timestamp = 0;
      if (c.value("kind", "checkpoint") == "subtree") {
        const auto hash = qv_test::from_hex(c["hash_hex"].get<std::string>());
        quorvantile_crypto::Hash32 h{};
        std::copy(hash.begin(), hash.end(), h.begin());
        timestamp = number(c["timestamp"]);
        const auto bytes = w::subtree_v1_message(key.name, timestamp, c["log_origin"].get<std::string>(),
                                                 number(c["start"]), number(c["end"]), h);
        message.assign(bytes.begin(), bytes.end());
        if (number(c["start"]) == 0) {
          body = c["log_origin"].get<std::string>() + "\n" + std::to_string(number(c["end"])) + "\n" + base64_encode(h) + "\n";
          if (c.contains("signature_b64")) last_signature = c["signature_b64"];
        }
      } else if (key.type != w::kEd25519NoteType) {
        const std::string line = c["line_under_test"];
        const auto blob = qv_test::from_base64(line.substr(line.rfind(' ') + 1));
        for (int i = 4; i < 12; ++i) timestamp = timestamp << 8 | blob[i];
        const auto cp = Checkpoint::parse(c["checkpoint_body"].get<std::string>()).value();
        if (key.type == w::kEd25519CosignatureType) {
          message = w::cosignature_v1_message(timestamp, c["checkpoint_body"].get<std::string>());
        } else {
          const auto bytes = w::subtree_v1_message(key.name, timestamp, cp.origin, 0, cp.size, cp.root);
          message.assign(bytes.begin(), bytes.end());
        }
      } else {
        continue;  // E22's note key
      }
      if (c.contains("signed_message_hex")) {
        EXPECT_EQ(qv_test::to_hex(message), c["signed_message_hex"].get<std::string>());
        ++compared;
      }
      if (body.empty()) continue;
      quorvantile_crypto::Bytes blob(8);
      for (int i = 0; i < 8; ++i) blob[i] = static_cast<uint8_t>(timestamp >> (56 - 8 * i));
      const auto signature = qv_test::from_base64(last_signature);
      blob.insert(blob.end(), signature.begin(), signature.end());
      const auto checked = w::check_cosignature(key, Checkpoint::parse(body).value(), body, blob);
      ++whole_tree;
      // A 256-byte origin (M19, signed nowhere) cannot be encoded and is refused before verifying.
      const bool encodable = c["log_origin"].get<std::string>().size() <= 255;
      if (encodable) {
        EXPECT_EQ(checked, timestamp);
      } else {
        EXPECT_EQ(checked, std::unexpected(w::kReasonOriginLength));
      }
    }
  }
  EXPECT_EQ(compared, 13u + 6u);
  EXPECT_EQ(whole_tree, 3u);
}

// The mixed policy (2 of: Ed25519 E, ML-DSA-44 M1 and M2) with all three lines on one checkpoint.
struct MixedNote {
  std::string policy, body;
  std::vector<std::string> lines;  // log line, then E, M1, M2
  std::string note() const {
    std::string out = body + "\n";
    for (const auto& line : lines) out += line + "\n";
    return out;
  }
};

MixedNote mixed_note() {
  const auto file = qv_witness_test::vectors("derived/policy-quorum.json");
  const auto& set = file["quorum_sets"][6];
  const std::string note = set["cases"].back()["note"];
  MixedNote out{set["policy"], note.substr(0, note.find("\n\n") + 1), {}};
  for (std::size_t pos = note.find("\n\n") + 2; pos < note.size(); pos = note.find('\n', pos) + 1) {
    out.lines.push_back(note.substr(pos, note.find('\n', pos) - pos));
  }
  return out;
}

TEST(WitnessCosignature, OneByteChangesBreakOnlyTheirLine) {
  const MixedNote base = mixed_note();
  const std::vector<std::string> names = {"E", "M1", "M2"};
  ASSERT_EQ(w::checkpoint_verify_cosigned(base.note(), base.policy).value().counted_witnesses, names);
  for (std::size_t witness = 0; witness < 3; ++witness) {
    const std::string& line = base.lines[1 + witness];
    const std::size_t space = line.rfind(' ');
    const auto blob = qv_test::from_base64(line.substr(space + 1));
    // Every timestamp byte, every Ed25519 signature byte, a spread of ML-DSA-44 signature bytes.
    for (std::size_t offset = 4; offset < blob.size(); offset += offset < 12 || blob.size() < 100 ? 1 : 37) {
      SCOPED_TRACE(names[witness] + " byte " + std::to_string(offset));
      auto changed_blob = blob;
      changed_blob[offset] ^= offset == 4 ? 0x80 : 0x01;  // the top bit puts the timestamp out of range
      MixedNote changed = base;
      changed.lines[1 + witness] = line.substr(0, space + 1) + base64_encode(changed_blob);
      const auto result = w::checkpoint_verify_cosigned(changed.note(), base.policy);
      ASSERT_TRUE(result.has_value()) << result.error().render();
      std::vector<std::string> others = names;
      others.erase(others.begin() + static_cast<std::ptrdiff_t>(witness));
      EXPECT_EQ(result->counted_witnesses, others);
      EXPECT_EQ(result->rejected_witnesses,
                (std::vector<w::RejectedWitness>{{names[witness], std::string(offset == 4 ? w::kReasonTimestamp : w::kReasonSignature)}}));
    }
  }
  // A changed key is another key: its id no longer matches the line, which is then ignored.
  auto key = qv_test::from_base64("BFhZSmQj9+SoL+p/nN0Hh76xXmF7QcHfytUrI1XfSClk");
  key[5] ^= 0x01;
  char id[9];
  std::snprintf(id, sizeof id, "%08x", quorvantile_log::note::compute_key_id("Wit1", key));
  std::string policy = base.policy;
  const std::size_t at = policy.find("Wit1+");
  policy.replace(at, policy.find('\n', at) - at, "Wit1+" + std::string(id) + "+" + base64_encode(key));
  const auto result = w::checkpoint_verify_cosigned(base.note(), policy);
  EXPECT_EQ(result.value().counted_witnesses, (std::vector<std::string>{"M1", "M2"}));
  EXPECT_TRUE(result->rejected_witnesses.empty());
  // A changed size or root byte breaks the log line and every cosignature line.
  const w::Vkey e = w::Policy::parse(base.policy).value().witnesses.at(0).key;
  for (std::size_t i = base.body.find('\n') + 1; i < base.body.size(); ++i) {
    MixedNote changed = base;
    char& c = changed.body[i];
    if (c == '\n' || c == '=' || (i + 3 == base.body.size())) continue;  // keep the root canonical base64
    c = c == '9' ? '8' : c >= '0' && c < '9' ? static_cast<char>(c + 1) : c == 'A' ? 'B' : 'A';
    SCOPED_TRACE("body byte " + std::to_string(i));
    EXPECT_EQ(w::checkpoint_verify_cosigned(changed.note(), base.policy).error().kind(),
              w::WitnessError::Kind::InvalidLogSignature);
    EXPECT_EQ(line_outcomes(changed.note(), e), std::vector<std::string>{std::string(w::kReasonSignature)});
  }
}

}  // namespace
