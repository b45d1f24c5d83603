// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Twiddle factors of the NTT, computed at compile time: kZetas[i] = 2^32 * 1753^bitrev8(i) mod q,
// centred in (-q/2, q/2] (1753 is a primitive 512th root of unity mod q). kZetas[0] is unused.
#include <array>
#include <cstdint>

#include "mldsa/params.hpp"

namespace quorvantile_crypto::mldsa::detail {

constexpr int64_t pow_mod_q(int64_t base, int64_t exp) {
  int64_t result = 1;
  base %= kQ;
  for (; exp > 0; exp >>= 1) {
    if (exp & 1) result = result * base % kQ;
    base = base * base % kQ;
  }
  return result;
}

constexpr int32_t centred_mod_q(int64_t x) {
  x %= kQ;
  if (x < 0) x += kQ;
  return static_cast<int32_t>(x > kQ / 2 ? x - kQ : x);
}

inline constexpr int64_t kMontgomeryR = (int64_t{1} << 32) % kQ;
inline constexpr int32_t kRootOfUnity = 1753;
static_assert(pow_mod_q(kRootOfUnity, 256) == kQ - 1);

inline constexpr std::array<int32_t, kN> kZetas = [] {
  std::array<int32_t, kN> z{};
  for (int i = 1; i < kN; ++i) {
    int reversed = 0;
    for (int b = 0; b < 8; ++b) reversed |= ((i >> b) & 1) << (7 - b);
    z[i] = centred_mod_q(kMontgomeryR * pow_mod_q(kRootOfUnity, reversed));
  }
  return z;
}();

// 2^64 / 256 mod q: the inverse transform's final factor, n^-1 times the Montgomery factor 2^32
// left after one Montgomery reduction.
inline constexpr int32_t kInverseScale = centred_mod_q(kMontgomeryR * kMontgomeryR % kQ * pow_mod_q(kN, kQ - 2));

}  // namespace quorvantile_crypto::mldsa::detail
