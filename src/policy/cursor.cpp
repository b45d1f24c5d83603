// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "policy/cursor.hpp"

#include <string>

namespace quorvantile_log::policy {
namespace {

Error overrun(std::size_t wanted, std::size_t len, std::size_t offset) {
  return Error::malformed_policy("field of " + std::to_string(wanted) + " bytes overruns the " + std::to_string(len) +
                                 "-byte buffer at offset " + std::to_string(offset));
}

}  // namespace

Result<ByteView> Cursor::take(std::size_t n) {
  if (n > data_.size() - offset_) return std::unexpected(overrun(n, data_.size(), offset_));
  const ByteView out = data_.subspan(offset_, n);
  offset_ += n;
  return out;
}

Result<uint64_t> Cursor::big_endian(std::size_t width) {
  const auto bytes = take(width);
  if (!bytes) return std::unexpected(bytes.error());
  uint64_t v = 0;
  for (uint8_t b : *bytes) v = v << 8 | b;
  return v;
}

Result<uint8_t> Cursor::u8() {
  const auto v = big_endian(1);
  if (!v) return std::unexpected(v.error());
  return static_cast<uint8_t>(*v);
}

Result<uint16_t> Cursor::u16() {
  const auto v = big_endian(2);
  if (!v) return std::unexpected(v.error());
  return static_cast<uint16_t>(*v);
}

Result<uint32_t> Cursor::u32() {
  const auto v = big_endian(4);
  if (!v) return std::unexpected(v.error());
  return static_cast<uint32_t>(*v);
}

Result<uint64_t> Cursor::u64() { return big_endian(8); }

Result<ByteView> Cursor::lp() {
  const std::size_t start = offset_;
  const auto count = u32();
  if (!count) return std::unexpected(count.error());
  auto bytes = take(*count);
  // The whole field either is read or is not: a short body leaves the count unread too.
  if (!bytes) offset_ = start;
  return bytes;
}

}  // namespace quorvantile_log::policy
