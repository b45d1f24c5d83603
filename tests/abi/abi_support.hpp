// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A C client's view of the library: buffers built through the exported buffer functions, encoded
// arguments, and readers for statuses and error buffers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "quorvantile_log.h"

namespace qv_abi {

using Bytes = std::vector<uint8_t>;

inline RustBuffer buffer(const Bytes& bytes) {
  RustCallStatus status{};
  return ffi_quorvantile_log_rustbuffer_from_bytes(ForeignBytes{static_cast<int32_t>(bytes.size()), bytes.data()},
                                                   &status);
}

inline void put_i32(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

// sequence<u8>
inline Bytes enc_bytes(const Bytes& b) {
  Bytes out(4 + b.size());
  const uint32_t n = static_cast<uint32_t>(b.size());
  for (int i = 0; i < 4; ++i) out[static_cast<std::size_t>(i)] = static_cast<uint8_t>(n >> (24 - 8 * i));
  for (std::size_t i = 0; i < b.size(); ++i) out[4 + i] = b[i];
  return out;
}

// sequence<sequence<u8>>
inline Bytes enc_bytes_list(const std::vector<Bytes>& list) {
  Bytes out;
  put_i32(out, static_cast<uint32_t>(list.size()));
  for (const auto& b : list) {
    for (uint8_t x : enc_bytes(b)) out.push_back(x);
  }
  return out;
}

// sequence<string>
inline Bytes enc_string_list(const std::vector<std::string>& list) {
  Bytes out;
  put_i32(out, static_cast<uint32_t>(list.size()));
  for (const auto& s : list) {
    put_i32(out, static_cast<uint32_t>(s.size()));
    for (char c : s) out.push_back(static_cast<uint8_t>(c));
  }
  return out;
}

inline RustBuffer bytes_arg(const Bytes& b) { return buffer(enc_bytes(b)); }
inline RustBuffer bytes_list_arg(const std::vector<Bytes>& l) { return buffer(enc_bytes_list(l)); }
inline RustBuffer string_arg(std::string_view s) { return buffer(Bytes(s.begin(), s.end())); }
inline RustBuffer string_list_arg(const std::vector<std::string>& l) { return buffer(enc_string_list(l)); }

inline Bytes take(RustBuffer buf) {
  Bytes out(static_cast<std::size_t>(buf.len));
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = buf.data[i];
  RustCallStatus status{};
  ffi_quorvantile_log_rustbuffer_free(buf, &status);
  return out;
}

// The message of a non-zero status (decoding the VerifyError of code 1), releasing the buffer.
inline std::string status_message(RustCallStatus& status) {
  Bytes raw = take(status.error_buf);
  status.error_buf = RustBuffer{0, 0, nullptr};
  if (status.code == 1) {
    if (raw.size() < 8) return "<short VerifyError>";
    return std::string(raw.begin() + 8, raw.end());
  }
  return std::string(raw.begin(), raw.end());
}

}  // namespace qv_abi
