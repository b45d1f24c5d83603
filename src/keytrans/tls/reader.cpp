// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/tls/reader.hpp"

#include "keytrans/tls/text.hpp"
#include <limits>

namespace quorvantile_log::keytrans {

template <class T>
Result<T> Reader::integer(std::string_view name) {
  auto bytes = take(sizeof(T), name);
  if (!bytes) return std::unexpected(std::move(bytes.error()));
  T v = 0;
  for (uint8_t b : *bytes) v = static_cast<T>((v << 8) | b);
  return v;
}

Result<uint8_t> Reader::u8(std::string_view name) { return integer<uint8_t>(name); }
Result<uint16_t> Reader::u16(std::string_view name) { return integer<uint16_t>(name); }
Result<uint32_t> Reader::u32(std::string_view name) { return integer<uint32_t>(name); }
Result<uint64_t> Reader::u64(std::string_view name) { return integer<uint64_t>(name); }

Result<ByteView> Reader::take(std::size_t n, std::string_view name) {
  if (n > std::numeric_limits<std::size_t>::max() - pos_)
    return std::unexpected(malformed(name, ": length ", n, " overflows offset"));
  if (n > remaining())
    return std::unexpected(malformed(name, ": need ", n, " bytes at offset ", pos_, ", only ", remaining(), " available"));
  ByteView out = data_.subspan(pos_, n);
  pos_ += n;
  return out;
}

Result<ByteView> Reader::vec_u8(std::string_view name) {
  auto len = u8(name);
  if (!len) return std::unexpected(std::move(len.error()));
  return take(*len, name);
}

Result<ByteView> Reader::vec_u16(std::string_view name) {
  auto len = u16(name);
  if (!len) return std::unexpected(std::move(len.error()));
  return take(*len, name);
}

Result<void> Reader::finish(std::string_view name) const {
  if (remaining() != 0)
    return std::unexpected(malformed(name, ": ", remaining(), " trailing byte(s) after struct"));
  return {};
}

Result<void> write_vec_u8(Bytes& buffer, ByteView bytes, std::string_view name) {
  if (bytes.size() > 255)
    return std::unexpected(malformed(name, ": ", bytes.size(), " bytes exceeds the <0..2^8-1> vector bound (255)"));
  buffer.push_back(static_cast<uint8_t>(bytes.size()));
  buffer.insert(buffer.end(), bytes.begin(), bytes.end());
  return {};
}

Result<void> UpdateValue::append(Bytes& buffer, ByteView bytes) {
  if (bytes.size() > std::numeric_limits<uint32_t>::max())
    return std::unexpected(malformed("UpdateValue.value: ", bytes.size(), " bytes exceeds the <0..2^32-1> vector bound"));
  const auto n = static_cast<uint32_t>(bytes.size());
  for (int shift = 24; shift >= 0; shift -= 8) buffer.push_back(static_cast<uint8_t>(n >> shift));
  buffer.insert(buffer.end(), bytes.begin(), bytes.end());
  return {};
}

Result<Bytes> UpdateValue::encode(ByteView bytes) {
  Bytes out;
  if (bytes.size() <= std::numeric_limits<uint32_t>::max()) out.reserve(4 + bytes.size());
  auto appended = append(out, bytes);
  if (!appended) return std::unexpected(std::move(appended.error()));
  return out;
}

}  // namespace quorvantile_log::keytrans
