// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The step constants of Keccak-f[1600], derived at compile time from their definitions: the
// iota round constants from the degree-8 LFSR, the rho offsets from the (x, y) -> (y, 2x + 3y)
// walk, and the pi destinations. Word w of the state is lane (x, y) = (w % 5, w / 5).
#include <array>
#include <cstdint>

namespace quorvantile_crypto::keccak::detail {

inline constexpr int kRounds = 24;

inline constexpr std::array<uint64_t, kRounds> kRoundConstants = [] {
  std::array<uint64_t, kRounds> constants{};
  unsigned lfsr = 1;
  for (auto& constant : constants) {
    for (int j = 0; j < 7; ++j) {
      if (lfsr & 1) constant ^= uint64_t{1} << ((1 << j) - 1);
      lfsr = (lfsr & 0x80) ? ((lfsr << 1) ^ 0x71) & 0xff : lfsr << 1;
    }
  }
  return constants;
}();

inline constexpr std::array<int, 25> kRhoOffsets = [] {
  std::array<int, 25> offsets{};
  int x = 1, y = 0;
  for (int t = 0; t < 24; ++t) {
    offsets[static_cast<std::size_t>(x + 5 * y)] = ((t + 1) * (t + 2) / 2) % 64;
    const int next_y = (2 * x + 3 * y) % 5;
    x = y;
    y = next_y;
  }
  return offsets;
}();

// pi moves word (x, y) to (y, 2x + 3y).
inline constexpr std::array<int, 25> kPiDestination = [] {
  std::array<int, 25> destination{};
  for (int x = 0; x < 5; ++x) {
    for (int y = 0; y < 5; ++y) destination[static_cast<std::size_t>(x + 5 * y)] = y + 5 * ((2 * x + 3 * y) % 5);
  }
  return destination;
}();

static_assert(kRoundConstants[0] == 0x0000000000000001 && kRoundConstants[1] == 0x0000000000008082 &&
              kRoundConstants[23] == 0x8000000080008008);
static_assert(kRhoOffsets[0] == 0 && kRhoOffsets[1] == 1 && kRhoOffsets[2] == 62 && kRhoOffsets[24] == 14);

}  // namespace quorvantile_crypto::keccak::detail
