// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "note/name.hpp"

#include <span>

#include "text/utf8.hpp"

namespace quorvantile_log::note {
namespace {

// The Unicode White_Space property.
bool is_white_space(char32_t cp) {
  switch (cp) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
    case 0x85: case 0xA0: case 0x1680:
    case 0x2028: case 0x2029: case 0x202F: case 0x205F: case 0x3000:
      return true;
    default:
      return cp >= 0x2000 && cp <= 0x200A;
  }
}

}  // namespace

bool is_valid_name(std::string_view name) {
  if (name.empty()) return false;
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(name.data()), name.size());
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const utf8::Step step = utf8::decode(bytes, pos);
    if (step.length == 0) return false;
    if (step.code_point == U'+' || is_white_space(step.code_point)) return false;
    pos += step.length;
  }
  return true;
}

}  // namespace quorvantile_log::note
