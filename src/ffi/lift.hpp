#pragma once
// Decoding of buffer-carried arguments. Each lifter consumes exactly one encoded value and
// requires the buffer to be exhausted; failures carry the reason text the caller sees after
// "Failed to convert arg '{name}':\n".
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::ffi {

using quorvantile_crypto::Bytes;
using quorvantile_crypto::ByteView;

template <class T>
using Lifted = std::expected<T, std::string>;

class Reader {
 public:
  explicit Reader(ByteView data) : data_(data) {}

  std::size_t remaining() const { return data_.size() - pos_; }
  Lifted<uint8_t> u8();
  Lifted<int32_t> i32();
  // A signed 32-bit count or length; negative values are rejected.
  Lifted<std::size_t> count();
  Lifted<ByteView> take(std::size_t n);  // fails with "(remaining < n)" when short
  // The "junk data" check that ends every lift.
  Lifted<void> finish() const;

 private:
  Lifted<void> need(std::size_t n) const;

  ByteView data_;
  std::size_t pos_ = 0;
};

// Byte strings are lifted as views into the argument buffer, which the call owns until it returns:
// no copy, and one allocation for a list.
Lifted<ByteView> lift_bytes(ByteView buffer);                        // sequence<u8>
Lifted<std::vector<ByteView>> lift_bytes_list(ByteView buffer);      // sequence<sequence<u8>>
Lifted<std::vector<std::string_view>> lift_string_list(ByteView buffer);  // sequence<string>
Lifted<std::optional<ByteView>> lift_optional_bytes(ByteView buffer);   // optional<sequence<u8>>
// An enumeration's variant number (1..variant_count); `enum_name` names it in the message.
Lifted<int32_t> lift_enum(ByteView buffer, std::string_view enum_name, int32_t variant_count);

}  // namespace quorvantile_log::ffi
