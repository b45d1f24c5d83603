// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Field and scalar arithmetic against OpenSSL BIGNUM, with field limbs driven to the bounds the
// field header documents (the carry analysis) and scalars at the edges around L.
#include <gtest/gtest.h>
#include <openssl/bn.h>
#include <openssl/rand.h>

#include <memory>
#include <string>

#include "ed25519/field.hpp"
#include "ed25519/scalar.hpp"
#include "test_support.hpp"

namespace {

namespace ed = quorvantile_crypto::ed25519;

struct BnFree {
  void operator()(BIGNUM* b) const { BN_free(b); }
};
using Bn = std::unique_ptr<BIGNUM, BnFree>;
struct CtxFree {
  void operator()(BN_CTX* c) const { BN_CTX_free(c); }
};

Bn bn_hex(const char* hex) {
  BIGNUM* b = nullptr;
  EXPECT_GT(BN_hex2bn(&b, hex), 0);
  return Bn(b);
}

Bn bn_le(const uint8_t* bytes, int len) { return Bn(BN_lebin2bn(bytes, len, nullptr)); }

std::string bn_str(const BIGNUM* b) {
  char* s = BN_bn2hex(b);
  std::string out(s);
  OPENSSL_free(s);
  return out;
}

class Ed25519Arith : public ::testing::Test {
 protected:
  std::unique_ptr<BN_CTX, CtxFree> ctx{BN_CTX_new()};
  Bn p = bn_hex("7fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffed");
  Bn l = bn_hex("1000000000000000000000000000000014def9dea2f79cd65812631a5cf5d3ed");

  // The field element's value modulo p.
  Bn value(const ed::Fe& a) {
    Bn r(BN_new()), limb(BN_new());
    BN_zero(r.get());
    for (int i = 4; i >= 0; --i) {
      BN_lshift(r.get(), r.get(), 51);
      BN_set_word(limb.get(), a.v[i]);
      BN_add(r.get(), r.get(), limb.get());
    }
    BN_nnmod(r.get(), r.get(), p.get(), ctx.get());
    return r;
  }

  // Random limbs below 2^bits.
  static ed::Fe random_fe(int bits) {
    ed::Fe a;
    EXPECT_EQ(RAND_bytes(reinterpret_cast<unsigned char*>(a.v), sizeof a.v), 1);
    for (uint64_t& limb : a.v) limb &= (uint64_t{1} << bits) - 1;
    return a;
  }
  // Every limb at its maximum below 2^bits.
  static ed::Fe max_fe(int bits) {
    const uint64_t m = (uint64_t{1} << bits) - 1;
    return {{m, m, m, m, m}};
  }

