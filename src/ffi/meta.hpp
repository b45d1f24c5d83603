#pragma once
// Compile-time construction of the interface-description records and their checksums.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorvantile_log::ffi::meta {

// Type codes of the description format.
enum TypeCode : uint8_t {
  kU8 = 0x00,
  kU16 = 0x01,
  kU32 = 0x02,
  kU64 = 0x03,
  kBool = 0x0A,
  kString = 0x0B,
  kOptional = 0x0C,
  kRecord = 0x0D,
  kEnum = 0x0E,
  kSequence = 0x11,
  kResult = 0x17,
  kNone = 0xFF,
};

// A growable constexpr byte buffer; records are built in one of these, then copied into an array
// of their exact length.
struct Buf {
  std::array<uint8_t, 4096> data{};
  std::size_t len = 0;

  constexpr Buf& byte(uint8_t b) {
    data[len++] = b;
    return *this;
  }
  constexpr Buf& raw(const Buf& other) {
    for (std::size_t i = 0; i < other.len; ++i) byte(other.data[i]);
    return *this;
  }
  constexpr Buf& text(std::string_view s) {
    for (char c : s) byte(static_cast<uint8_t>(c));
    return *this;
  }
  // One length byte, then the bytes.
  constexpr Buf& short_string(std::string_view s) {
    byte(static_cast<uint8_t>(s.size()));
    return text(s);
  }
  // A 16-bit little-endian length, then the bytes.
  constexpr Buf& doc(std::string_view s) { return doc_length(s.size()).text(s); }
  // The length of a documentation text written next in pieces.
  constexpr Buf& doc_length(std::size_t n) {
    byte(static_cast<uint8_t>(n & 0xFF));
    return byte(static_cast<uint8_t>(n >> 8));
  }
};

constexpr Buf type(uint8_t code) { return Buf{}.byte(code); }
constexpr Buf sequence_of(const Buf& inner) { return Buf{}.byte(kSequence).raw(inner); }
constexpr Buf optional_of(const Buf& inner) { return Buf{}.byte(kOptional).raw(inner); }
// A named type is written with the module path of the namespace that describes it.
constexpr Buf named(uint8_t code, std::string_view module, std::string_view name) {
  return Buf{}.byte(code).short_string(module).short_string(name);
}
constexpr Buf enum_type(std::string_view module, std::string_view name) { return named(kEnum, module, name); }
constexpr Buf record_type(std::string_view module, std::string_view name) { return named(kRecord, module, name); }

template <std::size_t N>
constexpr std::array<uint8_t, N> to_array(const Buf& buf) {
  std::array<uint8_t, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = buf.data[i];
  return out;
}

// 64-bit FNV-1a folded to 16 bits: h ^ h>>16 ^ h>>32 ^ h>>48, low 16 bits.
constexpr uint64_t fnv1a64(const uint8_t* data, std::size_t len) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (std::size_t i = 0; i < len; ++i) {
    h ^= data[i];
    h *= 0x100000001b3ull;
  }
  return h;
}

constexpr uint16_t fold16(uint64_t h) { return static_cast<uint16_t>(h ^ (h >> 16) ^ (h >> 32) ^ (h >> 48)); }

template <std::size_t N>
constexpr uint16_t checksum(const std::array<uint8_t, N>& record) {
  return fold16(fnv1a64(record.data(), N));
}

}  // namespace quorvantile_log::ffi::meta
