#include "encoding/base64.hpp"

#include <cstdint>

namespace quorvantile_log::encoding {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotInAlphabet = -1;

int symbol_value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return kNotInAlphabet;
}

Error malformed(const char* detail) { return Error::malformed_note(detail); }

}  // namespace

Result<Bytes> base64_decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::unexpected(malformed("base64 length is not a multiple of 4"));
  if (text.empty()) return Bytes{};

  std::size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding >= 3) return std::unexpected(malformed("too much base64 padding"));
  const std::size_t padding_start = text.size() - padding;

  Bytes out;
  out.reserve(text.size() / 4 * 3);
  bool misplaced_padding = false;
  for (std::size_t group = 0; group < text.size(); group += 4) {
    uint32_t acc = 0;
    int last_significant = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text[group + static_cast<std::size_t>(i)];
      acc <<= 6;
      if (c == '=') {
        if (group + static_cast<std::size_t>(i) < padding_start) misplaced_padding = true;
        continue;
      }
      const int value = symbol_value(c);
      if (value == kNotInAlphabet) return std::unexpected(malformed("invalid base64 character"));
      acc |= static_cast<uint32_t>(value);
      last_significant = i + 1;
    }
    switch (last_significant) {
      case 4:
        out.push_back(static_cast<uint8_t>(acc >> 16));
        out.push_back(static_cast<uint8_t>(acc >> 8));
        out.push_back(static_cast<uint8_t>(acc));
        break;
      case 3:
        if ((acc & 0xFF) != 0) return std::unexpected(malformed("non-canonical base64"));
        out.push_back(static_cast<uint8_t>(acc >> 16));
        out.push_back(static_cast<uint8_t>(acc >> 8));
        break;
      case 2:
        if ((acc & 0xFFFF) != 0) return std::unexpected(malformed("non-canonical base64"));
        out.push_back(static_cast<uint8_t>(acc >> 16));
        break;
      default:
        return std::unexpected(malformed("invalid base64 group"));
    }
  }
  // A "=" before the closing padding still decodes as six zero bits above, but the text is then
  // not the encoding of the bytes it yields: another text encodes them.
  if (misplaced_padding) return std::unexpected(malformed("non-canonical base64"));
  return out;
}

std::string base64_encode(ByteView bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t acc = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
    out.push_back(kAlphabet[acc >> 18]);
    out.push_back(kAlphabet[(acc >> 12) & 63]);
    out.push_back(kAlphabet[(acc >> 6) & 63]);
    out.push_back(kAlphabet[acc & 63]);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest == 1) {
    const uint32_t acc = uint32_t{bytes[i]} << 16;
    out.push_back(kAlphabet[acc >> 18]);
    out.push_back(kAlphabet[(acc >> 12) & 63]);
    out.append("==");
  } else if (rest == 2) {
    const uint32_t acc = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8;
    out.push_back(kAlphabet[acc >> 18]);
    out.push_back(kAlphabet[(acc >> 12) & 63]);
    out.push_back(kAlphabet[(acc >> 6) & 63]);
    out.push_back('=');
  }
  return out;
}

}  // namespace quorvantile_log::encoding
