// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// AVX2 versions of the row kernels, eight coefficients per register. Unpacking gathers each
// coefficient's bytes with one shuffle and aligns it with a per-lane shift; UseHint follows the
// same integer steps as the scalar Decompose, so every output is the portable one.
#include "mldsa/row_kernels.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#include <cstring>
#include <stdexcept>

#include "mldsa/bit_packing.hpp"
#include "mldsa/params.hpp"

#define QV_AVX2_TARGET __attribute__((target("avx2")))
#define QV_AVX2 __attribute__((target("avx2"), always_inline)) inline

namespace quorvantile_crypto::mldsa::detail::avx2 {
namespace {

QV_AVX2 __m256i load(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
QV_AVX2 void store(int32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Eight Bits-bit coefficients from the Bits bytes at p; reads p[0, Bits / 2 + 16). The four
// coefficients of each 128-bit half start at the same bit offsets (4 * Bits is a whole number of
// bytes), so one shuffle and one shift pattern serve both halves.
template <int Bits>
QV_AVX2 __m256i unpack8(const uint8_t* p) {
  static_assert(Bits % 2 == 0 && 3 * Bits / 8 + 3 < 16);
  const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + Bits / 2));
  const __m256i bytes = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  constexpr auto byte = [](int j, int k) { return static_cast<char>(j * Bits / 8 + k); };
  const __m256i gather = _mm256_setr_epi8(byte(0, 0), byte(0, 1), byte(0, 2), byte(0, 3), byte(1, 0), byte(1, 1), byte(1, 2),
                                          byte(1, 3), byte(2, 0), byte(2, 1), byte(2, 2), byte(2, 3), byte(3, 0), byte(3, 1),
                                          byte(3, 2), byte(3, 3), byte(0, 0), byte(0, 1), byte(0, 2), byte(0, 3), byte(1, 0),
                                          byte(1, 1), byte(1, 2), byte(1, 3), byte(2, 0), byte(2, 1), byte(2, 2), byte(2, 3),
                                          byte(3, 0), byte(3, 1), byte(3, 2), byte(3, 3));
  const __m256i shifts = _mm256_setr_epi32(0, Bits % 8, 2 * Bits % 8, 3 * Bits % 8, 0, Bits % 8, 2 * Bits % 8, 3 * Bits % 8);
  const __m256i words = _mm256_srlv_epi32(_mm256_shuffle_epi8(bytes, gather), shifts);
  return _mm256_and_si256(words, _mm256_set1_epi32((1 << Bits) - 1));
}

// Polynomials of Bits-bit coefficients: vector groups while their loads stay within `readable`
// bytes, the scalar unpacking for a polynomial whose last groups do not.
template <int Bits, class Finish>
QV_AVX2 void unpack_polys(const uint8_t* packed, std::size_t readable, std::span<Poly> out, Finish& finish) {
  constexpr std::size_t kPolyBytes = 32 * Bits;
  for (std::size_t s = 0; s < out.size(); ++s) {
    const uint8_t* poly = packed + s * kPolyBytes;
    const std::size_t poly_readable = readable - s * kPolyBytes;
    if (poly_readable >= 31 * Bits + Bits / 2 + 16) {
      for (std::size_t group = 0; group < 32; ++group) store(out[s].data() + 8 * group, unpack8<Bits>(poly + group * Bits));
    } else {
      unpack_bits<Bits>(poly, out[s]);
    }
    for (std::size_t i = 0; i < kN; i += 8) store(out[s].data() + i, finish(load(out[s].data() + i)));
  }
}

template <int Bits>
QV_AVX2 bool decode(int32_t gamma1, int32_t bound, const uint8_t* packed, std::size_t readable, std::span<Poly> z) {
  const __m256i g = _mm256_set1_epi32(gamma1);
  const __m256i high = _mm256_set1_epi32(bound - 1);
  const __m256i low = _mm256_set1_epi32(-bound + 1);
  struct Check {
    __m256i g, high, low, out_of_range;
    QV_AVX2 __m256i operator()(__m256i v) {
      const __m256i x = _mm256_sub_epi32(g, v);
      out_of_range = _mm256_or_si256(out_of_range, _mm256_or_si256(_mm256_cmpgt_epi32(x, high), _mm256_cmpgt_epi32(low, x)));
      return x;
    }
  } check{g, high, low, _mm256_setzero_si256()};
  unpack_polys<Bits>(packed, readable, z, check);
  return _mm256_testz_si256(check.out_of_range, check.out_of_range) != 0;
}

// UseHint on eight coefficients w in (-q, q), after the scalar Decompose: r1 from a rounded
// multiply-shift, r0 = r - r1 * 2 gamma2 taken down by q past (q - 1) / 2 (the case where r1
// wraps to 0), then r1 moved one step towards the sign of r0 where hinted.
template <int32_t Gamma2>
QV_AVX2 __m256i use_hint8(__m256i w, __m256i hinted) {
  const __m256i q = _mm256_set1_epi32(kQ);
  const __m256i r = _mm256_add_epi32(w, _mm256_and_si256(_mm256_srai_epi32(w, 31), q));
  __m256i r1 = _mm256_srai_epi32(_mm256_add_epi32(r, _mm256_set1_epi32(127)), 7);
  if constexpr (Gamma2 == (kQ - 1) / 32) {
    r1 = _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(r1, _mm256_set1_epi32(1025)), _mm256_set1_epi32(1 << 21)), 22);
    r1 = _mm256_and_si256(r1, _mm256_set1_epi32(15));
  } else {
    static_assert(Gamma2 == (kQ - 1) / 88);
    r1 = _mm256_srai_epi32(_mm256_add_epi32(_mm256_mullo_epi32(r1, _mm256_set1_epi32(11275)), _mm256_set1_epi32(1 << 23)), 24);
    r1 = _mm256_andnot_si256(_mm256_cmpgt_epi32(r1, _mm256_set1_epi32(43)), r1);
  }
  __m256i r0 = _mm256_sub_epi32(r, _mm256_mullo_epi32(r1, _mm256_set1_epi32(2 * Gamma2)));
  r0 = _mm256_sub_epi32(r0, _mm256_and_si256(_mm256_cmpgt_epi32(r0, _mm256_set1_epi32((kQ - 1) / 2)), q));
  // step = +1 where r0 > 0, -1 elsewhere; applied only where hinted.
  const __m256i positive = _mm256_cmpgt_epi32(r0, _mm256_setzero_si256());
  const __m256i step = _mm256_sub_epi32(_mm256_set1_epi32(-1), _mm256_add_epi32(positive, positive));
  __m256i out = _mm256_add_epi32(r1, _mm256_and_si256(step, _mm256_cmpgt_epi32(hinted, _mm256_setzero_si256())));
  if constexpr (Gamma2 == (kQ - 1) / 32) {
    out = _mm256_and_si256(out, _mm256_set1_epi32(15));
  } else {
    const __m256i modulus = _mm256_set1_epi32(44);
    out = _mm256_add_epi32(out, _mm256_and_si256(_mm256_srai_epi32(out, 31), modulus));
    out = _mm256_sub_epi32(out, _mm256_and_si256(_mm256_cmpgt_epi32(out, _mm256_set1_epi32(43)), modulus));
  }
  return out;
}

