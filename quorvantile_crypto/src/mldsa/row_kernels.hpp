// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#pragma once
// The per-row work of verification outside the NTT: decoding z with its norm check, unpacking t1,
// the fused row product of the NTT domain, and UseHint with the w1 encoding. The portable and the
// AVX2 versions give identical outputs (representatives included) and are both exposed so that
// tests and verification can pick either.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "mldsa/field.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Hinted coefficients of one row: 1 where the signature hints, else 0.
using HintMask = std::array<uint8_t, kN>;

// The largest number of products one row sums: l columns of A^ and the t1 term.
inline constexpr std::size_t kMaxRowTerms = 8;

namespace portable {
// out_i = montgomery_reduce(sum over j of a[j]_i * b[j]_i), one reduction per coefficient.
// Requires a.size() == b.size() <= kMaxRowTerms and |sum| < 2^31 * q for every i (for example
// |a[j]_i| < q with |b[j]_i| < 9q, plus one term below 81 q^2).
void dot_product_montgomery(Poly& out, std::span<const Poly* const> a, std::span<const Poly* const> b);
// z[s] = gamma1 - (coefficients of z_bits bits from packed); true when every |z| < bound.
// packed holds z.size() * 32 * z_bits bytes; z_bits is 18 or 20.
bool decode_response(int z_bits, int32_t gamma1, int32_t bound, const uint8_t* packed, std::span<Poly> z);
// t = t1 * 2^13 from 320 packed bytes.
void unpack_t1_shifted(const uint8_t* packed, Poly& t);
// UseHint(h, w) for w in (-q, q), packed with w1_bits (4 or 6, from gamma2) into 32 * w1_bits bytes.
void encode_w1_with_hints(int32_t gamma2, const Poly& w, const HintMask& hinted, uint8_t* out);
}  // namespace portable

namespace avx2 {
// As the portable versions. Require AVX2 (avx2_enabled()). `readable` is the number of bytes
// that may be read from the packed input (at least what it holds): vector loads past the data
// proper stay within it, the rest falls back to scalar loads.
void dot_product_montgomery(Poly& out, std::span<const Poly* const> a, std::span<const Poly* const> b);
bool decode_response(int z_bits, int32_t gamma1, int32_t bound, const uint8_t* packed, std::size_t readable,
                     std::span<Poly> z);
void unpack_t1_shifted(const uint8_t* packed, std::size_t readable, Poly& t);
void encode_w1_with_hints(int32_t gamma2, const Poly& w, const HintMask& hinted, uint8_t* out);
}  // namespace avx2

}  // namespace quorvantile_crypto::mldsa::detail
