// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The bodies behind every namespace's buffer-management exports.
#include <algorithm>
#include <cstring>

#include "ffi/buffer_exports.hpp"
#include "ffi/declare.hpp"

namespace quorvantile_log::ffi::buffer_calls {

RustBuffer alloc(uint64_t size, RustCallStatus* status) noexcept {
  return guarded(status, [&] { return buffer_alloc(size); });
}

RustBuffer from_bytes(ForeignBytes bytes, RustCallStatus* status) noexcept {
  return guarded(status, [&] {
    if (bytes.data == nullptr) {
      if (bytes.len != 0) throw UnexpectedFailure{"null ForeignBytes had non-zero length"};
      return RustBuffer{0, 0, nullptr};
    }
    if (bytes.len < 0) throw UnexpectedFailure{"bytes length negative or overflowed: TryFromIntError(())"};
    return buffer_from(ByteView(bytes.data, static_cast<std::size_t>(bytes.len)));
  });
}

void release(RustBuffer buf, RustCallStatus* status) noexcept {
  guarded(status, [&] {
    if (auto fault = buffer_fault(buf)) throw UnexpectedFailure{*fault};
    buffer_release(buf);
  });
}

RustBuffer reserve(RustBuffer buf, uint64_t additional, RustCallStatus* status) noexcept {
  return guarded(status, [&] {
    if (auto fault = buffer_fault(buf)) throw UnexpectedFailure{*fault};
    if (buf.capacity - buf.len >= additional) return buf;
    // The buffer is ours from here on: a failed growth releases it before reporting.
    if (additional > kMaxCapacity - buf.len) {
      buffer_release(buf);
      throw UnexpectedFailure{"capacity overflow"};
    }
    const uint64_t capacity = std::max<uint64_t>(
        {buf.capacity > kMaxCapacity / 2 ? kMaxCapacity : buf.capacity * 2, buf.len + additional, uint64_t{8}});
    RustBuffer grown{};
    try {
      grown = buffer_alloc(capacity);
    } catch (...) {
      buffer_release(buf);
      throw;
    }
    if (buf.len != 0) std::memcpy(grown.data, buf.data, static_cast<std::size_t>(buf.len));
    grown.len = buf.len;
    buffer_release(buf);
    return grown;
  });
}

}  // namespace quorvantile_log::ffi::buffer_calls
