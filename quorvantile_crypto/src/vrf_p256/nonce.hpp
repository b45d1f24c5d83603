// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The deterministic nonce of ECVRF-P256-SHA256-TAI: RFC 6979 section 3.2 with HMAC-SHA-256, the
// secret x and the message SHA-256(point_to_string(H)), no additional data.
#include "vrf_p256/ec.hpp"
#include "vrf_p256/point_string.hpp"

namespace quorvantile_crypto::vrf_p256 {

// k in [1, n-1], big-endian, written into the caller's holder, for the secret scalar x
// (big-endian). Every intermediate (K, V) is wiped.
void rfc6979_nonce(const Bytes32& x, const PointString& h, Bytes32& k_out);

}  // namespace quorvantile_crypto::vrf_p256
