// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The building blocks of ECVRF-EDWARDS25519-SHA512-TAI: secret expansion and the three hashes,
// each SHA-512 over the suite byte 0x03, a front byte, a body and the back byte 0x00.
#include <openssl/evp.h>

#include <array>
#include <optional>

#include "ed25519/group.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::vrf {

inline constexpr std::size_t kChallengeSize = 16;
using Challenge = std::array<uint8_t, kChallengeSize>;

// The RFC 8032 expansion of a seed: x from the clamped first half of SHA-512(seed), reduced
// modulo L, and the nonce prefix from the second half. Wiped on destruction.
struct ExpandedSecret {
  ed25519::Scalar x;
  std::array<uint8_t, 32> prefix{};

  ExpandedSecret() = default;
  ExpandedSecret(const ExpandedSecret&) = delete;
  ExpandedSecret& operator=(const ExpandedSecret&) = delete;
  ~ExpandedSecret();
};

void expand_secret(std::span<const uint8_t, 32> seed, ExpandedSecret& out, EVP_MD_CTX* md);

// H = 8*P for the first counter value 0..255 whose digest's first 32 bytes decode to a point P
// not of small order; nothing when all 256 fail. The salt is the public-key bytes as given.
std::optional<ed25519::Point> hash_to_curve_tai(ByteView salt, ByteView alpha, EVP_MD_CTX* md);

// The first 16 bytes of the digest of the five encodings Y, H, Gamma, U, V.
Challenge challenge(const ed25519::Encoding& y, const ed25519::Encoding& h, const ed25519::Encoding& gamma,
                    const ed25519::Encoding& u, const ed25519::Encoding& v, EVP_MD_CTX* md);
// c as a scalar (c is below 2^128, hence below L).
ed25519::Scalar challenge_scalar(const Challenge& c);

// beta = SHA-512(0x03 || 0x03 || encode(8 * Gamma) || 0x00).
Hash64 gamma_to_hash(const ed25519::Point& gamma, EVP_MD_CTX* md);

}  // namespace quorvantile_crypto::vrf
