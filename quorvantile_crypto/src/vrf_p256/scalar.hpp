// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Scalars modulo the P-256 group order n, read from big-endian bytes, with the constant-time byte
// comparisons secret scalars and nonces need.
#include <array>
#include <cstdint>

#include "ct/choice.hpp"
#include "quorvantile_crypto/error.hpp"
#include "vrf_p256/ec.hpp"

namespace quorvantile_crypto::vrf_p256 {

inline constexpr std::size_t kScalarSize = 32;
inline constexpr std::size_t kChallengeSize = 16;
using Challenge = std::array<uint8_t, kChallengeSize>;

// a < b for equal-length big-endian strings, without data-dependent branches.
ct::Choice ct_less_be(ByteView a, ByteView b);
// All bytes zero, without data-dependent branches.
ct::Choice ct_is_zero(ByteView bytes);

// The secret key as a scalar x: 32 bytes, canonical (x < n), non-zero, written big-endian into
// the caller's holder. Failures: InvalidLength(32, got), Vrf "secret key is not a canonical P-256
// scalar", Vrf "secret key scalar is zero". The checks are constant time; only their outcome,
// which the caller reports, is revealed.
CryptoResult<void> secret_scalar(ByteView secret, Bytes32& x);

// The 16 challenge bytes read big-endian (always below n).
Bn scalar_from_challenge(const Challenge& c);

}  // namespace quorvantile_crypto::vrf_p256
