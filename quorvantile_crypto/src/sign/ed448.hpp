// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Ed448 verification (RFC 8032, pure, empty context).
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::ed448 {

inline constexpr std::size_t kPublicKeySize = 57;
inline constexpr std::size_t kSignatureSize = 114;

// False for wrong lengths, a key or R that does not decode, a non-canonical S or a failed
// equation.
bool verify(ByteView public_key, ByteView message, ByteView signature);

}  // namespace quorvantile_crypto::ed448
