// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ed25519/field.hpp"

#include "ed25519/constants.hpp"
#include "ed25519/load.hpp"

namespace quorvantile_crypto::ed25519 {
namespace {

// Fully reduces a value with limbs < 2^63 into [0, p) with limbs < 2^51.
Fe fe_canonical(const Fe& a) {
  using fe_detail::kMask51;
  const Fe t = fe_carry(a);  // limbs <= 2^51, so the value is below 2^255 + 2^205 < 2p
  // q = floor((t + 19) / 2^255) by exact carry propagation: 1 when t >= p, else 0.
  uint64_t q = (t.v[0] + 19) >> 51;
  q = (t.v[1] + q) >> 51;
  q = (t.v[2] + q) >> 51;
  q = (t.v[3] + q) >> 51;
  q = (t.v[4] + q) >> 51;
  // t - q p = t + 19 q - 2^255 q: add 19 q, carry, and drop bit 255.
  uint64_t h[5] = {t.v[0] + 19 * q, t.v[1], t.v[2], t.v[3], t.v[4]};
  for (int i = 0; i < 4; ++i) {
    h[i + 1] += h[i] >> 51;
    h[i] &= kMask51;
  }
  h[4] &= kMask51;
  return {{h[0], h[1], h[2], h[3], h[4]}};
}

}  // namespace

Fe fe_from_bytes(std::span<const uint8_t, 32> bytes) {
  using fe_detail::kMask51;
  const uint8_t* s = bytes.data();
  Fe r;
  r.v[0] = load64_le(s) & kMask51;
  r.v[1] = (load64_le(s + 6) >> 3) & kMask51;
  r.v[2] = (load64_le(s + 12) >> 6) & kMask51;
  r.v[3] = (load64_le(s + 19) >> 1) & kMask51;
  r.v[4] = (load64_le(s + 24) >> 12) & kMask51;
  return r;
}

void fe_to_bytes(std::span<uint8_t, 32> out, const Fe& a) {
  const Fe t = fe_canonical(a);
  const uint64_t w0 = t.v[0] | (t.v[1] << 51);
  const uint64_t w1 = (t.v[1] >> 13) | (t.v[2] << 38);
  const uint64_t w2 = (t.v[2] >> 26) | (t.v[3] << 25);
  const uint64_t w3 = (t.v[3] >> 39) | (t.v[4] << 12);
  const uint64_t w[4] = {w0, w1, w2, w3};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 8; ++j) out[8 * i + j] = static_cast<uint8_t>(w[i] >> (8 * j));
}

uint64_t fe_is_zero(const Fe& a) {
  const Fe t = fe_canonical(a);
  const uint64_t acc = t.v[0] | t.v[1] | t.v[2] | t.v[3] | t.v[4];
  return ((acc | (0 - acc)) >> 63) ^ 1;
}

uint64_t fe_is_negative(const Fe& a) { return fe_canonical(a).v[0] & 1; }

uint64_t fe_equal(const Fe& a, const Fe& b) { return fe_is_zero(fe_sub(a, b)); }

// Shared prefix of both exponentiation chains: returns a^(2^250 - 1) and sets a11 = a^11.
static Fe fe_pow_2_250_minus_1(const Fe& a, Fe& a11) {
  const Fe a2 = fe_sq(a);
  const Fe a9 = fe_mul(fe_sq_n(a2, 2), a);
  a11 = fe_mul(a9, a2);
  const Fe e5 = fe_mul(fe_sq(a11), a9);           // 2^5 - 1
  const Fe e10 = fe_mul(fe_sq_n(e5, 5), e5);      // 2^10 - 1
  const Fe e20 = fe_mul(fe_sq_n(e10, 10), e10);   // 2^20 - 1
  const Fe e40 = fe_mul(fe_sq_n(e20, 20), e20);   // 2^40 - 1
  const Fe e50 = fe_mul(fe_sq_n(e40, 10), e10);   // 2^50 - 1
  const Fe e100 = fe_mul(fe_sq_n(e50, 50), e50);  // 2^100 - 1
  const Fe e200 = fe_mul(fe_sq_n(e100, 100), e100);
  return fe_mul(fe_sq_n(e200, 50), e50);  // 2^250 - 1
}

Fe fe_invert(const Fe& a) {
  Fe a11;
  const Fe e250 = fe_pow_2_250_minus_1(a, a11);
  return fe_mul(fe_sq_n(e250, 5), a11);  // 2^255 - 32 + 11 = p - 2
}

Fe fe_pow22523(const Fe& a) {
  Fe a11;
  const Fe e250 = fe_pow_2_250_minus_1(a, a11);
  return fe_mul(fe_sq_n(e250, 2), a);  // 2^252 - 4 + 1 = (p - 5) / 8
}

uint64_t fe_sqrt_ratio(Fe& r, const Fe& u, const Fe& v) {
  // Candidate x = u v^3 (u v^7)^((p-5)/8); then v x^2 is u, -u, or neither.
  const Fe v3 = fe_mul(fe_sq(v), v);
  const Fe v7 = fe_mul(fe_sq(v3), v);
  Fe x = fe_mul(fe_mul(u, v3), fe_pow22523(fe_mul(u, v7)));
  const Fe check = fe_mul(v, fe_sq(x));
  const uint64_t is_root = fe_equal(check, u);
  const uint64_t is_neg_root = fe_equal(check, fe_neg(u));
  fe_cmov(x, fe_mul(x, kSqrtM1), ct::Choice::from_bit(is_neg_root & (is_root ^ 1)));
  r = x;
  return is_root | is_neg_root;
}

}  // namespace quorvantile_crypto::ed25519
