// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Arithmetic modulo p = 2^255 - 19 with five 51-bit limbs (value = sum limb[i] * 2^(51 i)).
//
// Limb bounds, which every caller must respect (they keep every intermediate inside its type):
//   - mul, sq and carry produce limbs < 2^52 ("reduced"); sub produces reduced limbs too.
//   - add accepts limbs < 2^53 and produces limbs < 2^54.
//   - mul and sq accept limbs < 2^54: a product term is < 2^54 * 19 * 2^54 < 2^112.3, a column
//     sum of five terms (plus an incoming carry) is < 2^115, so each carry c >> 51 fits 64 bits.
//   - sub accepts a < 2^56 and b < 2^55 - 304 (16p's limbs are 2^55 - 304 and 2^55 - 16), so
//     a + 16p - b never underflows and is < 2^57 before the closing carry.
// The point formulas feed multiplications only reduced limbs, sums of two reduced limbs (< 2^53)
// or a reduced limb plus such a sum (< 2^52 + 2^53 < 2^54). A test drives the operations with
// limbs at these bounds against a big-number reference.
//
// The small kernels are always inlined: their callers are the point formulas, where a call per
// field operation would cost more than the operation.
#include "ct/choice.hpp"
#include <cstdint>
#include <span>

namespace quorvantile_crypto::ed25519 {

struct Fe {
  uint64_t v[5];
};

namespace fe_detail {
__extension__ typedef unsigned __int128 u128;  // GCC and Clang extension
inline constexpr uint64_t kMask51 = (uint64_t{1} << 51) - 1;

// Carries five 128-bit column sums (each < 2^115) into reduced limbs. Every c >> 51 is < 2^64.
[[gnu::always_inline]] inline Fe carry_columns(u128 c0, u128 c1, u128 c2, u128 c3, u128 c4) {
  Fe r;
  c1 += static_cast<uint64_t>(c0 >> 51);
  r.v[0] = static_cast<uint64_t>(c0) & kMask51;
  c2 += static_cast<uint64_t>(c1 >> 51);
  r.v[1] = static_cast<uint64_t>(c1) & kMask51;
  c3 += static_cast<uint64_t>(c2 >> 51);
  r.v[2] = static_cast<uint64_t>(c2) & kMask51;
  c4 += static_cast<uint64_t>(c3 >> 51);
  r.v[3] = static_cast<uint64_t>(c3) & kMask51;
  // The top carry is < 2^64; times 19 it needs 128 bits.
  const u128 t = static_cast<u128>(static_cast<uint64_t>(c4 >> 51)) * 19 + r.v[0];
  r.v[4] = static_cast<uint64_t>(c4) & kMask51;
  r.v[0] = static_cast<uint64_t>(t) & kMask51;
  r.v[1] += static_cast<uint64_t>(t >> 51);  // t >> 51 < 2^18, so v1 < 2^51 + 2^18
  return r;
}
}  // namespace fe_detail

inline constexpr Fe fe_zero() { return {{0, 0, 0, 0, 0}}; }
inline constexpr Fe fe_one() { return {{1, 0, 0, 0, 0}}; }

// Carries limbs < 2^63 into reduced limbs.
[[gnu::always_inline]] inline Fe fe_carry(const Fe& a) {
  using fe_detail::kMask51;
  uint64_t h0 = a.v[0], h1 = a.v[1], h2 = a.v[2], h3 = a.v[3], h4 = a.v[4];
  h1 += h0 >> 51;
  h0 &= kMask51;
  h2 += h1 >> 51;
  h1 &= kMask51;
  h3 += h2 >> 51;
  h2 &= kMask51;
  h4 += h3 >> 51;
  h3 &= kMask51;
  h0 += (h4 >> 51) * 19;  // h4 >> 51 < 2^13
  h4 &= kMask51;
  h1 += h0 >> 51;
  h0 &= kMask51;
  return {{h0, h1, h2, h3, h4}};
}

[[gnu::always_inline]] inline Fe fe_add(const Fe& a, const Fe& b) {
  return {{a.v[0] + b.v[0], a.v[1] + b.v[1], a.v[2] + b.v[2], a.v[3] + b.v[3], a.v[4] + b.v[4]}};
}

[[gnu::always_inline]] inline Fe fe_sub(const Fe& a, const Fe& b) {
  // 16p, limb by limb.
  constexpr uint64_t k0 = (uint64_t{1} << 55) - 304;
  constexpr uint64_t k1 = (uint64_t{1} << 55) - 16;
  return fe_carry({{a.v[0] + k0 - b.v[0], a.v[1] + k1 - b.v[1], a.v[2] + k1 - b.v[2], a.v[3] + k1 - b.v[3],
                    a.v[4] + k1 - b.v[4]}});
}

inline Fe fe_neg(const Fe& a) { return fe_sub(fe_zero(), a); }

[[gnu::always_inline]] inline Fe fe_mul(const Fe& a, const Fe& b) {
  using fe_detail::u128;
  const uint64_t a0 = a.v[0], a1 = a.v[1], a2 = a.v[2], a3 = a.v[3], a4 = a.v[4];
  const uint64_t b0 = b.v[0], b1 = b.v[1], b2 = b.v[2], b3 = b.v[3], b4 = b.v[4];
  // 2^255 = 19 (mod p): limbs that land at weight 2^255 and above fold back times 19.
  const uint64_t b1_19 = b1 * 19, b2_19 = b2 * 19, b3_19 = b3 * 19, b4_19 = b4 * 19;
  const u128 c0 = (u128)a0 * b0 + (u128)a1 * b4_19 + (u128)a2 * b3_19 + (u128)a3 * b2_19 + (u128)a4 * b1_19;
  const u128 c1 = (u128)a0 * b1 + (u128)a1 * b0 + (u128)a2 * b4_19 + (u128)a3 * b3_19 + (u128)a4 * b2_19;
  const u128 c2 = (u128)a0 * b2 + (u128)a1 * b1 + (u128)a2 * b0 + (u128)a3 * b4_19 + (u128)a4 * b3_19;
  const u128 c3 = (u128)a0 * b3 + (u128)a1 * b2 + (u128)a2 * b1 + (u128)a3 * b0 + (u128)a4 * b4_19;
  const u128 c4 = (u128)a0 * b4 + (u128)a1 * b3 + (u128)a2 * b2 + (u128)a3 * b1 + (u128)a4 * b0;
  return fe_detail::carry_columns(c0, c1, c2, c3, c4);
}

[[gnu::always_inline]] inline Fe fe_sq(const Fe& a) {
  using fe_detail::u128;
  const uint64_t a0 = a.v[0], a1 = a.v[1], a2 = a.v[2], a3 = a.v[3], a4 = a.v[4];
  const uint64_t d0 = a0 * 2, d1 = a1 * 2, d2 = a2 * 2;
  const uint64_t a3_19 = a3 * 19, a4_19 = a4 * 19;
  const u128 c0 = (u128)a0 * a0 + (u128)d1 * a4_19 + (u128)d2 * a3_19;
  const u128 c1 = (u128)d0 * a1 + (u128)d2 * a4_19 + (u128)a3 * a3_19;
  const u128 c2 = (u128)d0 * a2 + (u128)a1 * a1 + (u128)(a3 * 2) * a4_19;
  const u128 c3 = (u128)d0 * a3 + (u128)d1 * a2 + (u128)a4 * a4_19;
  const u128 c4 = (u128)d0 * a4 + (u128)d1 * a3 + (u128)a2 * a2;
  return fe_detail::carry_columns(c0, c1, c2, c3, c4);
}

// Squares n >= 1 times.
inline Fe fe_sq_n(Fe a, int n) {
  for (int i = 0; i < n; ++i) a = fe_sq(a);
  return a;
}

// Replaces a by b when `choice` is set, without branching on it.
inline void fe_cmov(Fe& a, const Fe& b, ct::Choice choice) {
  const uint64_t mask = choice.mask();
  for (int i = 0; i < 5; ++i) a.v[i] ^= mask & (a.v[i] ^ b.v[i]);
}

// Reads 32 little-endian bytes; bit 255 is ignored and values >= p are kept as they are
// (arithmetic treats them modulo p).
Fe fe_from_bytes(std::span<const uint8_t, 32> bytes);
// Writes the canonical (fully reduced) little-endian encoding.
void fe_to_bytes(std::span<uint8_t, 32> out, const Fe& a);

Fe fe_invert(const Fe& a);     // a^(p-2); 0 maps to 0
Fe fe_pow22523(const Fe& a);   // a^((p-5)/8)
uint64_t fe_is_zero(const Fe& a);      // 1 when a = 0 mod p
uint64_t fe_is_negative(const Fe& a);  // parity of the canonical value
uint64_t fe_equal(const Fe& a, const Fe& b);

// When u/v is a square (v != 0), sets r to one of its square roots and returns 1; otherwise
// returns 0 and leaves r unspecified. Callers choose the sign of the root themselves.
uint64_t fe_sqrt_ratio(Fe& r, const Fe& u, const Fe& v);

}  // namespace quorvantile_crypto::ed25519
