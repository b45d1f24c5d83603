// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Arithmetic modulo the P-256 group order n on fixed-width values, for the secret scalars of the
// prover (the key x and the nonce k). Every operation runs the same instructions and touches the
// same memory whatever the values: no BIGNUM, whose word count follows the value, sees a secret.
#include "vrf_p256/ec.hpp"

namespace quorvantile_crypto::vrf_p256 {

// (a * b + c) mod n for big-endian a, b, c below n, written to out (which may alias an input).
void mul_add_mod_n(const Bytes32& a, const Bytes32& b, const Bytes32& c, Bytes32& out);

}  // namespace quorvantile_crypto::vrf_p256
