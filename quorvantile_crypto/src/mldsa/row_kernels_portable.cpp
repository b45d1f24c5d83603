// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#include <stdexcept>

#include "mldsa/bit_packing.hpp"
#include "mldsa/params.hpp"
#include "mldsa/rounding.hpp"
#include "mldsa/row_kernels.hpp"

namespace quorvantile_crypto::mldsa::detail::portable {
namespace {

template <int Bits>
bool decode(int32_t gamma1, int32_t bound, const uint8_t* packed, std::span<Poly> z) {
  // |x| < bound as one unsigned comparison, accumulated without a branch.
  const auto span = static_cast<uint32_t>(2 * bound - 1);
  uint32_t out_of_range = 0;
  for (std::size_t s = 0; s < z.size(); ++s) {
    unpack_bits<Bits>(packed + s * 32 * Bits, z[s]);
    for (int32_t& x : z[s]) {
      x = gamma1 - x;
      out_of_range |= static_cast<uint32_t>(static_cast<uint32_t>(x + bound - 1) >= span);
    }
  }
  return out_of_range == 0;
}

template <int32_t Gamma2, int Bits>
void encode(const Poly& w, const HintMask& hinted, uint8_t* out) {
  Poly w1;
  for (std::size_t i = 0; i < kN; ++i) w1[i] = use_hint<Gamma2>(add_q_if_negative(w[i]), hinted[i] != 0);
  pack_bits<Bits>(w1, out);
}

}  // namespace

void dot_product_montgomery(Poly& out, std::span<const Poly* const> a, std::span<const Poly* const> b) {
  if (a.size() != b.size() || a.size() > kMaxRowTerms) throw std::invalid_argument("row product: matching term counts");
  for (std::size_t i = 0; i < kN; ++i) {
    int64_t sum = 0;
    for (std::size_t j = 0; j < a.size(); ++j) sum += int64_t{(*a[j])[i]} * (*b[j])[i];
    out[i] = montgomery_reduce(sum);
  }
}

bool decode_response(int z_bits, int32_t gamma1, int32_t bound, const uint8_t* packed, std::span<Poly> z) {
  switch (z_bits) {
    case 18: return decode<18>(gamma1, bound, packed, z);
    case 20: return decode<20>(gamma1, bound, packed, z);
  }
  throw std::invalid_argument("z coefficients have 18 or 20 bits");
}

void unpack_t1_shifted(const uint8_t* packed, Poly& t) {
  unpack_bits<10>(packed, t);
  for (int32_t& x : t) x <<= kDroppedBits;
}

void encode_w1_with_hints(int32_t gamma2, const Poly& w, const HintMask& hinted, uint8_t* out) {
  if (gamma2 == MlDsa44Params::gamma2) return encode<MlDsa44Params::gamma2, MlDsa44Params::w1_bits>(w, hinted, out);
  if (gamma2 == MlDsa65Params::gamma2) return encode<MlDsa65Params::gamma2, MlDsa65Params::w1_bits>(w, hinted, out);
  throw std::invalid_argument("gamma2 is (q - 1) / 88 or (q - 1) / 32");
}

}  // namespace quorvantile_crypto::mldsa::detail::portable
