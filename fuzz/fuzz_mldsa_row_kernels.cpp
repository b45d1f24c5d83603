// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The AVX2 row kernels of ML-DSA verification against the portable ones on arbitrary bytes: z
// decoding with its norm check (both coefficient widths), t1 unpacking, UseHint with the w1
// encoding (both gamma2), and the fused row product on factors brought into its input bounds.
// Byte 0 picks the kernel; the rest is the packed input or the source of the values. Any
// difference in a result or an output aborts.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/row_kernels.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;

// n bytes of the input, repeated (or zeros) when it is shorter.
std::vector<uint8_t> stretch(const uint8_t* data, std::size_t size, std::size_t n) {
  std::vector<uint8_t> out(n, 0);
  for (std::size_t i = 0; size != 0 && i < n; ++i) out[i] = data[i % size];
  return out;
}

int32_t word(const std::vector<uint8_t>& bytes, std::size_t i) {
  return static_cast<int32_t>(uint32_t{bytes[4 * i]} | uint32_t{bytes[4 * i + 1]} << 8 | uint32_t{bytes[4 * i + 2]} << 16 |
                              uint32_t{bytes[4 * i + 3]} << 24);
}

// Maps x onto (-bound, bound).
int32_t within(int32_t x, int32_t bound) {
  return static_cast<int32_t>(static_cast<int64_t>(static_cast<uint32_t>(x)) % (2 * int64_t{bound} - 1)) - (bound - 1);
}

void check_decode(int bits, int32_t gamma1, int32_t bound, const uint8_t* data, std::size_t size) {
  const std::size_t polys = 1 + (size % 7);
  const auto packed = stretch(data, size, polys * 32 * static_cast<std::size_t>(bits));
  std::vector<Poly> expected(polys), got(polys);
  const bool expected_ok = portable::decode_response(bits, gamma1, bound, packed.data(), expected);
  const bool got_ok = avx2::decode_response(bits, gamma1, bound, packed.data(), packed.size(), got);
  if (expected_ok != got_ok || expected != got) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0 || !avx2_enabled()) return 0;
  const uint8_t kernel = data[0] % 6;
  ++data;
  --size;
  switch (kernel) {
    case 0: check_decode(18, MlDsa44Params::gamma1, MlDsa44Params::gamma1 - MlDsa44Params::beta, data, size); break;
    case 1: check_decode(20, MlDsa65Params::gamma1, MlDsa65Params::gamma1 - MlDsa65Params::beta, data, size); break;
    case 2: {
      const auto packed = stretch(data, size, kT1PolyBytes);
      Poly expected, got;
      portable::unpack_t1_shifted(packed.data(), expected);
      avx2::unpack_t1_shifted(packed.data(), packed.size(), got);
      if (expected != got) std::abort();
      break;
    }
    case 3:
    case 4: {
      const int32_t gamma2 = kernel == 3 ? MlDsa44Params::gamma2 : MlDsa65Params::gamma2;
      const std::size_t w1_bytes = kernel == 3 ? MlDsa44Params::w1_poly_bytes : MlDsa65Params::w1_poly_bytes;
      const auto bytes = stretch(data, size, 4 * kN + kN / 8);
      Poly w;
      HintMask hinted;
      for (std::size_t i = 0; i < kN; ++i) {
        w[i] = within(word(bytes, i), kQ);
        hinted[i] = static_cast<uint8_t>(bytes[4 * kN + i / 8] >> (i % 8) & 1);
      }
      std::vector<uint8_t> expected(w1_bytes), got(w1_bytes);
      portable::encode_w1_with_hints(gamma2, w, hinted, expected.data());
      avx2::encode_w1_with_hints(gamma2, w, hinted, got.data());
      if (expected != got) std::abort();
      break;
    }
    default: {
      // Up to seven matrix entries in [0, q) against factors in (-9q, 9q), and a last term of two
      // factors in (-9q, 9q): the largest sums verification forms.
      const std::size_t terms = 1 + (size == 0 ? 0 : data[0] % kMaxRowTerms);
      const auto bytes = stretch(data, size, 2 * terms * 4 * kN);
      std::vector<Poly> a(terms), b(terms);
      for (std::size_t j = 0; j < terms; ++j) {
        const bool last = terms > 1 && j + 1 == terms;
        for (std::size_t i = 0; i < kN; ++i) {
          const int32_t x = word(bytes, (2 * j) * kN + i);
          a[j][i] = last ? within(x, 9 * kQ) : static_cast<int32_t>(static_cast<uint32_t>(x) % kQ);
          b[j][i] = within(word(bytes, (2 * j + 1) * kN + i), 9 * kQ);
        }
      }
      std::array<const Poly*, kMaxRowTerms> pa{}, pb{};
      for (std::size_t j = 0; j < terms; ++j) {
        pa[j] = &a[j];
        pb[j] = &b[j];
      }
      Poly expected, got;
      portable::dot_product_montgomery(expected, std::span(pa).first(terms), std::span(pb).first(terms));
      avx2::dot_product_montgomery(got, std::span(pa).first(terms), std::span(pb).first(terms));
      if (expected != got) std::abort();
      break;
    }
  }
  return 0;
}
