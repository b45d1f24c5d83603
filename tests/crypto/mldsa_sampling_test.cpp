// The samplers read a SHAKE stream that must be recomputed longer when the first squeeze runs
// out; a sampler fed a stream with a tiny first squeeze must give the same polynomial.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "keccak/keccak.hpp"
#include "mldsa/lane_output.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/sampling.hpp"
#include "openssl_util.hpp"

namespace {

using namespace quorvantile_crypto::mldsa::detail;
using quorvantile_crypto::ByteView;
namespace keccak = quorvantile_crypto::keccak;
namespace ossl = quorvantile_crypto::ossl;

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

std::vector<keccak::Permutation> permutations() {
  std::vector<keccak::Permutation> out{keccak::Permutation::Portable};
  if (keccak::avx2_available()) out.push_back(keccak::Permutation::Avx2);
  if (keccak::avx512_available()) out.push_back(keccak::Permutation::Avx512);
  return out;
}

// Batches of one to eight entries, straddling rows, give the entries the one-lane path gives,
// also when a single squeezed block runs out and every entry continues on its own.
TEST(MlDsaSampling, EntriesSideBySideMatchOneAtATime) {
  auto ctx = ossl::new_md_ctx();
  std::array<uint8_t, 32> rho;
  for (std::size_t i = 0; i < rho.size(); ++i) rho[i] = static_cast<uint8_t>(0xa5 ^ (i * 13));
  const std::vector<std::vector<MatrixIndex>> batches{
      {{0, 0}}, {{7, 6}, {0, 1}}, {{1, 4}, {2, 0}, {2, 1}}, {{0, 0}, {0, 1}, {0, 2}, {0, 3}}, {{3, 4}, {4, 0}, {7, 6}, {5, 5}},
      {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}}, {{6, 0}, {6, 1}, {6, 2}, {6, 3}, {6, 4}, {6, 5}, {6, 6}, {7, 0}}};
  for (const auto permutation : permutations()) {
    for (const auto& batch : batches) {
      std::vector<Poly> got(batch.size());
      expand_matrix_entries(permutation, rho, batch, got, batch.size() % 2 == 0 ? 1 : kMatrixEntryBlocks);
      for (std::size_t i = 0; i < batch.size(); ++i) {
        Poly expected;
        expand_matrix_entry(ctx.get(), rho, batch[i].row, batch[i].column, expected);
        EXPECT_EQ(got[i], expected) << "entry (" << batch[i].row << ", " << batch[i].column << ") in a batch of "
                                    << batch.size() << ", permutation " << static_cast<int>(permutation);
      }
    }
  }
}

// A lane whose first squeeze runs out extends from its own sponge, whatever the others read.
TEST(MlDsaSampling, LaneOutputExtendsFromItsOwnLane) {
  auto ctx = ossl::new_md_ctx();
  std::array<uint8_t, 32> rho{};
  std::array<std::array<uint8_t, 34>, 4> seeds;
  std::array<ByteView, 4> inputs;
  for (std::size_t lane = 0; lane < 4; ++lane) {
    std::copy(rho.begin(), rho.end(), seeds[lane].begin());
    seeds[lane][32] = static_cast<uint8_t>(lane);
    seeds[lane][33] = 1;
    inputs[lane] = seeds[lane];
  }
  for (const auto permutation : permutations()) {
    for (std::size_t first_length : {0u, 1u, 4u, 168u}) {
      keccak::Sponges sponges(keccak::Function::Shake128, inputs, permutation);
      std::vector<std::vector<uint8_t>> buffers(4, std::vector<uint8_t>(first_length));
      std::vector<std::span<uint8_t>> outputs(buffers.begin(), buffers.end());
      sponges.squeeze(outputs);
      for (std::size_t lane : {2u, 0u, 3u, 1u}) {
        Poly expected;
        expand_matrix_entry(ctx.get(), rho, 1, static_cast<int>(lane), expected);
        LaneOutput stream(sponges, lane, buffers[lane]);
        Poly got;
        rej_ntt_poly(stream, got);
        EXPECT_EQ(got, expected) << "lane " << lane << ", first squeeze of " << first_length << " bytes";
      }
    }
  }
}

// Candidates at the acceptance boundary (q - 1 accepted, q rejected), with the ignored top bit
// set, and dense rejections, through the vector loop and against a plain reading.
TEST(MlDsaSampling, VectorAcceptanceMatchesScalarAtTheBoundary) {
  if (!avx2_enabled()) GTEST_SKIP() << "no AVX2 on this CPU";
  std::mt19937 rng(65);
  for (int round = 0; round < 50; ++round) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < 900) {
      const std::array<std::array<uint8_t, 3>, 5> patterns{{{0x00, 0xe0, 0x7f},   // q - 1
                                                            {0x01, 0xe0, 0x7f},   // q
                                                            {0x00, 0xe0, 0xff},   // q - 1, top bit set
                                                            {0xff, 0xff, 0xff},
                                                            {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                                                             static_cast<uint8_t>(rng() & 0xbf)}}};
      const auto& pick = patterns[rng() % patterns.size()];
      bytes.insert(bytes.end(), pick.begin(), pick.end());
    }
    Poly expected{};
    int expected_count = 0;
    for (std::size_t pos = 0; pos + 3 <= bytes.size() && expected_count < kN; pos += 3) {
      const int32_t v = bytes[pos] | bytes[pos + 1] << 8 | (bytes[pos + 2] & 0x7f) << 16;
      if (v < kQ) expected[static_cast<std::size_t>(expected_count++)] = v;
    }
    Poly got{};
    int count = 0;
    std::size_t pos = 0;
    avx2::accept_uniform_blocks(got, count, bytes.data(), pos, bytes.size());
    ASSERT_LE(count, kN);
    ASSERT_TRUE(count > kN - 8 || pos + 32 > bytes.size());
    for (int i = 0; i < count; ++i) ASSERT_EQ(got[i], expected[i]) << "round " << round << " coefficient " << i;
  }
}

}  // namespace
