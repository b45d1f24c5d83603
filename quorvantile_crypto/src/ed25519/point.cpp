// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ed25519/point.hpp"

#include <span>

namespace quorvantile_crypto::ed25519 {

// 2p: x3 = 2xy / (y^2 - x^2), y3 = (y^2 + x^2) / (2 - y^2 + x^2), projectively.
P1P1 dbl(const P2& p) {
  const Fe xx = fe_sq(p.X);
  const Fe yy = fe_sq(p.Y);
  const Fe zz = fe_sq(p.Z);
  const Fe zz2 = fe_add(zz, zz);
  const Fe sum_sq = fe_sq(fe_add(p.X, p.Y));
  P1P1 r;
  r.Y = fe_add(yy, xx);
  r.Z = fe_sub(yy, xx);
  r.X = fe_sub(sum_sq, r.Y);
  r.T = fe_sub(zz2, r.Z);
  return r;
}

// p + q and p - q with q cached.
P1P1 add(const P3& p, const Cached& q) {
  const Fe a = fe_mul(fe_add(p.Y, p.X), q.YplusX);
  const Fe b = fe_mul(fe_sub(p.Y, p.X), q.YminusX);
  const Fe c = fe_mul(q.T2d, p.T);
  const Fe zz = fe_mul(p.Z, q.Z);
  const Fe d = fe_add(zz, zz);
  return {fe_sub(a, b), fe_add(a, b), fe_add(d, c), fe_sub(d, c)};
}
P1P1 sub(const P3& p, const Cached& q) {
  const Fe a = fe_mul(fe_add(p.Y, p.X), q.YminusX);
  const Fe b = fe_mul(fe_sub(p.Y, p.X), q.YplusX);
  const Fe c = fe_mul(q.T2d, p.T);
  const Fe zz = fe_mul(p.Z, q.Z);
  const Fe d = fe_add(zz, zz);
  return {fe_sub(a, b), fe_add(a, b), fe_sub(d, c), fe_add(d, c)};
}

// p + q and p - q with q affine (Z = 1).
P1P1 madd(const P3& p, const Niels& q) {
  const Fe a = fe_mul(fe_add(p.Y, p.X), q.YplusX);
  const Fe b = fe_mul(fe_sub(p.Y, p.X), q.YminusX);
  const Fe c = fe_mul(q.XY2d, p.T);
  const Fe d = fe_add(p.Z, p.Z);
  return {fe_sub(a, b), fe_add(a, b), fe_add(d, c), fe_sub(d, c)};
}
P1P1 msub(const P3& p, const Niels& q) {
  const Fe a = fe_mul(fe_add(p.Y, p.X), q.YminusX);
  const Fe b = fe_mul(fe_sub(p.Y, p.X), q.YplusX);
  const Fe c = fe_mul(q.XY2d, p.T);
  const Fe d = fe_add(p.Z, p.Z);
  return {fe_sub(a, b), fe_add(a, b), fe_sub(d, c), fe_add(d, c)};
}

bool p3_decode(P3& out, const uint8_t bytes[32]) {
  const std::span<const uint8_t, 32> in(bytes, 32);
  const uint64_t sign = bytes[31] >> 7;
  const Fe y = fe_from_bytes(in);  // bit 255 dropped; y >= p is taken modulo p by the arithmetic
  const Fe yy = fe_sq(y);
  const Fe u = fe_sub(yy, fe_one());
  const Fe v = fe_add(fe_mul(yy, kD), fe_one());  // never 0: -1/d is not a square
  Fe x;
  if (fe_sqrt_ratio(x, u, v) == 0) return false;
  // Choose the root whose parity is the sign bit; for x = 0 both "roots" are 0 and the bit is moot.
  fe_cmov(x, fe_neg(x), ct::Choice::from_bit(fe_is_negative(x) ^ sign));
  out.X = x;
  out.Y = fe_carry(y);
  out.Z = fe_one();
  out.T = fe_mul(x, y);
  return true;
}

void p3_encode(uint8_t out[32], const P3& p) {
  const Fe zinv = fe_invert(p.Z);
  const Fe x = fe_mul(p.X, zinv);
  const Fe y = fe_mul(p.Y, zinv);
  fe_to_bytes(std::span<uint8_t, 32>(out, 32), y);
  out[31] = static_cast<uint8_t>(out[31] | (fe_is_negative(x) << 7));
}

uint64_t p3_is_identity(const P3& p) { return fe_is_zero(p.X) & fe_equal(p.Y, p.Z); }

uint64_t p3_equal(const P3& a, const P3& b) {
  return fe_equal(fe_mul(a.X, b.Z), fe_mul(b.X, a.Z)) & fe_equal(fe_mul(a.Y, b.Z), fe_mul(b.Y, a.Z));
}

P3 p3_mul_by_cofactor(const P3& p) {
  const P2 p2 = to_p2(dbl(p));
  const P2 p4 = to_p2(dbl(p2));
  return to_p3(dbl(p4));
}

}  // namespace quorvantile_crypto::ed25519
