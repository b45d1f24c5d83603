#include <gtest/gtest.h>

#include <openssl/err.h>

#include <random>
#include <vector>

#include "openssl_util.hpp"
#include "quorvantile_crypto/vrf_p256.hpp"
#include "test_support.hpp"
#include "vrf_p256/field.hpp"
#include "vrf_p256/nonce.hpp"
#include "vrf_p256/point_string.hpp"
#include "vrf_p256/scalar.hpp"
#include "vrf_p256/suite_hash.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

using qv_test::from_hex;
using qv_test::to_hex;

const nlohmann::json& rfc_vectors() {
  static const nlohmann::json doc = qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / "ecvrf_p256_sha256_tai.json");
  return doc.at("vectors");
}

Bytes hex_field(const nlohmann::json& v, const char* name) { return from_hex(v.at(name).get<std::string>()); }

Bytes sample_secret(std::mt19937_64& rng) {
  for (;;) {
    Bytes secret(32);
    for (auto& b : secret) b = static_cast<uint8_t>(rng());
    if (ecvrf_p256_public_key(secret)) return secret;
  }
}

std::string error_text(const CryptoError& e) { return e.to_string(); }

TEST(EcvrfP256Vectors, PublicKeyProofAndBetaMatch) {
  ASSERT_EQ(rfc_vectors().size(), 3u);
  for (const auto& v : rfc_vectors()) {
    SCOPED_TRACE(v.at("example").get<int>());
    const Bytes sk = hex_field(v, "sk"), pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha");
    auto public_key = ecvrf_p256_public_key(sk);
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

TEST(EcvrfP256Vectors, IntermediateValuesMatch) {
  for (const auto& v : rfc_vectors()) {
    SCOPED_TRACE(v.at("example").get<int>());
    const Bytes sk = hex_field(v, "sk"), pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha");
    BnCtx ctx = new_bn_ctx();
    ossl::MdCtx md = ossl::new_md_ctx();
    auto h = hash_to_curve_tai(pk, alpha, md.get(), ctx.get());
    ASSERT_TRUE(h);
    EXPECT_EQ(to_hex(h->canonical), v.at("H").get<std::string>());

    Bytes32 x{};
    ASSERT_TRUE(secret_scalar(sk, x));
    EXPECT_EQ(to_hex(x), to_hex(sk));
    Bytes32 k{};
    rfc6979_nonce(x, h->canonical, k);
    EXPECT_EQ(to_hex(k), v.at("k").get<std::string>());
    EXPECT_EQ(to_hex(*point_to_string(mul_secret(nullptr, k, ctx.get()).get(), ctx.get())), v.at("U").get<std::string>());
    EXPECT_EQ(to_hex(*point_to_string(mul_secret(h->point.get(), k, ctx.get()).get(), ctx.get())),
              v.at("V").get<std::string>());
    // The double-scalar multiplications of the verifier agree with the secret-scalar ones: with a
    // zero second scalar, and with k split as (k - 1) + 1 over two copies of the same point.
    Bn k_bn = bn_from_be(k);
    Bn zero = new_bn();
    Bn one = bn_from_be(Bytes{1});
    Bn k_less_one = bn_from_be(k);
    ASSERT_EQ(BN_sub_word(k_less_one.get(), 1), 1);
    Point y = mul_secret(nullptr, x, ctx.get());
    const auto string_of = [&](const Point& point) { return to_hex(*point_to_string(point.get(), ctx.get())); };
    EXPECT_EQ(string_of(mul_base_plus(k_bn.get(), y.get(), zero.get(), ctx.get())), v.at("U").get<std::string>());
    EXPECT_EQ(string_of(mul_two(h->point.get(), k_bn.get(), y.get(), zero.get(), ctx.get())), v.at("V").get<std::string>());
    EXPECT_EQ(string_of(mul_two(h->point.get(), k_less_one.get(), h->point.get(), one.get(), ctx.get())),
              v.at("V").get<std::string>());
    // k*G + 1*Y in one multiplication is U + Y.
    Point u_plus_y = mul_base_plus(k_bn.get(), y.get(), one.get(), ctx.get());
    Point sum = new_point();
    Point u = mul_secret(nullptr, k, ctx.get());
    ASSERT_EQ(EC_POINT_add(curve().group, sum.get(), u.get(), y.get(), ctx.get()), 1);
    EXPECT_EQ(string_of(u_plus_y), string_of(sum));
  }
}

TEST(EcvrfP256SecretKey, RejectsBadScalarsWithExactTexts) {
  const Bytes n = from_hex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
  Bytes n_minus_1 = n;
  n_minus_1.back() = 0x50;
  Bytes all_ones(32, 0xff);
  Bytes one(32, 0);
  one.back() = 1;
  const struct {
    Bytes secret;
    const char* text;
  } cases[] = {
      {Bytes(32, 0), "vrf: secret key scalar is zero"},
      {n, "vrf: secret key is not a canonical P-256 scalar"},
      {all_ones, "vrf: secret key is not a canonical P-256 scalar"},
      {Bytes(31, 1), "invalid length: expected 32 bytes, got 31"},
      {Bytes(33, 1), "invalid length: expected 32 bytes, got 33"},
      {Bytes{}, "invalid length: expected 32 bytes, got 0"},
  };
  for (const auto& c : cases) {
    auto pk = ecvrf_p256_public_key(c.secret);
    ASSERT_FALSE(pk);
    EXPECT_EQ(error_text(pk.error()), c.text);
    auto proof = prove(c.secret, {});
    ASSERT_FALSE(proof);
    EXPECT_EQ(error_text(proof.error()), c.text);
  }
  // The extremes of the valid range: 1 gives the generator, n - 1 its negation.
  auto g = ecvrf_p256_public_key(one);
  ASSERT_TRUE(g);
  EXPECT_EQ(to_hex(*g), "036b17d1f2e12c4247f8bce6e563a440f277037d812deb33a0f4a13945d898c296");
  auto minus_g = ecvrf_p256_public_key(n_minus_1);
  ASSERT_TRUE(minus_g);
  EXPECT_EQ(to_hex(*minus_g), "026b17d1f2e12c4247f8bce6e563a440f277037d812deb33a0f4a13945d898c296");
}

TEST(EcvrfP256Verify, LengthErrorsComeBeforeAnythingElse) {
  const auto& v = rfc_vectors()[0];
  const Bytes pk = hex_field(v, "pk"), pi = hex_field(v, "pi");
  Bytes uncompressed(65, 0x04);
  const struct {
    Bytes key, proof;
    const char* text;
  } cases[] = {
      {uncompressed, pi, "invalid length: expected 33 bytes, got 65"},
      {Bytes(32, 2), Bytes(3), "invalid length: expected 33 bytes, got 32"},
      {pk, Bytes(pi.begin(), pi.end() - 1), "invalid length: expected 81 bytes, got 80"},
      {Bytes(33, 0x07), Bytes(82), "invalid length: expected 81 bytes, got 82"},
  };
  for (const auto& c : cases) {
    auto r = verify(c.key, {}, c.proof);
    ASSERT_FALSE(r);
    EXPECT_EQ(error_text(r.error()), c.text);
    auto keyed = KeyedVerifier(c.key).verify({}, c.proof);
    ASSERT_FALSE(keyed);
    EXPECT_EQ(error_text(keyed.error()), c.text);
  }
  auto r = proof_to_hash(Bytes(80));
  ASSERT_FALSE(r);
  EXPECT_EQ(error_text(r.error()), "invalid length: expected 81 bytes, got 80");
}

// Flips one bit of a valid (key, alpha, proof) triple in every field that is bound by the proof.
TEST(EcvrfP256Verify, EveryOneBitChangeIsNotVerified) {
  const auto& v = rfc_vectors()[0];
  const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha"), pi = hex_field(v, "pi");
  const KeyedVerifier keyed(pk);  // one decoded key for every proof, as a ladder uses it
  ASSERT_TRUE(keyed.verify(alpha, pi)->has_value());
  for (std::size_t bit = 0; bit < pi.size() * 8; ++bit) {
    Bytes bad = pi;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    auto r = verify(pk, alpha, bad);
    ASSERT_TRUE(r) << bit;
    EXPECT_FALSE(r->has_value()) << "proof bit " << bit;
    auto again = keyed.verify(alpha, bad);
    ASSERT_TRUE(again) << bit;
    EXPECT_FALSE(again->has_value()) << "proof bit " << bit << " under the decoded key";
  }
  EXPECT_EQ(*keyed.verify(alpha, pi), *verify(pk, alpha, pi)) << "the decoded key is left as it was";
  for (std::size_t bit = 0; bit < pk.size() * 8; ++bit) {
    Bytes bad = pk;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    auto r = verify(bad, alpha, pi);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->has_value()) << "key bit " << bit;
  }
  for (std::size_t bit = 0; bit < alpha.size() * 8; ++bit) {
    Bytes bad = alpha;
    bad[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    auto r = verify(pk, bad, pi);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->has_value()) << "alpha bit " << bit;
  }
}

TEST(EcvrfP256Verify, MalformedKeysAndResponsesAreNotVerified) {
  const auto& v = rfc_vectors()[1];
  const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha"), pi = hex_field(v, "pi");
  const Bytes n = from_hex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
  const Bytes p = from_hex("ffffffff00000001000000000000000000000000ffffffffffffffffffffffff");

  auto with_prefix = [](uint8_t first, const Bytes& rest) {
    Bytes out{first};
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
  };
  Bytes key_0x04 = pk;
  key_0x04[0] = 0x04;
  Bytes key_0x00 = pk;
  key_0x00[0] = 0x00;
  Bytes s_is_n = pi;
  std::copy(n.begin(), n.end(), s_is_n.begin() + 49);
  Bytes s_max = pi;
  std::fill(s_max.begin() + 49, s_max.end(), 0xff);
  Bytes gamma_x_is_p = pi;
  std::copy(p.begin(), p.end(), gamma_x_is_p.begin() + 1);

  const struct {
    const char* name;
    Bytes key, proof;
  } cases[] = {
      {"uncompressed tag on a 33-byte key", key_0x04, pi},
      {"identity-like tag 0x00", key_0x00, pi},
      {"key x = p", with_prefix(0x02, p), pi},
      {"key x = 0 is not on the curve", with_prefix(0x02, Bytes(32, 0)), pi},
      {"s = n", pk, s_is_n},
      {"s = 2^256 - 1", pk, s_max},
      {"Gamma x = p", pk, gamma_x_is_p},
  };
  for (const auto& c : cases) {
    auto r = verify(c.key, alpha, c.proof);
    ASSERT_TRUE(r) << c.name;
    EXPECT_FALSE(r->has_value()) << c.name;
    auto keyed = KeyedVerifier(c.key).verify(alpha, c.proof);
    ASSERT_TRUE(keyed) << c.name;
    EXPECT_FALSE(keyed->has_value()) << c.name;
  }
}

// The square root by the fixed addition chain against OpenSSL's general one, on squares and on
// non-squares (then nothing), including the ends of the field.
TEST(EcvrfP256Field, SquareRootAgreesWithOpenSsl) {
  BnCtx ctx = new_bn_ctx();
  const Curve& c = curve();
  std::mt19937_64 rng(7);
  std::vector<Bn> values;
  for (uint64_t small : {0u, 1u, 2u, 3u, 4u}) values.push_back(bn_from_be(Bytes{static_cast<uint8_t>(small)}));
  Bn p_less_one = new_bn();
  ASSERT_EQ(BN_sub(p_less_one.get(), c.p, BN_value_one()), 1);
  values.push_back(std::move(p_less_one));
  for (int i = 0; i < 200; ++i) {
    Bytes random(32);
    for (auto& b : random) b = static_cast<uint8_t>(rng());
    Bn v = bn_from_be(random);
    ASSERT_EQ(BN_nnmod(v.get(), v.get(), c.p, ctx.get()), 1);
    values.push_back(std::move(v));
  }
  int squares = 0;
  for (const Bn& a : values) {
    Bn a_mont = new_bn();
    ASSERT_EQ(BN_to_montgomery(a_mont.get(), a.get(), c.mont_p, ctx.get()), 1);
    const std::optional<Bn> root = sqrt_mont(a_mont.get(), ctx.get());
    Bn expected = new_bn();
    ERR_set_mark();
    const bool is_square = BN_mod_sqrt(expected.get(), a.get(), c.p, ctx.get()) != nullptr;
    ERR_pop_to_mark();
    ASSERT_EQ(root.has_value(), is_square) << BN_bn2hex(a.get());
    if (!root) continue;
    ++squares;
    Bn other = new_bn();
    ASSERT_EQ(BN_sub(other.get(), c.p, expected.get()), 1);
    EXPECT_TRUE(BN_cmp(root->get(), expected.get()) == 0 || BN_cmp(root->get(), other.get()) == 0 ||
                (BN_is_zero(root->get()) && BN_is_zero(expected.get())));
  }
  EXPECT_GT(squares, 60);
  EXPECT_LT(squares, 150);
}

TEST(EcvrfP256Verify, CompactFormDecodesToTheSmallerRoot) {
  BnCtx ctx = new_bn_ctx();
  for (const auto& v : rfc_vectors()) {
    const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha"), pi = hex_field(v, "pi");
    Bytes compact = pk;
    compact[0] = 0x05;
    auto a = string_to_point(compact, ctx.get());
    ASSERT_TRUE(a);
    Bn y = new_bn();
    ASSERT_EQ(EC_POINT_get_affine_coordinates(curve().group, a->point.get(), nullptr, y.get(), ctx.get()), 1);
    EXPECT_LE(BN_cmp(y.get(), curve().half_p), 0);
    // It names one of the two points with that x; the canonical string says which.
    EXPECT_EQ(Bytes(a->canonical.begin() + 1, a->canonical.end()), Bytes(pk.begin() + 1, pk.end()));

    // Even where the compact key names the prover's point, the salt differs: not verified.
    auto r = verify(compact, alpha, pi);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->has_value());
  }
}

