// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Key ids in verifier keys: exactly 8 hexadecimal digits (either case), read big-endian.
#include <cstdint>
#include <span>
#include <string>

#include "error/error.hpp"

namespace quorvantile_log::encoding {

// Fails with the MalformedNote detail "invalid hex character".
Result<uint32_t> decode_key_id(std::span<const char, 8> hex);

// Lowercase, zero-padded to 8 digits: the form of key ids in texts and messages.
std::string hex8(uint32_t value);

}  // namespace quorvantile_log::encoding
