// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The multi-lane Keccak against OpenSSL's one-lane SHAKE and SHA3, on both permutations: every
// input length 0..1000 at a few output lengths and every output length 0..1000 at a few input
// lengths, lanes of different lengths and contents side by side, and squeezes split at odd points.
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "keccak/keccak.hpp"

namespace {

using namespace quorvantile_crypto;
using keccak::Function;
using keccak::Permutation;
using Bytes = std::vector<uint8_t>;

constexpr std::size_t kMaxLength = 1000;

const EVP_MD* openssl_md(Function f) {
  switch (f) {
    case Function::Shake128: return EVP_shake128();
    case Function::Shake256: return EVP_shake256();
    case Function::Sha3_256: return EVP_sha3_256();
    case Function::Sha3_512: return EVP_sha3_512();
  }
  return nullptr;
}

Bytes openssl_hash(Function f, ByteView input, std::size_t out_length) {
  Bytes out(keccak::digest_size(f) != 0 ? keccak::digest_size(f) : out_length);
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  EXPECT_EQ(EVP_DigestInit_ex(ctx, openssl_md(f), nullptr), 1);
  EXPECT_EQ(EVP_DigestUpdate(ctx, input.data(), input.size()), 1);
  if (keccak::digest_size(f) != 0) {
    EXPECT_EQ(EVP_DigestFinal_ex(ctx, out.data(), nullptr), 1);
  } else if (!out.empty()) {
    EXPECT_EQ(EVP_DigestFinalXOF(ctx, out.data(), out.size()), 1);
  }
  EVP_MD_CTX_free(ctx);
  out.resize(out_length);
  return out;
}

// Deterministic, lane-dependent content so that lanes never share bytes by accident.
Bytes content(std::size_t length, std::size_t lane) {
  Bytes out(length);
  uint32_t x = 0x9e3779b9u * static_cast<uint32_t>(lane + 1) + static_cast<uint32_t>(length);
  for (uint8_t& b : out) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<uint8_t>(x >> 24);
  }
  return out;
}

struct Case {
  Function function;
  Permutation permutation;
};

std::string name_of(const testing::TestParamInfo<Case>& info) {
  static const char* functions[] = {"Shake128", "Shake256", "Sha3_256", "Sha3_512"};
  return std::string(functions[static_cast<int>(info.param.function)]) +
         (info.param.permutation == Permutation::Avx2 ? "Avx2" : "Portable");
}

class KeccakLanes : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    if (GetParam().permutation == Permutation::Avx2 && !keccak::avx2_available()) GTEST_SKIP() << "no AVX2 on this CPU";
  }
  bool fixed() const { return keccak::digest_size(GetParam().function) != 0; }
  std::size_t output_length(std::size_t wanted) const { return fixed() ? keccak::digest_size(GetParam().function) : wanted; }

  // Runs the lanes side by side and compares each with OpenSSL.
  void check(const std::vector<std::size_t>& in_lengths, const std::vector<std::size_t>& out_lengths) {
    std::vector<Bytes> inputs, outputs;
    std::vector<ByteView> in_views;
    std::vector<std::span<uint8_t>> out_views;
    for (std::size_t lane = 0; lane < in_lengths.size(); ++lane) {
      inputs.push_back(content(in_lengths[lane], lane));
      outputs.emplace_back(output_length(out_lengths[lane]), uint8_t{0xee});
    }
    for (std::size_t lane = 0; lane < inputs.size(); ++lane) {
      in_views.emplace_back(inputs[lane]);
      out_views.emplace_back(outputs[lane]);
    }
    keccak::hash(GetParam().function, in_views, out_views, GetParam().permutation);
    for (std::size_t lane = 0; lane < inputs.size(); ++lane) {
      ASSERT_EQ(outputs[lane], openssl_hash(GetParam().function, inputs[lane], outputs[lane].size()))
          << "lane " << lane << " of " << inputs.size() << ", input " << inputs[lane].size() << ", output "
          << outputs[lane].size();
    }
  }
};

TEST_P(KeccakLanes, EveryInputLengthMatchesOpenSsl) {
  for (std::size_t length = 0; length <= kMaxLength; ++length) {
    for (std::size_t out : {1u, 32u, 169u}) {
      const std::size_t lanes = length % keccak::kMaxLanes + 1;
      std::vector<std::size_t> in_lengths, out_lengths;
      for (std::size_t lane = 0; lane < lanes; ++lane) {
        in_lengths.push_back((length + 331 * lane) % (kMaxLength + 1));
        out_lengths.push_back(out + 7 * lane);
      }
      check(in_lengths, out_lengths);
      if (HasFatalFailure()) return;
    }
  }
}

// The SHAKEs, whose output has any length.
class KeccakShakeLanes : public KeccakLanes {};

