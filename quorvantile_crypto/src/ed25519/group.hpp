// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The edwards25519 group as other code of this component uses it (Ed25519 verification, the
// ECVRF): points with the lenient decoding, canonical encoding, the group law, constant-time
// scalar multiplication, small-order tests and scalars modulo L.
//
// Constant time: mul_base, mul and the scalar operations do not branch on or index memory by
// scalar values. decode, encode, is_small_order and is_identity are meant for public points.
// double_mul_base_vartime is variable time and for public inputs only.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "ed25519/point.hpp"
#include "ed25519/scalar.hpp"
#include "quorvantile_crypto/ed25519.hpp"

namespace quorvantile_crypto::ed25519 {

using Encoding = std::array<uint8_t, 32>;

// Any point of the curve, torsion components included (extended coordinates).
struct Point {
  P3 p;
};

// Lenient decoding: the low 255 bits are y modulo p (so y + p decodes like y); the top bit is the
// sign of x and is ignored when x = 0; fails only when no x exists for y.
std::optional<Point> decode(std::span<const uint8_t, 32> bytes);
// Canonical encoding: y fully reduced, the top bit the parity of x.
Encoding encode(const Point& p);

Point identity();
Point base_point();
Point add(const Point& a, const Point& b);
Point sub(const Point& a, const Point& b);
Point negate(const Point& a);
bool equal(const Point& a, const Point& b);  // same group element (not same coordinates)
bool is_identity(const Point& a);
bool is_small_order(const Point& a);  // 8 a is the identity
Point mul_by_cofactor(const Point& a);  // 8 a

Point mul_base(const Scalar& s);  // s B, constant time; s is taken modulo L
// s a for any 256-bit s (not only s < L: the torsion part of a sees s modulo 8L), constant time.
Point mul(const Scalar& s, const Point& a);
// a_scalar a + b_scalar B for any 256-bit scalars; variable time, public inputs only.
Point double_mul_base_vartime(const Scalar& a_scalar, const Point& a, const Scalar& b_scalar,
                              Backend backend = default_backend());

}  // namespace quorvantile_crypto::ed25519
