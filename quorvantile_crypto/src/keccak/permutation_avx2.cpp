// Four Keccak-f[1600] permutations in the four 64-bit slots of AVX2 registers. Rotations by 8
// and 56 are byte shuffles; the rest are shift pairs with the offset as an immediate.
#include "keccak/permutation.hpp"

#if defined(__x86_64__)

#include <immintrin.h>

#include <utility>

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

template <std::size_t... W>
QV_AVX2 void rho_pi(const __m256i* a, __m256i* b, std::index_sequence<W...>) {
  ((b[kPiDestination[W]] = rotl<kRhoOffsets[W]>(a[W])), ...);
}

QV_AVX2 void round(__m256i* a, uint64_t round_constant) {
  __m256i c[5];
  for (int x = 0; x < 5; ++x) {
    c[x] = _mm256_xor_si256(_mm256_xor_si256(_mm256_xor_si256(a[x], a[x + 5]), _mm256_xor_si256(a[x + 10], a[x + 15])),
                            a[x + 20]);
  }
  for (int x = 0; x < 5; ++x) {
    const __m256i d = _mm256_xor_si256(c[(x + 4) % 5], rotl<1>(c[(x + 1) % 5]));
    for (int y = 0; y < 25; y += 5) a[x + y] = _mm256_xor_si256(a[x + y], d);
  }
  __m256i b[25];
  rho_pi(a, b, std::make_index_sequence<25>{});
  for (int y = 0; y < 25; y += 5) {
    for (int x = 0; x < 5; ++x) {
      a[x + y] = _mm256_xor_si256(b[x + y], _mm256_andnot_si256(b[(x + 1) % 5 + y], b[(x + 2) % 5 + y]));
    }
  }
  a[0] = _mm256_xor_si256(a[0], _mm256_set1_epi64x(static_cast<long long>(round_constant)));
}

}  // namespace

__attribute__((target("avx2"))) void permute(State& state) {
  __m256i a[25];
  for (std::size_t w = 0; w < 25; ++w) a[w] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(state[w].data()));
  for (uint64_t round_constant : kRoundConstants) round(a, round_constant);
  for (std::size_t w = 0; w < 25; ++w) _mm256_storeu_si256(reinterpret_cast<__m256i*>(state[w].data()), a[w]);
}

bool available() { return __builtin_cpu_supports("avx2") != 0; }

}  // namespace quorvantile_crypto::keccak::detail::avx2

#else

#include <stdexcept>

namespace quorvantile_crypto::keccak::detail::avx2 {

bool available() { return false; }
void permute(State&) { throw std::logic_error("AVX2 Keccak is not built on this architecture"); }

}  // namespace quorvantile_crypto::keccak::detail::avx2

#endif
