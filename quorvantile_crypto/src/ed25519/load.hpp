// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Little-endian loads shared by the field and scalar code.
#include <cstdint>

namespace quorvantile_crypto::ed25519 {

inline uint64_t load64_le(const uint8_t* p) {
  uint64_t r = 0;
  for (int i = 7; i >= 0; --i) r = (r << 8) | p[i];
  return r;
}

}  // namespace quorvantile_crypto::ed25519
