// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/sha.h>

#include "../abi/abi_support.hpp"
#include "encoding/base64.hpp"
#include "note/key_id.hpp"
#include "note/signed_note.hpp"
#include "note/verify_signed_note.hpp"
#include "note_test_signer.hpp"
#include "test_support.hpp"

namespace quorvantile_log::note {
namespace {

using qv_test::Ed25519NoteSigner;

const std::string kNoTrusted = "note has no verifiable signature from a trusted key";

std::string hex8(uint32_t v) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", v);
  return buf;
}

std::string invalid_signature(std::string_view name, uint32_t key_id) {
  return "invalid signature for known key \"" + std::string(name) + "\" (key id " + hex8(key_id) + ")";
}

// The outcome of verify_signed_note through the exported C function: the count, or the message.
struct Outcome {
  bool ok;
  uint32_t count;
  std::string message;
};

Outcome call_export(std::string_view note, const std::vector<std::string>& vkeys) {
  RustCallStatus status{};
  const uint32_t count =
      uniffi_quorvantile_log_fn_func_verify_signed_note(qv_abi::string_arg(note), qv_abi::string_list_arg(vkeys), &status);
  if (status.code == 0) return {true, count, ""};
  EXPECT_EQ(status.code, 1);
  EXPECT_EQ(count, 0u);
  return {false, 0, qv_abi::status_message(status)};
}

std::string work_message(std::string_view note, const std::vector<std::string>& vkeys) {
  const auto r = verify_signed_note(note, vkeys);
  return r ? "verified " + std::to_string(*r) : r.error().render();
}

// The messages of the invalid published cases, as this library's check order decides them.
std::string expected_message(const std::string& id, const std::string& note) {
  if (id == "go-no-keys" || id == "go-wrong-name-key" || id == "astra-15-untrusted-key") return kNoTrusted;
  if (id == "go-corrupt-sig") return invalid_signature("PeterNeumann", 0xc74f20a3);
  if (id == "astra-15-size-changed") return invalid_signature("astra", 0xcad5a3d2);
  if (id == "go-too-many") return "malformed signed note: too many signatures";
  if (id == "go-no-separator") return "malformed signed note: missing blank-line signature separator";
  if (id == "go-empty-block" || id == "go-unterminated") {
    return "malformed signed note: signature block is empty or unterminated";
  }
  if (id == "go-control-char" || id == "astra-15-crlf") {
    return "malformed signed note: note contains a forbidden control character";
  }
  if (id == "go-bad-name") return "malformed signed note: base64 length is not a multiple of 4";
  if (id == "go-unexpected-line") {
    EXPECT_NE(note.find("Unexpected line."), std::string::npos);
    return "malformed signed note: signature line missing '\xE2\x80\x94 ' prefix: \"Unexpected line.\"";
  }
  if (id == "vkey-id-mismatch") return "malformed signed note: verifier key id mismatch: declared c74f20a4, computed c74f20a3";
  if (id == "vkey-wrong-length") return "malformed signed note: non-canonical base64";
  if (id == "vkey-unknown-type") return "malformed signed note: unsupported signature type (leading byte 0x65)";
  ADD_FAILURE() << "no expected message for " << id;
  return "";
}

TEST(SignedNoteVectors, PublishedNotesThroughTheExport) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "notes.json");
  int valid = 0, invalid = 0;
  for (const auto& c : doc["cases"]) {
    const std::string id = c["id"];
    const std::string note = c["note"];
    const std::vector<std::string> vkeys = c["vkeys"];
    SCOPED_TRACE(id);
    const Outcome got = call_export(note, vkeys);
    if (c["expect"] == "valid") {
      ++valid;
      ASSERT_TRUE(got.ok) << got.message;
      EXPECT_EQ(got.count, c["verified_lines"].get<uint32_t>());
    } else {
      ++invalid;
      ASSERT_FALSE(got.ok) << "verified " << got.count;
      EXPECT_EQ(got.message, expected_message(id, note));
    }
  }
  EXPECT_EQ(valid, 32);
  EXPECT_EQ(invalid, 16);
}

struct PublishedNote {
  std::string note;
  std::string vkey;
};

std::vector<PublishedNote> single_line_notes() {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "notes.json");
  std::vector<PublishedNote> out;
  for (const auto& c : doc["cases"]) {
    const std::string id = c["id"];
    if (id == "go-peter-only" || id == "c2sp-example-foo" || id == "astra-checkpoint-15" || id == "sumdb-445646") {
      out.push_back({c["note"], c["vkeys"][0]});
    }
  }
  EXPECT_EQ(out.size(), 4u);
  return out;
}

