// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The classical components of the framed signatures against published vectors and against the
// fixture generator's independent signer.
#include <gtest/gtest.h>
#include <openssl/err.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "quorvantile_crypto/sign.hpp"
#include "sign/ecdsa_p521.hpp"
#include "sign/ed448.hpp"
#include "test_support.hpp"

namespace {

using namespace quorvantile_crypto;
using qv_test::from_hex;

struct Tally {
  int valid = 0;
  int invalid = 0;
};

template <class Verify>
Tally run_wycheproof(const std::string& file, const char* key_field, Verify verify) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / file);
  Tally tally;
  for (const auto& group : doc.at("testGroups")) {
    const auto key = from_hex(group.at("publicKey").at(key_field).get<std::string>());
    for (const auto& test : group.at("tests")) {
      const auto msg = from_hex(test.at("msg").get<std::string>());
      const auto sig = from_hex(test.at("sig").get<std::string>());
      const bool want = test.at("result") == "valid";
      EXPECT_EQ(verify(key, msg, sig), want) << file << " tcId " << test.at("tcId") << " " << test.at("comment");
      ++(want ? tally.valid : tally.invalid);
    }
  }
  return tally;
}

TEST(Ed448, Wycheproof) {
  const Tally tally = run_wycheproof("ed448_test.json", "pk", ed448::verify);
  EXPECT_EQ(tally.valid, 17);
  EXPECT_EQ(tally.invalid, 70);
}

TEST(EcdsaP521, WycheproofSha512P1363) {
  const Tally tally = run_wycheproof("ecdsa_secp521r1_sha512_p1363_test.json", "uncompressed", ecdsa_p521::verify);
  EXPECT_EQ(tally.valid, 231);
  EXPECT_EQ(tally.invalid, 87);
}

// The first valid 0x14 fixture: its ECDSA component, split out.
struct P521Fixture {
  std::vector<uint8_t> key;
  std::vector<uint8_t> message;
  std::vector<uint8_t> signature;
};

P521Fixture p521_fixture() {
  const auto doc = qv_test::read_json(qv_test::data_dir() / "signatures" / "tag_14.json");
  const auto& c = doc.at("cases").at(0);
  EXPECT_EQ(c.at("expect"), true);
  const auto key = decode_token(c.at("public_key").get<std::string>()).value();
  const auto sig = decode_token(c.at("signature").get<std::string>()).value();
  P521Fixture f;
  f.key.assign(key.begin() + 1, key.begin() + 134);
  f.signature.assign(sig.begin() + 1, sig.begin() + 133);
  f.message = frame(from_hex(c.at("context").get<std::string>()), from_hex(c.at("message").get<std::string>()));
  return f;
}

TEST(EcdsaP521, AcceptsOnlyTheUncompressedKeyForm) {
  P521Fixture f = p521_fixture();
  ASSERT_TRUE(ecdsa_p521::verify(f.key, f.message, f.signature));
  const bool y_odd = (f.key.back() & 1) != 0;
  // 0x06 / 0x07 carry the same coordinates (OpenSSL would parse the matching one).
  for (uint8_t prefix : {uint8_t(y_odd ? 0x07 : 0x06), uint8_t(y_odd ? 0x06 : 0x07), uint8_t{0x02}, uint8_t{0x03}, uint8_t{0x00}}) {
    auto key = f.key;
    key[0] = prefix;
    EXPECT_FALSE(ecdsa_p521::verify(key, f.message, f.signature)) << int(prefix);
  }
}

TEST(EcdsaP521, RejectsPointsOffTheCurveOrOutsideTheField) {
  P521Fixture f = p521_fixture();
  auto off_curve = f.key;
  off_curve.back() ^= 1;
  EXPECT_FALSE(ecdsa_p521::verify(off_curve, f.message, f.signature));
  EXPECT_EQ(ERR_peek_error(), 0u) << "a false result leaves nothing on the OpenSSL error queue";

  // X + p: the same residue, but not a canonical field element.
  auto x_plus_p = f.key;
  int carry = 0;
  for (std::size_t i = 66; i >= 1; --i) {
    const int p_byte = i == 1 ? 0x01 : 0xff;  // p = 2^521 - 1, big-endian in 66 bytes
    const int sum = x_plus_p[i] + p_byte + carry;
    x_plus_p[i] = static_cast<uint8_t>(sum);
    carry = sum >> 8;
  }
  EXPECT_FALSE(ecdsa_p521::verify(x_plus_p, f.message, f.signature));
}

