// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ed25519/scalarmult.hpp"

#include "ed25519/base_tables.hpp"
#include "ed25519/wnaf.hpp"
#include "openssl_util.hpp"

namespace quorvantile_crypto::ed25519 {
namespace {

// Signed radix-16 digits of a 256-bit integer: 65 digits in [-8, 8) (the last one in [0, 1]),
// value = sum digits[i] 16^i.
void radix16(int8_t digits[65], const Scalar& s) {
  for (int i = 0; i < 32; ++i) {
    digits[2 * i] = static_cast<int8_t>(s.bytes[i] & 15);
    digits[2 * i + 1] = static_cast<int8_t>(s.bytes[i] >> 4);
  }
  int carry = 0;
  for (int i = 0; i < 64; ++i) {
    const int d = digits[i] + carry;  // in [0, 16]
    carry = (d + 8) >> 4;             // 1 when d >= 8
    digits[i] = static_cast<int8_t>(d - (carry << 4));
  }
  digits[64] = static_cast<int8_t>(carry);
}

// |digit| and its sign, without branching.
ct::Choice split_digit(int8_t digit, uint64_t& magnitude) {
  const int d = ct::value_barrier(static_cast<int>(digit));
  const uint64_t negative = static_cast<uint64_t>(static_cast<unsigned>(d) >> 31);
  const int mask = -static_cast<int>(negative);
  magnitude = static_cast<uint64_t>((d ^ mask) - mask);
  return ct::Choice::from_bit(negative);
}

Niels select_base(int row, int8_t digit) {
  uint64_t magnitude = 0;
  const ct::Choice negative = split_digit(digit, magnitude);
  Niels t = niels_identity();
  for (int j = 0; j < 8; ++j) cmov(t, kBaseComb[row][j], ct::equal_small(magnitude, static_cast<uint64_t>(j + 1)));
  cneg(t, negative);
  return t;
}

Cached select_cached(const Cached table[8], int8_t digit) {
  uint64_t magnitude = 0;
  const ct::Choice negative = split_digit(digit, magnitude);
  Cached t = cached_identity();
  for (int j = 0; j < 8; ++j) cmov(t, table[j], ct::equal_small(magnitude, static_cast<uint64_t>(j + 1)));
  cneg(t, negative);
  return t;
}

}  // namespace

void wnaf(int8_t naf[kNafLength], const Scalar& s, int w) {
  uint64_t words[6] = {};  // two zero words past the scalar, for windows that straddle its end
  for (int i = 0; i < 32; ++i) words[i / 8] |= static_cast<uint64_t>(s.bytes[i]) << (8 * (i % 8));
  for (int i = 0; i < kNafLength; ++i) naf[i] = 0;
  const uint64_t width = uint64_t{1} << w;
  const uint64_t window_mask = width - 1;
  uint64_t carry = 0;  // a pending +1 at the current position
  int pos = 0;
  while (pos < 256 || (carry != 0 && pos < kNafLength)) {
    const int idx = pos / 64, bit = pos % 64;
    uint64_t buf = words[idx] >> bit;
    if (bit > 64 - w) buf |= words[idx + 1] << (64 - bit);
    const uint64_t window = carry + (buf & window_mask);
    if ((window & 1) == 0) {
      ++pos;
      continue;
    }
    if (window < width / 2) {
      carry = 0;
      naf[pos] = static_cast<int8_t>(window);
    } else {
      carry = 1;
      naf[pos] = static_cast<int8_t>(static_cast<int64_t>(window) - static_cast<int64_t>(width));
    }
    pos += w;
  }
}


P3 scalarmult_base(const Scalar& s) {
  Scalar reduced = scalar_reduce32(s.bytes);
  int8_t e[65];
  radix16(e, reduced);  // reduced < 2^253, so e[63] <= 1 + carry and e[64] = 0
  // h = sum over odd i of e[i] 16^i B, times 16, plus the even ones: every term is a table entry
  // e * 256^(i/2) B.
  P3 h = p3_identity();
  for (int i = 1; i < 64; i += 2) h = to_p3(madd(h, select_base(i / 2, e[i])));
  h = to_p3(dbl(to_p2(dbl(to_p2(dbl(to_p2(dbl(h))))))));
  for (int i = 0; i < 64; i += 2) h = to_p3(madd(h, select_base(i / 2, e[i])));
  secure_wipe(e, sizeof e);
  secure_wipe(&reduced, sizeof reduced);
  return h;
}

P3 scalarmult(const Scalar& s, const P3& p) {
  Cached table[8];  // j P for j = 1..8
  table[0] = to_cached(p);
  P3 acc = p;
  for (int j = 1; j < 8; ++j) {
    acc = to_p3(add(acc, table[0]));
    table[j] = to_cached(acc);
  }
  int8_t e[65];
  radix16(e, s);
  // Between windows h is kept as P2: doubling does not need T, only the addition does.
  P1P1 t = add(p3_identity(), select_cached(table, e[64]));
  for (int i = 63; i >= 0; --i) {
    const P3 h16 = to_p3(dbl(to_p2(dbl(to_p2(dbl(to_p2(dbl(to_p2(t)))))))));
    t = add(h16, select_cached(table, e[i]));
  }
  const P3 h = to_p3(t);
  secure_wipe(e, sizeof e);
  secure_wipe(table, sizeof table);
  return h;
}

static P3 portable_double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b) {
  int8_t a_naf[kNafLength], b_naf[kNafLength];
  wnaf(a_naf, a, 5);
  wnaf(b_naf, b, 8);

  Cached a_odd[8];  // (2k + 1) A
  a_odd[0] = to_cached(A);
  const P3 a2 = to_p3(dbl(A));
  for (int k = 1; k < 8; ++k) a_odd[k] = to_cached(to_p3(add(a2, a_odd[k - 1])));

  int i = kNafLength - 1;
  while (i >= 0 && a_naf[i] == 0 && b_naf[i] == 0) --i;
  P2 r = p2_identity();
  for (; i >= 0; --i) {
    P1P1 t = dbl(r);
    if (a_naf[i] > 0) {
      t = add(to_p3(t), a_odd[a_naf[i] / 2]);
    } else if (a_naf[i] < 0) {
      t = sub(to_p3(t), a_odd[-a_naf[i] / 2]);
    }
    if (b_naf[i] > 0) {
      t = madd(to_p3(t), kBaseOdd[b_naf[i] / 2]);
    } else if (b_naf[i] < 0) {
      t = msub(to_p3(t), kBaseOdd[-b_naf[i] / 2]);
    }
    r = to_p2(t);
  }
  // (X:Y:Z) = (XZ : YZ : Z^2) with T = XY.
  return {fe_mul(r.X, r.Z), fe_mul(r.Y, r.Z), fe_sq(r.Z), fe_mul(r.X, r.Y)};
}

bool backend_available(Backend backend) {
  switch (backend) {
    case Backend::Portable: return true;
#if defined(__x86_64__)
    case Backend::Ifma: return ifma::available();
#else
    case Backend::Ifma: return false;
#endif
  }
  return false;
}

Backend default_backend() { return backend_available(Backend::Ifma) ? Backend::Ifma : Backend::Portable; }

P3 double_scalarmult_vartime(const Scalar& a, const P3& A, const Scalar& b, Backend backend) {
#if defined(__x86_64__)
  if (backend == Backend::Ifma && ifma::available()) return ifma::double_scalarmult_vartime(a, A, b);
#else
  static_cast<void>(backend);  // the portable code is the only one here
#endif
  return portable_double_scalarmult_vartime(a, A, b);
}

}  // namespace quorvantile_crypto::ed25519
