// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#include "vrf_p256/field.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

void mont_mul(BIGNUM* r, const BIGNUM* a, const BIGNUM* b, BN_CTX* ctx) {
  check(BN_mod_mul_montgomery(r, a, b, curve().mont_p, ctx), "BN_mod_mul_montgomery");
}

// r = a^(2^k) in place of r (r may be a).
void square_times(BIGNUM* r, const BIGNUM* a, int k, BN_CTX* ctx) {
  if (r != a) check(BN_copy(r, a) != nullptr, "BN_copy");
  for (int i = 0; i < k; ++i) mont_mul(r, r, r, ctx);
}

}  // namespace

Bn curve_rhs_mont(const BIGNUM* x, BN_CTX* ctx) {
  const Curve& c = curve();
  Bn xm = new_bn();
  Bn rhs = new_bn();
  Bn three_x = new_bn();
  check(BN_to_montgomery(xm.get(), x, c.mont_p, ctx), "BN_to_montgomery");
  mont_mul(rhs.get(), xm.get(), xm.get(), ctx);
  mont_mul(rhs.get(), rhs.get(), xm.get(), ctx);
  check(BN_mod_lshift1_quick(three_x.get(), xm.get(), c.p), "BN_mod_lshift1_quick");
  check(BN_mod_add_quick(three_x.get(), three_x.get(), xm.get(), c.p), "BN_mod_add_quick");
  check(BN_mod_sub_quick(rhs.get(), rhs.get(), three_x.get(), c.p), "BN_mod_sub_quick");
  check(BN_mod_add_quick(rhs.get(), rhs.get(), c.b_mont, c.p), "BN_mod_add_quick");
  return rhs;
}

std::optional<Bn> sqrt_mont(const BIGNUM* a, BN_CTX* ctx) {
  // a^(2^32 - 1) by doubling runs of ones: 1, 2, 4, 8, 16, 32.
  Bn run = new_bn();
  Bn t = new_bn();
  check(BN_copy(run.get(), a) != nullptr, "BN_copy");
  for (int ones = 1; ones < 32; ones *= 2) {
    square_times(t.get(), run.get(), ones, ctx);
    mont_mul(run.get(), t.get(), run.get(), ctx);
  }
  // Then the single bits at 190 and 94 and the final 94 zero bits.
  square_times(t.get(), run.get(), 32, ctx);
  mont_mul(t.get(), t.get(), a, ctx);
  square_times(t.get(), t.get(), 96, ctx);
  mont_mul(t.get(), t.get(), a, ctx);
  square_times(t.get(), t.get(), 94, ctx);

  mont_mul(run.get(), t.get(), t.get(), ctx);
  if (BN_cmp(run.get(), a) != 0) return std::nullopt;
  check(BN_from_montgomery(t.get(), t.get(), curve().mont_p, ctx), "BN_from_montgomery");
  return t;
}

}  // namespace quorvantile_crypto::vrf_p256
