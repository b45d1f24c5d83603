#pragma once
// Little-endian packing of 256 coefficients of a fixed bit width (FIPS 204 SimpleBitPack and
// SimpleBitUnpack): coefficient i occupies bits i*Bits to i*Bits + Bits - 1 of the byte string.
#include <cstddef>
#include <cstdint>

#include "keccak/words.hpp"
#include "mldsa/field.hpp"

namespace quorvantile_crypto::mldsa::detail {

// Reads exactly 32 * Bits bytes from in. Each coefficient comes from one 8-byte little-endian
// load at the byte holding its first bit; near the end, where that load would pass the last byte,
// the load ends at the last byte instead and shifts further.
template <int Bits>
void unpack_bits(const uint8_t* in, Poly& out) {
  static_assert(Bits >= 8 && Bits <= 24);
  constexpr uint64_t mask = (uint64_t{1} << Bits) - 1;
  constexpr std::size_t length = 32 * Bits;
  for (std::size_t group = 0; group < 31; ++group) {
    const uint8_t* p = in + group * Bits;
    for (std::size_t j = 0; j < 8; ++j) {
      const std::size_t bit = j * Bits;
      out[8 * group + j] = static_cast<int32_t>((keccak::detail::load_le64(p + bit / 8) >> (bit % 8)) & mask);
    }
  }
  const uint64_t last_word = keccak::detail::load_le64(in + length - 8);
  for (std::size_t j = 0; j < 8; ++j) {
    const std::size_t bit = 8 * 31 * Bits + j * Bits;
    const uint64_t word = bit / 8 + 8 <= length ? keccak::detail::load_le64(in + bit / 8) >> (bit % 8)
                                                : last_word >> (bit - 8 * (length - 8));
    out[248 + j] = static_cast<int32_t>(word & mask);
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
