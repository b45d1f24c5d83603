// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Scalar multiplication on P3 points.
#include "ed25519/point.hpp"
#include "ed25519/scalar.hpp"
#include "quorvantile_crypto/ed25519.hpp"

namespace quorvantile_crypto::ed25519 {

// s B, constant time in s; s is reduced modulo L first (B has order L).
P3 scalarmult_base(const Scalar& s);

// s P for any 256-bit s and any curve point P (torsion components included), constant time in s.
P3 scalarmult(const Scalar& s, const P3& p);

// a A + b B for any 256-bit a and b, variable time: for public inputs only. Every backend gives
// the same group element (not necessarily the same coordinates); a backend the CPU lacks falls
// back to the portable code.
P3 double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b, Backend backend = default_backend());

#if defined(__x86_64__)
namespace ifma {
bool available();  // AVX-512F, AVX-512VL and AVX-512 IFMA
// Four-lane AVX-512 IFMA arithmetic. Requires available().
P3 double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b);
}  // namespace ifma
#endif

}  // namespace quorvantile_crypto::ed25519