TEST(SignedNoteVectors, EveryOneByteChangeOfTheTextIsRejected) {
  for (const auto& [note, vkey] : single_line_notes()) {
    const auto key = VerifierKey::parse(vkey);
    ASSERT_TRUE(key.has_value());
    const std::size_t text_end = note.rfind("\n\n") + 1;
    for (std::size_t i = 0; i < text_end; ++i) {
      std::string changed = note;
      changed[i] = note[i] == 'A' ? 'B' : 'A';
      // The text's final line feed is the first half of the separator.
      const std::string want = i + 1 == text_end ? "malformed signed note: missing blank-line signature separator"
                                                 : invalid_signature(key->name, key->key_id);
      ASSERT_EQ(work_message(changed, {vkey}), want) << i;
    }
  }
}

std::string replace_blob(const std::string& note, const std::vector<uint8_t>& blob) {
  const std::size_t line_start = note.rfind("\n\n") + 2;
  const std::size_t blob_start = note.find(' ', line_start + 4) + 1;
  return note.substr(0, blob_start) + encoding::base64_encode(blob) + "\n";
}

TEST(SignedNoteVectors, EveryOneBitChangeOfTheBlobIsRejected) {
  for (const auto& [note, vkey] : single_line_notes()) {
    const auto key = VerifierKey::parse(vkey);
    const auto parsed = SignedNote::parse(note);
    ASSERT_TRUE(key.has_value() && parsed.has_value());
    std::vector<uint8_t> blob = {static_cast<uint8_t>(key->key_id >> 24), static_cast<uint8_t>(key->key_id >> 16),
                                 static_cast<uint8_t>(key->key_id >> 8), static_cast<uint8_t>(key->key_id)};
    const auto& sig = parsed->signatures()[0].signature;
    blob.insert(blob.end(), sig.begin(), sig.end());
    ASSERT_EQ(replace_blob(note, blob), note);
    for (std::size_t i = 0; i < blob.size(); ++i) {
      for (int bit = 0; bit < 8; ++bit) {
        std::vector<uint8_t> changed = blob;
        changed[i] ^= static_cast<uint8_t>(1 << bit);
        // A changed key id no longer names the trusted key: the line is ignored.
        const std::string want = i < 4 ? kNoTrusted : invalid_signature(key->name, key->key_id);
        ASSERT_EQ(work_message(replace_blob(note, changed), {vkey}), want) << i << "/" << bit;
      }
    }
  }
}

TEST(SignedNoteVectors, EveryOneByteChangeOfTheKeyIsRejected) {
  for (const auto& [note, vkey] : single_line_notes()) {
    const auto key = VerifierKey::parse(vkey);
    ASSERT_TRUE(key.has_value());
    for (std::size_t i = 0; i < key->key.size(); ++i) {
      std::vector<uint8_t> material{0x01};
      material.insert(material.end(), key->key.begin(), key->key.end());
      material[1 + i] ^= 0x01;
      const std::string encoded = encoding::base64_encode(material);
      // The declared id no longer matches.
      ASSERT_EQ(work_message(note, {key->name + "+" + hex8(key->key_id) + "+" + encoded}),
                "malformed signed note: verifier key id mismatch: declared " + hex8(key->key_id) + ", computed " +
                    hex8(compute_key_id(key->name, material)))
          << i;
      // With its own id the changed key is another key: the note's line is not its.
      const uint32_t new_id = compute_key_id(key->name, material);
      const std::string changed_key = key->name + "+" + hex8(new_id) + "+" + encoded;
      ASSERT_EQ(work_message(note, {changed_key}), kNoTrusted) << i;
      // A line naming the changed key, carrying the original signature, fails on it.
      const auto parsed = SignedNote::parse(note);
      std::vector<uint8_t> blob = {static_cast<uint8_t>(new_id >> 24), static_cast<uint8_t>(new_id >> 16),
                                   static_cast<uint8_t>(new_id >> 8), static_cast<uint8_t>(new_id)};
      blob.insert(blob.end(), parsed->signatures()[0].signature.begin(), parsed->signatures()[0].signature.end());
      ASSERT_EQ(work_message(replace_blob(note, blob), {changed_key}), invalid_signature(key->name, new_id)) << i;
    }
  }
}

