// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Scalars modulo the group order L = 2^252 + 27742317777372353535851937790883648493.
// All operations are constant time in the scalar values.
#include "ct/choice.hpp"
#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace quorvantile_crypto::ed25519 {

// A 256-bit little-endian integer. The reducing operations below always return values below L;
// they accept any 256-bit input.
struct Scalar {
  std::array<uint8_t, 32> bytes{};
};

Scalar scalar_reduce32(std::span<const uint8_t, 32> bytes);  // bytes mod L
Scalar scalar_reduce64(std::span<const uint8_t, 64> bytes);  // bytes mod L (e.g. a SHA-512 digest)
bool scalar_is_canonical(std::span<const uint8_t, 32> bytes);  // bytes < L
std::optional<Scalar> scalar_parse(std::span<const uint8_t, 32> bytes);  // canonical bytes only
Scalar scalar_muladd(const Scalar& a, const Scalar& b, const Scalar& c);  // a*b + c mod L
ct::Choice scalar_ct_equal(const Scalar& a, const Scalar& b);  // byte equality without early exit

}  // namespace quorvantile_crypto::ed25519
