// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include "../abi/abi_support.hpp"
#include "checkpoint/checkpoint.hpp"
#include "encoding/base64.hpp"
#include "merkle_reference.hpp"
#include "note_test_signer.hpp"
#include "test_support.hpp"

namespace quorvantile_log::checkpoint {
namespace {

using qv_abi::Bytes;
using qv_test::Ed25519NoteSigner;

// The outcome of a call through an exported C function: "ok" or the status message.
std::string outcome(RustCallStatus& status) {
  if (status.code == 0) return "ok";
  return (status.code == 1 ? "" : "code " + std::to_string(status.code) + ": ") + qv_abi::status_message(status);
}

std::string verify_inclusion(std::string_view note, const std::vector<std::string>& vkeys, uint64_t index,
                             const Bytes& leaf_hash, const std::vector<Bytes>& proof) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(qv_abi::string_arg(note), qv_abi::string_list_arg(vkeys),
                                                             index, qv_abi::bytes_arg(leaf_hash),
                                                             qv_abi::bytes_list_arg(proof), &status);
  return outcome(status);
}

std::string verify_consistency(std::string_view older, std::string_view newer, const std::vector<std::string>& vkeys,
                               const std::vector<Bytes>& proof) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(qv_abi::string_arg(older), qv_abi::string_arg(newer),
                                                               qv_abi::string_list_arg(vkeys),
                                                               qv_abi::bytes_list_arg(proof), &status);
  return outcome(status);
}

// Reads an encoded CheckpointHead record.
class HeadReader {
 public:
  explicit HeadReader(Bytes bytes) : b_(std::move(bytes)) {}
  CheckpointHead read() {
    CheckpointHead head;
    head.origin = string();
    head.size = u64();
    const uint32_t root_len = u32();
    head.root.assign(b_.begin() + static_cast<std::ptrdiff_t>(pos_),
                     b_.begin() + static_cast<std::ptrdiff_t>(pos_ + root_len));
    pos_ += root_len;
    for (uint32_t n = u32(); n > 0; --n) head.extensions.push_back(string());
    EXPECT_EQ(pos_, b_.size());
    return head;
  }

 private:
  uint64_t be(int bytes) {
    uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | b_.at(pos_++);
    return v;
  }
  uint32_t u32() { return static_cast<uint32_t>(be(4)); }
  uint64_t u64() { return be(8); }
  std::string string() {
    const uint32_t n = u32();
    std::string s(b_.begin() + static_cast<std::ptrdiff_t>(pos_), b_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    pos_ += n;
    return s;
  }
  Bytes b_;
  std::size_t pos_ = 0;
};

std::pair<std::string, CheckpointHead> checkpoint_verify(std::string_view note, const std::vector<std::string>& vkeys) {
  RustCallStatus status{};
  const RustBuffer out =
      uniffi_quorvantile_log_fn_func_checkpoint_verify(qv_abi::string_arg(note), qv_abi::string_list_arg(vkeys), &status);
  if (status.code != 0) {
    EXPECT_EQ(out.len, 0u);
    return {outcome(status), {}};
  }
  return {"ok", HeadReader(qv_abi::take(out)).read()};
}

std::pair<std::string, CheckpointHead> checkpoint_parse(std::string_view body) {
  RustCallStatus status{};
  const RustBuffer out = uniffi_quorvantile_log_fn_func_checkpoint_parse(qv_abi::string_arg(body), &status);
  if (status.code != 0) return {outcome(status), {}};
  return {"ok", HeadReader(qv_abi::take(out)).read()};
}

Bytes hex(const nlohmann::json& j) { return qv_test::from_hex(j.get<std::string>()); }

std::vector<Bytes> hex_list(const nlohmann::json& j) {
  std::vector<Bytes> out;
  for (const auto& h : j) out.push_back(hex(h));
  return out;
}

TEST(CheckpointVectors, PublishedCheckpointProofs) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "checkpoint_proofs.json");
  const std::vector<std::string> vkeys = {doc["vkey"]};
  const auto& notes = doc["checkpoints"];
  ASSERT_EQ(doc["inclusion"].size(), 120u);
  ASSERT_EQ(doc["consistency"].size(), 120u);
  for (const auto& c : doc["inclusion"]) {
    const std::string note = notes[c["checkpoint"].get<std::string>()];
    const uint64_t index = c["leaf_index"];
    const Bytes leaf = hex(c["leaf_hash"]);
    const auto proof = hex_list(c["proof"]);
    const uint64_t size = checkpoint_verify(note, vkeys).second.size;
    ASSERT_EQ(verify_inclusion(note, vkeys, index, leaf, proof), "ok") << c.dump();
    Bytes flipped = leaf;
    flipped[31] ^= 0x80;
    EXPECT_EQ(verify_inclusion(note, vkeys, index, flipped, proof),
              "root mismatch: recomputed root does not match the expected root");
    EXPECT_EQ(verify_inclusion(note, vkeys, size, leaf, proof),
              "leaf index " + std::to_string(size) + " is beyond tree size " + std::to_string(size));
  }
  for (const auto& c : doc["consistency"]) {
    const std::string older = notes[c["older"].get<std::string>()];
    const std::string newer = notes[c["newer"].get<std::string>()];
    const auto proof = hex_list(c["proof"]);
    ASSERT_EQ(verify_consistency(older, newer, vkeys, proof), "ok") << c.dump();
    const uint64_t size1 = c["size1"], size2 = c["size2"];
    if (size1 < size2) {
      EXPECT_EQ(verify_consistency(newer, older, vkeys, proof), "tree size regression: size2 (" +
                                                                    std::to_string(size1) + ") < size1 (" +
                                                                    std::to_string(size2) + ")");
    }
  }
  const std::string empty = notes["astra-checkpoint-0"];
  EXPECT_EQ(verify_consistency(empty, notes["astra-checkpoint-3"].get<std::string>(), vkeys, {}),
            "consistency proof from an empty tree is meaningless");
}

