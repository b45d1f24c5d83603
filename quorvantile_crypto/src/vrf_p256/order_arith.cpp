// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Montgomery arithmetic modulo n with four 64-bit limbs (R = 2^256).
#include "vrf_p256/order_arith.hpp"

#include "ct/choice.hpp"
#include "quorvantile_crypto/secret.hpp"

namespace quorvantile_crypto::vrf_p256 {
namespace {

__extension__ typedef unsigned __int128 u128;  // GCC and Clang extension

struct Limbs {
  uint64_t v[4];  // little-endian words
};

constexpr Limbs kN = {{0xF3B9CAC2FC632551, 0xBCE6FAADA7179E84, 0xFFFFFFFFFFFFFFFF, 0xFFFFFFFF00000000}};
constexpr uint64_t kNPrime = 0xCCD1C8AAEE00BC4F;  // -1/n mod 2^64
constexpr Limbs kRR = {{0x83244C95BE79EEA2, 0x4699799C49BD6FA6, 0x2845B2392B6BEC59, 0x66E12D94F3D95620}};  // R^2 mod n

Limbs from_be(const Bytes32& bytes) {
  Limbs out{};
  for (int i = 0; i < 32; ++i) out.v[3 - i / 8] = (out.v[3 - i / 8] << 8) | bytes[i];
  return out;
}

void to_be(const Limbs& a, Bytes32& out) {
  for (int i = 0; i < 32; ++i) out[i] = static_cast<uint8_t>(a.v[3 - i / 8] >> (8 * (7 - i % 8)));
}

// hi * 2^256 + a reduced once: a - n when that does not borrow past hi, else a. Requires the
// value to be below 2n.
Limbs subtract_n_once(const Limbs& a, uint64_t hi) {
  Limbs d;
  uint64_t borrow = 0;
  for (int i = 0; i < 4; ++i) {
    const u128 diff = static_cast<u128>(a.v[i]) - kN.v[i] - borrow;
    d.v[i] = static_cast<uint64_t>(diff);
    borrow = static_cast<uint64_t>(diff >> 64) & 1;
  }
  // The subtraction borrowed past the top word exactly when the value was below n.
  const ct::Choice keep = ct::Choice::from_bit(((hi - borrow) >> 63) & 1);
  const uint64_t mask = keep.mask();
  Limbs out;
  for (int i = 0; i < 4; ++i) out.v[i] = (a.v[i] & mask) | (d.v[i] & ~mask);
  return out;
}

// a * b / R mod n for a, b < n (operand scanning, one reduction step per word of b).
Limbs mont_mul(const Limbs& a, const Limbs& b) {
  uint64_t t[6] = {};
  for (int i = 0; i < 4; ++i) {
    u128 carry = 0;
    for (int j = 0; j < 4; ++j) {
      carry = static_cast<u128>(a.v[j]) * b.v[i] + t[j] + (carry >> 64);
      t[j] = static_cast<uint64_t>(carry);
    }
    u128 top = static_cast<u128>(t[4]) + (carry >> 64);
    t[4] = static_cast<uint64_t>(top);
    t[5] = static_cast<uint64_t>(top >> 64);

    const uint64_t m = t[0] * kNPrime;  // makes the low word vanish
    carry = static_cast<u128>(m) * kN.v[0] + t[0];
    for (int j = 1; j < 4; ++j) {
      carry = static_cast<u128>(m) * kN.v[j] + t[j] + (carry >> 64);
      t[j - 1] = static_cast<uint64_t>(carry);
    }
    top = static_cast<u128>(t[4]) + (carry >> 64);
    t[3] = static_cast<uint64_t>(top);
    t[4] = t[5] + static_cast<uint64_t>(top >> 64);
  }
  // The running value stays below 2n, so one conditional subtraction finishes it.
  const Limbs r = subtract_n_once({{t[0], t[1], t[2], t[3]}}, t[4]);
  secure_wipe(t, sizeof t);
  return r;
}

// a + b mod n for a, b < n.
Limbs add_mod(const Limbs& a, const Limbs& b) {
  Limbs s;
  uint64_t carry = 0;
  for (int i = 0; i < 4; ++i) {
    const u128 sum = static_cast<u128>(a.v[i]) + b.v[i] + carry;
    s.v[i] = static_cast<uint64_t>(sum);
    carry = static_cast<uint64_t>(sum >> 64);
  }
  return subtract_n_once(s, carry);
}

}  // namespace

void mul_add_mod_n(const Bytes32& a, const Bytes32& b, const Bytes32& c, Bytes32& out) {
  Limbs la = from_be(a), lb = from_be(b), lc = from_be(c);
  Limbs a_mont = mont_mul(la, kRR);       // a R
  Limbs product = mont_mul(a_mont, lb);   // a b
  Limbs sum = add_mod(product, lc);
  to_be(sum, out);
  for (Limbs* l : {&la, &lb, &lc, &a_mont, &product, &sum}) secure_wipe(l, sizeof *l);
}

}  // namespace quorvantile_crypto::vrf_p256
