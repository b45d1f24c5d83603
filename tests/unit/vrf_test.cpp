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

const nlohmann::json& ed25519_vectors() {
  static const nlohmann::json doc =
      qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / "ecvrf_edwards25519_sha512_tai.json");
  return doc.at("vectors");
}

TEST(EcvrfInterface, ReproducesTheRfcExamplesThroughTheInterface) {
  const Ecvrf impl;
  const Vrf& vrf = impl;
  EXPECT_EQ(vrf.suite_id(), 3);
  for (const auto& v : ed25519_vectors()) {
    const Bytes sk = from_hex(v.at("sk").get<std::string>());
    const Bytes alpha = from_hex(v.at("alpha").get<std::string>());
    auto pk = vrf.derive_public_key(sk);
    ASSERT_TRUE(pk);
    EXPECT_EQ(to_hex(*pk), v.at("pk").get<std::string>());
    auto proof = vrf.prove(sk, alpha);
    ASSERT_TRUE(proof);
    EXPECT_EQ(to_hex(*proof), v.at("pi").get<std::string>());
    auto verified = vrf.verify(*pk, alpha, *proof);
    ASSERT_TRUE(verified && verified->has_value());
    EXPECT_EQ(to_hex(**verified), v.at("beta").get<std::string>());
    auto output = vrf.proof_to_output(*proof);
    ASSERT_TRUE(output);
    EXPECT_EQ(*output, **verified);
  }
}

TEST(EcvrfInterface, ErrorsCarryTheVrfPrefix) {
  const Ecvrf vrf;
  const Bytes pk = from_hex(ed25519_vectors()[0].at("pk").get<std::string>());
  Bytes bad_gamma(80, 0);
  bad_gamma[0] = 2;  // y = 2 is not the y of any curve point
  const struct {
    const char* name;
    std::optional<Error> error;
    const char* message;
  } cases[] = {
      {"derive 31", vrf.derive_public_key(Bytes(31)).error(), "vrf error: invalid length: expected 32 bytes, got 31"},
      {"prove 33", vrf.prove(Bytes(33), {}).error(), "vrf error: invalid length: expected 32 bytes, got 33"},
      {"verify key 31", vrf.verify(Bytes(31), {}, Bytes(80)).error(),
       "vrf error: invalid length: expected 32 bytes, got 31"},
      {"verify proof 79", vrf.verify(pk, {}, Bytes(79)).error(), "vrf error: invalid length: expected 80 bytes, got 79"},
      {"output 81", vrf.proof_to_output(Bytes(81)).error(), "vrf error: invalid length: expected 80 bytes, got 81"},
      {"output bad gamma", vrf.proof_to_output(bad_gamma).error(),
       "vrf error: vrf: proof Gamma is not a valid curve point"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.error->render(), c.message) << c.name;
}

// Both implementations through the one interface: generated keys prove and verify, outputs are
// 64 bytes and equal proof_to_output, and a proof does not verify under another key.
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

TEST(VrfInterface, SmallOrderKeyIsNotVerifiedNotAnError) {
  const Ecvrf vrf;
  Bytes identity(32, 0);
  identity[0] = 1;
  const Bytes pi = from_hex(ed25519_vectors()[0].at("pi").get<std::string>());
  auto r = vrf.verify(identity, {}, pi);
  ASSERT_TRUE(r);
  EXPECT_FALSE(r->has_value());
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
