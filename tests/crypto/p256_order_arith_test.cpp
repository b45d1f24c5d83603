// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include <gtest/gtest.h>

#include <random>

#include "test_support.hpp"
#include "vrf_p256/ec.hpp"
#include "vrf_p256/order_arith.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

using qv_test::to_hex;

Bytes32 be(const char* hex) {
  const Bytes bytes = qv_test::from_hex(hex);
  Bytes32 out{};
  std::copy(bytes.begin(), bytes.end(), out.end() - static_cast<std::ptrdiff_t>(bytes.size()));
  return out;
}

// a*b + c mod n through BIGNUM, the reference.
Bytes32 reference(const Bytes32& a, const Bytes32& b, const Bytes32& c) {
  BnCtx ctx = new_bn_ctx();
  Bn r = new_bn();
  check(BN_mod_mul(r.get(), bn_from_be(a).get(), bn_from_be(b).get(), curve().n, ctx.get()), "BN_mod_mul");
  check(BN_mod_add(r.get(), r.get(), bn_from_be(c).get(), curve().n, ctx.get()), "BN_mod_add");
  Bytes32 out{};
  bn_to_be(r.get(), out.data(), out.size());
  return out;
}

// The corners of the fixed-width code: zero operands, the top of the range (n - 1), sums that
// wrap past n once and exactly to n, products whose Montgomery reduction ends at or above n,
// and operands with zero top words.
TEST(P256OrderArith, MulAddMatchesBignumAtTheCorners) {
  const char* n_minus_1 = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc632550";
  const char* n_minus_2 = "ffffffff00000000ffffffffffffffffbce6faada7179e84f3b9cac2fc63254f";
  const char* half = "7fffffff800000007fffffffffffffffde737d56d38bcf4279dce5617e3192a8";  // (n - 1) / 2
  const struct {
    const char *a, *b, *c;
    const char* want;  // empty: compare with the reference only
  } cases[] = {
      {"00", "00", "00", "00"},
      {"01", "01", "00", "01"},
      {"00", n_minus_1, n_minus_1, n_minus_1},
      {"01", n_minus_1, "01", "00"},                 // (n - 1) + 1 wraps to exactly 0
      {"01", n_minus_1, n_minus_1, n_minus_2},       // 2n - 2 wraps once
      {n_minus_1, n_minus_1, "00", "01"},            // (-1)(-1)
      {"02", half, "01", "00"},                      // n - 1 + 1
      {half, half, half, ""},
      {"ffffffffffffffffffffffffffffffff", n_minus_1, n_minus_1, ""},  // the widest challenge
      {"0000000000000000ffffffffffffffffffffffffffffffffffffffffffffffff", n_minus_1, "01", ""},
      {"00000000000000000000000000000000000000000000000000000000000000ff", "ff", "00", "00fe01"},
  };
  for (const auto& c : cases) {
    const Bytes32 a = be(c.a), b = be(c.b), addend = be(c.c);
    Bytes32 got{};
    mul_add_mod_n(a, b, addend, got);
    EXPECT_EQ(to_hex(got), to_hex(reference(a, b, addend))) << c.a << " " << c.b << " " << c.c;
    if (*c.want != '\0') {
      EXPECT_EQ(to_hex(got), to_hex(be(c.want)));
    }
  }
}

TEST(P256OrderArith, MulAddMatchesBignumOnRandomScalars) {
  std::mt19937_64 rng(20261209);
  auto random_scalar = [&] {
    for (;;) {
      Bytes32 s{};
      for (auto& byte : s) byte = static_cast<uint8_t>(rng());
      if (std::lexicographical_compare(s.begin(), s.end(), curve().n_bytes.begin(), curve().n_bytes.end())) return s;
    }
  };
  for (int i = 0; i < 2000; ++i) {
    const Bytes32 a = random_scalar(), b = random_scalar(), c = random_scalar();
    Bytes32 got = a;
    mul_add_mod_n(got, b, c, got);  // the output may alias an input
    ASSERT_EQ(to_hex(got), to_hex(reference(a, b, c))) << i;
  }
}

}  // namespace
}  // namespace quorvantile_crypto::vrf_p256