TEST(EcdsaP521, WrongLengthsAreFalse) {
  P521Fixture f = p521_fixture();
  auto long_key = f.key;
  long_key.push_back(0);
  auto long_sig = f.signature;
  long_sig.push_back(0);
  EXPECT_FALSE(ecdsa_p521::verify(ByteView(f.key).first(132), f.message, f.signature));
  EXPECT_FALSE(ecdsa_p521::verify(long_key, f.message, f.signature));
  EXPECT_FALSE(ecdsa_p521::verify(f.key, f.message, ByteView(f.signature).first(131)));
  EXPECT_FALSE(ecdsa_p521::verify(f.key, f.message, long_sig));
  EXPECT_FALSE(ecdsa_p521::verify({}, f.message, {}));
}

TEST(Ed448, WrongLengthsAreFalse) {
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / "ed448_test.json");
  const auto& group = doc.at("testGroups").at(0);
  const auto key = from_hex(group.at("publicKey").at("pk").get<std::string>());
  const auto& test = group.at("tests").at(0);
  ASSERT_EQ(test.at("result"), "valid");
  const auto msg = from_hex(test.at("msg").get<std::string>());
  auto sig = from_hex(test.at("sig").get<std::string>());
  ASSERT_TRUE(ed448::verify(key, msg, sig));
  EXPECT_FALSE(ed448::verify(ByteView(key).first(56), msg, sig));
  EXPECT_FALSE(ed448::verify(key, msg, ByteView(sig).first(113)));
  sig.push_back(0);
  EXPECT_FALSE(ed448::verify(key, msg, sig));
}

// The host's OpenSSL error queue around inputs that OpenSSL itself rejects: the host's entry
// stays, nothing is added, and an empty queue stays empty.
TEST(OpenSslErrorQueue, FailedComponentsLeaveTheHostQueueAsItWas) {
  P521Fixture f = p521_fixture();
  auto off_curve = f.key;
  off_curve.back() ^= 1;
  auto bad_ecdsa = f.signature;
  bad_ecdsa[10] ^= 1;
  const auto doc = qv_test::read_json(qv_test::vectors_dir() / "wycheproof" / "ed448_test.json");
  const auto ed_key = from_hex(doc.at("testGroups").at(0).at("publicKey").at("pk").get<std::string>());
  const auto& ed_test = doc.at("testGroups").at(0).at("tests").at(0);
  const auto ed_msg = from_hex(ed_test.at("msg").get<std::string>());
  auto bad_ed_sig = from_hex(ed_test.at("sig").get<std::string>());
  bad_ed_sig[3] ^= 1;
  const std::vector<uint8_t> undecodable_ed_key(ed448::kPublicKeySize, 0xff);

  struct Case {
    const char* what;
    std::function<bool()> call;
  };
  const Case cases[] = {
      {"p521 key off the curve", [&] { return ecdsa_p521::verify(off_curve, f.message, f.signature); }},
      {"p521 wrong signature", [&] { return ecdsa_p521::verify(f.key, f.message, bad_ecdsa); }},
      {"ed448 wrong signature", [&] { return ed448::verify(ed_key, ed_msg, bad_ed_sig); }},
      {"ed448 key that does not decode", [&] { return ed448::verify(undecodable_ed_key, ed_msg, bad_ed_sig); }},
  };
  for (const auto& c : cases) {
    ERR_clear_error();
    EXPECT_FALSE(c.call()) << c.what;
    EXPECT_EQ(ERR_peek_error(), 0u) << c.what;

    ERR_raise_data(ERR_LIB_USER, 77, "the host's own entry");
    EXPECT_FALSE(c.call()) << c.what;
    const unsigned long host = ERR_get_error();
    EXPECT_EQ(ERR_GET_LIB(host), ERR_LIB_USER) << c.what;
    EXPECT_EQ(ERR_GET_REASON(host), 77) << c.what;
    EXPECT_EQ(ERR_get_error(), 0u) << c.what << ": an entry was added";
  }
}

TEST(Frame, PrefixesTheContextLength) {
  const std::vector<uint8_t> context{'a', 'b'};
  const std::vector<uint8_t> message{'c'};
  EXPECT_EQ(qv_test::to_hex(frame(context, message)), "0000000000000002616263");
  EXPECT_EQ(qv_test::to_hex(frame({}, {})), "0000000000000000");
  const std::vector<uint8_t> long_context(0x1234, 0x00);
  EXPECT_EQ(qv_test::to_hex(ByteView(frame(long_context, message)).first(8)), "0000000000001234");
}

}  // namespace
