// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// Standard base64 decoding of signature and public-key tokens: RFC 4648 alphabet, padding
// required and canonical, no trailing bits in the last symbol, no whitespace.
//
// Failures are classified the way a strict standard decoder does it, and the texts are that
// decoder's own words. The input is read as "body" groups of four followed by one final group
// (the last 1 to 4 bytes; the last full group when the length is a multiple of four):
//
//  1. If the length leaves exactly one byte after the full groups and that byte is neither in
//     the alphabet nor '=', it is reported at once as an invalid symbol (a stray trailing byte
//     such as a newline is the common case and deserves the precise message).
//  2. Body groups are decoded left to right; the first byte outside the alphabet, '=' included,
//     is an invalid symbol at its offset.
//  3. In the final group, '=' at position 0 or 1 of the group is an invalid symbol; a symbol
//     after an '=' reports the first '=' of the run as the invalid symbol; any other byte
//     outside the alphabet is an invalid symbol.
//  4. A final group with a single symbol (length % 4 == 1) is an invalid length; the reported
//     length is the input length.
//  5. Symbols plus padding of the final group not making four (missing or surplus padding) is
//     invalid padding.
//  6. Non-zero bits below the decoded bytes in the last symbol are an invalid last symbol,
//     reported with the symbol's byte value and offset.
#include <array>
#include <string>

#include "quorvantile_crypto/sign.hpp"

namespace quorvantile_crypto {
namespace {

constexpr uint8_t kInvalid = 0xff;
constexpr uint8_t kPad = '=';

uint8_t symbol_value(uint8_t c) {
  if (c >= 'A' && c <= 'Z') return static_cast<uint8_t>(c - 'A');
  if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 'a' + 26);
  if (c >= '0' && c <= '9') return static_cast<uint8_t>(c - '0' + 52);
  if (c == '+') return 62;
  if (c == '/') return 63;
  return kInvalid;
}

CryptoError invalid_symbol(uint8_t byte, std::size_t offset) {
  return CryptoError::base64("Invalid symbol " + std::to_string(byte) + ", offset " + std::to_string(offset) + ".");
}

}  // namespace

CryptoResult<Bytes> decode_token(std::string_view token) {
  const ByteView in = as_bytes(token);
  const std::size_t rem = in.size() % 4;

  if (rem == 1) {
    const uint8_t last = in.back();
    if (last != kPad && symbol_value(last) == kInvalid) return std::unexpected(invalid_symbol(last, in.size() - 1));
  }

  // Body: every full group except the last one when the length is a multiple of four.
  std::size_t body_len = in.size() - rem;
  if (rem == 0 && body_len >= 4) body_len -= 4;

  Bytes out;
  out.reserve((in.size() + 3) / 4 * 3);
  for (std::size_t i = 0; i < body_len; i += 4) {
    uint32_t acc = 0;
    for (std::size_t j = i; j < i + 4; ++j) {
      const uint8_t v = symbol_value(in[j]);
      if (v == kInvalid) return std::unexpected(invalid_symbol(in[j], j));
      acc = acc << 6 | v;
    }
    out.push_back(static_cast<uint8_t>(acc >> 16));
    out.push_back(static_cast<uint8_t>(acc >> 8));
    out.push_back(static_cast<uint8_t>(acc));
  }

  // Final group.
  std::array<uint8_t, 4> values{};
  std::size_t symbols = 0;
  std::size_t pads = 0;
  std::size_t first_pad = 0;
  uint8_t last_symbol = 0;
  for (std::size_t j = body_len; j < in.size(); ++j) {
    const uint8_t c = in[j];
    const std::size_t position = j - body_len;
    if (c == kPad) {
      if (position < 2) return std::unexpected(invalid_symbol(c, j));
      if (pads == 0) first_pad = j;
      ++pads;
      continue;
    }
    if (pads > 0) return std::unexpected(invalid_symbol(kPad, first_pad));
    const uint8_t v = symbol_value(c);
    if (v == kInvalid) return std::unexpected(invalid_symbol(c, j));
    values[symbols++] = v;
    last_symbol = c;
  }

  if (!in.empty() && symbols < 2) return std::unexpected(CryptoError::base64("Invalid input length: " + std::to_string(body_len + symbols)));
  if ((symbols + pads) % 4 != 0) return std::unexpected(CryptoError::base64("Invalid padding"));
  if (symbols == 0) return out;

  const uint32_t acc = static_cast<uint32_t>(values[0]) << 18 | static_cast<uint32_t>(values[1]) << 12 |
                       static_cast<uint32_t>(values[2]) << 6 | values[3];
  const std::size_t bytes = symbols * 6 / 8;
  const uint32_t unused_mask = (1u << (24 - 8 * bytes)) - 1;
  if ((acc & unused_mask) != 0) {
    return std::unexpected(CryptoError::base64("Invalid last symbol " + std::to_string(last_symbol) + ", offset " +
                                                std::to_string(body_len + symbols - 1) + "."));
  }
  for (std::size_t k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(acc >> (16 - 8 * k)));
  return out;
}

}  // namespace quorvantile_crypto
