// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// NTT-domain arithmetic: products against schoolbook multiplication, and the AVX2 code against
// the portable code representative for representative.
#include <gtest/gtest.h>

#include <random>

#include "mldsa/poly_ops.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;

int64_t mod_q(int64_t x) { return ((x % kQ) + kQ) % kQ; }

Poly random_poly(std::mt19937& rng, int32_t bound) {
  std::uniform_int_distribution<int32_t> dist(-bound + 1, bound - 1);
  Poly p;
  for (int32_t& x : p) x = dist(rng);
  return p;
}

Poly schoolbook_product(const Poly& a, const Poly& b) {
  std::array<int64_t, kN> acc{};
  for (int i = 0; i < kN; ++i) {
    for (int j = 0; j < kN; ++j) {
      const int64_t product = mod_q(int64_t{a[i]} * b[j]);
      if (i + j < kN) acc[i + j] += product;
      else acc[i + j - kN] -= product;  // X^256 = -1
    }
  }
  Poly out;
  for (int i = 0; i < kN; ++i) out[i] = static_cast<int32_t>(mod_q(acc[i]));
  return out;
}

struct Implementation {
  const char* name;
  void (*forward)(Poly&);
  void (*inverse)(Poly&);
  void (*multiply_add)(Poly&, const Poly&, const Poly&);
};

const Implementation kImplementations[] = {
    {"portable", portable::ntt, portable::inverse_ntt_to_montgomery, portable::multiply_add_montgomery},
    {"avx2", avx2::ntt, avx2::inverse_ntt_to_montgomery, avx2::multiply_add_montgomery},
    {"dispatched", ntt, inverse_ntt_to_montgomery, multiply_add_montgomery},
};

class MlDsaPolyOps : public testing::TestWithParam<Implementation> {
 protected:
  void SetUp() override {
    if (std::string(GetParam().name) == "avx2" && !avx2::available()) GTEST_SKIP() << "no AVX2 on this CPU";
  }
};

TEST_P(MlDsaPolyOps, NttProductEqualsSchoolbookProduct) {
  const Implementation& impl = GetParam();
  std::mt19937 rng(204);
  for (int round = 0; round < 8; ++round) {
    // Include the extremes of the allowed input range as well as random values.
    Poly a = round == 0 ? Poly{} : random_poly(rng, kQ);
    Poly b = random_poly(rng, kQ);
    if (round == 0) a.fill(kQ - 1);
    if (round == 1) b.fill(-(kQ - 1));
    const Poly expected = schoolbook_product(a, b);
    impl.forward(a);
    impl.forward(b);
    for (int i = 0; i < kN; ++i) ASSERT_LT(std::abs(a[i]), 9 * kQ);
    Poly product{};
    impl.multiply_add(product, a, b);
    for (int32_t& x : product) x = reduce32(x);
    impl.inverse(product);
    for (int i = 0; i < kN; ++i) {
      ASSERT_LT(std::abs(product[i]), kQ);
      ASSERT_EQ(mod_q(product[i]), expected[i]) << "round " << round << " coefficient " << i;
    }
  }
}

TEST_P(MlDsaPolyOps, MatchesPortableRepresentatives) {
  const Implementation& impl = GetParam();
  std::mt19937 rng(44);
  for (int round = 0; round < 16; ++round) {
    Poly a = random_poly(rng, kQ);
    Poly b = a;
    impl.forward(a);
    portable::ntt(b);
    ASSERT_EQ(a, b);

    Poly c = random_poly(rng, 9 * kQ);
    Poly d = random_poly(rng, 9 * kQ);
    Poly acc1 = random_poly(rng, kQ);
    Poly acc2 = acc1;
    impl.multiply_add(acc1, c, d);
    portable::multiply_add_montgomery(acc2, c, d);
    ASSERT_EQ(acc1, acc2);

    Poly e = random_poly(rng, kQ);
    Poly f = e;
    impl.inverse(e);
    portable::inverse_ntt_to_montgomery(f);
    ASSERT_EQ(e, f);
  }
}

INSTANTIATE_TEST_SUITE_P(Implementations, MlDsaPolyOps, testing::ValuesIn(kImplementations),
                         [](const auto& test_info) { return std::string(test_info.param.name); });

}  // namespace