TEST(CheckpointVectors, SignedHeadsMatchTheirBodies) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "checkpoint_proofs.json");
  for (int n = 0; n <= 15; ++n) {
    const std::string note = doc["checkpoints"]["astra-checkpoint-" + std::to_string(n)];
    const auto [message, head] = checkpoint_verify(note, {doc["vkey"]});
    ASSERT_EQ(message, "ok");
    EXPECT_EQ(head.origin, "example.com/testdata");
    EXPECT_EQ(head.size, static_cast<uint64_t>(n));
    EXPECT_EQ(head.root.size(), 32u);
    EXPECT_TRUE(head.extensions.empty());
    EXPECT_EQ(checkpoint_parse(note.substr(0, note.rfind("\n\n") + 1)).second, head);
  }
}

// Checkpoints over the reference trees of sizes 1 to 64, each signed here.
class SignedTrees : public testing::Test {
 protected:
  static constexpr std::size_t kMaxSize = 64;
  SignedTrees() : signer_("example.com/log", 7), tree_(kMaxSize) {
    notes_.push_back("");
    for (std::size_t n = 1; n <= kMaxSize; ++n) {
      const auto root = tree_.root(n);
      notes_.push_back(signer_.sign("example.com/log\n" + std::to_string(n) + "\n" +
                                    encoding::base64_encode(Bytes(root.begin(), root.end())) + "\n"));
    }
  }
  Bytes leaf(std::size_t i) const { return Bytes(tree_.leaf(i).begin(), tree_.leaf(i).end()); }

  Ed25519NoteSigner signer_;
  qv_test::rfc6962::Tree tree_;
  std::vector<std::string> notes_;
};

TEST_F(SignedTrees, EveryInclusionProofVerifies) {
  const std::vector<std::string> vkeys = {signer_.vkey()};
  for (std::size_t n = 1; n <= kMaxSize; ++n) {
    for (std::size_t m = 0; m < n; ++m) {
      ASSERT_EQ(verify_inclusion(notes_[n], vkeys, m, leaf(m), tree_.inclusion(m, n)), "ok") << m << "/" << n;
    }
  }
}

TEST_F(SignedTrees, EveryConsistencyProofVerifies) {
  const std::vector<std::string> vkeys = {signer_.vkey()};
  for (std::size_t n = 1; n <= kMaxSize; ++n) {
    for (std::size_t m = 1; m <= n; ++m) {
      ASSERT_EQ(verify_consistency(notes_[m], notes_[n], vkeys, tree_.consistency(m, n)), "ok") << m << "/" << n;
    }
  }
}

