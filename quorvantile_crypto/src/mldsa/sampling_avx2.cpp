// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// AVX2 rejection sampling for RejNTTPoly: eight 3-byte candidates per step, accepted ones
// compacted with a permutation chosen by the acceptance mask.
#include "mldsa/sampling.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#include <array>

#define QV_AVX2 __attribute__((target("avx2")))

namespace quorvantile_crypto::mldsa::detail::avx2 {
namespace {

// For each 8-bit acceptance mask, the positions of its set bits in increasing order.
constexpr std::array<std::array<uint8_t, 8>, 256> kCompaction = [] {
  std::array<std::array<uint8_t, 8>, 256> table{};
  for (int mask = 0; mask < 256; ++mask) {
    int n = 0;
    for (int bit = 0; bit < 8; ++bit) {
      if (mask & (1 << bit)) table[mask][n++] = static_cast<uint8_t>(bit);
    }
  }
  return table;
}();

}  // namespace

QV_AVX2 void accept_uniform_blocks(Poly& out, int& count, const uint8_t* bytes, std::size_t& pos, std::size_t end) {
  // Lane 0 takes bytes 0-11 of the 24, lane 1 bytes 12-23 (at offsets 4-15 of its 8-23 window).
  const __m256i spread = _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1,  //
                                          4, 5, 6, -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
  const __m256i low23 = _mm256_set1_epi32(0x7fffff);
  const __m256i q = _mm256_set1_epi32(kQ);
  while (count <= kN - 8 && pos + 32 <= end) {
    __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + pos));
    v = _mm256_permute4x64_epi64(v, 0x94);
    v = _mm256_and_si256(_mm256_shuffle_epi8(v, spread), low23);
    const auto mask = static_cast<unsigned>(_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(q, v))));
    const __m256i order = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(kCompaction[mask].data())));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out.data() + count), _mm256_permutevar8x32_epi32(v, order));
    count += __builtin_popcount(mask);
    pos += 24;
  }
}

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#else

namespace quorvantile_crypto::mldsa::detail::avx2 {

void accept_uniform_blocks(Poly&, int&, const uint8_t*, std::size_t&, std::size_t) {}

}  // namespace quorvantile_crypto::mldsa::detail::avx2

#endif
