#pragma once
// The signature's response vector z: BitUnpack with bound gamma1 (z = gamma1 - v for each packed
// v) and the norm check ||z||_inf < gamma1 - beta.
#include <array>

#include "mldsa/poly_ops.hpp"
#include "mldsa/row_kernels.hpp"
#include "quorvantile_crypto/bytes.hpp"

namespace quorvantile_crypto::mldsa::detail {

// packed holds l * z_poly_bytes bytes (vector loads stay within packed). False when any
// coefficient is out of range; every coefficient is checked, without an early exit.
template <class P>
bool decode_response(ByteView packed, std::array<Poly, P::l>& z, bool vector = avx2_enabled()) {
  constexpr int32_t bound = P::gamma1 - P::beta;
  if (vector) return avx2::decode_response(P::z_bits, P::gamma1, bound, packed.data(), packed.size(), z);
  return portable::decode_response(P::z_bits, P::gamma1, bound, packed.data(), z);
}

}  // namespace quorvantile_crypto::mldsa::detail