TEST_F(SignedTrees, FailuresInTheirOrder) {
  const std::vector<std::string> vkeys = {signer_.vkey()};
  const Ed25519NoteSigner other("example.com/log", 8);
  const auto proof = tree_.inclusion(3, 10);
  std::string tampered = notes_[10];
  tampered[tampered.find("\n10\n") + 2] = '1';  // size 11 under a signature over size 10
  auto flipped_consistency = tree_.consistency(4, 10);
  flipped_consistency.back()[0] ^= 1;
  const struct {
    std::string got;
    std::string want;
  } cases[] = {
      {verify_inclusion(notes_[10], vkeys, 3, leaf(3), proof), "ok"},
      {verify_inclusion(notes_[10], {other.vkey()}, 3, leaf(3), proof),
       "note has no verifiable signature from a trusted key"},
      {verify_inclusion(tampered, vkeys, 3, leaf(3), proof),
       "invalid signature for known key \"example.com/log\" (key id " + qv_test::to_hex(Bytes{
           static_cast<uint8_t>(signer_.key_id() >> 24), static_cast<uint8_t>(signer_.key_id() >> 16),
           static_cast<uint8_t>(signer_.key_id() >> 8), static_cast<uint8_t>(signer_.key_id())}) + ")"},
      {verify_inclusion(notes_[10], {"bad"}, 3, leaf(3), proof),
       "malformed signed note: malformed verifier key: \"bad\""},
      {verify_inclusion(notes_[10], vkeys, 10, leaf(3), proof), "leaf index 10 is beyond tree size 10"},
      {verify_inclusion(notes_[10], vkeys, 3, Bytes(31, 0), proof), "invalid hash length: got 31 bytes, want 32"},
      {verify_inclusion(notes_[10], vkeys, 3, leaf(3), tree_.inclusion(3, 8)), "wrong proof size: got 3, want 4"},
      {verify_inclusion(notes_[10], vkeys, 4, leaf(3), proof),
       "root mismatch: recomputed root does not match the expected root"},
      {verify_consistency(notes_[10], notes_[4], vkeys, tree_.consistency(4, 10)),
       "tree size regression: size2 (4) < size1 (10)"},
      {verify_consistency(notes_[10], notes_[10], vkeys, proof), "consistency proof between equal sizes must be empty"},
      {verify_consistency(notes_[4], notes_[10], vkeys, flipped_consistency),
       "root mismatch: recomputed root does not match the expected root"},
      // The older note is verified before the newer one.
      {verify_consistency("bad\n", "worse", vkeys, {}), "malformed signed note: missing blank-line signature separator"},
      {verify_consistency(notes_[4], "worse", vkeys, {}), "malformed signed note: missing blank-line signature separator"},
      {verify_consistency(notes_[4], tampered, vkeys, {}),
       "invalid signature for known key \"example.com/log\" (key id " + qv_test::to_hex(Bytes{
           static_cast<uint8_t>(signer_.key_id() >> 24), static_cast<uint8_t>(signer_.key_id() >> 16),
           static_cast<uint8_t>(signer_.key_id() >> 8), static_cast<uint8_t>(signer_.key_id())}) + ")"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(CheckpointFromNote, NoteErrorsComeBeforeBodyErrors) {
  const Ed25519NoteSigner log("log", 5), stranger("stranger", 6);
  const std::vector<std::string> vkeys = {log.vkey()};
  const std::string bad_body = "origin\n007\nAAAA\n";
  EXPECT_EQ(checkpoint_verify(stranger.sign(bad_body), vkeys).first, "note has no verifiable signature from a trusted key");
  EXPECT_EQ(checkpoint_verify(log.sign(bad_body), vkeys).first,
            "malformed checkpoint: tree size has a leading zero: \"007\"");
  EXPECT_EQ(checkpoint_verify(log.sign("origin\n"), vkeys).first, "malformed checkpoint: missing tree-size line");

  const auto keys = note::parse_vkeys(vkeys);
  ASSERT_TRUE(keys.has_value());
  const std::string root = encoding::base64_encode(Bytes(32, 0x11));
  const auto checkpoint = Checkpoint::from_signed_note(log.sign("o\n42\n" + root + "\nx: 1\ny\n"), *keys);
  ASSERT_TRUE(checkpoint.has_value()) << checkpoint.error().render();
  EXPECT_EQ(checkpoint->origin, "o");
  EXPECT_EQ(checkpoint->size, 42u);
  EXPECT_EQ(checkpoint->extensions, (std::vector<std::string>{"x: 1", "y"}));
}

TEST(CheckpointExports, VerifyReturnsTheHeadRecord) {
  const Ed25519NoteSigner log("log", 5);
  Bytes root(32);
  for (std::size_t i = 0; i < root.size(); ++i) root[i] = static_cast<uint8_t>(i * 7);
  const std::string body = "example.org/\xC3\xA9\n18446744073709551615\n" + encoding::base64_encode(root) + "\next one\n";
  const auto [message, head] = checkpoint_verify(log.sign(body), {log.vkey()});
  ASSERT_EQ(message, "ok");
  EXPECT_EQ(head, (CheckpointHead{"example.org/\xC3\xA9", 18446744073709551615u, root, {"ext one"}}));
  EXPECT_EQ(checkpoint_parse(body).second, head);
}

TEST(CheckpointExports, ParseAcceptsWhatTheNoteRulesWouldNot) {
  const std::string root = encoding::base64_encode(Bytes(32, 0));
  EXPECT_EQ(checkpoint_parse("o\r\n1\r\n" + root + "\r\n").second.size, 1u);
  EXPECT_EQ(checkpoint_parse("o\n1\n" + root).second.origin, "o");
  EXPECT_EQ(checkpoint_parse("o\n1\n" + root + "\n\n").first, "malformed checkpoint: empty extension line");
  const Ed25519NoteSigner log("log", 5);
  EXPECT_EQ(checkpoint_verify(log.sign("o\r\n1\r\n" + root + "\r\n"), {log.vkey()}).first,
            "malformed signed note: note contains a forbidden control character");
}

TEST(CheckpointExports, ConsistencyIgnoresOrigins) {
  const Ed25519NoteSigner log("log", 5);
  const qv_test::rfc6962::Tree tree(8);
  auto note = [&](std::string origin, std::size_t n) {
    const auto r = tree.root(n);
    return log.sign(origin + "\n" + std::to_string(n) + "\n" + encoding::base64_encode(Bytes(r.begin(), r.end())) + "\n");
  };
  EXPECT_EQ(verify_consistency(note("first.example", 3), note("second.example", 8), {log.vkey()},
                               tree.consistency(3, 8)),
            "ok");
}

TEST(CheckpointExports, ArgumentsAreLiftedInDeclarationOrder) {
  RustCallStatus status{};
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(qv_abi::string_arg("n"), qv_abi::buffer({0, 0, 0, 1}), 0,
                                                             qv_abi::buffer({}), qv_abi::buffer({}), &status);
  EXPECT_EQ(outcome(status), "code 2: Failed to convert arg 'vkeys':\nnot enough bytes remaining in buffer (0 < 4)");

  status = {};
  uniffi_quorvantile_log_fn_func_checkpoint_verify_inclusion(qv_abi::string_arg("n"), qv_abi::string_list_arg({}), 0,
                                                             qv_abi::buffer({0, 0, 0, 2, 1}), qv_abi::buffer({}),
                                                             &status);
  EXPECT_EQ(outcome(status), "code 2: Failed to convert arg 'leaf_hash':\nnot enough bytes remaining in buffer (0 < 1)");

  status = {};
  uniffi_quorvantile_log_fn_func_checkpoint_verify_consistency(qv_abi::string_arg("a"), qv_abi::string_arg("b"),
                                                               qv_abi::string_list_arg({}), qv_abi::buffer({0, 0, 0, 0, 9}),
                                                               &status);
  EXPECT_EQ(outcome(status), "code 2: Failed to convert arg 'proof':\njunk data left in buffer after lifting (count: 1)");

  status = {};
  const uint32_t count = uniffi_quorvantile_log_fn_func_verify_signed_note(
      qv_abi::string_arg("n"), qv_abi::buffer({0, 0, 0, 1, 0, 0, 0, 1, 0xFF}), &status);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(outcome(status), "code 2: Failed to convert arg 'vkeys':\ninvalid utf-8 sequence of 1 bytes from index 0");
}

}  // namespace
}  // namespace quorvantile_log::checkpoint
