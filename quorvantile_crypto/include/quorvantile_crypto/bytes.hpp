// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Byte-string vocabulary shared by the cryptography component and the log library.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quorvantile_crypto {

using Bytes = std::vector<uint8_t>;
using ByteView = std::span<const uint8_t>;
using Hash32 = std::array<uint8_t, 32>;
using Hash64 = std::array<uint8_t, 64>;

inline ByteView as_bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

inline std::string_view as_text(ByteView bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace quorvantile_crypto
