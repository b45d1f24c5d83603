// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Arithmetic modulo q = 8380417 on signed 32-bit representatives, with Montgomery reduction
// (R = 2^32). Every function is defined for the input bounds stated on it; callers keep to them.
#include <array>
#include <cstdint>

#include "mldsa/params.hpp"

namespace quorvantile_crypto::mldsa::detail {

using Poly = std::array<int32_t, kN>;

inline constexpr uint32_t kQInvModR = 58728449;  // q^-1 mod 2^32
static_assert(static_cast<uint32_t>(kQ) * kQInvModR == 1u);

// For |a| < 2^31 * q returns a * 2^-32 mod q with |result| < q.
constexpr int32_t montgomery_reduce(int64_t a) {
  const auto t = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(a)) * kQInvModR);
  return static_cast<int32_t>((a - static_cast<int64_t>(t) * kQ) >> 32);
}

// For a <= 2^31 - 2^22 returns a representative of a mod q in [-6283008, 6283008].
constexpr int32_t reduce32(int32_t a) {
  const int32_t t = (a + (1 << 22)) >> 23;
  return a - t * kQ;
}

// Maps (-q, q) onto [0, q).
constexpr int32_t add_q_if_negative(int32_t a) { return a + ((a >> 31) & kQ); }

}  // namespace quorvantile_crypto::mldsa::detail
