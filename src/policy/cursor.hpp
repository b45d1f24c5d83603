// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A reader over one byte slice of a signed policy (the envelope, or the record inside it). Every
// read checks the remaining length first; a read that would pass the end fails without moving,
// naming the bytes it wanted, the slice length and how far the slice had been consumed.
#include <cstddef>
#include <cstdint>

#include "error/error.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::policy {

using quorvantile_crypto::ByteView;

class Cursor {
 public:
  explicit Cursor(ByteView data) : data_(data) {}

  Result<uint8_t> u8();
  Result<uint16_t> u16();
  Result<uint32_t> u32();
  Result<uint64_t> u64();
  // The next n bytes.
  Result<ByteView> take(std::size_t n);
  // A u32 big-endian count, then that many bytes.
  Result<ByteView> lp();

  std::size_t offset() const { return offset_; }
  bool at_end() const { return offset_ == data_.size(); }

 private:
  Result<uint64_t> big_endian(std::size_t width);

  ByteView data_;
  std::size_t offset_ = 0;
};

}  // namespace quorvantile_log::policy
