// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "ffi/buffer.hpp"

#include <cstdlib>
#include <cstring>
#include <new>

namespace quorvantile_log::ffi {
namespace {

uint8_t* allocate(uint64_t size) {
  if (size > kMaxCapacity) throw UnexpectedFailure{"capacity overflow"};
  if (size == 0) return nullptr;
  void* data = std::malloc(static_cast<std::size_t>(size));
  if (data == nullptr) throw std::bad_alloc();
  return static_cast<uint8_t*>(data);
}

}  // namespace

std::optional<std::string_view> buffer_fault(const RustBuffer& buf) {
  if (buf.data == nullptr) {
    if (buf.capacity != 0) return "null RustBuffer had non-zero capacity";
    if (buf.len != 0) return "null RustBuffer had non-zero length";
    return std::nullopt;
  }
  if (buf.len > buf.capacity) return "RustBuffer length exceeds capacity";
  return std::nullopt;
}

RustBuffer buffer_from(ByteView bytes) {
  RustBuffer buf{bytes.size(), bytes.size(), allocate(bytes.size())};
  if (!bytes.empty()) std::memcpy(buf.data, bytes.data(), bytes.size());
  return buf;
}

RustBuffer buffer_alloc(uint64_t size) {
  RustBuffer buf{size, size, allocate(size)};
  if (size != 0) std::memset(buf.data, 0, static_cast<std::size_t>(size));
  return buf;
}

// Only an allocation the library made has a capacity; an empty buffer's data pointer may be any
// value the caller chose and is never handed to the allocator.
void buffer_release(const RustBuffer& buf) {
  if (buf.capacity != 0) std::free(buf.data);
}

void set_unexpected(RustCallStatus* status, std::string_view message) {
  status->code = QV_CALL_UNEXPECTED_ERROR;
  status->error_buf = buffer_from(quorvantile_crypto::as_bytes(message));
}

void set_error(RustCallStatus* status, RustBuffer encoded_error) {
  status->code = QV_CALL_ERROR;
  status->error_buf = encoded_error;
}

ByteView OwnedArg::bytes() const {
  if (auto fault = buffer_fault(buf_)) throw UnexpectedFailure{*fault};
  if (buf_.len == 0) return {};
  return {buf_.data, static_cast<std::size_t>(buf_.len)};
}

}  // namespace quorvantile_log::ffi
