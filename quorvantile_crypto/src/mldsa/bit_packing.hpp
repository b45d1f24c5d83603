// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Little-endian packing of 256 coefficients of a fixed bit width (FIPS 204 SimpleBitPack and
// SimpleBitUnpack): coefficient i occupies bits i*Bits to i*Bits + Bits - 1 of the byte string.
#include <cstdint>

#include "mldsa/field.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Reads exactly 32 * Bits bytes from in.
template <int Bits>
void unpack_bits(const uint8_t* in, Poly& out) {
  static_assert(Bits > 0 && Bits <= 24);
  constexpr uint64_t mask = (uint64_t{1} << Bits) - 1;
  uint64_t acc = 0;
  int have = 0;
  for (int32_t& coefficient : out) {
    while (have < Bits) {
      acc |= static_cast<uint64_t>(*in++) << have;
      have += 8;
    }
    coefficient = static_cast<int32_t>(acc & mask);
    acc >>= Bits;
    have -= Bits;
  }
}

// Writes exactly 32 * Bits bytes to out; every coefficient must lie in [0, 2^Bits).
template <int Bits>
void pack_bits(const Poly& in, uint8_t* out) {
  static_assert(Bits > 0 && Bits <= 24);
  uint64_t acc = 0;
  int have = 0;
  for (int32_t coefficient : in) {
    acc |= static_cast<uint64_t>(static_cast<uint32_t>(coefficient)) << have;
    have += Bits;
    while (have >= 8) {
      *out++ = static_cast<uint8_t>(acc);
      acc >>= 8;
      have -= 8;
    }
  }
}

}  // namespace quorvantile_crypto::mldsa::detail
