// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// ECVRF-EDWARDS25519-SHA512-TAI (RFC 9381, suite string 0x03), nonces as RFC 8032. Secret keys are
// 32-byte RFC 8032 seeds; public keys and Gamma are 32-byte edwards25519 encodings, decoded
// leniently (y taken modulo p); proofs are 80 bytes Gamma || c (16, little-endian) || s (32,
// little-endian, below L); beta is 64 bytes.
#include <array>
#include <cstdint>
#include <optional>

#include "quorvantile_crypto/bytes.hpp"
#include "quorvantile_crypto/error.hpp"

namespace quorvantile_crypto::vrf {

inline constexpr uint8_t kSuiteString = 0x03;
inline constexpr std::size_t kSecretKeySize = 32;
inline constexpr std::size_t kPublicKeySize = 32;
inline constexpr std::size_t kProofSize = 80;

using PublicKey = std::array<uint8_t, kPublicKeySize>;
using Proof = std::array<uint8_t, kProofSize>;

// Y = x*B for the expanded seed. Fails only for a secret that is not 32 bytes.
CryptoResult<PublicKey> ecvrf_public_key(ByteView secret_key);

// The proof for alpha under the seed. Secrets are wiped before return on every path.
CryptoResult<Proof> prove(ByteView secret_key, ByteView alpha);

// An error only for a public key that is not 32 bytes or a proof that is not 80 bytes; otherwise
// beta when the proof verifies (key validation always on), nothing when it does not.
CryptoResult<std::optional<Hash64>> verify(ByteView public_key, ByteView alpha, ByteView proof);

// beta from Gamma alone; c and s are not examined. Fails for a proof that is not 80 bytes or
// whose Gamma does not decode.
CryptoResult<Hash64> proof_to_hash(ByteView proof);

}  // namespace quorvantile_crypto::vrf
