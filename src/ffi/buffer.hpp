// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Library-owned RustBuffers: allocation, validation, release, and the call-status writers.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ffi/abi.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::ffi {

using quorvantile_crypto::ByteView;

// A failure the boundary reports with status code 2 (a caller contract violation or an internal
// fault). Thrown inside an export and caught by its wrapper.
struct UnexpectedFailure {
  explicit UnexpectedFailure(std::string_view text) : message(text) {}
  std::string message;  // owned: the text may be composed at the throw site
};

// The message of a buffer that must not be touched, or nothing when it is well formed.
std::optional<std::string_view> buffer_fault(const RustBuffer& buf);

// The largest capacity a buffer may have (the signed 64-bit range).
inline constexpr uint64_t kMaxCapacity = 0x7FFF'FFFF'FFFF'FFFFull;

// A new library buffer holding a copy of the bytes (capacity = len = size); all-zero when empty.
RustBuffer buffer_from(ByteView bytes);
// A new buffer of `size` zero bytes. Throws UnexpectedFailure{"capacity overflow"} beyond 2^63 - 1.
RustBuffer buffer_alloc(uint64_t size);
// Releases a well-formed buffer (never frees one that fails `buffer_fault`); a buffer of
// capacity 0 owns no allocation, whatever its data pointer.
void buffer_release(const RustBuffer& buf);

// Status writers. A successful call never writes the status.
void set_unexpected(RustCallStatus* status, std::string_view message);
void set_error(RustCallStatus* status, RustBuffer encoded_error);

// An argument buffer owned by the call: released when the call ends, whatever happened, unless
// it is malformed (then it is not ours to free).
class OwnedArg {
 public:
  explicit OwnedArg(RustBuffer buf) : buf_(buf) {}
  OwnedArg(const OwnedArg&) = delete;
  OwnedArg& operator=(const OwnedArg&) = delete;
  ~OwnedArg() {
    if (!buffer_fault(buf_)) buffer_release(buf_);
  }
  // The bytes, after the buffer checks; throws UnexpectedFailure for a malformed buffer.
  ByteView bytes() const;

 private:
  RustBuffer buf_;
};

}  // namespace quorvantile_log::ffi
