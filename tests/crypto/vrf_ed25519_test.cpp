// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <random>

#include "ed25519/group.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/vrf.hpp"
#include "test_support.hpp"
#include "vrf/primitives.hpp"

namespace quorvantile_crypto::vrf {
namespace {

using qv_test::from_hex;
using qv_test::to_hex;
using Span32 = std::span<const uint8_t, 32>;

const nlohmann::json& rfc_vectors() {
  static const nlohmann::json doc =
      qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / "ecvrf_edwards25519_sha512_tai.json");
  return doc.at("vectors");
}

Bytes hex_field(const nlohmann::json& v, const char* name) { return from_hex(v.at(name).get<std::string>()); }

ed25519::Point decode_hex(const std::string& hex) {
  const Bytes bytes = from_hex(hex);
  auto point = ed25519::decode(Span32(bytes.data(), 32));
  if (!point) throw std::runtime_error("vector point does not decode");
  return *point;
}

// L, little-endian.
const Bytes kOrder = from_hex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010");

TEST(EcvrfVectors, PublicKeyProofAndBetaMatch) {
  ASSERT_EQ(rfc_vectors().size(), 3u);
  for (const auto& v : rfc_vectors()) {
    SCOPED_TRACE(v.at("example").get<int>());
    const Bytes sk = hex_field(v, "sk"), pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha");
    auto public_key = ecvrf_public_key(sk);
    ASSERT_TRUE(public_key);
    EXPECT_EQ(to_hex(*public_key), to_hex(pk));

    auto proof = prove(sk, alpha);
    ASSERT_TRUE(proof);
    EXPECT_EQ(to_hex(*proof), v.at("pi").get<std::string>());

    auto verified = verify(pk, alpha, *proof);
    ASSERT_TRUE(verified);
    ASSERT_TRUE(verified->has_value());
    EXPECT_EQ(to_hex(**verified), v.at("beta").get<std::string>());
    auto beta = proof_to_hash(*proof);
    ASSERT_TRUE(beta);
    EXPECT_EQ(*beta, **verified);
  }
}

TEST(EcvrfVectors, IntermediateValuesMatch) {
  for (const auto& v : rfc_vectors()) {
    SCOPED_TRACE(v.at("example").get<int>());
    const Bytes sk = hex_field(v, "sk"), pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha");
    const Bytes pi = hex_field(v, "pi"), x_clamped = hex_field(v, "x"), k_digest = hex_field(v, "k");
    ossl::MdCtx md = ossl::new_md_ctx();

    ExpandedSecret secret;
    expand_secret(Span32(sk.data(), 32), secret, md.get());
    EXPECT_EQ(to_hex(secret.x.bytes), to_hex(ed25519::scalar_reduce32(Span32(x_clamped.data(), 32)).bytes));

    auto h = hash_to_curve_tai(pk, alpha, md.get());
    ASSERT_TRUE(h);
    EXPECT_EQ(to_hex(ed25519::encode(*h)), v.at("H").get<std::string>());

    const ed25519::Scalar k = ed25519::scalar_reduce64(std::span<const uint8_t, 64>(k_digest.data(), 64));
    EXPECT_EQ(to_hex(ed25519::encode(ed25519::mul_base(k))), v.at("U").get<std::string>());
    EXPECT_EQ(to_hex(ed25519::encode(ed25519::mul(k, *h))), v.at("V").get<std::string>());

    // The challenge over the published points is the c inside the published proof.
    ed25519::Encoding y{}, gamma{}, u{}, vv{}, hh{};
    std::copy(pk.begin(), pk.end(), y.begin());
    std::copy(pi.begin(), pi.begin() + 32, gamma.begin());
    hh = ed25519::encode(*h);
    u = ed25519::encode(decode_hex(v.at("U").get<std::string>()));
    vv = ed25519::encode(decode_hex(v.at("V").get<std::string>()));
    const Challenge c = challenge(y, hh, gamma, u, vv, md.get());
    EXPECT_EQ(to_hex(c), to_hex(Bytes(pi.begin() + 32, pi.begin() + 48)));
  }
}

TEST(EcvrfLengths, ErrorsCarryTheExpectedAndReceivedLengths) {
  const auto& v = rfc_vectors()[0];
  const Bytes pk = hex_field(v, "pk"), pi = hex_field(v, "pi");
  const struct {
    const char* name;
    CryptoError error;
    const char* text;
  } cases[] = {
      {"verify key 31", verify(Bytes(31), {}, pi).error(), "invalid length: expected 32 bytes, got 31"},
      {"verify key 33 before proof", verify(Bytes(33), {}, Bytes(1)).error(), "invalid length: expected 32 bytes, got 33"},
      {"verify proof 79", verify(pk, {}, Bytes(79)).error(), "invalid length: expected 80 bytes, got 79"},
      {"verify proof 81", verify(pk, {}, Bytes(81)).error(), "invalid length: expected 80 bytes, got 81"},
      {"output proof 0", proof_to_hash(Bytes{}).error(), "invalid length: expected 80 bytes, got 0"},
      {"prove seed 31", prove(Bytes(31), {}).error(), "invalid length: expected 32 bytes, got 31"},
      {"public key seed 64", ecvrf_public_key(Bytes(64)).error(), "invalid length: expected 32 bytes, got 64"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error.to_string(), c.text) << c.name;
}

// Flips one bit of a valid (key, alpha, proof) triple in every field that is bound by the proof.
TEST(EcvrfVerify, EveryOneBitChangeIsNotVerified) {
  const auto& v = rfc_vectors()[1];
  const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha"), pi = hex_field(v, "pi");
  auto expect_rejected = [](const Bytes& key, const Bytes& a, const Bytes& proof, const char* what, std::size_t bit) {
    auto r = verify(key, a, proof);
    ASSERT_TRUE(r) << what << " " << bit;
    EXPECT_FALSE(r->has_value()) << what << " bit " << bit;
  };
  for (std::size_t bit = 0; bit < pi.size() * 8; ++bit) {
    Bytes bad = pi;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    expect_rejected(pk, alpha, bad, "proof", bit);
  }
  for (std::size_t bit = 0; bit < pk.size() * 8; ++bit) {
    Bytes bad = pk;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    expect_rejected(bad, alpha, pi, "key", bit);
  }
  for (std::size_t bit = 0; bit < alpha.size() * 8; ++bit) {
    Bytes bad = alpha;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    expect_rejected(pk, bad, pi, "alpha", bit);
  }
}

TEST(EcvrfVerify, SmallOrderKeysAndNonCanonicalResponsesAreNotVerified) {
  const auto& v = rfc_vectors()[2];
  const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha"), pi = hex_field(v, "pi");
  Bytes identity(32, 0);
  identity[0] = 1;
  // y = -1: the point of order 2.
  const Bytes order_two = from_hex("ecffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f");
  // The identity again, written as y + p.
  const Bytes identity_plus_p = from_hex("eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f");
  Bytes s_is_l = pi;
  std::copy(kOrder.begin(), kOrder.end(), s_is_l.begin() + 48);
  Bytes s_above_l = s_is_l;
  s_above_l[48] += 1;
  Bytes s_max = pi;
  std::fill(s_max.begin() + 48, s_max.end(), 0xff);
  // s + L names the same scalar modulo L, and must still be refused.
  Bytes s_plus_l = pi;
  unsigned carry = 0;
  for (std::size_t i = 0; i < 32; ++i) {
    const unsigned sum = s_plus_l[48 + i] + kOrder[i] + carry;
    s_plus_l[48 + i] = static_cast<uint8_t>(sum);
    carry = sum >> 8;
  }

  const struct {
    const char* name;
    Bytes key, proof;
  } cases[] = {
      {"identity key", identity, pi},
      {"order-two key", order_two, pi},
      {"identity key as y + p", identity_plus_p, pi},
      {"s = L", pk, s_is_l},
      {"s = L + 1", pk, s_above_l},
      {"s = 2^256 - 1", pk, s_max},
      {"s + L", pk, s_plus_l},
  };
  for (const auto& c : cases) {
    auto r = verify(c.key, alpha, c.proof);
    ASSERT_TRUE(r) << c.name;
    EXPECT_FALSE(r->has_value()) << c.name;
  }
}

// The smallest y whose 32-byte encoding does not decode.
Bytes undecodable_encoding() {
  for (uint8_t y = 2; y < 100; ++y) {
    Bytes e(32, 0);
    e[0] = y;
    if (!ed25519::decode(Span32(e.data(), 32))) return e;
  }
  throw std::runtime_error("no undecodable encoding below 100");
}

TEST(EcvrfProofToHash, UsesGammaAloneAndRejectsBadGamma) {
  const auto& v = rfc_vectors()[0];
  Bytes pi = hex_field(v, "pi");
  std::fill(pi.begin() + 32, pi.end(), 0xff);  // c and s arbitrary, s not even canonical
  auto beta = proof_to_hash(pi);
  ASSERT_TRUE(beta);
  EXPECT_EQ(to_hex(*beta), v.at("beta").get<std::string>());

  const Bytes bad_gamma = undecodable_encoding();
  std::copy(bad_gamma.begin(), bad_gamma.end(), pi.begin());
  auto bad = proof_to_hash(pi);
  ASSERT_FALSE(bad);
  EXPECT_EQ(bad.error().to_string(), "vrf: proof Gamma is not a valid curve point");
  auto r = verify(hex_field(v, "pk"), {}, pi);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->has_value());
}

TEST(EcvrfRoundTrip, RandomSeedsAndAlphasVerify) {
  std::mt19937_64 rng(3);
  // Lengths around the SHA-512 block boundaries of the encode-to-curve input (35 fixed bytes).
  for (std::size_t len : {0u, 1u, 76u, 77u, 93u, 128u, 300u, 2000u}) {
    Bytes seed(32), alpha(len);
    for (auto& b : seed) b = static_cast<uint8_t>(rng());
    for (auto& b : alpha) b = static_cast<uint8_t>(rng());
    auto pk = ecvrf_public_key(seed);
    auto proof = prove(seed, alpha);
    ASSERT_TRUE(pk && proof);
    auto r = verify(*pk, alpha, *proof);
    ASSERT_TRUE(r && r->has_value()) << len;
    EXPECT_EQ(**r, *proof_to_hash(*proof));
    EXPECT_EQ(*proof, *prove(seed, alpha));
    // Another alpha does not verify.
    Bytes other = alpha;
    other.push_back(0);
    auto r2 = verify(*pk, other, *proof);
    ASSERT_TRUE(r2);
    EXPECT_FALSE(r2->has_value());
  }
}

}  // namespace
}  // namespace quorvantile_crypto::vrf
