// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Polynomial arithmetic in Z_q[X]/(X^256 + 1): the NTT, its inverse and the Montgomery product
// in the NTT domain. The entry points pick an AVX2 implementation when the CPU has it and the
// portable one otherwise; both give identical results and are exposed for differential tests.
#include "mldsa/field.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Forward transform in place, output in bit-reversed order. Input |a_i| < q; output |a_i| < 9q.
void ntt(Poly& a);

// Inverse transform in place, multiplied by the Montgomery factor 2^32 so that it cancels the
// factor 2^-32 of a preceding Montgomery product. Input |a_i| < q; output |a_i| < q.
void inverse_ntt_to_montgomery(Poly& a);

// acc_i += a_i * b_i * 2^-32 mod q, each product term below q in magnitude.
// |a_i|, |b_i| < 9q.
void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b);

// Whether the entry points above (and the samplers) use their AVX2 code.
bool avx2_enabled();

namespace portable {
void ntt(Poly& a);
void inverse_ntt_to_montgomery(Poly& a);
void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b);
}  // namespace portable

namespace avx2 {
bool available();  // false also where the code is not built (other architectures)
void ntt(Poly& a);
void inverse_ntt_to_montgomery(Poly& a);
void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b);
}  // namespace avx2

}  // namespace quorvantile_crypto::mldsa::detail
