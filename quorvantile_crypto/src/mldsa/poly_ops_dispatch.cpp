// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/poly_ops.hpp"

namespace quorvantile_crypto::mldsa::detail {
bool avx2_enabled() {
  static const bool available = avx2::available();
  return available;
}

void ntt(Poly& a) { avx2_enabled() ? avx2::ntt(a) : portable::ntt(a); }

void inverse_ntt_to_montgomery(Poly& a) {
  avx2_enabled() ? avx2::inverse_ntt_to_montgomery(a) : portable::inverse_ntt_to_montgomery(a);
}

void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b) {
  avx2_enabled() ? avx2::multiply_add_montgomery(acc, a, b) : portable::multiply_add_montgomery(acc, a, b);
}

}  // namespace quorvantile_crypto::mldsa::detail
