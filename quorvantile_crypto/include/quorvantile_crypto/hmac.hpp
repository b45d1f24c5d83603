// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// HMAC-SHA-256 (RFC 2104).
#include <initializer_list>

#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto {

// HMAC-SHA-256 of the concatenated message parts under the key.
Hash32 hmac_sha256(ByteView key, std::initializer_list<ByteView> message);

}  // namespace quorvantile_crypto
