// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Scalar multiplication on P3 points.
#include "ed25519/point.hpp"
#include "ed25519/scalar.hpp"

namespace quorvantile_crypto::ed25519 {

// s B, constant time in s; s is reduced modulo L first (B has order L).
P3 scalarmult_base(const Scalar& s);

// s P for any 256-bit s and any curve point P (torsion components included), constant time in s.
P3 scalarmult(const Scalar& s, const P3& p);

// a A + b B for any 256-bit a and b, variable time: for public inputs only.
P3 double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b);

}  // namespace quorvantile_crypto::ed25519
