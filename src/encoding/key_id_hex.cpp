// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "encoding/key_id_hex.hpp"

namespace quorvantile_log::encoding {
namespace {

int nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Result<uint32_t> decode_key_id(std::span<const char, 8> hex) {
  uint32_t id = 0;
  for (const char c : hex) {
    const int value = nibble(c);
    if (value < 0) return std::unexpected(Error::malformed_note("invalid hex character"));
    id = id << 4 | static_cast<uint32_t>(value);
  }
  return id;
}

std::string hex8(uint32_t value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
  return out;
}

}  // namespace quorvantile_log::encoding