  void expect_fe(const ed::Fe& got, const BIGNUM* want) {
    Bn g = value(got);
    EXPECT_EQ(bn_str(g.get()), bn_str(want));
    for (uint64_t limb : got.v) EXPECT_LT(limb, uint64_t{1} << 52);  // outputs are reduced
  }
};

TEST_F(Ed25519Arith, FieldOperationsAtTheirLimbBounds) {
  for (int i = 0; i < 300; ++i) {
    // mul/sq: inputs up to 2^54; add: up to 2^53; sub: a up to 2^56, b up to 2^54.
    const ed::Fe a = i == 0 ? max_fe(54) : random_fe(54);
    const ed::Fe b = i == 0 ? max_fe(54) : random_fe(54);
    const ed::Fe c = i == 0 ? max_fe(54) : random_fe(54);
    Bn va = value(a), vb = value(b), vc = value(c), want(BN_new());

    BN_mod_mul(want.get(), va.get(), vb.get(), p.get(), ctx.get());
    expect_fe(ed::fe_mul(a, b), want.get());
    BN_mod_sqr(want.get(), va.get(), p.get(), ctx.get());
    expect_fe(ed::fe_sq(a), want.get());
    BN_mod_sub(want.get(), va.get(), vc.get(), p.get(), ctx.get());
    expect_fe(ed::fe_sub(a, c), want.get());

    const ed::Fe a55 = i == 0 ? max_fe(53) : random_fe(53), b55 = i == 0 ? max_fe(53) : random_fe(53);
    Bn va55 = value(a55), vb55 = value(b55);
    BN_mod_add(want.get(), va55.get(), vb55.get(), p.get(), ctx.get());
    Bn got = value(ed::fe_add(a55, b55));
    EXPECT_EQ(bn_str(got.get()), bn_str(want.get()));

    BN_mod_inverse(want.get(), va.get(), p.get(), ctx.get());
    expect_fe(ed::fe_invert(ed::fe_carry(a)), want.get());
  }
}

TEST_F(Ed25519Arith, FieldEncodingIsCanonical) {
  // Values at and just above p encode reduced; from_bytes ignores bit 255.
  const char* cases[] = {"7fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffec",
                         "7fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffed",
                         "7fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffee",
                         "7fffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff",
                         "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff", "0", "1"};
  for (const char* hex : cases) {
    SCOPED_TRACE(hex);
    Bn v = bn_hex(hex);
    std::array<uint8_t, 32> in{}, out{};
    BN_bn2lebinpad(v.get(), in.data(), 32);
    ed::fe_to_bytes(out, ed::fe_from_bytes(in));
    BN_clear_bit(v.get(), 255);
    BN_nnmod(v.get(), v.get(), p.get(), ctx.get());
    std::array<uint8_t, 32> want{};
    BN_bn2lebinpad(v.get(), want.data(), 32);
    EXPECT_EQ(out, want);
  }
  // Loose limbs that sum to exactly p and to 2p - 1 still encode canonically.
  const ed::Fe p_limbs = {{(uint64_t{1} << 51) - 19, (uint64_t{1} << 51) - 1, (uint64_t{1} << 51) - 1,
                           (uint64_t{1} << 51) - 1, (uint64_t{1} << 51) - 1}};
  std::array<uint8_t, 32> out{};
  ed::fe_to_bytes(out, p_limbs);
  EXPECT_EQ(out, (std::array<uint8_t, 32>{}));
  EXPECT_EQ(ed::fe_is_zero(p_limbs), 1u);
}

TEST_F(Ed25519Arith, SquareRootRatio) {
  for (int i = 0; i < 100; ++i) {
    const ed::Fe u = ed::fe_carry(random_fe(51)), v = ed::fe_carry(random_fe(51));
    ed::Fe r;
    const uint64_t ok = ed::fe_sqrt_ratio(r, u, v);
    // Euler's criterion on u/v decides whether a root must exist.
    Bn q(BN_new()), e(BN_new()), vinv(BN_new()), vu = value(u), vv = value(v);
    BN_mod_inverse(vinv.get(), vv.get(), p.get(), ctx.get());
    BN_mod_mul(q.get(), vu.get(), vinv.get(), p.get(), ctx.get());
    BN_rshift1(e.get(), p.get());  // (p - 1) / 2
    Bn legendre(BN_new());
    BN_mod_exp(legendre.get(), q.get(), e.get(), p.get(), ctx.get());
    EXPECT_EQ(ok, BN_is_one(legendre.get()) || BN_is_zero(q.get()) ? 1u : 0u);
    if (ok) {
      Bn r2 = value(ed::fe_sq(r));
      EXPECT_EQ(bn_str(r2.get()), bn_str(q.get()));
    }
  }
}

// Scalars: edge values around L and 2^256, and random ones.
TEST_F(Ed25519Arith, ScalarReductionAgainstBignum) {
  std::vector<std::vector<uint8_t>> inputs32, inputs64;
  for (const char* hex : {"0", "1", "1000000000000000000000000000000014def9dea2f79cd65812631a5cf5d3ec",
                          "1000000000000000000000000000000014def9dea2f79cd65812631a5cf5d3ed",
                          "1000000000000000000000000000000014def9dea2f79cd65812631a5cf5d3ee",
                          "2000000000000000000000000000000029bdf3bd45ef39acb024c634b9eba7da",
                          "ffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffffff"}) {
    Bn v = bn_hex(hex);
    std::vector<uint8_t> b(32);
    BN_bn2lebinpad(v.get(), b.data(), 32);
    inputs32.push_back(b);
    std::vector<uint8_t> w(64);
    BN_bn2lebinpad(v.get(), w.data(), 64);
    inputs64.push_back(w);
  }
  inputs64.push_back(std::vector<uint8_t>(64, 0xff));
  for (int i = 0; i < 500; ++i) {
    std::vector<uint8_t> b(32), w(64);
    RAND_bytes(b.data(), 32);
    RAND_bytes(w.data(), 64);
    inputs32.push_back(b);
    inputs64.push_back(w);
  }
  Bn want(BN_new());
  for (const auto& b : inputs32) {
    SCOPED_TRACE(qv_test::to_hex(b));
    Bn v = bn_le(b.data(), 32);
    BN_nnmod(want.get(), v.get(), l.get(), ctx.get());
    const ed::Scalar s = ed::scalar_reduce32(std::span<const uint8_t, 32>(b.data(), 32));
    Bn got = bn_le(s.bytes.data(), 32);
    EXPECT_EQ(bn_str(got.get()), bn_str(want.get()));
    const bool canonical = BN_cmp(v.get(), l.get()) < 0;
    EXPECT_EQ(ed::scalar_is_canonical(std::span<const uint8_t, 32>(b.data(), 32)), canonical);
    EXPECT_EQ(ed::scalar_parse(std::span<const uint8_t, 32>(b.data(), 32)).has_value(), canonical);
  }
  for (const auto& w : inputs64) {
    SCOPED_TRACE(qv_test::to_hex(w));
    Bn v = bn_le(w.data(), 64);
    BN_nnmod(want.get(), v.get(), l.get(), ctx.get());
    const ed::Scalar s = ed::scalar_reduce64(std::span<const uint8_t, 64>(w.data(), 64));
    Bn got = bn_le(s.bytes.data(), 32);
    EXPECT_EQ(bn_str(got.get()), bn_str(want.get()));
  }
}

TEST_F(Ed25519Arith, ScalarMulAddAndEquality) {
  Bn want(BN_new());
  for (int i = 0; i < 500; ++i) {
    ed::Scalar a, b, c;
    RAND_bytes(a.bytes.data(), 32);
    RAND_bytes(b.bytes.data(), 32);
    RAND_bytes(c.bytes.data(), 32);
    if (i == 0) a.bytes.fill(0xff), b.bytes.fill(0xff), c.bytes.fill(0xff);
    Bn va = bn_le(a.bytes.data(), 32), vb = bn_le(b.bytes.data(), 32), vc = bn_le(c.bytes.data(), 32);
    BN_mul(want.get(), va.get(), vb.get(), ctx.get());
    BN_add(want.get(), want.get(), vc.get());
    BN_nnmod(want.get(), want.get(), l.get(), ctx.get());
    const ed::Scalar r = ed::scalar_muladd(a, b, c);
    Bn got = bn_le(r.bytes.data(), 32);
    EXPECT_EQ(bn_str(got.get()), bn_str(want.get()));

    ed::Scalar d = r;
    EXPECT_TRUE(ed::scalar_ct_equal(r, d).declassify());
    d.bytes[static_cast<size_t>(i) % 32] ^= static_cast<uint8_t>(1u << (i % 8));
    EXPECT_FALSE(ed::scalar_ct_equal(r, d).declassify());
  }
}

}  // namespace
