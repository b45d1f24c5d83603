// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The variable-time double-scalar multiplication a A + b B with AVX-512 IFMA: each point's four
// coordinates sit side by side in the four 64-bit lanes of 256-bit registers, so one vector
// multiplication computes the four products of a formula step at once (the extended-coordinate
// formulas are written as two such steps for an addition and for a doubling).
//
// Field elements keep the 51-bit limbs of Fe inside the multiplier's 52-bit inputs. The multiplier
// ignores every bit above 52, so a limb must be below 2^52 before it is multiplied; the spare bit
// is what lets one parallel carry pass (no sequential chain) guarantee that bound after an addition
// or a multiplication.
#include "ed25519/scalarmult.hpp"

#include "ed25519/base_tables.hpp"
#include "ed25519/wnaf.hpp"

#if defined(__x86_64__)

#if defined(__GNUC__) && !defined(__clang__)
// GCC 12's AVX-512 intrinsics pass _mm256_undefined_si256() placeholders through all-ones masks.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#define QV_IFMA_TARGET __attribute__((target("avx512f,avx512vl,avx512ifma")))
#define QV_IFMA __attribute__((target("avx512f,avx512vl,avx512ifma"), always_inline)) inline

namespace quorvantile_crypto::ed25519::ifma {
namespace {

// Four field elements: lane j of l[i] is limb i of element j (value = sum limb[i] 2^(51 i)).
struct F4 {
  __m256i l[5];
};

constexpr uint64_t kMask51 = (uint64_t{1} << 51) - 1;
// 4p limb by limb: added before a subtraction so that no lane goes below zero (subtrahends are
// below 2^52 < every limb of 4p).
constexpr uint64_t kFourP0 = (uint64_t{1} << 53) - 76;
constexpr uint64_t kFourP = (uint64_t{1} << 53) - 4;

constexpr int lanes(int l0, int l1, int l2, int l3) { return l0 | (l1 << 2) | (l2 << 4) | (l3 << 6); }

QV_IFMA __m256i splat(uint64_t x) { return _mm256_set1_epi64x(static_cast<long long>(x)); }
QV_IFMA __m256i four_p(int limb) { return splat(limb == 0 ? kFourP0 : kFourP); }
QV_IFMA __m256i times19(__m256i x) {
  return _mm256_add_epi64(_mm256_add_epi64(_mm256_slli_epi64(x, 4), _mm256_slli_epi64(x, 1)), x);
}

// Limbs below 2^63 to limbs below 2^52, same value modulo p: every carry is below 2^12, and the
// one out of the top limb re-enters the bottom one times 19 (2^255 = 19 mod p).
QV_IFMA F4 carry(const F4& a) {
  const __m256i mask = splat(kMask51);
  __m256i c[5];
  for (int i = 0; i < 5; ++i) c[i] = _mm256_srli_epi64(a.l[i], 51);
  F4 r;
  r.l[0] = _mm256_add_epi64(_mm256_and_si256(a.l[0], mask), times19(c[4]));
  for (int i = 1; i < 5; ++i) r.l[i] = _mm256_add_epi64(_mm256_and_si256(a.l[i], mask), c[i - 1]);
  return r;
}

// Reduces the column sums of a product. lo[k] holds low halves (weight 2^(51 k)) and hi[k] high
// halves, which the 52-bit multiplier returns at weight 2^(51 k + 1), so they count twice. Every
// column is below 2^56; the columns from 5 on fold back times 19, leaving sums below 2^61.
QV_IFMA F4 reduce_columns(const __m256i lo[10], const __m256i hi[10]) {
  __m256i z[10];
  for (int k = 0; k < 10; ++k) z[k] = _mm256_add_epi64(lo[k], _mm256_slli_epi64(hi[k], 1));
  F4 r;
  for (int k = 0; k < 5; ++k) r.l[k] = _mm256_add_epi64(z[k], times19(z[k + 5]));
  return carry(r);
}

// Lane-wise a b; limbs of both below 2^52.
QV_IFMA F4 mul(const F4& a, const F4& b) {
  __m256i lo[10], hi[10];
  for (int k = 0; k < 10; ++k) lo[k] = hi[k] = _mm256_setzero_si256();
  for (int i = 0; i < 5; ++i) {
    for (int j = 0; j < 5; ++j) {
      lo[i + j] = _mm256_madd52lo_epu64(lo[i + j], a.l[i], b.l[j]);
      hi[i + j + 1] = _mm256_madd52hi_epu64(hi[i + j + 1], a.l[i], b.l[j]);
    }
  }
  return reduce_columns(lo, hi);
}

// Lane-wise a^2; limbs below 2^52. The products of distinct limbs are summed once and doubled.
QV_IFMA F4 sq(const F4& a) {
  __m256i lo[10], hi[10];
  for (int k = 0; k < 10; ++k) lo[k] = hi[k] = _mm256_setzero_si256();
  for (int i = 0; i < 5; ++i) {
    for (int j = i + 1; j < 5; ++j) {
      lo[i + j] = _mm256_madd52lo_epu64(lo[i + j], a.l[i], a.l[j]);
      hi[i + j + 1] = _mm256_madd52hi_epu64(hi[i + j + 1], a.l[i], a.l[j]);
    }
  }
  for (int k = 0; k < 10; ++k) {
    lo[k] = _mm256_slli_epi64(lo[k], 1);
    hi[k] = _mm256_slli_epi64(hi[k], 1);
  }
  for (int i = 0; i < 5; ++i) {
    lo[2 * i] = _mm256_madd52lo_epu64(lo[2 * i], a.l[i], a.l[i]);
    hi[2 * i + 1] = _mm256_madd52hi_epu64(hi[2 * i + 1], a.l[i], a.l[i]);
  }
  return reduce_columns(lo, hi);
}

template <int Order>
QV_IFMA F4 permute(const F4& a) {
  F4 r;
  for (int i = 0; i < 5; ++i) r.l[i] = _mm256_permute4x64_epi64(a.l[i], Order);
  return r;
}

// Points are (X, Y, Z, T) in lanes 0..3, extended coordinates, limbs below 2^52. Addition
// operands are cached as (Y - X, Y + X, 2 Z, 2 d T).
using Point4 = F4;
using Cached4 = F4;

// (Y - X, Y + X, Z, T), limbs below 2^52.
QV_IFMA F4 diff_sum(const Point4& p) {
  const F4 ys = permute<lanes(1, 1, 2, 3)>(p);
  const F4 xs = permute<lanes(0, 0, 2, 3)>(p);
  F4 u;
  for (int i = 0; i < 5; ++i) {
    const __m256i sum = _mm256_mask_add_epi64(ys.l[i], 0b0010, ys.l[i], xs.l[i]);
    u.l[i] = _mm256_mask_sub_epi64(sum, 0b0001, _mm256_add_epi64(ys.l[i], four_p(i)), xs.l[i]);
  }
  return carry(u);
}

// From (E, H, F, G) to (E F, G H, F G, E H) = (X, Y, Z, T): the last step of both formulas.
QV_IFMA Point4 finish(const F4& v) { return mul(permute<lanes(0, 3, 2, 0)>(v), permute<lanes(2, 1, 3, 1)>(v)); }

// p + q. With (A, B, D, C) = ((Y1-X1)(Y2-X2), (Y1+X1)(Y2+X2), 2 Z1 Z2, 2d T1 T2):
// E = B - A, H = B + A, F = D - C, G = D + C.
QV_IFMA Point4 add(const Point4& p, const Cached4& q) {
  const F4 m = mul(diff_sum(p), q);  // (A, B, D, C)
  F4 v;
  for (int i = 0; i < 5; ++i) {
    const __m256i s = _mm256_shuffle_epi32(m.l[i], 0x4e);  // (B, A, C, D)
    const __m256i sum = _mm256_add_epi64(m.l[i], s);
    const __m256i minuend = _mm256_mask_blend_epi64(0b0100, s, m.l[i]);     // lane 0: B, lane 2: D
    const __m256i subtrahend = _mm256_mask_blend_epi64(0b0100, m.l[i], s);  // lane 0: A, lane 2: C
    const __m256i diff = _mm256_sub_epi64(_mm256_add_epi64(minuend, four_p(i)), subtrahend);
    v.l[i] = _mm256_mask_blend_epi64(0b1010, diff, sum);
  }
  return finish(carry(v));
}

// 2p (T is not read). With (A, B, Z^2, S^2) the squares of (X, Y, Z, X + Y):
// E = A + B - S^2, H = A + B, F = A - B + 2 Z^2, G = A - B.
QV_IFMA Point4 dbl(const Point4& p) {
  const F4 t = permute<lanes(0, 1, 2, 0)>(p);
  const F4 y = permute<lanes(1, 1, 1, 1)>(p);
  F4 u;
  for (int i = 0; i < 5; ++i) u.l[i] = _mm256_mask_add_epi64(t.l[i], 0b1000, t.l[i], y.l[i]);
  const F4 q = sq(carry(u));
  F4 v;
  for (int i = 0; i < 5; ++i) {
    const __m256i a = _mm256_permute4x64_epi64(q.l[i], lanes(0, 0, 0, 0));
    const __m256i b = _mm256_permute4x64_epi64(q.l[i], lanes(1, 1, 1, 1));
    const __m256i extra = _mm256_permute4x64_epi64(q.l[i], lanes(3, 3, 2, 2));  // lane 0: S^2, lane 2: Z^2
    const __m256i b_signed = _mm256_mask_sub_epi64(b, 0b1100, four_p(i), b);
    const __m256i base = _mm256_add_epi64(a, b_signed);  // A + B, A + B, A - B, A - B
    const __m256i e = _mm256_mask_sub_epi64(base, 0b0001, _mm256_add_epi64(base, four_p(i)), extra);
    v.l[i] = _mm256_mask_add_epi64(e, 0b0100, e, _mm256_slli_epi64(extra, 1));
  }
  return finish(carry(v));
}

// -q: (Y + X, Y - X, 2 Z, -2 d T).
QV_IFMA Cached4 negate(const Cached4& q) {
  F4 r;
  for (int i = 0; i < 5; ++i) {
    const __m256i swapped = _mm256_permute4x64_epi64(q.l[i], lanes(1, 0, 2, 3));
    r.l[i] = _mm256_mask_sub_epi64(swapped, 0b1000, four_p(i), swapped);
  }
  return carry(r);
}

QV_IFMA Point4 load(const P3& p) {
  F4 r;
  for (int i = 0; i < 5; ++i)
    r.l[i] = _mm256_set_epi64x(static_cast<long long>(p.T.v[i]), static_cast<long long>(p.Z.v[i]),
                               static_cast<long long>(p.Y.v[i]), static_cast<long long>(p.X.v[i]));
  return carry(r);  // P3 limbs may be up to 2^54 (sums fed straight into multiplications)
}

QV_IFMA P3 store(const Point4& p) {
  alignas(32) uint64_t lane[5][4];
  for (int i = 0; i < 5; ++i) _mm256_store_si256(reinterpret_cast<__m256i*>(lane[i]), p.l[i]);
  P3 r;
  for (int i = 0; i < 5; ++i) {
    r.X.v[i] = lane[i][0];
    r.Y.v[i] = lane[i][1];
    r.Z.v[i] = lane[i][2];
    r.T.v[i] = lane[i][3];
  }
  return r;
}

// (y - x, y + x, 2, 2 d x y) of an affine table point; its limbs are canonical.
QV_IFMA Cached4 load_niels(const Niels& n) {
  F4 r;
  for (int i = 0; i < 5; ++i)
    r.l[i] = _mm256_set_epi64x(static_cast<long long>(n.XY2d.v[i]), i == 0 ? 2 : 0,
                               static_cast<long long>(n.YplusX.v[i]), static_cast<long long>(n.YminusX.v[i]));
  return r;
}

// (Y - X, Y + X, 2 Z, 2 d T) of an extended point.
QV_IFMA Cached4 to_cached(const Point4& p) {
  F4 factors;
  for (int i = 0; i < 5; ++i)
    factors.l[i] = _mm256_set_epi64x(static_cast<long long>(kD2.v[i]), i == 0 ? 2 : 0, i == 0 ? 1 : 0, i == 0 ? 1 : 0);
  return mul(diff_sum(p), factors);
}

QV_IFMA Point4 identity() {
  F4 r;
  r.l[0] = _mm256_set_epi64x(0, 1, 1, 0);
  for (int i = 1; i < 5; ++i) r.l[i] = _mm256_setzero_si256();
  return r;
}

}  // namespace

bool available() {
  return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512vl") != 0 &&
         __builtin_cpu_supports("avx512ifma") != 0;
}

QV_IFMA_TARGET P3 double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b) {
  int8_t a_naf[kNafLength], b_naf[kNafLength];
  wnaf(a_naf, a, 5);
  wnaf(b_naf, b, 8);

  Cached4 a_odd[8];  // (2k + 1) A
  const Point4 a_point = load(A);
  a_odd[0] = to_cached(a_point);
  const Point4 a2 = dbl(a_point);
  for (int k = 1; k < 8; ++k) a_odd[k] = to_cached(add(a2, a_odd[k - 1]));

  int i = kNafLength - 1;
  while (i >= 0 && a_naf[i] == 0 && b_naf[i] == 0) --i;
  Point4 r = identity();
  for (; i >= 0; --i) {
    r = dbl(r);
    if (a_naf[i] > 0) {
      r = add(r, a_odd[a_naf[i] / 2]);
    } else if (a_naf[i] < 0) {
      r = add(r, negate(a_odd[-a_naf[i] / 2]));
    }
    if (b_naf[i] > 0) {
      r = add(r, load_niels(kBaseOdd[b_naf[i] / 2]));
    } else if (b_naf[i] < 0) {
      r = add(r, negate(load_niels(kBaseOdd[-b_naf[i] / 2])));
    }
  }
  return store(r);
}

}  // namespace quorvantile_crypto::ed25519::ifma

#endif
