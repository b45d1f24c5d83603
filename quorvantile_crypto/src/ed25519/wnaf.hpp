// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Width-w non-adjacent form of scalars, the digit strings of the variable-time double-scalar
// multiplications.
#include <cstdint>

#include "ed25519/scalar.hpp"

namespace quorvantile_crypto::ed25519 {

inline constexpr int kNafLength = 256 + 8;  // a final carry can land up to w - 1 <= 7 places past bit 255

// Width-w non-adjacent form of a 256-bit integer (2 <= w <= 8): odd digits in
// (-2^(w-1), 2^(w-1)), each nonzero digit followed by at least w - 1 zeros.
void wnaf(int8_t naf[kNafLength], const Scalar& s, int w);

}  // namespace quorvantile_crypto::ed25519
