#include <gtest/gtest.h>

#include "test_support.hpp"
#include "vrf/vrf.hpp"

namespace quorvantile_log::vrf {
namespace {

using qv_test::from_hex;
using qv_test::to_hex;

const nlohmann::json& p256_vectors() {
  static const nlohmann::json doc =
      qv_test::read_json(qv_test::vectors_dir() / "rfc9381-ecvrf" / "ecvrf_p256_sha256_tai.json");
  return doc.at("vectors");
}

TEST(EcvrfP256Interface, ReproducesTheRfcExamplesThroughTheInterface) {
  const EcvrfP256 impl;
  const Vrf& vrf = impl;
  EXPECT_EQ(vrf.suite_id(), 1);
  for (const auto& v : p256_vectors()) {
    const Bytes sk = from_hex(v.at("sk").get<std::string>());
    const Bytes alpha = from_hex(v.at("alpha").get<std::string>());
    const std::string output_hex = v.at("beta").get<std::string>() + std::string(64, '0');

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

TEST(EcvrfP256Interface, ErrorsCarryTheVrfPrefix) {
  const EcvrfP256 vrf;
  const Bytes n = from_hex("ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632551");
  const Bytes pk = from_hex(p256_vectors()[0].at("pk").get<std::string>());
  const struct {
    const char* name;
    Result<Bytes> result;
    const char* message;
  } cases[] = {
      {"derive zero", vrf.derive_public_key(Bytes(32, 0)), "vrf error: vrf: secret key scalar is zero"},
      {"derive n", vrf.derive_public_key(n), "vrf error: vrf: secret key is not a canonical P-256 scalar"},
      {"derive short", vrf.derive_public_key(Bytes(31, 1)), "vrf error: invalid length: expected 32 bytes, got 31"},
      {"prove zero", vrf.prove(Bytes(32, 0), {}), "vrf error: vrf: secret key scalar is zero"},
      {"prove long", vrf.prove(Bytes(64, 1), {}), "vrf error: invalid length: expected 32 bytes, got 64"},
  };
  for (const auto& c : cases) {
    ASSERT_FALSE(c.result) << c.name;
    EXPECT_EQ(c.result.error().render(), c.message) << c.name;
  }

  auto short_key = vrf.verify(Bytes(65, 0x04), {}, Bytes(81));
  ASSERT_FALSE(short_key);
  EXPECT_EQ(short_key.error().render(), "vrf error: invalid length: expected 33 bytes, got 65");
  auto short_proof = vrf.verify(pk, {}, Bytes(80));
  ASSERT_FALSE(short_proof);
  EXPECT_EQ(short_proof.error().render(), "vrf error: invalid length: expected 81 bytes, got 80");
  auto output = vrf.proof_to_output(Bytes(82));
  ASSERT_FALSE(output);
  EXPECT_EQ(output.error().render(), "vrf error: invalid length: expected 81 bytes, got 82");
  auto bad_gamma = vrf.proof_to_output(Bytes(81, 0));
  ASSERT_FALSE(bad_gamma);
  EXPECT_EQ(bad_gamma.error().render(), "vrf error: vrf: proof Gamma is not a valid curve point");

  // A cryptographic rejection is a value, not an error.
  auto rejected = vrf.verify(pk, {}, Bytes(81, 0));
  ASSERT_TRUE(rejected);
  EXPECT_FALSE(rejected->has_value());
}

}  // namespace
}  // namespace quorvantile_log::vrf
