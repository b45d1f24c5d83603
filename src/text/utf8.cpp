#include "text/utf8.hpp"

#include <cstring>

namespace quorvantile_log::utf8 {
namespace {

bool continuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace

Step decode(std::span<const uint8_t> text, std::size_t pos) {
  const std::size_t n = text.size();
  const uint8_t b0 = text[pos];
  if (b0 < 0x80) return {b0, 1, 0};
  std::size_t width = 0;
  uint8_t lo = 0x80, hi = 0xBF;  // accepted range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    width = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    width = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    width = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return {0, 0, 1};
  }
  if (pos + 1 >= n) return {0, 0, 0};
  const uint8_t b1 = text[pos + 1];
  if (b1 < lo || b1 > hi) return {0, 0, 1};
  char32_t cp = (width == 2) ? (b0 & 0x1Fu) : (width == 3) ? (b0 & 0x0Fu) : (b0 & 0x07u);
  cp = (cp << 6) | (b1 & 0x3Fu);
  for (std::size_t i = 2; i < width; ++i) {
    if (pos + i >= n) return {0, 0, 0};
    const uint8_t b = text[pos + i];
    if (!continuation(b)) return {0, 0, i};
    cp = (cp << 6) | (b & 0x3Fu);
  }
  return {cp, width, 0};
}

Check check(std::span<const uint8_t> text) {
  constexpr uint64_t kHighBits = 0x8080808080808080u;
  const std::size_t n = text.size();
  std::size_t pos = 0;
  while (pos < n) {
    // ASCII runs eight bytes at a time, then byte by byte up to the next lead byte.
    for (uint64_t word; pos + 8 <= n; pos += 8) {
      std::memcpy(&word, text.data() + pos, 8);
      if ((word & kHighBits) != 0) break;
    }
    while (pos < n && text[pos] < 0x80) ++pos;
    if (pos == n) break;
    const Step step = decode(text, pos);
    if (step.length == 0) return {false, pos, step.invalid_length};
    pos += step.length;
  }
  return {true, pos, 0};
}

}  // namespace quorvantile_log::utf8
