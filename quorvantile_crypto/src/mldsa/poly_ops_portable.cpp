// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/poly_ops.hpp"
#include "mldsa/zetas.hpp"

namespace quorvantile_crypto::mldsa::detail::portable {

void ntt(Poly& a) {
  int k = 0;
  for (int len = 128; len > 0; len >>= 1) {
    for (int start = 0; start < kN; start += 2 * len) {
      const int64_t zeta = kZetas[++k];
      for (int j = start; j < start + len; ++j) {
        const int32_t t = montgomery_reduce(zeta * a[j + len]);
        a[j + len] = a[j] - t;
        a[j] = a[j] + t;
      }
    }
  }
}

void inverse_ntt_to_montgomery(Poly& a) {
  int k = kN;
  for (int len = 1; len < kN; len <<= 1) {
    for (int start = 0; start < kN; start += 2 * len) {
      const int64_t zeta = -kZetas[--k];
      for (int j = start; j < start + len; ++j) {
        const int32_t t = a[j];
        a[j] = t + a[j + len];
        a[j + len] = montgomery_reduce(zeta * (t - a[j + len]));
      }
    }
  }
  for (int32_t& x : a) x = montgomery_reduce(int64_t{kInverseScale} * x);
}

void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b) {
  for (int i = 0; i < kN; ++i) acc[i] += montgomery_reduce(static_cast<int64_t>(a[i]) * b[i]);
}

}  // namespace quorvantile_crypto::mldsa::detail::portable
