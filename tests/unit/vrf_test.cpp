// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "test_support.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace {

using qv_test::from_hex;
using qv_test::to_hex;

nlohmann::json vectors(const char* file) {
  return qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / file).at("vectors");
}

// The RFC examples through the interface; the P-256 output is beta padded with 32 zero bytes.
TEST(VrfInterface, ReproducesTheRfcExamplesForBothSuites) {
  const struct {
    std::unique_ptr<Vrf> vrf;
    const char* file;
    uint8_t suite;
  } suites[] = {{std::make_unique<Ecvrf>(), "ecvrf_edwards25519_sha512_tai.json", 3},
                {std::make_unique<EcvrfP256>(), "ecvrf_p256_sha256_tai.json", 1}};
  for (const auto& suite : suites) {
    const Vrf& vrf = *suite.vrf;
    EXPECT_EQ(vrf.suite_id(), suite.suite);
    for (const auto& v : vectors(suite.file)) {
      SCOPED_TRACE(v.at("example").get<int>());
      const Bytes sk = from_hex(v.at("sk").get<std::string>());
      const Bytes alpha = from_hex(v.at("alpha").get<std::string>());
      std::string output_hex = v.at("beta").get<std::string>();
      output_hex.resize(128, '0');

      auto pk = vrf.derive_public_key(sk);
      ASSERT_TRUE(pk);
      EXPECT_EQ(to_hex(*pk), v.at("pk").get<std::string>());
      auto proof = vrf.prove(sk, alpha);
      ASSERT_TRUE(proof);
      EXPECT_EQ(to_hex(*proof), v.at("pi").get<std::string>());
      auto verified = vrf.verify(*pk, alpha, *proof);
      ASSERT_TRUE(verified && verified->has_value());
      EXPECT_EQ(to_hex(**verified), output_hex);
      auto output = vrf.proof_to_output(*proof);
      ASSERT_TRUE(output);
      EXPECT_EQ(to_hex(*output), output_hex);
    }
  }
}

