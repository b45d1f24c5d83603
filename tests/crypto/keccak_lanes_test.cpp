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
  static const char* permutations[] = {"Portable", "Avx2", "Avx512"};
  return std::string(functions[static_cast<int>(info.param.function)]) + permutations[static_cast<int>(info.param.permutation)];
}

class KeccakLanes : public testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    if (!keccak::available(GetParam().permutation)) GTEST_SKIP() << "this CPU lacks the permutation's instructions";
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
                                         Case{Function::Shake128, Permutation::Avx512},
                                         Case{Function::Shake256, Permutation::Portable}, Case{Function::Shake256, Permutation::Avx2},
                                         Case{Function::Shake256, Permutation::Avx512},
                                         Case{Function::Sha3_256, Permutation::Portable}, Case{Function::Sha3_256, Permutation::Avx2},
                                         Case{Function::Sha3_256, Permutation::Avx512},
                                         Case{Function::Sha3_512, Permutation::Portable}, Case{Function::Sha3_512, Permutation::Avx2},
                                         Case{Function::Sha3_512, Permutation::Avx512}),
                         name_of);
INSTANTIATE_TEST_SUITE_P(Shakes, KeccakShakeLanes,
                         testing::Values(Case{Function::Shake128, Permutation::Portable}, Case{Function::Shake128, Permutation::Avx2},
                                         Case{Function::Shake128, Permutation::Avx512},
                                         Case{Function::Shake256, Permutation::Portable}, Case{Function::Shake256, Permutation::Avx2},
                                         Case{Function::Shake256, Permutation::Avx512}),
                         name_of);

std::string permutation_name(const testing::TestParamInfo<Permutation>& info) {
  static const char* names[] = {"Portable", "Avx2", "Avx512"};
  return names[static_cast<int>(info.param)];
}

// SHAKE128 over one to eight short inputs squeezed by whole blocks, every input length up to the
// rate, against OpenSSL; lanes of one call differ in length and content.
class KeccakShortInputs : public testing::TestWithParam<Permutation> {
 protected:
  void SetUp() override {
    if (!keccak::available(GetParam())) GTEST_SKIP() << "this CPU lacks the permutation's instructions";
  }
};

TEST_P(KeccakShortInputs, MatchOpenSsl) {
  for (std::size_t length = 0; length < keccak::kShake128Rate; ++length) {
    const std::size_t lanes = length % keccak::kMaxWideLanes + 1;
    const std::size_t blocks = length % 3 + 1;
    std::vector<Bytes> inputs, outputs(lanes, Bytes(blocks * keccak::kShake128Rate));
    std::vector<ByteView> views;
    std::vector<uint8_t*> out;
    for (std::size_t lane = 0; lane < lanes; ++lane) inputs.push_back(content((length + 37 * lane) % keccak::kShake128Rate, lane));
    for (std::size_t lane = 0; lane < lanes; ++lane) {
      views.emplace_back(inputs[lane]);
      out.push_back(outputs[lane].data());
    }
    keccak::shake128_short_inputs(views, blocks, out, GetParam());
    for (std::size_t lane = 0; lane < lanes; ++lane) {
      ASSERT_EQ(outputs[lane], openssl_hash(Function::Shake128, inputs[lane], outputs[lane].size()))
          << "lane " << lane << " of " << lanes << ", input " << inputs[lane].size();
    }
  }
  const Bytes block(keccak::kShake128Rate), empty;
  Bytes sink(keccak::kShake128Rate);
  const std::vector<ByteView> too_long{block}, nine(9, ByteView(empty));
  const std::vector<uint8_t*> one{sink.data()}, nine_out(9, sink.data());
  EXPECT_THROW(keccak::shake128_short_inputs(too_long, 1, one, GetParam()), std::invalid_argument);
  EXPECT_THROW(keccak::shake128_short_inputs(nine, 1, nine_out, GetParam()), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(AllPermutations, KeccakShortInputs,
                         testing::Values(Permutation::Portable, Permutation::Avx2, Permutation::Avx512),
                         permutation_name);

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
  if (!keccak::avx512_available()) {
    EXPECT_THROW(keccak::Sponges(Function::Shake128, two, Permutation::Avx512), std::invalid_argument);
  }
}

}  // namespace
