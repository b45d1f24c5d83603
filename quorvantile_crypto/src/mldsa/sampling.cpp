#include "mldsa/sampling.hpp"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>
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
constexpr std::size_t kMatrixEntryBytes = kMatrixEntryBlocks * kShake128Rate;
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

namespace {

// One lane's output of the fixed squeeze, read by RejNTTPoly. Should the sampler run past it,
// the lane is restarted alone on a one-lane sponge advanced past the bytes already read, and
// continues from there.
class EntryStream {
 public:
  EntryStream(keccak::Permutation permutation, ByteView seed, std::span<const uint8_t> initial)
      : permutation_(permutation), seed_(seed), initial_(initial) {}
  EntryStream(const EntryStream&) = delete;
  EntryStream& operator=(const EntryStream&) = delete;

  const uint8_t* data() const { return lane_ ? lane_->data() : initial_.data(); }
  std::size_t size() const { return lane_ ? lane_->size() : initial_.size(); }

  void extend() {
    if (!lane_) {
      const std::array<ByteView, 1> input{seed_};
      sponges_.emplace(keccak::Function::Shake128, input, permutation_);
      std::vector<uint8_t> skipped(initial_.size());
      sponges_->squeeze_lane(0, skipped);
      lane_.emplace(*sponges_, 0, initial_);
    }
    lane_->extend();
  }

 private:
  keccak::Permutation permutation_;
  ByteView seed_;
  std::span<const uint8_t> initial_;
  std::optional<keccak::Sponges> sponges_;
  std::optional<LaneOutput> lane_;
};

}  // namespace

void expand_matrix_entries(keccak::Permutation permutation, ByteView rho, std::span<const MatrixIndex> entries,
                           std::span<Poly> out, std::size_t first_blocks) {
  if (entries.empty() || entries.size() > keccak::kMaxWideLanes || out.size() != entries.size() ||
      rho.size() != kSeedBytes || first_blocks == 0 || first_blocks > kMatrixEntryBlocks) {
    throw std::invalid_argument("matrix entries: 1 to 8 entries, one output each, a 32-byte seed, 1 to 5 blocks");
  }
  std::array<std::array<uint8_t, kSeedBytes + 2>, keccak::kMaxWideLanes> seeds;
  std::array<ByteView, keccak::kMaxWideLanes> inputs;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::copy(rho.begin(), rho.end(), seeds[i].begin());
    seeds[i][kSeedBytes] = static_cast<uint8_t>(entries[i].column);
    seeds[i][kSeedBytes + 1] = static_cast<uint8_t>(entries[i].row);
    inputs[i] = seeds[i];
  }
  std::array<std::array<uint8_t, kMatrixEntryBytes>, keccak::kMaxWideLanes> buffers;
  std::array<uint8_t*, keccak::kMaxWideLanes> outputs;
  for (std::size_t i = 0; i < entries.size(); ++i) outputs[i] = buffers[i].data();
  keccak::shake128_short_inputs(std::span(inputs).first(entries.size()), first_blocks,
                                std::span(outputs).first(entries.size()), permutation);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EntryStream stream(permutation, inputs[i], std::span(buffers[i]).first(first_blocks * kShake128Rate));
    rej_ntt_poly(stream, out[i]);
  }
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

}  // namespace quorvantile_crypto::mldsa::detail