TEST(EcvrfP256Verify, CompactGammaOfTheProversPointIsAccepted) {
  // Search random keys for a Gamma whose y is the smaller root, so that 0x05 names it.
  std::mt19937_64 rng(5);
  int accepted = 0;
  for (int i = 0; i < 40 && accepted < 2; ++i) {
    const Bytes sk = sample_secret(rng);
    const Bytes alpha = {static_cast<uint8_t>(i)};
    auto pk = ecvrf_p256_public_key(sk);
    auto proof = prove(sk, alpha);
    ASSERT_TRUE(pk && proof);
    BnCtx ctx = new_bn_ctx();
    auto gamma = string_to_point(ByteView(*proof).first(33), ctx.get());
    Bn y = new_bn();
    ASSERT_EQ(EC_POINT_get_affine_coordinates(curve().group, gamma->point.get(), nullptr, y.get(), ctx.get()), 1);
    Proof compact = *proof;
    compact[0] = 0x05;
    auto r = verify(*pk, alpha, compact);
    ASSERT_TRUE(r);
    if (BN_cmp(y.get(), curve().half_p) <= 0) {
      ASSERT_TRUE(r->has_value());
      EXPECT_EQ(**r, *proof_to_hash(*proof));
      EXPECT_EQ(*proof_to_hash(compact), *proof_to_hash(*proof));
      ++accepted;
    } else {
      EXPECT_FALSE(r->has_value());
    }
  }
  EXPECT_EQ(accepted, 2);
}

