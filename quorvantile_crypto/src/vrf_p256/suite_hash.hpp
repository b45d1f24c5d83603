// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The three hashes of ECVRF-P256-SHA256-TAI, each SHA-256 over the suite byte 0x01, a front byte,
// a body and the back byte 0x00: encode to curve (try and increment), challenge, proof to hash.
#include <optional>

#include "openssl_util.hpp"
#include "vrf_p256/point_string.hpp"
#include "vrf_p256/scalar.hpp"

namespace quorvantile_crypto::vrf_p256 {

inline constexpr uint8_t kSuite = 0x01;

// H for the salt (the 33 public-key bytes as given) and alpha: the first counter value 0..255 whose
// digest, read as 0x02 || digest, is a curve point. Nothing when all 256 fail.
std::optional<DecodedPoint> hash_to_curve_tai(ByteView salt, ByteView alpha, EVP_MD_CTX* md, BN_CTX* ctx);

// The first 16 bytes of the digest of the five point strings Y, H, Gamma, U, V.
Challenge challenge(const PointString& y, const PointString& h, const PointString& gamma, const PointString& u,
                    const PointString& v, EVP_MD_CTX* md);

// beta = SHA-256(0x01 || 0x03 || point_to_string(Gamma) || 0x00).
Hash32 gamma_to_hash(const PointString& gamma, EVP_MD_CTX* md);

}  // namespace quorvantile_crypto::vrf_p256
