// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The signature's response vector z: BitUnpack with bound gamma1 (z = gamma1 - v for each packed
// v) and the norm check ||z||_inf < gamma1 - beta.
#include <array>

#include "mldsa/bit_packing.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa::detail {

// packed holds l * z_poly_bytes bytes. False as soon as a coefficient is out of range.
template <class P>
bool decode_response(ByteView packed, std::array<Poly, P::l>& z) {
  constexpr int32_t bound = P::gamma1 - P::beta;
  for (std::size_t s = 0; s < z.size(); ++s) {
    unpack_bits<P::z_bits>(packed.data() + s * P::z_poly_bytes, z[s]);
    for (int32_t& x : z[s]) {
      x = P::gamma1 - x;
      if (x >= bound || x <= -bound) return false;
    }
  }
  return true;
}

}  // namespace quorvantile_crypto::mldsa::detail
