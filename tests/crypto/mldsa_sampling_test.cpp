// The samplers read a SHAKE stream that must be recomputed longer when the first squeeze runs
// out; a sampler fed a stream with a tiny first squeeze must give the same polynomial.
#include <gtest/gtest.h>

#include <vector>

#include "mldsa/sampling.hpp"
#include "openssl_util.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;
namespace ossl = quorvantile_crypto::ossl;
using quorvantile_crypto::ByteView;

std::vector<uint8_t> shake(const EVP_MD* md, ByteView input, std::size_t len) {
  auto ctx = ossl::new_md_ctx();
  std::vector<uint8_t> out(len);
  ossl::digest_init(ctx.get(), md);
  ossl::digest_update(ctx.get(), input);
  ossl::digest_final_xof(ctx.get(), out.data(), out.size());
  return out;
}

TEST(MlDsaXofOutput, ExtensionKeepsThePrefixAndContinuesTheStream) {
  auto ctx = ossl::new_md_ctx();
  const std::vector<uint8_t> seed{1, 2, 3}, suffix{4, 5};
  std::array<uint8_t, 5> first{};
  XofOutput stream(ctx.get(), ossl::shake128(), seed, suffix, first);
  stream.extend();
  stream.extend();
  ASSERT_EQ(stream.size(), 20u);
  const auto expected = shake(ossl::shake128(), std::vector<uint8_t>{1, 2, 3, 4, 5}, 20);
  EXPECT_EQ(std::vector<uint8_t>(stream.data(), stream.data() + stream.size()), expected);
}

TEST(MlDsaSampling, MatrixEntryDoesNotDependOnTheFirstSqueezeLength) {
  auto ctx = ossl::new_md_ctx();
  std::array<uint8_t, 32> rho{};
  for (std::size_t i = 0; i < rho.size(); ++i) rho[i] = static_cast<uint8_t>(i * 7);
  for (int row = 0; row < 3; ++row) {
    Poly expected;
    expand_matrix_entry(ctx.get(), rho, row, 2, expected);
    for (int32_t x : expected) ASSERT_TRUE(x >= 0 && x < kQ);
    const std::array<uint8_t, 2> indices{2, static_cast<uint8_t>(row)};
    for (std::size_t first_length : {1u, 3u, 4u, 167u, 168u}) {
      std::vector<uint8_t> buffer(first_length);
      XofOutput stream(ctx.get(), ossl::shake128(), rho, indices, buffer);
      Poly got;
      rej_ntt_poly(stream, got);
      EXPECT_EQ(got, expected) << "first squeeze of " << first_length << " bytes";
    }
  }
}

TEST(MlDsaSampling, ChallengeHasTauSignsAndDoesNotDependOnTheFirstSqueezeLength) {
  auto ctx = ossl::new_md_ctx();
  for (int tau : {39, 49, 60}) {
    std::vector<uint8_t> ctilde(static_cast<std::size_t>(tau), static_cast<uint8_t>(tau));
    Poly expected;
    sample_challenge(ctx.get(), ctilde, tau, expected);
    int weight = 0;
    for (int32_t x : expected) {
      ASSERT_TRUE(x == 0 || x == 1 || x == -1);
      weight += x != 0 ? 1 : 0;
    }
    EXPECT_EQ(weight, tau);
    for (std::size_t first_length : {0u, 1u, 8u, 9u, 70u}) {
      std::vector<uint8_t> buffer(first_length);
      XofOutput stream(ctx.get(), ossl::shake256(), ctilde, {}, buffer);
      Poly got;
      sample_in_ball(stream, tau, got);
      EXPECT_EQ(got, expected) << "tau " << tau << ", first squeeze of " << first_length << " bytes";
    }
  }
}

}  // namespace
