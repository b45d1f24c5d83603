// Four Keccak-f[1600] permutations in the four 64-bit slots of AVX2 registers. Rotations by 8
// and 56 are byte shuffles; the rest are shift pairs with the offset as an immediate.
#include "keccak/permutation.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#include "keccak/constants.hpp"

#define QV_AVX2 __attribute__((target("avx2"), always_inline)) inline

namespace quorvantile_crypto::keccak::detail::avx2 {
namespace {

template <int N>
QV_AVX2 __m256i rotl(__m256i v) {
  if constexpr (N == 0) {
    return v;
  } else if constexpr (N == 8) {
    return _mm256_shuffle_epi8(v, _mm256_setr_epi8(7, 0, 1, 2, 3, 4, 5, 6, 15, 8, 9, 10, 11, 12, 13, 14,  //
                                                   7, 0, 1, 2, 3, 4, 5, 6, 15, 8, 9, 10, 11, 12, 13, 14));
  } else if constexpr (N == 56) {
    return _mm256_shuffle_epi8(v, _mm256_setr_epi8(1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8,  //
                                                   1, 2, 3, 4, 5, 6, 7, 0, 9, 10, 11, 12, 13, 14, 15, 8));
  } else {
    return _mm256_or_si256(_mm256_slli_epi64(v, N), _mm256_srli_epi64(v, 64 - N));
  }
}

// Word x of output plane y after rho and pi: pi brings it from (x + 3y mod 5, x), with theta's
// column parity d applied first.
template <int X, int Y>
QV_AVX2 __m256i take(const __m256i* a, const __m256i* d) {
  constexpr int source = (X + 3 * Y) % 5 + 5 * X;
  static_assert(kPiDestination[source] == X + 5 * Y);
  return rotl<kRhoOffsets[source]>(_mm256_xor_si256(a[source], d[source % 5]));
}

// One output plane: rho and pi into five words, chi across them, and their contribution to the
// next round's column parities.
template <int Y>
QV_AVX2 void plane(const __m256i* a, const __m256i* d, __m256i* e, __m256i* parity) {
  const __m256i b[5] = {take<0, Y>(a, d), take<1, Y>(a, d), take<2, Y>(a, d), take<3, Y>(a, d), take<4, Y>(a, d)};
  for (int x = 0; x < 5; ++x) {
    const __m256i out = _mm256_xor_si256(b[x], _mm256_andnot_si256(b[(x + 1) % 5], b[(x + 2) % 5]));
    e[x + 5 * Y] = out;
    parity[x] = Y == 0 ? out : _mm256_xor_si256(parity[x], out);
  }
}

// A full round from a into e, given a's column parities, which it replaces with e's. Working
// plane by plane keeps few values live, and the two state arrays alternate between rounds.
QV_AVX2 void round(const __m256i* a, __m256i* e, __m256i* parity, uint64_t round_constant) {
  __m256i d[5];
  for (int x = 0; x < 5; ++x) d[x] = _mm256_xor_si256(parity[(x + 4) % 5], rotl<1>(parity[(x + 1) % 5]));
  plane<0>(a, d, e, parity);
  const __m256i iota = _mm256_set1_epi64x(static_cast<long long>(round_constant));
  e[0] = _mm256_xor_si256(e[0], iota);
  parity[0] = _mm256_xor_si256(parity[0], iota);
  plane<1>(a, d, e, parity);
  plane<2>(a, d, e, parity);
  plane<3>(a, d, e, parity);
  plane<4>(a, d, e, parity);
}

// The 24 rounds on a state held in a[25] (registers where the compiler can keep them).
QV_AVX2 void permute_words(__m256i* a) {
  __m256i e[25];
  __m256i parity[5];
  for (int x = 0; x < 5; ++x) {
    parity[x] = _mm256_xor_si256(_mm256_xor_si256(_mm256_xor_si256(a[x], a[x + 5]), _mm256_xor_si256(a[x + 10], a[x + 15])),
                                 a[x + 20]);
  }
  static_assert(kRounds % 2 == 0);
  for (std::size_t r = 0; r < kRoundConstants.size(); r += 2) {
    round(a, e, parity, kRoundConstants[r]);
    round(e, a, parity, kRoundConstants[r + 1]);
  }
}

}  // namespace

__attribute__((target("avx2"))) void permute(State& state) {
  __m256i a[25];
  for (std::size_t w = 0; w < 25; ++w) a[w] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state[w].data()));
  permute_words(a);
  for (std::size_t w = 0; w < 25; ++w) _mm256_storeu_si256(reinterpret_cast<__m256i*>(state[w].data()), a[w]);
}

// Each block leaves the registers as 128-bit stores of two consecutive words per lane (the
// unpacks pair word w with word w + 1 of the same lane), never through a state in memory.
__attribute__((target("avx2"))) void shake128_blocks(std::span<const Block> first, std::size_t blocks,
                                                      std::span<uint8_t* const> out) {
  constexpr std::size_t kWords = kShake128Rate / 8;
  std::array<std::array<uint64_t, 4>, kWords> words{};
  for (std::size_t lane = 0; lane < first.size(); ++lane) {
    for (std::size_t w = 0; w < kWords; ++w) words[w][lane] = first[lane][w];
  }
  __m256i a[25];
  for (std::size_t w = 0; w < 25; ++w) {
    a[w] = w < kWords ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words[w].data())) : _mm256_setzero_si256();
  }
  alignas(16) std::array<uint8_t, kShake128Rate> unused;
  for (std::size_t block = 0; block < blocks; ++block) {
    permute_words(a);
    std::array<uint8_t*, 4> dest;
    for (std::size_t lane = 0; lane < 4; ++lane) {
      dest[lane] = lane < out.size() ? out[lane] + block * kShake128Rate : unused.data();
    }
    const auto store = [](uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); };
    for (std::size_t w = 0; w + 1 < kWords; w += 2) {
      const __m256i even_lanes = _mm256_unpacklo_epi64(a[w], a[w + 1]);
      const __m256i odd_lanes = _mm256_unpackhi_epi64(a[w], a[w + 1]);
      store(dest[0] + 8 * w, _mm256_castsi256_si128(even_lanes));
      store(dest[1] + 8 * w, _mm256_castsi256_si128(odd_lanes));
      store(dest[2] + 8 * w, _mm256_extracti128_si256(even_lanes, 1));
      store(dest[3] + 8 * w, _mm256_extracti128_si256(odd_lanes, 1));
    }
    const __m128i low = _mm256_castsi256_si128(a[kWords - 1]);
    const __m128i high = _mm256_extracti128_si256(a[kWords - 1], 1);
    const auto store_word = [](uint8_t* p, __m128i v) { _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v); };
    store_word(dest[0] + 8 * (kWords - 1), low);
    store_word(dest[1] + 8 * (kWords - 1), _mm_unpackhi_epi64(low, low));
    store_word(dest[2] + 8 * (kWords - 1), high);
    store_word(dest[3] + 8 * (kWords - 1), _mm_unpackhi_epi64(high, high));
  }
}

bool available() { return __builtin_cpu_supports("avx2") != 0; }

}  // namespace quorvantile_crypto::keccak::detail::avx2

#else

#include <stdexcept>

namespace quorvantile_crypto::keccak::detail::avx2 {

bool available() { return false; }
void permute(State&) { throw std::logic_error("AVX2 Keccak is not built on this architecture"); }
void shake128_blocks(std::span<const Block>, std::size_t, std::span<uint8_t* const>) {
  throw std::logic_error("AVX2 Keccak is not built on this architecture");
}

}  // namespace quorvantile_crypto::keccak::detail::avx2

#endif
