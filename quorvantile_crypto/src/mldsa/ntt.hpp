#pragma once
// The number-theoretic transform over Z_q[X]/(X^256 + 1) with the 512th root of unity 1753.
#include "mldsa/field.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Forward transform in place, output in bit-reversed order. Input |a_i| < q; output |a_i| < 9q.
void ntt(Poly& a);

// Inverse transform in place, multiplied by the Montgomery factor 2^32 so that it cancels the
// factor 2^-32 of a preceding Montgomery product. Input |a_i| < q; output |a_i| < q.
void inverse_ntt_to_montgomery(Poly& a);

}  // namespace quorvantile_crypto::mldsa::detail
