// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// AVX2 versions of the NTT, its inverse and the Montgomery product. They perform exactly the
// butterflies and reductions of the portable code, eight coefficients at a time, and so produce
// identical representatives. The last three NTT layers (first three of the inverse) stay within
// 16-coefficient blocks and are done on two registers with lane shuffles.
#include "mldsa/poly_ops.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#include "mldsa/zetas.hpp"

#define QV_AVX2 __attribute__((target("avx2")))

namespace quorvantile_crypto::mldsa::detail::avx2 {
namespace {

constexpr int32_t times_q_inverse(int32_t x) {
  return static_cast<int32_t>(static_cast<uint32_t>(x) * kQInvModR);
}

// Twiddles for the layers of length 4, 2 and 1, laid out in the lane order the shuffles below
// give: for each 16-coefficient block, lane i holds the factor of group order[i] of the block.
struct SmallLayerTable {
  alignas(32) std::array<int32_t, 128> zeta;
  alignas(32) std::array<int32_t, 128> zeta_q_inverse;
};

constexpr SmallLayerTable make_small_layer_table(int len, std::array<int, 8> order, bool inverse) {
  SmallLayerTable table{};
  const int groups_per_block = 8 / len;
  for (int block = 0; block < 16; ++block) {
    for (int lane = 0; lane < 8; ++lane) {
      const int group = groups_per_block * block + order[lane];
      const int32_t zeta = inverse ? -kZetas[kN / len - 1 - group] : kZetas[128 / len + group];
      table.zeta[8 * block + lane] = zeta;
      table.zeta_q_inverse[8 * block + lane] = times_q_inverse(zeta);
    }
  }
  return table;
}

constexpr std::array<int, 8> kLen4Order{0, 0, 0, 0, 1, 1, 1, 1};
constexpr std::array<int, 8> kLen2Order{0, 0, 2, 2, 1, 1, 3, 3};
constexpr std::array<int, 8> kLen1Order{0, 1, 4, 5, 2, 3, 6, 7};

constexpr SmallLayerTable kForward4 = make_small_layer_table(4, kLen4Order, false);
constexpr SmallLayerTable kForward2 = make_small_layer_table(2, kLen2Order, false);
constexpr SmallLayerTable kForward1 = make_small_layer_table(1, kLen1Order, false);
constexpr SmallLayerTable kInverse1 = make_small_layer_table(1, kLen1Order, true);
constexpr SmallLayerTable kInverse2 = make_small_layer_table(2, kLen2Order, true);
constexpr SmallLayerTable kInverse4 = make_small_layer_table(4, kLen4Order, true);

QV_AVX2 inline __m256i load(const int32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
QV_AVX2 inline void store(int32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// a * b * 2^-32 mod q per lane, as montgomery_reduce(a * b); b_q_inverse = b * q^-1 mod 2^32.
QV_AVX2 inline __m256i montgomery_multiply(__m256i a, __m256i b, __m256i b_q_inverse) {
  const __m256i q = _mm256_set1_epi32(kQ);
  const __m256i t = _mm256_mullo_epi32(a, b_q_inverse);
  const __m256i product_even = _mm256_mul_epi32(a, b);
  const __m256i product_odd = _mm256_mul_epi32(_mm256_srli_epi64(a, 32), _mm256_srli_epi64(b, 32));
  const __m256i correction_even = _mm256_mul_epi32(t, q);
  const __m256i correction_odd = _mm256_mul_epi32(_mm256_srli_epi64(t, 32), q);
  // The low halves of product and correction agree, so the high halves' difference is the result.
  const __m256i even = _mm256_srli_epi64(_mm256_sub_epi32(product_even, correction_even), 32);
  const __m256i odd = _mm256_sub_epi32(product_odd, correction_odd);
  return _mm256_blend_epi32(even, odd, 0xAA);
}

QV_AVX2 inline void forward_butterfly(__m256i& lo, __m256i& hi, const SmallLayerTable& table, int block) {
  const __m256i t = montgomery_multiply(hi, load(&table.zeta[8 * block]), load(&table.zeta_q_inverse[8 * block]));
  hi = _mm256_sub_epi32(lo, t);
  lo = _mm256_add_epi32(lo, t);
}

QV_AVX2 inline void inverse_butterfly(__m256i& lo, __m256i& hi, const SmallLayerTable& table, int block) {
  const __m256i difference = _mm256_sub_epi32(lo, hi);
  lo = _mm256_add_epi32(lo, hi);
  hi = montgomery_multiply(difference, load(&table.zeta[8 * block]), load(&table.zeta_q_inverse[8 * block]));
}

}  // namespace

QV_AVX2 bool available() { return __builtin_cpu_supports("avx2") != 0; }

QV_AVX2 void ntt(Poly& poly) {
  int32_t* a = poly.data();
  int k = 0;
  for (int len = 128; len >= 8; len >>= 1) {
    for (int start = 0; start < kN; start += 2 * len) {
      const int32_t zeta = kZetas[++k];
      const __m256i z = _mm256_set1_epi32(zeta);
      const __m256i zq = _mm256_set1_epi32(times_q_inverse(zeta));
      for (int j = start; j < start + len; j += 8) {
        const __m256i x = load(a + j);
        const __m256i t = montgomery_multiply(load(a + j + len), z, zq);
        store(a + j + len, _mm256_sub_epi32(x, t));
        store(a + j, _mm256_add_epi32(x, t));
      }
    }
  }
  for (int block = 0; block < 16; ++block) {
    __m256i x = load(a + 16 * block);
    __m256i y = load(a + 16 * block + 8);
    __m256i lo = _mm256_permute2x128_si256(x, y, 0x20);
    __m256i hi = _mm256_permute2x128_si256(x, y, 0x31);
    forward_butterfly(lo, hi, kForward4, block);
    x = _mm256_permute2x128_si256(lo, hi, 0x20);
    y = _mm256_permute2x128_si256(lo, hi, 0x31);

    lo = _mm256_unpacklo_epi64(x, y);
    hi = _mm256_unpackhi_epi64(x, y);
    forward_butterfly(lo, hi, kForward2, block);
    x = _mm256_unpacklo_epi64(lo, hi);
    y = _mm256_unpackhi_epi64(lo, hi);

    x = _mm256_shuffle_epi32(x, 0xD8);
    y = _mm256_shuffle_epi32(y, 0xD8);
    lo = _mm256_unpacklo_epi64(x, y);
    hi = _mm256_unpackhi_epi64(x, y);
    forward_butterfly(lo, hi, kForward1, block);
    store(a + 16 * block, _mm256_shuffle_epi32(_mm256_unpacklo_epi64(lo, hi), 0xD8));
    store(a + 16 * block + 8, _mm256_shuffle_epi32(_mm256_unpackhi_epi64(lo, hi), 0xD8));
  }
}

QV_AVX2 void inverse_ntt_to_montgomery(Poly& poly) {
  int32_t* a = poly.data();
  for (int block = 0; block < 16; ++block) {
    __m256i x = _mm256_shuffle_epi32(load(a + 16 * block), 0xD8);
    __m256i y = _mm256_shuffle_epi32(load(a + 16 * block + 8), 0xD8);
    __m256i lo = _mm256_unpacklo_epi64(x, y);
    __m256i hi = _mm256_unpackhi_epi64(x, y);
    inverse_butterfly(lo, hi, kInverse1, block);
    x = _mm256_shuffle_epi32(_mm256_unpacklo_epi64(lo, hi), 0xD8);
    y = _mm256_shuffle_epi32(_mm256_unpackhi_epi64(lo, hi), 0xD8);

    lo = _mm256_unpacklo_epi64(x, y);
    hi = _mm256_unpackhi_epi64(x, y);
    inverse_butterfly(lo, hi, kInverse2, block);
    x = _mm256_unpacklo_epi64(lo, hi);
    y = _mm256_unpackhi_epi64(lo, hi);

    lo = _mm256_permute2x128_si256(x, y, 0x20);
    hi = _mm256_permute2x128_si256(x, y, 0x31);
    inverse_butterfly(lo, hi, kInverse4, block);
    store(a + 16 * block, _mm256_permute2x128_si256(lo, hi, 0x20));
    store(a + 16 * block + 8, _mm256_permute2x128_si256(lo, hi, 0x31));
  }
  for (int len = 8; len < kN; len <<= 1) {
    int k = kN / len;
    for (int start = 0; start < kN; start += 2 * len) {
      const int32_t zeta = -kZetas[--k];
      const __m256i z = _mm256_set1_epi32(zeta);
      const __m256i zq = _mm256_set1_epi32(times_q_inverse(zeta));
      for (int j = start; j < start + len; j += 8) {
        const __m256i x = load(a + j);
        const __m256i y = load(a + j + len);
        store(a + j, _mm256_add_epi32(x, y));
        store(a + j + len, montgomery_multiply(_mm256_sub_epi32(x, y), z, zq));
      }
    }
  }
  const __m256i f = _mm256_set1_epi32(kInverseScale);
  const __m256i fq = _mm256_set1_epi32(times_q_inverse(kInverseScale));
  for (int j = 0; j < kN; j += 8) store(a + j, montgomery_multiply(load(a + j), f, fq));
}

QV_AVX2 void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b) {
  const __m256i q_inverse = _mm256_set1_epi32(static_cast<int32_t>(kQInvModR));
  for (int j = 0; j < kN; j += 8) {
    const __m256i bj = load(b.data() + j);
    const __m256i product = montgomery_multiply(load(a.data() + j), bj, _mm256_mullo_epi32(bj, q_inverse));
    store(acc.data() + j, _mm256_add_epi32(load(acc.data() + j), product));
  }
}

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#else

namespace quorvantile_crypto::mldsa::detail::avx2 {

bool available() { return false; }
void ntt(Poly& a) { portable::ntt(a); }
void inverse_ntt_to_montgomery(Poly& a) { portable::inverse_ntt_to_montgomery(a); }
void multiply_add_montgomery(Poly& acc, const Poly& a, const Poly& b) { portable::multiply_add_montgomery(acc, a, b); }

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#endif
