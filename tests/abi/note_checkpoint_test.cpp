// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Signed notes and checkpoints through the C interface, on the published notes and checkpoint
// proofs, as a binding would call them.
#include <gtest/gtest.h>

#include "abi_support.hpp"
#include "test_support.hpp"

namespace qv_abi {
namespace {

std::vector<std::string> strings(const nlohmann::json& arr) {
  std::vector<std::string> out;
  for (const auto& s : arr) out.push_back(s.get<std::string>());
  return out;
}

std::vector<Bytes> hashes(const nlohmann::json& arr) {
  std::vector<Bytes> out;
  for (const auto& h : arr) out.push_back(qv_test::from_hex(h.get<std::string>()));
  return out;
}

TEST(NoteAbi, PublishedNotesVerifyOrFailWithCode1) {
  const auto j = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "notes.json");
  int valid = 0, invalid = 0;
  for (const auto& c : j["cases"]) {
    RustCallStatus status{};
    const uint32_t lines = uniffi_quorvantile_log_fn_func_verify_signed_note(
        string_arg(c["note"].get<std::string>()), string_list_arg(strings(c["vkeys"])), &status);
    if (c["expect"] == "valid") {
      EXPECT_EQ(status.code, 0) << c["id"] << ": " << (status.code ? status_message(status) : "");
      EXPECT_EQ(lines, c["verified_lines"].get<uint32_t>()) << c["id"];
      ++valid;
    } else {
      EXPECT_EQ(status.code, 1) << c["id"];
      EXPECT_EQ(lines, 0u);
      EXPECT_FALSE(status_message(status).empty());
      ++invalid;
    }
  }
  EXPECT_EQ(valid, 32);
  EXPECT_EQ(invalid, 16);
}

TEST(NoteAbi, InvalidUtf8InAVerifierKeyIsALiftingFailure) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_verify_signed_note(string_arg("x\n\n"), string_list_arg({"ok", "a\xff"}), &status);
  EXPECT_EQ(status.code, 2);
  EXPECT_EQ(status_message(status), "Failed to convert arg 'vkeys':\ninvalid utf-8 sequence of 1 bytes from index 1");
}

class CheckpointAbi : public ::testing::Test {
 protected:
  void SetUp() override { j_ = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "checkpoint_proofs.json"); }
  std::string note(const nlohmann::json& id) const { return j_["checkpoints"][id.get<std::string>()].get<std::string>(); }
  std::vector<std::string> keys() const { return {j_["vkey"].get<std::string>()}; }
  nlohmann::json j_;
};

TEST_F(CheckpointAbi, PublishedInclusionProofs) {
  int count = 0;
  for (const auto& c : j_["inclusion"]) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(
        string_arg(note(c["checkpoint"])), string_list_arg(keys()), c["leaf_index"].get<uint64_t>(),
        bytes_arg(qv_test::from_hex(c["leaf_hash"].get<std::string>())), bytes_list_arg(hashes(c["proof"])), &status);
    const bool want_ok = c["expect"] == "valid";
    EXPECT_EQ(status.code, want_ok ? 0 : 1) << c.dump();
    if (status.code != 0) status_message(status);
    ++count;
  }
  EXPECT_EQ(count, 120);
}

TEST_F(CheckpointAbi, PublishedConsistencyProofs) {
  int count = 0;
  for (const auto& c : j_["consistency"]) {
    RustCallStatus status{};
    uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(string_arg(note(c["older"])), string_arg(note(c["newer"])),
                                                                 string_list_arg(keys()),
                                                                 bytes_list_arg(hashes(c["proof"])), &status);
    const bool want_ok = c["expect"] == "valid";
    EXPECT_EQ(status.code, want_ok ? 0 : 1) << c.dump();
    if (status.code != 0) status_message(status);
    ++count;
  }
  EXPECT_EQ(count, 120);
}

// CheckpointHead: origin string, size u64, root sequence<u8>, extensions sequence<string>.
TEST_F(CheckpointAbi, CheckpointHeadRecordEncoding) {
  const std::string body = "example.com/log\n5\n" + std::string("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA=") + "\nx ext\n";
  RustCallStatus status{};
  const Bytes out = take(uniffi_quorvantile_log_fn_func_checkpoint_parse(string_arg(body), &status));
  ASSERT_EQ(status.code, 0);
  Bytes want;
  put_i32(want, 15);
  for (char c : std::string("example.com/log")) want.push_back(static_cast<uint8_t>(c));
  for (int i = 0; i < 7; ++i) want.push_back(0);
  want.push_back(5);
  put_i32(want, 32);
  for (int i = 0; i < 32; ++i) want.push_back(0);
  put_i32(want, 1);
  put_i32(want, 5);
  for (char c : std::string("x ext")) want.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(out, want);

  const Bytes verified = take(uniffi_quorvantile_log_fn_func_checkpoint_verify(
      string_arg(note(nlohmann::json("astra-checkpoint-1"))), string_list_arg(keys()), &status));
  ASSERT_EQ(status.code, 0);
  ASSERT_GE(verified.size(), 4u + 20u + 8u);
  EXPECT_EQ(std::string(verified.begin() + 4, verified.begin() + 24), "example.com/testdata");
  EXPECT_EQ(verified[24 + 7], 1);  // size 1

  uniffi_quorvantile_log_fn_func_checkpoint_parse(string_arg("origin\n"), &status);
  EXPECT_EQ(status.code, 1);
  EXPECT_EQ(status_message(status), "malformed checkpoint: missing tree-size line");
}

}  // namespace
}  // namespace qv_abi
