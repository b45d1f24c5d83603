// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Montgomery arithmetic modulo L with five 52-bit limbs (R = 2^260).
#include "ed25519/scalar.hpp"

#include "ed25519/load.hpp"
#include "openssl_util.hpp"

namespace quorvantile_crypto::ed25519 {
namespace {

__extension__ typedef unsigned __int128 u128;  // GCC and Clang extension
constexpr uint64_t kMask52 = (uint64_t{1} << 52) - 1;

struct Limbs {
  uint64_t v[5];
};

constexpr Limbs kL = {{0x2631a5cf5d3ed, 0xdea2f79cd6581, 0x000000014def9, 0x0000000000000, 0x0100000000000}};
constexpr uint64_t kLFactor = 0x51da312547e1b;  // -1/L mod 2^52
constexpr Limbs kR = {{0xf48bd6721e6ed, 0x3bab5ac67e45a, 0xfffffeb35e51b, 0xfffffffffffff, 0x00fffffffffff}};
constexpr Limbs kRR = {{0x9d265e952d13b, 0xd63c715bea69f, 0x5be65cb687604, 0x3dceec73d217f, 0x009411b7c309a}};

Limbs unpack32(const uint8_t* s) {
  const uint64_t w0 = load64_le(s), w1 = load64_le(s + 8), w2 = load64_le(s + 16), w3 = load64_le(s + 24);
  return {{w0 & kMask52, ((w0 >> 52) | (w1 << 12)) & kMask52, ((w1 >> 40) | (w2 << 24)) & kMask52,
           ((w2 >> 28) | (w3 << 36)) & kMask52, w3 >> 16}};
}

Scalar pack(const Limbs& a) {
  const uint64_t w[4] = {a.v[0] | (a.v[1] << 52), (a.v[1] >> 12) | (a.v[2] << 40), (a.v[2] >> 24) | (a.v[3] << 28),
                         (a.v[3] >> 36) | (a.v[4] << 16)};
  Scalar s;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 8; ++j) s.bytes[8 * i + j] = static_cast<uint8_t>(w[i] >> (8 * j));
  return s;
}

// a - b mod L for limbs < 2^52 and a - b in (-L, L).
Limbs sub_mod(const Limbs& a, const Limbs& b) {
  Limbs d;
  uint64_t borrow = 0;
  for (int i = 0; i < 5; ++i) {
    borrow = a.v[i] - (b.v[i] + (borrow >> 63));
    d.v[i] = borrow & kMask52;
  }
  const uint64_t add_l = 0 - (borrow >> 63);  // all ones when a < b
  uint64_t carry = 0;
  for (int i = 0; i < 5; ++i) {
    carry = (carry >> 52) + d.v[i] + (kL.v[i] & add_l);
    d.v[i] = carry & kMask52;
  }
  return d;
}

// a + b mod L for a, b < L.
Limbs add_mod(const Limbs& a, const Limbs& b) {
  Limbs s;
  uint64_t carry = 0;
  for (int i = 0; i < 5; ++i) {
    carry = a.v[i] + b.v[i] + (carry >> 52);
    s.v[i] = carry & kMask52;
  }
  return sub_mod(s, kL);
}

// (a * b) / R mod L for limbs < 2^52 with a * b < L R (always true when a, b < 2^256 or one is < L).
// The result of the reduction is below a*b/R + L < 2L, so one conditional subtraction finishes it.
Limbs mont_mul(const Limbs& a, const Limbs& b) {
  u128 z[9] = {};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) z[i + j] += static_cast<u128>(a.v[i]) * b.v[j];  // each sum < 2^107
  uint64_t n[5];
  u128 carry = 0;
  for (int i = 0; i < 5; ++i) {
    u128 sum = carry + z[i];
    for (int j = 0; j < i; ++j) sum += static_cast<u128>(n[j]) * kL.v[i - j];
    n[i] = (static_cast<uint64_t>(sum) * kLFactor) & kMask52;
    carry = (sum + static_cast<u128>(n[i]) * kL.v[0]) >> 52;  // low 52 bits are zero by choice of n[i]
  }
  Limbs r;
  for (int i = 5; i < 9; ++i) {
    u128 sum = carry + z[i];
    for (int j = i - 4; j < 5; ++j) sum += static_cast<u128>(n[j]) * kL.v[i - j];
    r.v[i - 5] = static_cast<uint64_t>(sum) & kMask52;
    carry = sum >> 52;
  }
  r.v[4] = static_cast<uint64_t>(carry);
  secure_wipe(z, sizeof z);
  secure_wipe(n, sizeof n);
  return sub_mod(r, kL);
}

}  // namespace