// Eight coefficients below 2^Bits into Bits bytes: pairs within 64-bit words, then pairs of
// pairs within 128-bit halves, then the two halves.
template <int Bits>
QV_AVX2 void pack8(__m256i v, uint8_t* out) {
  const __m256i pairs = _mm256_or_si256(v, _mm256_srli_epi64(v, 32 - Bits));
  const __m256i quads = _mm256_or_si256(pairs, _mm256_slli_epi64(_mm256_bsrli_epi128(pairs, 8), 2 * Bits));
  const uint64_t low = static_cast<uint32_t>(_mm256_extract_epi32(quads, 0)) & ((uint64_t{1} << (4 * Bits)) - 1);
  const uint64_t high = static_cast<uint32_t>(_mm256_extract_epi32(quads, 4)) & ((uint64_t{1} << (4 * Bits)) - 1);
  const uint64_t word = low | high << (4 * Bits);
  uint8_t bytes[8];
  keccak::detail::store_le64(bytes, word);
  std::memcpy(out, bytes, Bits);
}

template <int32_t Gamma2, int Bits>
QV_AVX2 void encode(const Poly& w, const HintMask& hinted, uint8_t* out) {
  for (std::size_t i = 0; i < kN; i += 8) {
    const __m256i h = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(hinted.data() + i)));
    pack8<Bits>(use_hint8<Gamma2>(load(w.data() + i), h), out + i / 8 * Bits);
  }
}

}  // namespace