TEST(VrfInterface, ErrorsCarryTheVrfPrefix) {
  const Ecvrf ed;
  const EcvrfP256 p256;
  const Bytes ed_pk = from_hex(vectors("ecvrf_edwards25519_sha512_tai.json")[0].at("pk").get<std::string>());
  const Bytes p256_pk = from_hex(vectors("ecvrf_p256_sha256_tai.json")[0].at("pk").get<std::string>());
  const Bytes n = from_hex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
  Bytes ed_bad_gamma(80, 0);
  ed_bad_gamma[0] = 2;  // y = 2 is not the y of any curve point
  const struct {
    const char* name;
    std::optional<Error> error;
    const char* message;
  } cases[] = {
      {"ed derive 31", ed.derive_public_key(Bytes(31)).error(), "vrf error: invalid length: expected 32 bytes, got 31"},
      {"ed prove 33", ed.prove(Bytes(33), {}).error(), "vrf error: invalid length: expected 32 bytes, got 33"},
      {"ed verify key 31", ed.verify(Bytes(31), {}, Bytes(80)).error(),
       "vrf error: invalid length: expected 32 bytes, got 31"},
      {"ed verify proof 79", ed.verify(ed_pk, {}, Bytes(79)).error(),
       "vrf error: invalid length: expected 80 bytes, got 79"},
      {"ed output 81", ed.proof_to_output(Bytes(81)).error(), "vrf error: invalid length: expected 80 bytes, got 81"},
      {"ed output bad gamma", ed.proof_to_output(ed_bad_gamma).error(),
       "vrf error: vrf: proof Gamma is not a valid curve point"},
      {"p256 derive zero", p256.derive_public_key(Bytes(32, 0)).error(), "vrf error: vrf: secret key scalar is zero"},
      {"p256 derive n", p256.derive_public_key(n).error(),
       "vrf error: vrf: secret key is not a canonical P-256 scalar"},
      {"p256 derive 31", p256.derive_public_key(Bytes(31, 1)).error(),
       "vrf error: invalid length: expected 32 bytes, got 31"},
      {"p256 prove zero", p256.prove(Bytes(32, 0), {}).error(), "vrf error: vrf: secret key scalar is zero"},
      {"p256 verify key 65", p256.verify(Bytes(65, 0x04), {}, Bytes(81)).error(),
       "vrf error: invalid length: expected 33 bytes, got 65"},
      {"p256 verify proof 80", p256.verify(p256_pk, {}, Bytes(80)).error(),
       "vrf error: invalid length: expected 81 bytes, got 80"},
      {"p256 output 82", p256.proof_to_output(Bytes(82)).error(),
       "vrf error: invalid length: expected 81 bytes, got 82"},
      {"p256 output bad gamma", p256.proof_to_output(Bytes(81, 0)).error(),
       "vrf error: vrf: proof Gamma is not a valid curve point"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error->render(), c.message) << c.name;
}

// Cryptographic rejections are values, not errors.
TEST(VrfInterface, RejectionsAreNotVerifiedRatherThanErrors) {
  Bytes identity(32, 0);
  identity[0] = 1;
  Bytes key_0x04(33, 0);
  key_0x04[0] = 0x04;
  const auto a = Ecvrf{}.verify(identity, {}, Bytes(80, 0));
  const auto b = EcvrfP256{}.verify(key_0x04, {}, Bytes(81, 0));
  ASSERT_TRUE(a && b);
  EXPECT_FALSE(a->has_value());
  EXPECT_FALSE(b->has_value());
}

// Generated keys prove and verify, outputs equal proof_to_output, and a proof does not verify
// under another key.
TEST(VrfInterface, GeneratedKeysRoundTripForBothSuites) {
  const std::unique_ptr<Vrf> suites[] = {std::make_unique<Ecvrf>(), std::make_unique<EcvrfP256>()};
  for (const auto& vrf : suites) {
    SCOPED_TRACE(static_cast<int>(vrf->suite_id()));
    const KeyPair a = vrf->generate_keypair();
    const KeyPair b = vrf->generate_keypair();
    EXPECT_NE(a.secret_key, b.secret_key);
    EXPECT_EQ(*vrf->derive_public_key(a.secret_key), a.public_key);
    for (const Bytes& alpha : {Bytes{}, Bytes(1000, 0x5a)}) {
      auto proof = vrf->prove(a.secret_key, alpha);
      ASSERT_TRUE(proof);
      auto verified = vrf->verify(a.public_key, alpha, *proof);
      ASSERT_TRUE(verified && verified->has_value());
      EXPECT_EQ(**verified, *vrf->proof_to_output(*proof));
      auto other = vrf->verify(b.public_key, alpha, *proof);
      ASSERT_TRUE(other);
      EXPECT_FALSE(other->has_value());
    }
  }
}

// Verification holds no shared mutable state: concurrent callers get the single-threaded answers.
TEST(VrfInterface, ConcurrentVerificationAgreesWithSequential) {
  const Ecvrf ed;
  const EcvrfP256 p256;
  const Bytes alpha = {'x'};
  const KeyPair ed_keys = ed.generate_keypair();
  const KeyPair p256_keys = p256.generate_keypair();
  const Bytes ed_proof = *ed.prove(ed_keys.secret_key, alpha);
  const Bytes p256_proof = *p256.prove(p256_keys.secret_key, alpha);
  const Output ed_output = *ed.proof_to_output(ed_proof);
  const Output p256_output = *p256.proof_to_output(p256_proof);

  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        auto a = ed.verify(ed_keys.public_key, alpha, ed_proof);
        auto b = p256.verify(p256_keys.public_key, alpha, p256_proof);
        auto c = p256.verify(p256_keys.public_key, Bytes{'y'}, p256_proof);
        if (!a || *a != Verification{ed_output}) ++mismatches[t];
        if (!b || *b != Verification{p256_output}) ++mismatches[t];
        if (!c || c->has_value()) ++mismatches[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (int m : mismatches) EXPECT_EQ(m, 0);
}

}  // namespace
}  // namespace quorvantile_log::vrf
