// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Differential check against OpenSSL's Ed25519: random keys and messages, signatures made by
// OpenSSL, then valid and corrupted signatures verified by both.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <vector>

#include "ed25519/group.hpp"
#include "ed25519_backends.hpp"
#include "openssl_util.hpp"
#include "quorvantile_crypto/ed25519.hpp"

namespace {

namespace ed = quorvantile_crypto::ed25519;
namespace ossl = quorvantile_crypto::ossl;

std::vector<uint8_t> random_bytes(size_t n) {
  std::vector<uint8_t> out(n);
  if (n > 0) {
    EXPECT_EQ(RAND_bytes(out.data(), static_cast<int>(n)), 1);
  }
  return out;
}

uint32_t random_u32() {
  uint32_t v = 0;
  EXPECT_EQ(RAND_bytes(reinterpret_cast<unsigned char*>(&v), sizeof v), 1);
  return v;
}

bool openssl_verify(const std::vector<uint8_t>& key, const std::vector<uint8_t>& msg, const std::vector<uint8_t>& sig) {
  ossl::Pkey pkey(EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, key.data(), key.size()));
  if (!pkey) return false;
  const ossl::MdCtx ctx = ossl::new_md_ctx();
  if (EVP_DigestVerifyInit_ex(ctx.get(), nullptr, nullptr, nullptr, nullptr, pkey.get(), nullptr) != 1) return false;
  return EVP_DigestVerify(ctx.get(), sig.data(), sig.size(), msg.data(), msg.size()) == 1;
}

void flip_random_bit(std::vector<uint8_t>& v) {
  const size_t bit = random_u32() % (v.size() * 8);
  v[bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
}

// S + L: the same scalar in a non-canonical encoding (S < 2^253 always leaves room).
void add_order_to_s(std::vector<uint8_t>& sig) {
  static const uint8_t kL[32] = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                 0xa2, 0xde, 0xf9, 0xde, 0x14, 0,    0,    0,    0,    0,    0,
                                 0,    0,    0,    0,    0,    0,    0,    0,    0,    0x10};
  unsigned carry = 0;
  for (int i = 0; i < 32; ++i) {
    carry += static_cast<unsigned>(sig[32 + i]) + kL[i];
    sig[32 + i] = static_cast<uint8_t>(carry);
    carry >>= 8;
  }
}

using Ed25519Differential = qv_test::Ed25519Backends;

TEST_P(Ed25519Differential, StrictAndCofactorlessAgreeWithOpenssl) {
  constexpr int kRounds = 10000;
  int accepted = 0, compared = 0;
  for (int i = 0; i < kRounds; ++i) {
    const auto seed = random_bytes(32);
    ossl::Pkey pkey(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()));
    ASSERT_TRUE(pkey);
    std::vector<uint8_t> key(32);
    size_t key_len = key.size();
    ASSERT_EQ(EVP_PKEY_get_raw_public_key(pkey.get(), key.data(), &key_len), 1);
    auto msg = random_bytes(random_u32() % 200);
    std::vector<uint8_t> sig(64);
    size_t sig_len = sig.size();
    {
      const ossl::MdCtx ctx = ossl::new_md_ctx();
      ASSERT_EQ(EVP_DigestSignInit_ex(ctx.get(), nullptr, nullptr, nullptr, nullptr, pkey.get(), nullptr), 1);
      ASSERT_EQ(EVP_DigestSign(ctx.get(), sig.data(), &sig_len, msg.data(), msg.size()), 1);
    }
    switch (i % 6) {
      case 0: break;
      case 1: flip_random_bit(sig); break;
      case 2: {
        auto r = random_bytes(32);  // a random R
        std::copy(r.begin(), r.end(), sig.begin());
        break;
      }
      case 3:
        if (msg.empty()) msg.push_back(0);
        flip_random_bit(msg);
        break;
      case 4: flip_random_bit(key); break;
      case 5: add_order_to_s(sig); break;
    }
    // Where the forms differ by definition (small-order or non-canonical keys) there is nothing to
    // compare; random corruption almost never lands there.
    std::array<uint8_t, 32> key_bytes;
    std::copy(key.begin(), key.end(), key_bytes.begin());
    const auto a = ed::decode(key_bytes);
    if (a && (ed::is_small_order(*a) || ed::encode(*a) != key_bytes)) continue;
    const bool reference = openssl_verify(key, msg, sig);
    EXPECT_EQ(ed::verify_strict(key, msg, sig, backend()), reference) << "round " << i;
    EXPECT_EQ(ed::verify_cofactorless(key, msg, sig, backend()), reference) << "round " << i;
    accepted += reference;
    ++compared;
  }
  EXPECT_GT(compared, kRounds * 9 / 10);
  // Round kinds 0 always verify; the corrupted kinds essentially never do.
  EXPECT_GE(accepted, kRounds / 6);
  EXPECT_LT(accepted, kRounds / 6 + 20);
}

QV_ED25519_ALL_BACKENDS(Ed25519Differential);

}  // namespace
