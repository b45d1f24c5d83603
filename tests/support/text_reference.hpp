// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#pragma once
// Plain one-step-at-a-time forms of the strict base64 decoder and the UTF-8 check, kept as the
// references their word-at-a-time versions are fuzzed and measured against: every group walked
// by the general rule, every scalar value decoded on its own. Same results, same messages.
#include <cstdint>
#include <span>
#include <string_view>

#include "encoding/base64.hpp"
#include "error/error.hpp"
#include "text/utf8.hpp"

namespace qv_test::reference {

inline quorvantile_log::utf8::Check utf8_check(std::span<const uint8_t> text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const quorvantile_log::utf8::Step step = quorvantile_log::utf8::decode(text, pos);
    if (step.length == 0) return {false, pos, step.invalid_length};
    pos += step.length;
  }
  return {true, pos, 0};
}

inline quorvantile_log::Result<quorvantile_log::encoding::Bytes> base64_decode(std::string_view text) {
  using quorvantile_log::Error;
  const auto malformed = [](const char* detail) { return std::unexpected(Error::malformed_note(detail)); };
  if (text.size() % 4 != 0) return malformed("base64 length is not a multiple of 4");
  std::size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding >= 3) return malformed("too much base64 padding");
  const std::size_t padding_start = text.size() - padding;
  quorvantile_log::encoding::Bytes out;
  bool misplaced_padding = false;
  for (std::size_t group = 0; group < text.size(); group += 4) {
    uint32_t acc = 0;
    int last_significant = 0;
    for (std::size_t i = 0; i < 4; ++i) {
      const char c = text[group + i];
      acc <<= 6;
      if (c == '=') {
        if (group + i < padding_start) misplaced_padding = true;
        continue;
      }
      int value = -1;
      if (c >= 'A' && c <= 'Z') value = c - 'A';
      if (c >= 'a' && c <= 'z') value = c - 'a' + 26;
      if (c >= '0' && c <= '9') value = c - '0' + 52;
      if (c == '+') value = 62;
      if (c == '/') value = 63;
      if (value < 0) return malformed("invalid base64 character");
      acc |= static_cast<uint32_t>(value);
      last_significant = static_cast<int>(i) + 1;
    }
    if (last_significant < 2) return malformed("invalid base64 group");
    const uint32_t dropped = last_significant == 4 ? 0 : acc & (last_significant == 3 ? 0xFFu : 0xFFFFu);
    if (dropped != 0) return malformed("non-canonical base64");
    for (int b = 0; b < last_significant - 1; ++b) out.push_back(static_cast<uint8_t>(acc >> (16 - 8 * b)));
  }
  if (misplaced_padding) return malformed("non-canonical base64");
  return out;
}

}  // namespace qv_test::reference
