// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Strict big-endian reader for the key-transparency proof encoding. Every read names the field it
// reads; a failure is MalformedKeytrans with the field name, the sizes and the offset. A nested
// reader over a sub-range reports offsets within that sub-range.
#include <cstdint>
#include <string_view>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::keytrans {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;
using quorvantile_crypto::Hash32;

class Reader {
 public:
  explicit Reader(ByteView data) : data_(data) {}

  std::size_t offset() const { return pos_; }
  std::size_t remaining() const { return data_.size() - pos_; }

  Result<uint8_t> u8(std::string_view name);
  Result<uint16_t> u16(std::string_view name);
  Result<uint32_t> u32(std::string_view name);
  Result<uint64_t> u64(std::string_view name);
  // The next n bytes, borrowed from the input.
  Result<ByteView> take(std::size_t n, std::string_view name);
  // A 1- or 2-byte length, then that many bytes; both reads carry the same name.
  Result<ByteView> vec_u8(std::string_view name);
  Result<ByteView> vec_u16(std::string_view name);
  // Succeeds only at the end of the input.
  Result<void> finish(std::string_view name) const;

 private:
  template <class T>
  Result<T> integer(std::string_view name);

  ByteView data_;
  std::size_t pos_ = 0;
};

// Appends opaque<0..2^8-1>: a 1-byte length and the bytes.
Result<void> write_vec_u8(Bytes& buffer, ByteView bytes, std::string_view name);

// UpdateValue: opaque<0..2^32-1> of the value bytes.
struct UpdateValue {
  static Result<Bytes> encode(ByteView bytes);
  // Appends the same encoding to an existing buffer.
  static Result<void> append(Bytes& buffer, ByteView bytes);
};

}  // namespace quorvantile_log::keytrans
