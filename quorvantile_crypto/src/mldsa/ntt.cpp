#include "mldsa/ntt.hpp"

namespace quorvantile_crypto::mldsa::detail {
namespace {

constexpr int64_t pow_mod(int64_t base, int64_t exp) {
  int64_t result = 1;
  base %= kQ;
  for (; exp > 0; exp >>= 1) {
    if (exp & 1) result = result * base % kQ;
    base = base * base % kQ;
  }
  return result;
}

constexpr int bit_reverse8(int x) {
  int r = 0;
  for (int i = 0; i < 8; ++i) r |= ((x >> i) & 1) << (7 - i);
  return r;
}

constexpr int32_t centered(int64_t x) {
  x %= kQ;
  if (x < 0) x += kQ;
  return static_cast<int32_t>(x > kQ / 2 ? x - kQ : x);
}

constexpr int64_t kMontgomery = (int64_t{1} << 32) % kQ;
constexpr int32_t kRootOfUnity = 1753;

// zetas[i] = 2^32 * 1753^bitrev8(i) mod q, centred; zetas[0] is never used.
constexpr std::array<int32_t, kN> make_zetas() {
  std::array<int32_t, kN> z{};
  for (int i = 1; i < kN; ++i) z[i] = centered(kMontgomery * pow_mod(kRootOfUnity, bit_reverse8(i)) % kQ);
  return z;
}

constexpr std::array<int32_t, kN> kZetas = make_zetas();
static_assert(pow_mod(kRootOfUnity, 256) == kQ - 1);

// 2^64 / 256 mod q: scales by n^-1 and leaves the Montgomery factor 2^32 after one reduction.
constexpr int32_t kInverseScale =
    centered(kMontgomery * kMontgomery % kQ * pow_mod(kN, kQ - 2) % kQ);

}  // namespace

void ntt(Poly& a) {
  int k = 0;
  for (int len = 128; len > 0; len >>= 1) {
    for (int start = 0; start < kN; start += 2 * len) {
      const int64_t zeta = kZetas[++k];
      for (int j = start; j < start + len; ++j) {
        const int32_t t = montgomery_reduce(zeta * a[j + len]);
        a[j + len] = a[j] - t;
        a[j] = a[j] + t;
      }
    }
  }
}

void inverse_ntt_to_montgomery(Poly& a) {
  int k = kN;
  for (int len = 1; len < kN; len <<= 1) {
    for (int start = 0; start < kN; start += 2 * len) {
      const int64_t zeta = -kZetas[--k];
      for (int j = start; j < start + len; ++j) {
        const int32_t t = a[j];
        a[j] = t + a[j + len];
        a[j + len] = montgomery_reduce(zeta * (t - a[j + len]));
      }
    }
  }
  for (int32_t& x : a) x = montgomery_reduce(static_cast<int64_t>(kInverseScale) * x);
}

}  // namespace quorvantile_crypto::mldsa::detail
