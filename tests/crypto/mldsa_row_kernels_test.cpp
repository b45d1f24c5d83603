// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// The AVX2 row kernels against the portable ones, output for output: UseHint and the w1 encoding
// over every w in (-q, q) with and without a hint, the fused row product at the extremes of its
// input bounds, and t1 unpacking of random and all-ones keys.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/rounding.hpp"
#include "mldsa/row_kernels.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;

class MlDsaRowKernels : public testing::Test {
 protected:
  void SetUp() override {
    if (!avx2_enabled()) GTEST_SKIP() << "no AVX2 on this CPU: only the portable row kernels can run";
  }
};

template <class P>
void check_every_w() {
  std::mt19937 rng(P::w1_bits);
  Poly w;
  HintMask hinted;
  std::vector<uint8_t> portable_out(P::w1_poly_bytes), vector_out(P::w1_poly_bytes);
  int32_t next = -kQ + 1;
  while (next < kQ) {
    for (int32_t& x : w) x = next < kQ ? next++ : 0;
    for (uint8_t& h : hinted) h = static_cast<uint8_t>(rng() & 1);
    portable::encode_w1_with_hints(P::gamma2, w, hinted, portable_out.data());
    avx2::encode_w1_with_hints(P::gamma2, w, hinted, vector_out.data());
    ASSERT_EQ(vector_out, portable_out) << "gamma2 " << P::gamma2 << ", w from " << w[0];
  }
  // The scalar UseHint at the points where Decompose wraps.
  for (const int32_t r : {0, P::gamma2, P::gamma2 + 1, kQ - P::gamma2 - 1, kQ - P::gamma2, kQ - 1}) {
    for (const bool h : {false, true}) {
      w.fill(r);
      hinted.fill(h ? 1 : 0);
      avx2::encode_w1_with_hints(P::gamma2, w, hinted, vector_out.data());
      Poly expected;
      expected.fill(use_hint<P::gamma2>(r, h));
      std::vector<uint8_t> packed(P::w1_poly_bytes);
      portable::encode_w1_with_hints(P::gamma2, w, hinted, packed.data());
      EXPECT_EQ(vector_out, packed) << "r " << r << " hint " << h;
    }
  }
}

TEST_F(MlDsaRowKernels, UseHintAndW1EncodingMatchForEveryW) {
  check_every_w<MlDsa44Params>();
  check_every_w<MlDsa65Params>();
}

TEST_F(MlDsaRowKernels, RowProductMatchesAtTheBounds) {
  std::mt19937 rng(8);
  for (std::size_t terms = 1; terms <= kMaxRowTerms; ++terms) {
    for (int round = 0; round < 4; ++round) {
      // l entries in [0, q) times factors below 9q, and a last term of two factors below 9q.
      std::vector<Poly> a(terms), b(terms);
      for (std::size_t j = 0; j < terms; ++j) {
        const bool last = j + 1 == terms && terms > 1;
        for (std::size_t i = 0; i < kN; ++i) {
          const bool extreme = round % 2 == 0;
          a[j][i] = last ? (extreme ? -(9 * kQ - 1) : static_cast<int32_t>(rng() % (18 * kQ - 1)) - (9 * kQ - 1))
                         : (extreme ? kQ - 1 : static_cast<int32_t>(rng() % kQ));
          b[j][i] = extreme ? (i % 2 ? 9 * kQ - 1 : -(9 * kQ - 1)) : static_cast<int32_t>(rng() % (18 * kQ - 1)) - (9 * kQ - 1);
        }
      }
      std::vector<const Poly*> pa, pb;
      for (std::size_t j = 0; j < terms; ++j) {
        pa.push_back(&a[j]);
        pb.push_back(&b[j]);
      }
      Poly expected, got;
      portable::dot_product_montgomery(expected, pa, pb);
      avx2::dot_product_montgomery(got, pa, pb);
      ASSERT_EQ(got, expected) << terms << " terms, round " << round;
      for (int32_t x : got) ASSERT_LT(std::abs(x), kQ);
    }
  }
}

TEST_F(MlDsaRowKernels, T1UnpackingMatches) {
  std::mt19937 rng(10);
  std::vector<uint8_t> key(2 * kT1PolyBytes);
  for (int round = 0; round < 16; ++round) {
    for (uint8_t& x : key) x = round == 0 ? 0xff : static_cast<uint8_t>(rng());
    for (std::size_t row = 0; row < 2; ++row) {
      Poly expected, got;
      portable::unpack_t1_shifted(key.data() + row * kT1PolyBytes, expected);
      avx2::unpack_t1_shifted(key.data() + row * kT1PolyBytes, key.size() - row * kT1PolyBytes, got);
      ASSERT_EQ(got, expected) << "round " << round << " row " << row;
    }
  }
}

}  // namespace
