// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// ML-DSA constants and the three parameter sets, with the encoded sizes they imply.
#include <cstddef>
#include <cstdint>

namespace quorvantile_crypto::mldsa::detail {

inline constexpr int32_t kQ = 8380417;
inline constexpr int kN = 256;
inline constexpr int kDroppedBits = 13;  // d: t = t1 * 2^d + t0
inline constexpr std::size_t kSeedBytes = 32;
inline constexpr std::size_t kTrBytes = 64;
inline constexpr std::size_t kMuBytes = 64;
inline constexpr std::size_t kT1PolyBytes = 320;  // 256 coefficients of 10 bits

constexpr int bit_length(uint32_t x) {
  int n = 0;
  for (; x != 0; x >>= 1) ++n;
  return n;
}

template <int K, int L, int Tau, int Lambda, int Gamma1Bits, int32_t Gamma2, int Beta, int Omega>
struct ParameterSetOf {
  static constexpr int k = K;  // rows of A
  static constexpr int l = L;  // columns of A
  static constexpr int tau = Tau;  // non-zero coefficients of the challenge
  static constexpr int32_t gamma1 = int32_t{1} << Gamma1Bits;
  static constexpr int32_t gamma2 = Gamma2;
  static constexpr int32_t beta = Beta;
  static constexpr int omega = Omega;  // maximum number of hints

  static constexpr std::size_t ctilde_bytes = Lambda / 4;
  static constexpr int z_bits = Gamma1Bits + 1;
  static constexpr std::size_t z_poly_bytes = 32 * z_bits;
  static constexpr int32_t w1_modulus = (kQ - 1) / (2 * Gamma2);
  static constexpr int w1_bits = bit_length(static_cast<uint32_t>(w1_modulus - 1));
  static constexpr std::size_t w1_poly_bytes = 32 * w1_bits;

  static constexpr std::size_t public_key_bytes = kSeedBytes + K * kT1PolyBytes;
  static constexpr std::size_t signature_bytes = ctilde_bytes + L * z_poly_bytes + Omega + K;
};

using MlDsa44Params = ParameterSetOf<4, 4, 39, 128, 17, (kQ - 1) / 88, 78, 80>;
using MlDsa65Params = ParameterSetOf<6, 5, 49, 192, 19, (kQ - 1) / 32, 196, 55>;
using MlDsa87Params = ParameterSetOf<8, 7, 60, 256, 19, (kQ - 1) / 32, 120, 75>;

static_assert(MlDsa44Params::public_key_bytes == 1312 && MlDsa44Params::signature_bytes == 2420);
static_assert(MlDsa65Params::public_key_bytes == 1952 && MlDsa65Params::signature_bytes == 3309);
static_assert(MlDsa87Params::public_key_bytes == 2592 && MlDsa87Params::signature_bytes == 4627);
static_assert(MlDsa44Params::w1_bits == 6 && MlDsa65Params::w1_bits == 4 && MlDsa87Params::w1_bits == 4);

}  // namespace quorvantile_crypto::mldsa::detail
