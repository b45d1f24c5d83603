// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Note key ids: the first 4 bytes, big-endian, of SHA-256(name || 0x0A || type header || key).
#include <cstdint>
#include <string_view>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_log::note {

// `key_bytes` is the type header followed by the key material.
uint32_t compute_key_id(std::string_view name, quorvantile_crypto::ByteView key_bytes);

}  // namespace quorvantile_log::note