TEST(SignedNoteVerify, LinesByTrustedAndUnknownKeys) {
  const Ed25519NoteSigner alice("alice", 1), bob("bob", 2), mallory("alice", 3);
  const std::string text = "release v1\n";
  const std::string a = alice.line(text), b = bob.line(text), m = mallory.line(text);
  const std::string bad_a = alice.line_with(alice.signature("release v2\n"));
  const struct {
    std::string block;
    std::vector<std::string> keys;
    std::string want;
  } cases[] = {
      {a, {alice.vkey()}, "verified 1"},
      {a + a, {alice.vkey()}, "verified 2"},
      {a + b, {alice.vkey(), bob.vkey()}, "verified 2"},
      {b + a, {alice.vkey()}, "verified 1"},
      {a, {}, kNoTrusted},
      {b, {alice.vkey()}, kNoTrusted},
      // Same name, another key: the ids differ, so the line is not alice's.
      {m, {alice.vkey()}, kNoTrusted},
      {m + a, {alice.vkey(), mallory.vkey()}, "verified 2"},
      // A failing line from a trusted key fails the note wherever it stands.
      {a + bad_a, {alice.vkey()}, invalid_signature("alice", alice.key_id())},
      {bad_a + a, {alice.vkey()}, invalid_signature("alice", alice.key_id())},
      {a + b, {alice.vkey(), bob.vkey(), mallory.vkey()}, "verified 2"},
      {bob.line_with(bob.signature("other\n")) + a, {alice.vkey()}, "verified 1"},
      // Wrong signature lengths from a trusted key.
      {alice.line_with({0x00}), {alice.vkey()}, invalid_signature("alice", alice.key_id())},
      {alice.line_with(std::vector<uint8_t>(63, 1)), {alice.vkey()}, invalid_signature("alice", alice.key_id())},
      {alice.line_with([&] { auto s = alice.signature(text); s.push_back(0); return s; }()), {alice.vkey()},
       invalid_signature("alice", alice.key_id())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(quote(c.block));
    EXPECT_EQ(work_message(text + "\n" + c.block, c.keys), c.want);
  }
}

TEST(SignedNoteVerify, VerifiedLinesComeBackInNoteOrder) {
  const Ed25519NoteSigner alice("alice", 1), bob("bob", 2);
  const std::string text = "t\n";
  const auto note = SignedNote::parse(text + "\n" + bob.line(text) + alice.line(text) + bob.line(text));
  const auto keys = parse_vkeys(std::vector<std::string>{alice.vkey(), bob.vkey()});
  ASSERT_TRUE(note.has_value() && keys.has_value());
  const auto verified = note->verify(*keys);
  ASSERT_TRUE(verified.has_value());
  ASSERT_EQ(verified->size(), 3u);
  EXPECT_EQ(&verified->at(0).get(), &note->signatures()[0]);
  EXPECT_EQ(verified->at(1).get().name, "alice");
  EXPECT_EQ(&verified->at(2).get(), &note->signatures()[2]);
}

TEST(SignedNoteVerify, HundredSignedLinesAndOneMore) {
  const Ed25519NoteSigner alice("alice", 1);
  const std::string text = "many signatures\n";
  std::string block;
  for (int i = 0; i < 100; ++i) block += alice.line(text);
  EXPECT_EQ(work_message(text + "\n" + block, {alice.vkey()}), "verified 100");
  EXPECT_EQ(work_message(text + "\n" + block + alice.line(text), {alice.vkey()}),
            "malformed signed note: too many signatures");
}

TEST(SignedNoteVerify, OneMebibyteNote) {
  const Ed25519NoteSigner alice("alice", 1);
  std::string text;
  while (text.size() < (1u << 20)) text += "line " + std::to_string(text.size()) + " \xC3\xA9\x7f\n";
  const std::string note = alice.sign(text);
  EXPECT_EQ(call_export(note, {alice.vkey()}).count, 1u);
  std::string changed = note;
  changed[text.size() / 2] ^= 0x40;
  EXPECT_EQ(call_export(changed, {alice.vkey()}).message, invalid_signature("alice", alice.key_id()));
}

TEST(SignedNoteVerify, CarriageReturnsAreRejected) {
  const Ed25519NoteSigner alice("alice", 1);
  const std::string note = alice.sign("origin\r\n5\r\n");
  EXPECT_EQ(work_message(note, {alice.vkey()}), "malformed signed note: note contains a forbidden control character");
}

TEST(SignedNoteVerify, KeysAreParsedBeforeTheNote) {
  const Ed25519NoteSigner alice("alice", 1);
  EXPECT_EQ(work_message("no separator\n", {alice.vkey(), "bad"}),
            "malformed signed note: malformed verifier key: \"bad\"");
  EXPECT_EQ(call_export("no separator\n", {"bad"}).message, "malformed signed note: malformed verifier key: \"bad\"");
}

TEST(SignedNoteVerify, KeyNamesWithWhiteSpaceAreRejected) {
  const char* white_space[] = {"\t", "\n", "\v", "\f", "\r", " ", "\xC2\x85", "\xC2\xA0", "\xE1\x9A\x80",
                               "\xE2\x80\x80", "\xE2\x80\x85", "\xE2\x80\x8A", "\xE2\x80\xA8", "\xE2\x80\xA9",
                               "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};
  for (const char* ws : white_space) {
    const Ed25519NoteSigner signer(std::string("a") + ws + "b", 1);
    const std::string vkey = signer.vkey();
    EXPECT_EQ(work_message("t\n\n", {vkey}), "malformed signed note: malformed verifier key: " + quote(vkey));
  }
}

// Ed25519 with a small-order R: S = k * a makes the cofactorless equation hold with R the
// identity, which strict verification must refuse.
std::vector<uint8_t> identity_r_signature(uint8_t seed_byte, const std::array<uint8_t, 32>& public_key,
                                          std::string_view message) {
  std::array<uint8_t, 32> seed;
  seed.fill(seed_byte);
  uint8_t h[64];
  SHA512(seed.data(), seed.size(), h);
  h[0] &= 248;
  h[31] &= 127;
  h[31] |= 64;
  std::vector<uint8_t> sig(64, 0);
  sig[0] = 0x01;  // the identity point (0, 1)
  std::vector<uint8_t> k_input(sig.begin(), sig.begin() + 32);
  k_input.insert(k_input.end(), public_key.begin(), public_key.end());
  k_input.insert(k_input.end(), message.begin(), message.end());
  uint8_t k_hash[64];
  SHA512(k_input.data(), k_input.size(), k_hash);

  BN_CTX* ctx = BN_CTX_new();
  BIGNUM* order = nullptr;
  BN_dec2bn(&order, "7237005577332262213973186563042994240857116359379907606001950938285454250989");
  BIGNUM* a = BN_lebin2bn(h, 32, nullptr);
  BIGNUM* k = BN_lebin2bn(k_hash, 64, nullptr);
  BIGNUM* s = BN_new();
  BN_mod_mul(s, k, a, order, ctx);
  BN_bn2lebinpad(s, sig.data() + 32, 32);
  BN_free(s);
  BN_free(k);
  BN_free(a);
  BN_free(order);
  BN_CTX_free(ctx);
  return sig;
}

TEST(SignedNoteVerify, SmallOrderKeysAndRValuesAreRejected) {
  const std::string text = "strict\n";
  // Identity key, identity R, S = 0: R = S*B - k*A holds for every message.
  const std::vector<uint8_t> identity_key = [] {
    std::vector<uint8_t> k(33, 0);
    k[0] = 0x01;
    k[1] = 0x01;
    return k;
  }();
  const uint32_t id = compute_key_id("weak", identity_key);
  const std::string weak_vkey = "weak+" + hex8(id) + "+" + encoding::base64_encode(identity_key);
  std::vector<uint8_t> blob = {static_cast<uint8_t>(id >> 24), static_cast<uint8_t>(id >> 16),
                               static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id)};
  blob.push_back(0x01);
  blob.resize(4 + 64, 0);
  EXPECT_EQ(work_message(text + "\n\xE2\x80\x94 weak " + encoding::base64_encode(blob) + "\n", {weak_vkey}),
            invalid_signature("weak", id));

  // A proper key with an identity R that satisfies the cofactorless equation.
  const Ed25519NoteSigner alice("alice", 9);
  const auto sig = identity_r_signature(9, alice.public_key(), text);
  EXPECT_EQ(work_message(text + "\n" + alice.line_with(sig), {alice.vkey()}), invalid_signature("alice", alice.key_id()));
  EXPECT_EQ(work_message(alice.sign(text), {alice.vkey()}), "verified 1");
}

}  // namespace
}  // namespace quorvantile_log::note
