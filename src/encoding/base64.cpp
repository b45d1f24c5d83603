#include "encoding/base64.hpp"

#include <array>
#include <cstdint>

namespace quorvantile_log::encoding {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kNotInAlphabet = -1;

constexpr int range_value(int c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return kNotInAlphabet;
}

// The range tests above, tabulated at compile time for all 256 byte values.
constexpr std::array<int8_t, 256> kSymbolValues = [] {
  std::array<int8_t, 256> table{};
  for (int c = 0; c < 256; ++c) table[static_cast<std::size_t>(c)] = static_cast<int8_t>(range_value(c));
  return table;
}();

int symbol_value(char c) { return kSymbolValues[static_cast<unsigned char>(c)]; }

// The symbol values pre-shifted to their place in a group's 24 bits, one table per position, so
// that four characters become three bytes with four look-ups and three ORs. A character outside
// the alphabet ("=" included) sets the top byte, which no valid group touches.
constexpr uint32_t kInvalidGroup = 0xFF000000u;
using ShiftedTable = std::array<uint32_t, 256>;
constexpr ShiftedTable shifted_values(int shift) {
  ShiftedTable table{};
  for (std::size_t c = 0; c < table.size(); ++c) {
    const int value = kSymbolValues[c];
    table[c] = value == kNotInAlphabet ? kInvalidGroup : static_cast<uint32_t>(value) << shift;
  }
  return table;
}
constexpr std::array<ShiftedTable, 4> kShiftedValues = {shifted_values(18), shifted_values(12), shifted_values(6),
                                                         shifted_values(0)};

// The 24 bits of four alphabet characters, or a value with kInvalidGroup bits set.
uint32_t group_bits(const char* g) {
  const auto at = [g](std::size_t i) { return static_cast<unsigned char>(g[i]); };
  return kShiftedValues[0][at(0)] | kShiftedValues[1][at(1)] | kShiftedValues[2][at(2)] | kShiftedValues[3][at(3)];
}

void put_group(uint32_t bits, uint8_t* out) {
  out[0] = static_cast<uint8_t>(bits >> 16);
  out[1] = static_cast<uint8_t>(bits >> 8);
  out[2] = static_cast<uint8_t>(bits);
}

// Two symbols for every 12-bit value, so that three bytes encode with two look-ups.
constexpr std::array<std::array<char, 2>, 4096> kSymbolPairs = [] {
  std::array<std::array<char, 2>, 4096> table{};
  for (std::size_t v = 0; v < table.size(); ++v) table[v] = {kAlphabet[v >> 6], kAlphabet[v & 63]};
  return table;
}();

Error malformed(const char* detail) { return Error::malformed_note(detail); }

// The general walk of one group: "=" counts as six zero bits, and the position of the last other
// character decides how many bytes the group yields; an "=" before position `padding_from` is
// not closing padding and is flagged. Returns the number of bytes written.
Result<std::size_t> decode_group(const char* group, std::size_t padding_from, bool& misplaced_padding, uint8_t* out) {
  uint32_t acc = 0;
  int last_significant = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = group[i];
    acc <<= 6;
    if (c == '=') {
      if (i < padding_from) misplaced_padding = true;
      continue;
    }
    const int value = symbol_value(c);
    if (value == kNotInAlphabet) return std::unexpected(malformed("invalid base64 character"));
    acc |= static_cast<uint32_t>(value);
    last_significant = static_cast<int>(i) + 1;
  }
  switch (last_significant) {
    case 4:
      out[0] = static_cast<uint8_t>(acc >> 16);
      out[1] = static_cast<uint8_t>(acc >> 8);
      out[2] = static_cast<uint8_t>(acc);
      return 3;
    case 3:
      if ((acc & 0xFF) != 0) return std::unexpected(malformed("non-canonical base64"));
      out[0] = static_cast<uint8_t>(acc >> 16);
      out[1] = static_cast<uint8_t>(acc >> 8);
      return 2;
    case 2:
      if ((acc & 0xFFFF) != 0) return std::unexpected(malformed("non-canonical base64"));
      out[0] = static_cast<uint8_t>(acc >> 16);
      return 1;
    default:
      return std::unexpected(malformed("invalid base64 group"));
  }
}

}  // namespace

Result<Bytes> base64_decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::unexpected(malformed("base64 length is not a multiple of 4"));
  if (text.empty()) return Bytes{};

  std::size_t padding = 0;
  while (padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  if (padding >= 3) return std::unexpected(malformed("too much base64 padding"));
  const std::size_t padding_start = text.size() - padding;

  Bytes out(text.size() / 4 * 3);
  std::size_t written = 0;
  bool misplaced_padding = false;
  std::size_t group = 0;
  // Two groups (eight characters) at a time while both are plain alphabet characters.
  for (; group + 8 <= text.size(); group += 8) {
    const uint32_t first = group_bits(text.data() + group);
    const uint32_t second = group_bits(text.data() + group + 4);
    if (((first | second) & kInvalidGroup) != 0) break;
    put_group(first, out.data() + written);
    put_group(second, out.data() + written + 3);
    written += 6;
  }
  for (; group < text.size(); group += 4) {
    const char* g = text.data() + group;
    const uint32_t bits = group_bits(g);
    if ((bits & kInvalidGroup) == 0) {
      put_group(bits, out.data() + written);
      written += 3;
      continue;
    }
    const std::size_t padding_from = padding_start > group ? padding_start - group : 0;
    const auto n = decode_group(g, padding_from, misplaced_padding, out.data() + written);
    if (!n) return std::unexpected(n.error());
    written += *n;
  }
  // A "=" before the closing padding still decodes as six zero bits above, but the text is then
  // not the encoding of the bytes it yields: another text encodes them.
  if (misplaced_padding) return std::unexpected(malformed("non-canonical base64"));
  out.resize(written);
  return out;
}

std::string base64_encode(ByteView bytes) {
  std::string out((bytes.size() + 2) / 3 * 4, '=');
  char* o = out.data();
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3, o += 4) {
    const uint32_t acc = uint32_t{bytes[i]} << 16 | uint32_t{bytes[i + 1]} << 8 | bytes[i + 2];
    const auto& high = kSymbolPairs[acc >> 12];
    const auto& low = kSymbolPairs[acc & 0xFFF];
    o[0] = high[0];
    o[1] = high[1];
    o[2] = low[0];
    o[3] = low[1];
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    const uint32_t acc = uint32_t{bytes[i]} << 16 | (rest == 2 ? uint32_t{bytes[i + 1]} << 8 : 0u);
    o[0] = kAlphabet[acc >> 18];
    o[1] = kAlphabet[(acc >> 12) & 63];
    if (rest == 2) o[2] = kAlphabet[(acc >> 6) & 63];
  }
  return out;
}

}  // namespace quorvantile_log::encoding
