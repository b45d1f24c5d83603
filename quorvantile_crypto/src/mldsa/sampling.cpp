// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/sampling.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "mldsa/lane_output.hpp"
#include "mldsa/params.hpp"
#include "mldsa/poly_ops.hpp"
#include "mldsa/xof_output.hpp"
#include "openssl_util.hpp"

namespace quorvantile_crypto::mldsa::detail {
namespace {

constexpr std::size_t kShake128Rate = 168;
constexpr std::size_t kShake256Rate = 136;

// 280 candidates of 3 bytes; each is rejected with probability 2^-10, so 256 survive unless
// 25 or more are rejected (probability below 2^-100 for a seed not chosen to cause it).
constexpr std::size_t kMatrixEntryBytes = 5 * kShake128Rate;
static_assert(kMatrixEntryBytes % 3 == 0);

// 8 bytes of signs and 128 index bytes: tau <= 60 draws need about 68 bytes on average.
constexpr std::size_t kChallengeBytes = kShake256Rate;

}  // namespace

void expand_matrix_entry(EVP_MD_CTX* ctx, ByteView rho, int row, int column, Poly& out) {
  const std::array<uint8_t, 2> indices{static_cast<uint8_t>(column), static_cast<uint8_t>(row)};
  std::array<uint8_t, kMatrixEntryBytes> buffer;
  XofOutput stream(ctx, ossl::shake128(), rho, indices, buffer);
  rej_ntt_poly(stream, out);
}

void expand_matrix_entries(keccak::Permutation permutation, ByteView rho, std::span<const MatrixIndex> entries,
                           std::span<Poly> out) {
  if (entries.size() > keccak::kMaxLanes || out.size() != entries.size() || rho.size() != kSeedBytes) {
    throw std::invalid_argument("matrix entries: 1 to 4 entries, one output each, a 32-byte seed");
  }
  std::array<std::array<uint8_t, kSeedBytes + 2>, keccak::kMaxLanes> seeds;
  std::array<ByteView, keccak::kMaxLanes> inputs;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::copy(rho.begin(), rho.end(), seeds[i].begin());
    seeds[i][kSeedBytes] = static_cast<uint8_t>(entries[i].column);
    seeds[i][kSeedBytes + 1] = static_cast<uint8_t>(entries[i].row);
    inputs[i] = seeds[i];
  }
  keccak::Sponges sponges(keccak::Function::Shake128, std::span(inputs).first(entries.size()), permutation);
  std::array<std::array<uint8_t, kMatrixEntryBytes>, keccak::kMaxLanes> buffers;
  std::array<std::span<uint8_t>, keccak::kMaxLanes> outputs;
  for (std::size_t i = 0; i < entries.size(); ++i) outputs[i] = buffers[i];
  sponges.squeeze(std::span(outputs).first(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    LaneOutput stream(sponges, i, buffers[i]);
    rej_ntt_poly(stream, out[i]);
  }
}

void hash_key_and_sample_challenge(keccak::Permutation permutation, ByteView public_key, ByteView ctilde, int tau,
                                   std::span<uint8_t> tr, Poly& challenge) {
  const std::array<ByteView, 2> inputs{public_key, ctilde};
  keccak::Sponges sponges(keccak::Function::Shake256, inputs, permutation);
  std::array<uint8_t, kChallengeBytes> buffer;
  const std::array<std::span<uint8_t>, 2> outputs{tr, buffer};
  sponges.squeeze(outputs);
  LaneOutput stream(sponges, 1, buffer);
  sample_in_ball(stream, tau, challenge);
}

void sample_challenge(EVP_MD_CTX* ctx, ByteView ctilde, int tau, Poly& out) {
  std::array<uint8_t, kChallengeBytes> buffer;
  XofOutput stream(ctx, ossl::shake256(), ctilde, {}, buffer);
  sample_in_ball(stream, tau, out);
}

template <class Stream>
void rej_ntt_poly(Stream& stream, Poly& out) {
  const bool vector = avx2_enabled();
  int count = 0;
  std::size_t pos = 0;
  for (;;) {
    const uint8_t* bytes = stream.data();
    const std::size_t end = stream.size();
    if (vector) avx2::accept_uniform_blocks(out, count, bytes, pos, end);
    // Rejections are rare, so the branch predicts well; a branch-free count would make every
    // store address wait on the comparison before it.
    for (; count < kN && pos + 3 <= end; pos += 3) {
      const auto candidate = static_cast<int32_t>(uint32_t{bytes[pos]} | uint32_t{bytes[pos + 1]} << 8 |
                                                  uint32_t{bytes[pos + 2] & 0x7fu} << 16);
      if (candidate < kQ) out[static_cast<std::size_t>(count++)] = candidate;
    }
    if (count == kN) return;
    stream.extend();
  }
}

template void rej_ntt_poly(XofOutput&, Poly&);
template void rej_ntt_poly(LaneOutput&, Poly&);

template <class Stream>
void sample_in_ball(Stream& stream, int tau, Poly& out) {
  while (stream.size() < 8) stream.extend();
  uint64_t signs = 0;
  for (int i = 0; i < 8; ++i) signs |= uint64_t{stream.data()[i]} << (8 * i);
  std::size_t pos = 8;
  out.fill(0);
  for (int i = kN - tau; i < kN; ++i) {
    int j;
    do {
      if (pos == stream.size()) stream.extend();
      j = stream.data()[pos++];
    } while (j > i);
    out[static_cast<std::size_t>(i)] = out[static_cast<std::size_t>(j)];
    out[static_cast<std::size_t>(j)] = 1 - 2 * static_cast<int32_t>(signs & 1);
    signs >>= 1;
  }
}

template void sample_in_ball(XofOutput&, int, Poly&);
template void sample_in_ball(LaneOutput&, int, Poly&);

}  // namespace quorvantile_crypto::mldsa::detail
