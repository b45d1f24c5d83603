// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// Keccak-f[1600] with AVX-512: rotations are single instructions and chi, like the column
// parities, one three-input logic instruction. The same rounds run on four lanes in 256-bit
// registers (AVX-512VL, for the sponges) and on eight lanes in 512-bit registers (for SHAKE128
// over many short inputs).
#include "keccak/permutation.hpp"

#if defined(__x86_64__)

// GCC 12's AVX-512 intrinsics pass _mm512_undefined_epi32() through all-ones masks, and its
// maybe-uninitialized analysis flags that placeholder wherever they are inlined.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include "keccak/constants.hpp"

#define QV_AVX512_TARGET __attribute__((target("avx512f,avx512vl")))
#define QV_AVX512 __attribute__((target("avx512f,avx512vl"), always_inline)) inline

namespace quorvantile_crypto::keccak::detail::avx512 {
namespace {

// Truth tables of the three-input logic instruction over (a, b, c).
constexpr int kXor3 = 0x96;       // a ^ b ^ c
constexpr int kChi = 0xd2;        // a ^ (~b & c)

QV_AVX512 __m256i xor2(__m256i a, __m256i b) { return _mm256_xor_si256(a, b); }
QV_AVX512 __m512i xor2(__m512i a, __m512i b) { return _mm512_xor_si512(a, b); }
QV_AVX512 __m256i xor3(__m256i a, __m256i b, __m256i c) { return _mm256_ternarylogic_epi64(a, b, c, kXor3); }
QV_AVX512 __m512i xor3(__m512i a, __m512i b, __m512i c) { return _mm512_ternarylogic_epi64(a, b, c, kXor3); }
QV_AVX512 __m256i chi(__m256i a, __m256i b, __m256i c) { return _mm256_ternarylogic_epi64(a, b, c, kChi); }
QV_AVX512 __m512i chi(__m512i a, __m512i b, __m512i c) { return _mm512_ternarylogic_epi64(a, b, c, kChi); }
QV_AVX512 __m256i broadcast(__m256i, uint64_t x) { return _mm256_set1_epi64x(static_cast<long long>(x)); }
QV_AVX512 __m512i broadcast(__m512i, uint64_t x) { return _mm512_set1_epi64(static_cast<long long>(x)); }

template <int N>
QV_AVX512 __m256i rotl(__m256i v) {
  if constexpr (N == 0) return v;
  else return _mm256_rol_epi64(v, N);
}
template <int N>
QV_AVX512 __m512i rotl(__m512i v) {
  if constexpr (N == 0) return v;
  else return _mm512_rol_epi64(v, N);
}

// Word x of output plane y after theta, rho and pi: pi brings it from (x + 3y mod 5, x).
template <int X, int Y, class V>
QV_AVX512 V take(const V* a, const V* d) {
  constexpr int source = (X + 3 * Y) % 5 + 5 * X;
  static_assert(kPiDestination[source] == X + 5 * Y);
  return rotl<kRhoOffsets[source]>(xor2(a[source], d[source % 5]));
}

template <int Y, class V>
QV_AVX512 void plane(const V* a, const V* d, V* e) {
  const V b[5] = {take<0, Y>(a, d), take<1, Y>(a, d), take<2, Y>(a, d), take<3, Y>(a, d), take<4, Y>(a, d)};
  for (int x = 0; x < 5; ++x) e[x + 5 * Y] = chi(b[x], b[(x + 1) % 5], b[(x + 2) % 5]);
}

template <class V>
QV_AVX512 void round(const V* a, V* e, uint64_t round_constant) {
  V parity[5];
  for (int x = 0; x < 5; ++x) parity[x] = xor3(xor3(a[x], a[x + 5], a[x + 10]), a[x + 15], a[x + 20]);
  V d[5];
  for (int x = 0; x < 5; ++x) d[x] = xor2(parity[(x + 4) % 5], rotl<1>(parity[(x + 1) % 5]));
  plane<0>(a, d, e);
  e[0] = xor2(e[0], broadcast(e[0], round_constant));
  plane<1>(a, d, e);
  plane<2>(a, d, e);
  plane<3>(a, d, e);
  plane<4>(a, d, e);
}

template <class V>
QV_AVX512 void permute_words(V* a) {
  V e[25];
  static_assert(kRounds % 2 == 0);
  for (std::size_t r = 0; r < kRoundConstants.size(); r += 2) {
    round(a, e, kRoundConstants[r]);
    round(e, a, kRoundConstants[r + 1]);
  }
}

}  // namespace

QV_AVX512_TARGET bool available() {
  return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512vl") != 0;
}

QV_AVX512_TARGET void permute(State& state) {
  __m256i a[25];
  for (std::size_t w = 0; w < 25; ++w) a[w] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state[w].data()));
  permute_words(a);
  for (std::size_t w = 0; w < 25; ++w) _mm256_storeu_si256(reinterpret_cast<__m256i*>(state[w].data()), a[w]);
}

