#include "ed25519/point.hpp"

#include <span>

namespace quorvantile_crypto::ed25519 {

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
  fe_cmov(x, fe_neg(x), fe_is_negative(x) ^ sign);
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
