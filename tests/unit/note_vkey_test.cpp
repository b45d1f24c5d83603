// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <cstdio>

#include "encoding/base64.hpp"
#include "note/key_id.hpp"
#include "note/signature_type.hpp"
#include "note/verifier_key.hpp"
#include "test_support.hpp"

namespace quorvantile_log::note {
namespace {

using Bytes = std::vector<uint8_t>;

const std::string kPeter = "PeterNeumann+c74f20a3+ARpc2QcUPDhMQegwxbzhKqiBfsVkmqq/LDE4izWy10TW";
const std::string kPeterKey = "ARpc2QcUPDhMQegwxbzhKqiBfsVkmqq/LDE4izWy10TW";
// A published key whose base64 contains "+" (the key of the vectors' "sumdb-" notes).
std::string plus_key() {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "signed-notes" / "notes.json");
  for (const auto& c : doc["cases"]) {
    if (c["id"].get<std::string>().starts_with("sumdb-")) return c["vkeys"][0];
  }
  throw std::runtime_error("no sumdb- case");
}

std::string hex8(uint32_t v) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", v);
  return buf;
}

// A key text with the correct id for the given name and decoded key bytes.
std::string vkey(const std::string& name, const Bytes& key_bytes) {
  return name + "+" + hex8(compute_key_id(name, key_bytes)) + "+" + encoding::base64_encode(key_bytes);
}

Bytes ed25519_bytes(std::size_t material) {
  Bytes b(1 + material, 0x42);
  b[0] = 0x01;
  return b;
}

Bytes composite_bytes(std::string_view label, std::size_t material) {
  Bytes b(1 + label.size() + material, 0x17);
  b[0] = 0xFF;
  std::copy(label.begin(), label.end(), b.begin() + 1);
  return b;
}

std::string malformed_key(const std::string& text) { return "malformed verifier key: " + quote(text); }

TEST(VerifierKeyParse, PublishedKeys) {
  const auto peter = VerifierKey::parse(kPeter);
  ASSERT_TRUE(peter.has_value()) << peter.error().render();
  EXPECT_EQ(peter->name, "PeterNeumann");
  EXPECT_EQ(peter->key_id, 0xc74f20a3u);
  EXPECT_EQ(peter->kind, SignatureType::Ed25519);
  EXPECT_EQ(peter->key.size(), 32u);
  EXPECT_EQ(peter->key[0], 0x1a);

  const std::string text = plus_key();
  ASSERT_NE(text.find('+', text.find('+', text.find('+') + 1) + 1), std::string::npos);
  const auto plus = VerifierKey::parse(text);
  ASSERT_TRUE(plus.has_value()) << plus.error().render();
  EXPECT_EQ(plus->name, text.substr(0, text.find('+')));
  EXPECT_EQ(plus->key_id, 0x033de0aeu);
}

