// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Point representations of edwards25519 and the addition and doubling formulas between them.
// The formulas are the unified extended-coordinate formulas for a = -1; because d is not a square
// they are complete: they hold for every pair of curve points, including the identity, equal
// points and points of small order.
//
//   P2     (X:Y:Z)          x = X/Z, y = Y/Z
//   P3     (X:Y:Z:T)        as P2 with T = XY/Z (extended coordinates)
//   P1P1   ((X:Z),(Y:T))    x = X/Z, y = Y/T (the "completed" result of an addition)
//   Cached (Y+X, Y-X, Z, 2dT)       a P3 point prepared as the second operand of an addition
//   Niels  (y+x, y-x, 2dxy)         an affine point prepared the same way (Z = 1)
#include "ed25519/constants.hpp"
#include "ed25519/field.hpp"

namespace quorvantile_crypto::ed25519 {

struct P2 {
  Fe X, Y, Z;
};
struct P3 {
  Fe X, Y, Z, T;
};
struct P1P1 {
  Fe X, Y, Z, T;
};
struct Cached {
  Fe YplusX, YminusX, Z, T2d;
};
struct Niels {
  Fe YplusX, YminusX, XY2d;
};

inline P3 p3_identity() { return {fe_zero(), fe_one(), fe_one(), fe_zero()}; }
inline P2 p2_identity() { return {fe_zero(), fe_one(), fe_one()}; }
inline Cached cached_identity() { return {fe_one(), fe_one(), fe_one(), fe_zero()}; }
inline Niels niels_identity() { return {fe_one(), fe_one(), fe_zero()}; }

inline P2 to_p2(const P1P1& p) { return {fe_mul(p.X, p.T), fe_mul(p.Y, p.Z), fe_mul(p.Z, p.T)}; }
inline P3 to_p3(const P1P1& p) {
  return {fe_mul(p.X, p.T), fe_mul(p.Y, p.Z), fe_mul(p.Z, p.T), fe_mul(p.X, p.Y)};
}
inline P2 to_p2(const P3& p) { return {p.X, p.Y, p.Z}; }
inline Cached to_cached(const P3& p) {
  return {fe_add(p.Y, p.X), fe_sub(p.Y, p.X), p.Z, fe_mul(p.T, kD2)};
}

// The formulas are kept out of line: each compiles to one compact routine with the field
// operations inlined, which measured faster than inlining them into the scalar-multiplication loops
// (register pressure) and does not depend on the compiler's inlining heuristics.
P1P1 dbl(const P2& p);  // 2p
inline P1P1 dbl(const P3& p) { return dbl(to_p2(p)); }
P1P1 add(const P3& p, const Cached& q);   // p + q
P1P1 sub(const P3& p, const Cached& q);   // p - q
P1P1 madd(const P3& p, const Niels& q);   // p + q, q affine
P1P1 msub(const P3& p, const Niels& q);   // p - q, q affine

inline P3 p3_neg(const P3& p) { return {fe_neg(p.X), p.Y, p.Z, fe_neg(p.T)}; }

// Constant-time conditional move and negation of addition operands.
inline void cmov(Cached& a, const Cached& b, ct::Choice flag) {
  fe_cmov(a.YplusX, b.YplusX, flag);
  fe_cmov(a.YminusX, b.YminusX, flag);
  fe_cmov(a.Z, b.Z, flag);
  fe_cmov(a.T2d, b.T2d, flag);
}
inline void cmov(Niels& a, const Niels& b, ct::Choice flag) {
  fe_cmov(a.YplusX, b.YplusX, flag);
  fe_cmov(a.YminusX, b.YminusX, flag);
  fe_cmov(a.XY2d, b.XY2d, flag);
}
// -(x, y) = (-x, y): swaps y+x with y-x and negates the xy term.
inline void cneg(Cached& a, ct::Choice flag) {
  const Cached n = {a.YminusX, a.YplusX, a.Z, fe_neg(a.T2d)};
  cmov(a, n, flag);
}
inline void cneg(Niels& a, ct::Choice flag) {
  const Niels n = {a.YminusX, a.YplusX, fe_neg(a.XY2d)};
  cmov(a, n, flag);
}

// Decoding with the lenient rules: the low 255 bits are y taken modulo p, the top bit selects the
// sign of x and is ignored when x = 0; fails (returns false) only when x^2 has no root.
bool p3_decode(P3& out, const uint8_t bytes[32]);
void p3_encode(uint8_t out[32], const P3& p);
uint64_t p3_is_identity(const P3& p);
uint64_t p3_equal(const P3& a, const P3& b);
P3 p3_mul_by_cofactor(const P3& p);

}  // namespace quorvantile_crypto::ed25519