// Each block leaves the registers as 128-bit stores of two consecutive words per lane (the
// unpacks pair word w with word w + 1 of the same lane), never through a state in memory.
QV_AVX512_TARGET void shake128_blocks(std::span<const Block> first, std::size_t blocks, std::span<uint8_t* const> out) {
  constexpr std::size_t kWords = kShake128Rate / 8;
  constexpr std::size_t kLanes = 8;
  alignas(64) std::array<std::array<uint64_t, kLanes>, kWords> words{};
  for (std::size_t lane = 0; lane < first.size(); ++lane) {
    for (std::size_t w = 0; w < kWords; ++w) words[w][lane] = first[lane][w];
  }
  __m512i a[25];
  for (std::size_t w = 0; w < 25; ++w) a[w] = w < kWords ? _mm512_load_si512(words[w].data()) : _mm512_setzero_si512();
  alignas(16) std::array<uint8_t, kShake128Rate> unused;
  for (std::size_t block = 0; block < blocks; ++block) {
    permute_words(a);
    std::array<uint8_t*, kLanes> dest;
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      dest[lane] = lane < out.size() ? out[lane] + block * kShake128Rate : unused.data();
    }
    for (std::size_t w = 0; w + 1 < kWords; w += 2) {
      const __m512i even_lanes = _mm512_unpacklo_epi64(a[w], a[w + 1]);
      const __m512i odd_lanes = _mm512_unpackhi_epi64(a[w], a[w + 1]);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[0] + 8 * w), _mm512_castsi512_si128(even_lanes));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[1] + 8 * w), _mm512_castsi512_si128(odd_lanes));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[2] + 8 * w), _mm512_extracti32x4_epi32(even_lanes, 1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[3] + 8 * w), _mm512_extracti32x4_epi32(odd_lanes, 1));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[4] + 8 * w), _mm512_extracti32x4_epi32(even_lanes, 2));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[5] + 8 * w), _mm512_extracti32x4_epi32(odd_lanes, 2));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[6] + 8 * w), _mm512_extracti32x4_epi32(even_lanes, 3));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest[7] + 8 * w), _mm512_extracti32x4_epi32(odd_lanes, 3));
    }
    const __m128i last[4] = {_mm512_castsi512_si128(a[kWords - 1]), _mm512_extracti32x4_epi32(a[kWords - 1], 1), _mm512_extracti32x4_epi32(a[kWords - 1], 2),
                             _mm512_extracti32x4_epi32(a[kWords - 1], 3)};
    for (std::size_t pair = 0; pair < 4; ++pair) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dest[2 * pair] + 8 * (kWords - 1)), last[pair]);
      _mm_storel_epi64(reinterpret_cast<__m128i*>(dest[2 * pair + 1] + 8 * (kWords - 1)),
                       _mm_unpackhi_epi64(last[pair], last[pair]));
    }
  }
}

}  // namespace quorvantile_crypto::keccak::detail::avx512

#else

#include <stdexcept>

namespace quorvantile_crypto::keccak::detail::avx512 {

bool available() { return false; }
void permute(State&) { throw std::logic_error("AVX-512 Keccak is not built on this architecture"); }
void shake128_blocks(std::span<const Block>, std::size_t, std::span<uint8_t* const>) {
  throw std::logic_error("AVX-512 Keccak is not built on this architecture");
}

}  // namespace quorvantile_crypto::keccak::detail::avx512

#endif
