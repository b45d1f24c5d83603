// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Point strings of ECVRF-P256-SHA256-TAI: SEC1 compressed (0x02 / 0x03 and x) on output; on input
// also the compact form 0x05 and x, whose y is the smaller of the two square roots.
#include <array>
#include <cstdint>
#include <optional>

#include "vrf_p256/ec.hpp"

namespace quorvantile_crypto::vrf_p256 {

inline constexpr std::size_t kPointStringSize = 33;
using PointString = std::array<uint8_t, kPointStringSize>;

// A decoded point together with its canonical (compressed) string.
struct DecodedPoint {
  Point point;
  PointString canonical;
};

// The compressed string of a point; nothing for the identity, which has no string.
std::optional<PointString> point_to_string(const EC_POINT* point, BN_CTX* ctx);

// Decodes exactly 33 bytes: first byte 0x02, 0x03 or 0x05, x < p and on the curve. Nothing for
// any other input. A decoded point is never the identity.
std::optional<DecodedPoint> string_to_point(ByteView string, BN_CTX* ctx);

}  // namespace quorvantile_crypto::vrf_p256
