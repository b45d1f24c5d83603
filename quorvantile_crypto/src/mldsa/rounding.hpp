// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// High bits of w with the signer's hint applied (FIPS 204 Decompose and UseHint).
#include <cstdint>

#include "mldsa/params.hpp"

namespace quorvantile_crypto::mldsa::detail {

// r in [0, q). Returns the corrected high part r1 in [0, (q-1) / (2 gamma2)).
template <int32_t Gamma2>
constexpr int32_t use_hint(int32_t r, bool hint) {
  constexpr int32_t alpha = 2 * Gamma2;
  constexpr int32_t modulus = (kQ - 1) / alpha;
  // r0 = r mod+- alpha, without a branch: the comparison with gamma2 goes either way at random.
  int32_t r0 = r % alpha;
  r0 -= ((Gamma2 - r0) >> 31) & alpha;
  int32_t r1;
  if (r - r0 == kQ - 1) {
    r1 = 0;
    r0 -= 1;
  } else {
    r1 = (r - r0) / alpha;
  }
  if (!hint) return r1;
  if (r0 > 0) return r1 + 1 == modulus ? 0 : r1 + 1;
  return r1 == 0 ? modulus - 1 : r1 - 1;
}

}  // namespace quorvantile_crypto::mldsa::detail
