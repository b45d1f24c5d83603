// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Secret-dependent selection. A Choice is a secret bit; it has no conversion to bool, so code
// cannot branch on it by accident, and every value it is built from or turned into a mask from
// passes a value barrier, which keeps the optimiser from proving it is 0 or 1 and reintroducing
// a branch. `declassify` is the one way out, for results that are public by design.
#include <cstdint>

#include "ct/valgrind_taint.hpp"

namespace quorvantile_crypto::ct {

// An opaque copy of `v`: the compiler must assume any value comes out.
template <class T>
[[gnu::always_inline]] inline T value_barrier(T v) {
  __asm__("" : "+r"(v));
  return v;
}

class Choice {
 public:
  // `bit` must be 0 or 1.
  static Choice from_bit(uint64_t bit) { return Choice(value_barrier(bit)); }

  // All ones when set, all zeros otherwise.
  uint64_t mask() const { return 0 - value_barrier(bit_); }

  Choice operator&(Choice other) const { return Choice(bit_ & other.bit_); }
  Choice operator|(Choice other) const { return Choice(bit_ | other.bit_); }
  Choice operator^(Choice other) const { return Choice(bit_ ^ other.bit_); }
  Choice operator!() const { return Choice(bit_ ^ 1); }

  // The bit as an ordinary bool, for decisions whose outcome is revealed anyway (a rejected
  // input, the end of a rejection-sampling loop).
  bool declassify() const {
    uint64_t bit = value_barrier(bit_);
    QV_CT_PUBLIC(&bit, sizeof bit);  // the caller reveals this bit by acting on it
    return bit != 0;
  }

 private:
  explicit Choice(uint64_t bit) : bit_(bit) {}
  uint64_t bit_;
};

// 1 when a == b, for values below 2^63.
inline Choice equal_small(uint64_t a, uint64_t b) { return Choice::from_bit(((a ^ b) - 1) >> 63); }

}  // namespace quorvantile_crypto::ct