TEST(VerifierKeyParse, TableOfCases) {
  const std::string id_mismatch = "PeterNeumann+c74f20a4+" + kPeterKey;
  const std::string ed_short = vkey("k", ed25519_bytes(31));
  const std::string ed_long = vkey("k", ed25519_bytes(33));
  const std::string composite_empty = vkey("k", composite_bytes(kCompositeLabel, 0));
  const std::string bad_name_plus_bad_base64 = "a b+" + hex8(0) + "+AR*c";
  const std::string spaced = "a b+" + hex8(compute_key_id("a b", ed25519_bytes(32))) + "+" +
                             encoding::base64_encode(ed25519_bytes(32));
  std::string empty_name = "+";
  empty_name += hex8(compute_key_id("", ed25519_bytes(32)));
  empty_name += "+";
  empty_name += encoding::base64_encode(ed25519_bytes(32));
  const std::pair<std::string, std::string> cases[] = {
      {"PeterNeumann", malformed_key("PeterNeumann")},
      {"PeterNeumann+c74f20a3", malformed_key("PeterNeumann+c74f20a3")},
      {"PeterNeumann+c74f20a+" + kPeterKey, malformed_key("PeterNeumann+c74f20a+" + kPeterKey)},
      {"PeterNeumann+c74f20a33+" + kPeterKey, malformed_key("PeterNeumann+c74f20a33+" + kPeterKey)},
      {"PeterNeumann++" + kPeterKey, malformed_key("PeterNeumann++" + kPeterKey)},
      {"PeterNeumann+c74f20ag+" + kPeterKey, "invalid hex character"},
      {"PeterNeumann+c74f20a3+" + kPeterKey.substr(1), "base64 length is not a multiple of 4"},
      {"PeterNeumann+c74f20a3+AR*c", "invalid base64 character"},
      {"PeterNeumann+c74f20a3+EY==", "non-canonical base64"},
      {"PeterNeumann+c74f20a3+", malformed_key("PeterNeumann+c74f20a3+")},
      {bad_name_plus_bad_base64, "invalid base64 character"},
      {spaced, malformed_key(spaced)},
      {empty_name, malformed_key(empty_name)},
      {id_mismatch, "verifier key id mismatch: declared c74f20a4, computed c74f20a3"},
      {vkey("k", Bytes{0x02, 1, 2, 3}), "unsupported signature type (leading byte 0x02)"},
      {vkey("k", Bytes{0x00}), "unsupported signature type (leading byte 0x00)"},
      {vkey("k", composite_bytes("quorvantile.dev/composite-mldsa-ed25519/v2", 8)),
       "unsupported signature type (leading byte 0xff)"},
      {vkey("k", composite_bytes(kCompositeLabel.substr(0, 41), 0)), "unsupported signature type (leading byte 0xff)"},
      {ed_short, malformed_key(ed_short)},
      {ed_long, malformed_key(ed_long)},
      {composite_empty, malformed_key(composite_empty)},
  };
  for (const auto& [text, detail] : cases) {
    SCOPED_TRACE(quote(text));
    const auto parsed = VerifierKey::parse(text);
    ASSERT_FALSE(parsed.has_value());
    EXPECT_EQ(parsed.error().kind(), Error::Kind::MalformedNote);
    EXPECT_EQ(parsed.error().render(), "malformed signed note: " + detail);
  }
}

TEST(VerifierKeyParse, AcceptedForms) {
  const auto upper = VerifierKey::parse("PeterNeumann+C74F20A3+" + kPeterKey);
  ASSERT_TRUE(upper.has_value());
  EXPECT_EQ(upper->key_id, 0xc74f20a3u);

  const Bytes composite = composite_bytes(kCompositeLabel, 5);
  const auto parsed = VerifierKey::parse(vkey("hybrid.example/log", composite));
  ASSERT_TRUE(parsed.has_value()) << parsed.error().render();
  EXPECT_EQ(parsed->kind, SignatureType::Composite);
  EXPECT_EQ(parsed->key, Bytes(5, 0x17));
  EXPECT_EQ(parsed->key_id, compute_key_id("hybrid.example/log", composite));
}

TEST(ParseVkeys, StopsAtTheFirstBadKey) {
  const std::vector<std::string> keys = {kPeter, "bad", "PeterNeumann+c74f20ag+" + kPeterKey};
  const auto parsed = parse_vkeys(keys);
  ASSERT_FALSE(parsed.has_value());
  EXPECT_EQ(parsed.error().render(), "malformed signed note: malformed verifier key: \"bad\"");

  const std::vector<std::string> good = {kPeter, plus_key()};
  const auto both = parse_vkeys(good);
  ASSERT_TRUE(both.has_value());
  ASSERT_EQ(both->size(), 2u);
  EXPECT_EQ((*both)[1].key_id, 0x033de0aeu);
  EXPECT_TRUE(parse_vkeys({}).has_value());
}

TEST(DetectSignatureType, HeaderLengths) {
  const auto ed = detect_signature_type(Bytes{0x01});
  ASSERT_TRUE(ed.has_value());
  EXPECT_EQ(ed->type, SignatureType::Ed25519);
  EXPECT_EQ(ed->header_length, 1u);

  const auto composite = detect_signature_type(composite_bytes(kCompositeLabel, 0));
  ASSERT_TRUE(composite.has_value());
  EXPECT_EQ(composite->type, SignatureType::Composite);
  EXPECT_EQ(composite->header_length, 43u);

  const auto empty = detect_signature_type(Bytes{});
  ASSERT_FALSE(empty.has_value());
  EXPECT_EQ(empty.error().detail(), "unsupported signature type (leading byte 0x00)");
}

}  // namespace
}  // namespace quorvantile_log::note
