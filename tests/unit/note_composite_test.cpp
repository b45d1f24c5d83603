// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "../abi/abi_support.hpp"
#include "note/signature_type.hpp"
#include "note/verify_signed_note.hpp"
#include "test_support.hpp"

namespace quorvantile_log::note {
namespace {

nlohmann::json fixtures() { return qv_test::read_json(qv_test::data_dir() / "notes" / "composite_notes.json"); }

TEST(CompositeNotes, LabelsMatchTheGenerator) {
  const auto doc = fixtures();
  EXPECT_EQ(doc["signed_note_label"], kSignedNoteLabel);
  EXPECT_EQ(doc["composite_label"], kCompositeLabel);
}

// Notes signed with every framed tag: valid ones verify; a failing composite signature from a
// trusted key is InvalidSignature whatever the reason (corrupted component, wrong context, wrong
// length, unknown or mismatched tag).
TEST(CompositeNotes, EveryTagAndFailure) {
  const auto doc = fixtures();
  std::set<std::string> tags_verified;
  for (const auto& c : doc["cases"]) {
    SCOPED_TRACE(c["tag"].get<std::string>() + ": " + c["what"].get<std::string>());
    const std::vector<std::string> vkeys = c["vkeys"];
    const auto result = verify_signed_note(c["note"].get<std::string>(), vkeys);
    const std::string got = result ? "verified " + std::to_string(*result) : result.error().render();
    EXPECT_EQ(got, c["expect"].get<std::string>());
    if (result) tags_verified.insert(c["tag"]);
  }
  EXPECT_EQ(tags_verified, (std::set<std::string>{"01", "02", "03", "10", "13", "14"}));
}

// A valid line repeated up to the 100-line limit counts once per copy; a copy that differs in
// one signature byte fails as itself, wherever it stands among the repeats.
TEST(CompositeNotes, RepeatedLinesCountEachCopyAndADifferingCopyFails) {
  const auto doc = fixtures();
  for (const auto& c : doc["cases"]) {
    if (c["expect"] != "verified 1") continue;
    SCOPED_TRACE(c["tag"].get<std::string>());
    const std::string note = c["note"].get<std::string>();
    const std::vector<std::string> vkeys = c["vkeys"];
    const std::size_t sep = note.find("\n\n") + 2;
    const std::string body = note.substr(0, sep);
    const std::string line = note.substr(sep);  // the one signature line, with its line feed
    std::string altered = line;
    char& mid = altered[altered.size() / 2];
    mid = mid == 'A' ? 'B' : 'A';
    struct Row {
      std::size_t copies;
      std::size_t altered_at;  // copies means none
      std::string expect;
    };
    const std::vector<Row> rows = {{100, 100, "verified 100"}, {100, 99, "invalid"}, {100, 0, "invalid"}, {2, 1, "invalid"}};
    for (const auto& r : rows) {
      std::string text = body;
      for (std::size_t i = 0; i < r.copies; ++i) text += i == r.altered_at ? altered : line;
      const auto result = verify_signed_note(text, vkeys);
      const std::string got = result ? "verified " + std::to_string(*result) : result.error().render();
      if (r.expect == "invalid") {
        EXPECT_TRUE(got.starts_with("invalid signature for known key")) << r.copies << "/" << r.altered_at << ": " << got;
      } else {
        EXPECT_EQ(got, r.expect);
      }
    }
  }
}

TEST(CompositeNotes, HybridCheckpointInclusionThroughTheExport) {
  const auto cp = fixtures()["checkpoint_2_30"];
  std::vector<qv_abi::Bytes> proof;
  for (const auto& h : cp["proof"]) proof.push_back(qv_test::from_hex(h.get<std::string>()));
  const qv_abi::Bytes leaf = qv_test::from_hex(cp["leaf_hash"].get<std::string>());
  for (const uint64_t index : {cp["leaf_index"].get<uint64_t>(), cp["leaf_index"].get<uint64_t>() + 1}) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(
        qv_abi::string_arg(cp["note"].get<std::string>()), qv_abi::string_list_arg(cp["vkeys"]), index,
        qv_abi::bytes_arg(leaf), qv_abi::bytes_list_arg(proof), &status);
    if (index == cp["leaf_index"].get<uint64_t>()) {
      EXPECT_EQ(status.code, 0) << qv_abi::status_message(status);
    } else {
      ASSERT_EQ(status.code, 1);
      EXPECT_EQ(qv_abi::status_message(status), "root mismatch: recomputed root does not match the expected root");
    }
  }
}

}  // namespace
}  // namespace quorvantile_log::note