Scalar scalar_reduce32(std::span<const uint8_t, 32> bytes) {
  Limbs a = unpack32(bytes.data());
  Limbs r = mont_mul(a, kR);  // a * R / R
  const Scalar s = pack(r);
  secure_wipe(&a, sizeof a);
  secure_wipe(&r, sizeof r);
  return s;
}

Scalar scalar_reduce64(std::span<const uint8_t, 64> bytes) {
  const uint8_t* s = bytes.data();
  uint64_t w[8];
  for (int i = 0; i < 8; ++i) w[i] = load64_le(s + 8 * i);
  Limbs lo = {{w[0] & kMask52, ((w[0] >> 52) | (w[1] << 12)) & kMask52, ((w[1] >> 40) | (w[2] << 24)) & kMask52,
               ((w[2] >> 28) | (w[3] << 36)) & kMask52, ((w[3] >> 16) | (w[4] << 48)) & kMask52}};
  Limbs hi = {{(w[4] >> 4) & kMask52, ((w[4] >> 56) | (w[5] << 8)) & kMask52, ((w[5] >> 44) | (w[6] << 20)) & kMask52,
               ((w[6] >> 32) | (w[7] << 32)) & kMask52, w[7] >> 20}};
  // value = lo + hi * 2^260: lo * R / R + hi * R^2 / R.
  Limbs lo_r = mont_mul(lo, kR);
  Limbs hi_r = mont_mul(hi, kRR);
  Limbs sum = add_mod(lo_r, hi_r);
  const Scalar out = pack(sum);
  secure_wipe(w, sizeof w);
  secure_wipe(&lo, sizeof lo);
  secure_wipe(&hi, sizeof hi);
  secure_wipe(&lo_r, sizeof lo_r);
  secure_wipe(&hi_r, sizeof hi_r);
  secure_wipe(&sum, sizeof sum);
  return out;
}

bool scalar_is_canonical(std::span<const uint8_t, 32> bytes) {
  // bytes - L borrows exactly when bytes < L.
  static constexpr uint8_t kLBytes[32] = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                          0xa2, 0xde, 0xf9, 0xde, 0x14, 0,    0,    0,    0,    0,    0,
                                          0,    0,    0,    0,    0,    0,    0,    0,    0,    0x10};
  unsigned borrow = 0;
  for (int i = 0; i < 32; ++i) borrow = (static_cast<unsigned>(bytes[i]) - kLBytes[i] - borrow) >> 31;
  return borrow == 1;
}

std::optional<Scalar> scalar_parse(std::span<const uint8_t, 32> bytes) {
  if (!scalar_is_canonical(bytes)) return std::nullopt;
  Scalar s;
  for (int i = 0; i < 32; ++i) s.bytes[i] = bytes[i];
  return s;
}

Scalar scalar_muladd(const Scalar& a, const Scalar& b, const Scalar& c) {
  Limbs la = unpack32(a.bytes.data());
  Limbs lb = unpack32(b.bytes.data());
  Limbs lc = unpack32(c.bytes.data());
  Limbs ab = mont_mul(la, lb);       // a b / R
  Limbs ab_r = mont_mul(ab, kRR);    // a b mod L
  Limbs c_red = mont_mul(lc, kR);    // c mod L
  Limbs sum = add_mod(ab_r, c_red);
  const Scalar out = pack(sum);
  for (Limbs* l : {&la, &lb, &lc, &ab, &ab_r, &c_red, &sum}) secure_wipe(l, sizeof *l);
  return out;
}

ct::Choice scalar_ct_equal(const Scalar& a, const Scalar& b) {
  uint64_t diff = 0;
  for (int i = 0; i < 32; ++i) diff |= static_cast<uint64_t>(a.bytes[i] ^ b.bytes[i]);
  return ct::equal_small(ct::value_barrier(diff), 0);
}

}  // namespace quorvantile_crypto::ed25519
