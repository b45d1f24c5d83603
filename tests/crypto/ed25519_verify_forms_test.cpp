// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Signatures built with the group arithmetic to sit exactly where the two verification forms
// part: small-order keys and R values, non-canonical encodings and scalars, torsion in the key.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <string>
#include <vector>

#include "ed25519/group.hpp"
#include "quorvantile_crypto/ed25519.hpp"
#include "ed25519_backends.hpp"
#include "test_support.hpp"

namespace {

using qv_test::from_hex;
namespace ed = quorvantile_crypto::ed25519;

const std::vector<uint8_t> kMessage = {'f', 'o', 'r', 'm', 's'};

ed::Scalar random_scalar() {
  std::array<uint8_t, 64> wide;
  EXPECT_EQ(RAND_bytes(wide.data(), 64), 1);
  return ed::scalar_reduce64(wide);
}

// k = SHA-512(R || A || M) mod L.
ed::Scalar challenge(const std::vector<uint8_t>& r, const std::vector<uint8_t>& a, const std::vector<uint8_t>& m) {
  std::vector<uint8_t> input = r;
  input.insert(input.end(), a.begin(), a.end());
  input.insert(input.end(), m.begin(), m.end());
  std::array<uint8_t, 64> h;
  unsigned len = 0;
  EXPECT_EQ(EVP_Digest(input.data(), input.size(), h.data(), &len, EVP_sha512(), nullptr), 1);
  return ed::scalar_reduce64(h);
}

std::vector<uint8_t> bytes_of(const ed::Encoding& e) { return {e.begin(), e.end()}; }

std::vector<uint8_t> signature(const std::vector<uint8_t>& r, const ed::Scalar& s) {
  std::vector<uint8_t> sig = r;
  sig.insert(sig.end(), s.bytes.begin(), s.bytes.end());
  return sig;
}

struct Case {
  std::string name;
  std::vector<uint8_t> key, sig;
  bool cofactorless, strict;
};

std::vector<Case> build_cases() {
  std::vector<Case> cases;
  const ed::Scalar zero{};

  // Identity key, in its canonical and a non-canonical (p + 1) encoding: k A vanishes, so R = S B
  // satisfies the equation. The hash is over the key bytes as given.
  for (const char* key_hex : {"0100000000000000000000000000000000000000000000000000000000000000",
                              "eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f"}) {
    const ed::Scalar s = random_scalar();
    cases.push_back({std::string("identity key ") + key_hex, from_hex(key_hex),
                     signature(bytes_of(ed::encode(ed::mul_base(s))), s), true, false});
  }

  // A genuine key whose signature has R = identity: with S = k a the recomputed R is the identity.
  {
    const ed::Scalar a = random_scalar();
    const auto key = bytes_of(ed::encode(ed::mul_base(a)));
    const auto r = from_hex("0100000000000000000000000000000000000000000000000000000000000000");
    const ed::Scalar s = ed::scalar_muladd(challenge(r, key, kMessage), a, zero);
    cases.push_back({"identity R", key, signature(r, s), true, false});
    // The same R given as p + 1 never matches the canonical encoding of the recomputed R.
    const auto r_noncanonical = from_hex("eeffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff7f");
    const ed::Scalar s2 = ed::scalar_muladd(challenge(r_noncanonical, key, kMessage), a, zero);
    cases.push_back({"identity R as p + 1", key, signature(r_noncanonical, s2), false, false});
  }

  // An ordinary signature, and the same with S + L.
  {
    const ed::Scalar a = random_scalar(), nonce = random_scalar();
    const auto key = bytes_of(ed::encode(ed::mul_base(a)));
    const auto r = bytes_of(ed::encode(ed::mul_base(nonce)));
    const ed::Scalar s = ed::scalar_muladd(challenge(r, key, kMessage), a, nonce);
    cases.push_back({"ordinary", key, signature(r, s), true, true});
    auto sig = signature(r, s);
    const auto l = from_hex("edd3f55c1a631258d69cf7a2def9de1400000000000000000000000000000010");
    unsigned carry = 0;
    for (int i = 0; i < 32; ++i) {
      carry += static_cast<unsigned>(sig[32 + i]) + l[i];
      sig[32 + i] = static_cast<uint8_t>(carry);
      carry >>= 8;
    }
    cases.push_back({"S + L", key, sig, false, false});
  }

  // A key with an order-8 component: A = a B + T8. The honest S = r + k a leaves -k T8 in the
  // recomputed R, which vanishes only when k = 0 (mod 8). Both forms see the exact equation.
  {
    const auto t8 = ed::decode(std::span<const uint8_t, 32>(
        from_hex("26e8958fc2b227b045c3f489f2ef98f0d5dfac05d3c63339b13802886d53fc05").data(), 32));
    EXPECT_TRUE(t8);
    const ed::Scalar a = random_scalar();
    const auto key = bytes_of(ed::encode(ed::add(ed::mul_base(a), *t8)));
    bool have_accepting = false, have_rejecting = false;
    for (int attempt = 0; attempt < 200 && !(have_accepting && have_rejecting); ++attempt) {
      const ed::Scalar nonce = random_scalar();
      const auto r = bytes_of(ed::encode(ed::mul_base(nonce)));
      const ed::Scalar k = challenge(r, key, kMessage);
      const bool k_multiple_of_8 = (k.bytes[0] & 7) == 0;
      if (k_multiple_of_8 ? have_accepting : have_rejecting) continue;
      (k_multiple_of_8 ? have_accepting : have_rejecting) = true;
      cases.push_back({k_multiple_of_8 ? "torsion key, k = 0 mod 8" : "torsion key, k != 0 mod 8", key,
                       signature(r, ed::scalar_muladd(k, a, nonce)), k_multiple_of_8, k_multiple_of_8});
    }
    EXPECT_TRUE(have_accepting && have_rejecting);
  }
  return cases;
}

using Ed25519Forms = qv_test::Ed25519Backends;

TEST_P(Ed25519Forms, ConstructedEdgeSignatures) {
  for (const Case& c : build_cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ed::verify_cofactorless(c.key, kMessage, c.sig, backend()), c.cofactorless);
    EXPECT_EQ(ed::verify_strict(c.key, kMessage, c.sig, backend()), c.strict);
  }
}

QV_ED25519_ALL_BACKENDS(Ed25519Forms);

}  // namespace
