// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/auth_path.hpp"

#include <bit>
#include <string>

namespace quorvantile_log::coniks {

Result<AuthPath::Parsed> AuthPath::parse(quorvantile_crypto::ByteView bytes) {
  if (bytes.size() < kBitmapSize) {
    return std::unexpected(Error::malformed_coniks_proof("authentication path shorter than its bitmap"));
  }
  std::size_t k = 0;
  for (std::size_t i = 0; i < kBitmapSize; ++i) k += static_cast<std::size_t>(std::popcount(bytes[i]));
  const std::size_t need = kBitmapSize + kHashSize * k;
  if (bytes.size() < need) {
    return std::unexpected(Error::malformed_coniks_proof(
        "authentication path: bitmap implies " + std::to_string(k) + " sibling hashes (" + std::to_string(need) +
        " bytes), only " + std::to_string(bytes.size()) + " available"));
  }
  Parsed out{AuthPath{}, need};
  const uint8_t* next = bytes.data() + kBitmapSize;
  for (std::size_t i = 0; i < kDepth; ++i) {
    if ((bytes[i / 8] >> (7 - i % 8)) & 1) {
      out.path.siblings[i] = next;
      next += kHashSize;
    }
  }
  return out;
}

}  // namespace quorvantile_log::coniks
