// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/hints.hpp"

namespace quorvantile_crypto::mldsa::detail {

bool hints_well_formed(ByteView encoded, int omega, int rows) {
  if (omega < 0 || rows < 0 || encoded.size() != static_cast<std::size_t>(omega + rows)) return false;
  int index = 0;
  for (int row = 0; row < rows; ++row) {
    const int end = encoded[static_cast<std::size_t>(omega + row)];
    if (end < index || end > omega) return false;
    for (int first = index; index < end; ++index) {
      if (index > first && encoded[static_cast<std::size_t>(index - 1)] >= encoded[static_cast<std::size_t>(index)]) {
        return false;
      }
    }
  }
  for (; index < omega; ++index) {
    if (encoded[static_cast<std::size_t>(index)] != 0) return false;
  }
  return true;
}

}  // namespace quorvantile_crypto::mldsa::detail