QV_AVX2_TARGET void dot_product_montgomery(Poly& out, std::span<const Poly* const> a, std::span<const Poly* const> b) {
  if (a.size() != b.size() || a.size() > kMaxRowTerms) throw std::invalid_argument("row product: matching term counts");
  const __m256i q = _mm256_set1_epi32(kQ);
  const __m256i q_inverse = _mm256_set1_epi32(static_cast<int32_t>(kQInvModR));
  for (std::size_t i = 0; i < kN; i += 8) {
    // 64-bit sums of the even and the odd lanes' products.
    __m256i even = _mm256_setzero_si256();
    __m256i odd = _mm256_setzero_si256();
    for (std::size_t j = 0; j < a.size(); ++j) {
      const __m256i x = load(a[j]->data() + i);
      const __m256i y = load(b[j]->data() + i);
      even = _mm256_add_epi64(even, _mm256_mul_epi32(x, y));
      odd = _mm256_add_epi64(odd, _mm256_mul_epi32(_mm256_srli_epi64(x, 32), _mm256_srli_epi64(y, 32)));
    }
    // Montgomery reduction of each 64-bit sum: t = sum * q^-1 mod 2^32, result = (sum - t q) / 2^32.
    const __m256i even_t = _mm256_mul_epu32(even, q_inverse);
    const __m256i odd_t = _mm256_mul_epu32(odd, q_inverse);
    const __m256i even_reduced = _mm256_srli_epi64(_mm256_sub_epi64(even, _mm256_mul_epi32(even_t, q)), 32);
    const __m256i odd_reduced = _mm256_sub_epi64(odd, _mm256_mul_epi32(odd_t, q));
    store(out.data() + i, _mm256_blend_epi32(even_reduced, odd_reduced, 0xAA));
  }
}

QV_AVX2_TARGET bool decode_response(int z_bits, int32_t gamma1, int32_t bound, const uint8_t* packed, std::size_t readable,
                                    std::span<Poly> z) {
  switch (z_bits) {
    case 18: return decode<18>(gamma1, bound, packed, readable, z);
    case 20: return decode<20>(gamma1, bound, packed, readable, z);
  }
  throw std::invalid_argument("z coefficients have 18 or 20 bits");
}

QV_AVX2_TARGET void unpack_t1_shifted(const uint8_t* packed, std::size_t readable, Poly& t) {
  struct Shift {
    QV_AVX2 __m256i operator()(__m256i v) { return _mm256_slli_epi32(v, kDroppedBits); }
  } shift;
  unpack_polys<10>(packed, readable, std::span(&t, 1), shift);
}

QV_AVX2_TARGET void encode_w1_with_hints(int32_t gamma2, const Poly& w, const HintMask& hinted, uint8_t* out) {
  if (gamma2 == MlDsa44Params::gamma2) return encode<MlDsa44Params::gamma2, MlDsa44Params::w1_bits>(w, hinted, out);
  if (gamma2 == MlDsa65Params::gamma2) return encode<MlDsa65Params::gamma2, MlDsa65Params::w1_bits>(w, hinted, out);
  throw std::invalid_argument("gamma2 is (q - 1) / 88 or (q - 1) / 32");
}

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#else

#include <stdexcept>

namespace quorvantile_crypto::mldsa::detail::avx2 {

[[noreturn]] static void not_built() { throw std::logic_error("AVX2 ML-DSA code is not built on this architecture"); }

void dot_product_montgomery(Poly&, std::span<const Poly* const>, std::span<const Poly* const>) { not_built(); }
bool decode_response(int, int32_t, int32_t, const uint8_t*, std::size_t, std::span<Poly>) { not_built(); }
void unpack_t1_shifted(const uint8_t*, std::size_t, Poly&) { not_built(); }
void encode_w1_with_hints(int32_t, const Poly&, const HintMask&, uint8_t*) { not_built(); }

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#endif
