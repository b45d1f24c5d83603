// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// ECDSA verification over P-521 with SHA-512 (FIPS 186-5).
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::ecdsa_p521 {

inline constexpr std::size_t kScalarSize = 66;
inline constexpr std::size_t kPublicKeySize = 1 + 2 * kScalarSize;  // 0x04 || X || Y
inline constexpr std::size_t kSignatureSize = 2 * kScalarSize;      // r || s, big-endian

// The key must be the uncompressed SEC1 form of a point on the curve; r and s must lie in
// 1..n-1. High s values are accepted (no low-S rule). False for any failure.
bool verify(ByteView public_key, ByteView message, ByteView signature);

}  // namespace quorvantile_crypto::ecdsa_p521
