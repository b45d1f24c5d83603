// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#pragma once
// Little-endian 64-bit words of the Keccak state, read from and written to bytes with one memory
// access each (a byte swap only on big-endian hosts).
#include <bit>
#include <cstdint>
#include <cstring>

namespace quorvantile_crypto::keccak::detail {

inline uint64_t load_le64(const uint8_t* bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = std::byteswap(word);
  return word;
}

inline void store_le64(uint8_t* bytes, uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) word = std::byteswap(word);
  std::memcpy(bytes, &word, sizeof word);
}

}  // namespace quorvantile_crypto::keccak::detail