TEST(EcvrfP256Verify, IdentityUOrVIsNotVerifiedWithoutAborting) {
  // With c = 0 and s = 0 both U and V are the identity.
  const auto& v = rfc_vectors()[0];
  const Bytes pk = hex_field(v, "pk"), alpha = hex_field(v, "alpha");
  Bytes pi = hex_field(v, "pi");
  std::fill(pi.begin() + 33, pi.end(), 0);
  auto r = verify(pk, alpha, pi);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->has_value());
}

TEST(EcvrfP256ProofToHash, UsesGammaAloneAndRejectsBadGamma) {
  const auto& v = rfc_vectors()[2];
  Bytes pi = hex_field(v, "pi");
  std::fill(pi.begin() + 33, pi.end(), 0xff);  // c and s arbitrary, s not even canonical
  auto beta = proof_to_hash(pi);
  ASSERT_TRUE(beta);
  EXPECT_EQ(to_hex(*beta), v.at("beta").get<std::string>());

  pi[0] = 0x04;
  auto bad = proof_to_hash(pi);
  ASSERT_FALSE(bad);
  EXPECT_EQ(error_text(bad.error()), "vrf: proof Gamma is not a valid curve point");
}

TEST(EcvrfP256RoundTrip, RandomKeysAndAlphasVerify) {
  std::mt19937_64 rng(1);
  for (std::size_t len : {0u, 1u, 31u, 55u, 56u, 64u, 200u, 1000u}) {
    const Bytes sk = sample_secret(rng);
    Bytes alpha(len);
    for (auto& b : alpha) b = static_cast<uint8_t>(rng());
    auto pk = ecvrf_p256_public_key(sk);
    auto proof = prove(sk, alpha);
    ASSERT_TRUE(pk && proof);
    auto r = verify(*pk, alpha, *proof);
    ASSERT_TRUE(r && r->has_value()) << len;
    EXPECT_EQ(**r, *proof_to_hash(*proof));
    // Deterministic: the same inputs give the same proof.
    EXPECT_EQ(*proof, *prove(sk, alpha));
  }
}

// Values only: whether the comparisons are free of secret-dependent branches is a property of
// their Choice results, not something a value test can see.
TEST(EcvrfP256Scalars, MaskedComparisonsGiveTheRightValues) {
  const struct {
    Bytes a, b;
    bool less;
  } cases[] = {
      {{0, 0}, {0, 1}, true},   {{0, 1}, {0, 1}, false}, {{1, 0}, {0, 255}, false},
      {{0, 255}, {1, 0}, true}, {{255, 255}, {255, 254}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ct_less_be(c.a, c.b).declassify(), c.less) << to_hex(c.a) << " " << to_hex(c.b);
  }
  EXPECT_TRUE(ct_is_zero(Bytes(32, 0)).declassify());
  EXPECT_FALSE(ct_is_zero(Bytes{0, 0, 0x80}).declassify());
  EXPECT_TRUE(ct_is_zero(Bytes{}).declassify());
}

}  // namespace
}  // namespace quorvantile_crypto::vrf_p256
