// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/read_lp.hpp"

#include <string>

namespace quorvantile_log::coniks {

Result<LpField> read_lp(quorvantile_crypto::ByteView bytes, std::size_t offset, std::string_view label) {
  const std::size_t remaining = offset <= bytes.size() ? bytes.size() - offset : 0;
  if (remaining < 4) {
    return std::unexpected(Error::malformed_coniks_proof(std::string(label) + ": missing 4-byte length prefix"));
  }
  const uint8_t* p = bytes.data() + offset;
  const uint32_t n = static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                     static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
  if (n > remaining - 4) {
    return std::unexpected(Error::malformed_coniks_proof(std::string(label) + ": length prefix " + std::to_string(n) +
                                                         " overruns available bytes"));
  }
  return LpField{bytes.subspan(offset + 4, n), offset + 4 + n};
}

}  // namespace quorvantile_log::coniks