TEST_P(KeccakShakeLanes, EveryOutputLengthMatchesOpenSsl) {
  for (std::size_t length = 0; length <= kMaxLength; ++length) {
    for (std::size_t in : {0u, 135u, 136u, 168u, 577u}) {
      const std::size_t lanes = (length / 3) % keccak::kMaxLanes + 1;
      std::vector<std::size_t> in_lengths, out_lengths;
      for (std::size_t lane = 0; lane < lanes; ++lane) {
        in_lengths.push_back(in + lane);
        out_lengths.push_back((length + 257 * lane) % (kMaxLength + 1));
      }
      check(in_lengths, out_lengths);
      if (HasFatalFailure()) return;
    }
  }
}

// Squeezing in pieces (split differently per lane, one lane at a time or all together) gives the
// same stream as one squeeze, and leaves the other lanes where they were.
TEST_P(KeccakShakeLanes, SqueezesInPiecesContinueEachLane) {
  const Function f = GetParam().function;
  std::vector<Bytes> inputs;
  std::vector<ByteView> views;
  for (std::size_t lane = 0; lane < keccak::kMaxLanes; ++lane) inputs.push_back(content(40 * lane + 3, lane));
  for (const Bytes& input : inputs) views.emplace_back(input);
  keccak::Sponges sponges(f, views, GetParam().permutation);
  std::vector<Bytes> got(keccak::kMaxLanes);
  const std::vector<std::size_t> pieces{0, 1, 7, 8, 135, 136, 137, 168, 169, 300};
  for (std::size_t step = 0; step < pieces.size(); ++step) {
    // Alternate a lane-by-lane squeeze with an all-lanes squeeze of lane-dependent lengths.
    std::vector<Bytes> chunk(keccak::kMaxLanes);
    if (step % 2 == 0) {
      for (std::size_t lane = keccak::kMaxLanes; lane-- > 0;) {
        chunk[lane].resize(pieces[(step + lane) % pieces.size()]);
        sponges.squeeze_lane(lane, chunk[lane]);
      }
    } else {
      std::vector<std::span<uint8_t>> spans;
      for (std::size_t lane = 0; lane < keccak::kMaxLanes; ++lane) {
        chunk[lane].resize(pieces[(step * 3 + lane) % pieces.size()]);
        spans.emplace_back(chunk[lane]);
      }
      sponges.squeeze(spans);
    }
    for (std::size_t lane = 0; lane < keccak::kMaxLanes; ++lane) got[lane].insert(got[lane].end(), chunk[lane].begin(), chunk[lane].end());
  }
  for (std::size_t lane = 0; lane < keccak::kMaxLanes; ++lane) {
    EXPECT_EQ(got[lane], openssl_hash(f, inputs[lane], got[lane].size())) << "lane " << lane;
  }
}

INSTANTIATE_TEST_SUITE_P(AllFunctions, KeccakLanes,
                         testing::Values(Case{Function::Shake128, Permutation::Portable}, Case{Function::Shake128, Permutation::Avx2},
                                         Case{Function::Shake256, Permutation::Portable}, Case{Function::Shake256, Permutation::Avx2},
                                         Case{Function::Sha3_256, Permutation::Portable}, Case{Function::Sha3_256, Permutation::Avx2},
                                         Case{Function::Sha3_512, Permutation::Portable}, Case{Function::Sha3_512, Permutation::Avx2}),
                         name_of);
INSTANTIATE_TEST_SUITE_P(Shakes, KeccakShakeLanes,
                         testing::Values(Case{Function::Shake128, Permutation::Portable}, Case{Function::Shake128, Permutation::Avx2},
                                         Case{Function::Shake256, Permutation::Portable}, Case{Function::Shake256, Permutation::Avx2}),
                         name_of);

TEST(KeccakLanesUse, BadShapesAreRejected) {
  const Bytes input(10, 1);
  const std::vector<ByteView> none, five(5, ByteView(input)), two(2, ByteView(input));
  EXPECT_THROW(keccak::Sponges(Function::Shake128, none), std::invalid_argument);
  EXPECT_THROW(keccak::Sponges(Function::Shake128, five), std::invalid_argument);
  Bytes long_digest(33), one(1);
  const std::vector<std::span<uint8_t>> too_long{long_digest, one}, one_output{one};
  EXPECT_THROW(keccak::hash(Function::Sha3_256, two, too_long), std::invalid_argument);
  EXPECT_THROW(keccak::hash(Function::Shake128, two, one_output), std::invalid_argument);
  keccak::Sponges sponges(Function::Shake256, two);
  EXPECT_THROW(sponges.squeeze_lane(2, one), std::invalid_argument);
  if (!keccak::avx2_available()) {
    EXPECT_THROW(keccak::Sponges(Function::Shake128, two, Permutation::Avx2), std::invalid_argument);
  }
}

}  // namespace
