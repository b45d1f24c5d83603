// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ed25519/group.hpp"

#include "ed25519/scalarmult.hpp"

namespace quorvantile_crypto::ed25519 {

std::optional<Point> decode(std::span<const uint8_t, 32> bytes) {
  Point out;
  if (!p3_decode(out.p, bytes.data())) return std::nullopt;
  return out;
}

Encoding encode(const Point& p) {
  Encoding out;
  p3_encode(out.data(), p.p);
  return out;
}

Point identity() { return {p3_identity()}; }
Point base_point() { return {{kBaseX, kBaseY, fe_one(), fe_mul(kBaseX, kBaseY)}}; }
Point add(const Point& a, const Point& b) { return {to_p3(add(a.p, to_cached(b.p)))}; }
Point sub(const Point& a, const Point& b) { return {to_p3(sub(a.p, to_cached(b.p)))}; }
Point negate(const Point& a) { return {p3_neg(a.p)}; }
bool equal(const Point& a, const Point& b) { return p3_equal(a.p, b.p) == 1; }
bool is_identity(const Point& a) { return p3_is_identity(a.p) == 1; }
bool is_small_order(const Point& a) { return p3_is_identity(p3_mul_by_cofactor(a.p)) == 1; }
Point mul_by_cofactor(const Point& a) { return {p3_mul_by_cofactor(a.p)}; }
Point mul_base(const Scalar& s) { return {scalarmult_base(s)}; }
Point mul(const Scalar& s, const Point& a) { return {scalarmult(s, a.p)}; }
Point double_mul_base_vartime(const Scalar& a_scalar, const Point& a, const Scalar& b_scalar, Backend backend) {
  return {double_scalarmult_vartime(a_scalar, a.p, b_scalar, backend)};
}

}  // namespace quorvantile_crypto::ed25519
