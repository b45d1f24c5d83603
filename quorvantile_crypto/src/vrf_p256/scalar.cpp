// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "vrf_p256/scalar.hpp"

#include <algorithm>
#include <stdexcept>

#include "ct/valgrind_taint.hpp"

namespace quorvantile_crypto::vrf_p256 {

ct::Choice ct_less_be(ByteView a, ByteView b) {
  // Subtract b from a from the least significant byte up; a < b exactly when a borrow remains.
  uint64_t borrow = 0;
  for (std::size_t i = a.size(); i-- > 0;) {
    const uint64_t diff = uint64_t{a[i]} - uint64_t{b[i]} - borrow;
    borrow = ct::value_barrier((diff >> 8) & 1U);
  }
  return ct::Choice::from_bit(borrow);
}

ct::Choice ct_is_zero(ByteView bytes) {
  uint64_t acc = 0;
  for (uint8_t byte : bytes) acc |= byte;
  return ct::equal_small(ct::value_barrier(acc), 0);
}

CryptoResult<void> secret_scalar(ByteView secret, Bytes32& x) {
  if (secret.size() != kScalarSize) return std::unexpected(CryptoError::invalid_length(kScalarSize, secret.size()));
  // A rejected key is reported, so the outcome of each check is public.
  if (!ct_less_be(secret, curve().n_bytes).declassify()) {
    return std::unexpected(CryptoError::vrf("secret key is not a canonical P-256 scalar"));
  }
  if (ct_is_zero(secret).declassify()) return std::unexpected(CryptoError::vrf("secret key scalar is zero"));
  std::copy(secret.begin(), secret.end(), x.begin());
  QV_CT_SECRET(x.data(), x.size());  // the secret scalar
  return {};
}

Bn scalar_from_challenge(const Challenge& c) {
  Bn scalar = bn_from_be(c);
  if (BN_cmp(scalar.get(), curve().n) >= 0) {
    throw std::runtime_error("a 16-byte big-endian value is always a canonical P-256 scalar");
  }
  return scalar;
}

}  // namespace quorvantile_crypto::vrf_p256
