// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#pragma once
// Field elements modulo the P-256 prime in Montgomery form, on OpenSSL's Montgomery
// multiplication: the few operations point decompression needs. Only public values pass here.
#include <optional>

#include "vrf_p256/ec.hpp"

namespace quorvantile_crypto::vrf_p256 {

// x^3 - 3x + b for x < p, in Montgomery form.
Bn curve_rhs_mont(const BIGNUM* x, BN_CTX* ctx);

// The square root a^((p+1)/4) of a Montgomery-form element, in plain form, when a is a square;
// nothing otherwise. p = 3 mod 4, and (p+1)/4 = 2^254 - 2^222 + 2^190 + 2^94 is reached with 253
// squarings and 7 multiplications.
std::optional<Bn> sqrt_mont(const BIGNUM* a, BN_CTX* ctx);

}  // namespace quorvantile_crypto::vrf_p256
