#include <algorithm>
#include <bit>
#include <stdexcept>

#include "keccak/keccak.hpp"
#include "keccak/permutation.hpp"
#include "keccak/words.hpp"

namespace quorvantile_crypto::keccak {
namespace {

constexpr std::size_t kMaxRate = 168;

uint8_t domain_suffix(Function f) {
  return f == Function::Shake128 || f == Function::Shake256 ? 0x1f : 0x06;
}

using detail::load_le64;
using detail::store_le64;

// Lane `lane`'s bytes [offset, offset + out.size()) of the state: a partial word at either end,
// whole words in between.
void extract(const Sponges::State& words, std::size_t lane, std::size_t offset, std::span<uint8_t> out) {
  std::size_t i = 0;
  while (i < out.size()) {
    const std::size_t position = offset + i;
    const uint64_t word = words[position / 8][lane];
    std::size_t byte = position % 8;
    if (byte == 0 && out.size() - i >= 8) {
      store_le64(out.data() + i, word);
      i += 8;
      continue;
    }
    for (; byte < 8 && i < out.size(); ++byte, ++i) out[i] = static_cast<uint8_t>(word >> (8 * byte));
  }
}

}  // namespace

std::size_t rate(Function f) {
  switch (f) {
    case Function::Shake128: return 168;
    case Function::Shake256: return 136;
    case Function::Sha3_256: return 136;
    case Function::Sha3_512: return 72;
  }
  throw std::invalid_argument("unknown Keccak function");
}

std::size_t digest_size(Function f) {
  switch (f) {
    case Function::Sha3_256: return 32;
    case Function::Sha3_512: return 64;
    default: return 0;
  }
}

bool avx2_available() {
  static const bool available = detail::avx2::available();
  return available;
}

bool avx512_available() {
  static const bool available = detail::avx512::available();
  return available;
}

bool available(Permutation permutation) {
  switch (permutation) {
    case Permutation::Portable: return true;
    case Permutation::Avx2: return avx2_available();
    case Permutation::Avx512: return avx512_available();
  }
  return false;
}

Permutation best_permutation() {
  if (avx512_available()) return Permutation::Avx512;
  return avx2_available() ? Permutation::Avx2 : Permutation::Portable;
}

Sponges::Sponges(Function f, std::span<const ByteView> inputs, Permutation permutation)
    : lanes_(inputs.size()), rate_(rate(f)), permutation_(permutation) {
  if (inputs.empty() || inputs.size() > kMaxLanes) throw std::invalid_argument("Keccak sponges take 1 to 4 lanes");
  if (!available(permutation)) throw std::invalid_argument("this CPU lacks the requested Keccak permutation");
  // Lane i absorbs its full blocks, then one padded block holding the remainder (possibly none);
  // each block is followed by a permutation, the last of which starts the output.
  std::array<std::size_t, kMaxLanes> blocks{};
  std::size_t most = 0;
  for (std::size_t lane = 0; lane < lanes_; ++lane) {
    blocks[lane] = inputs[lane].size() / rate_ + 1;
    most = std::max(most, blocks[lane]);
  }
  for (std::size_t block = 0; block < most; ++block) {
    unsigned mask = 0;
    for (std::size_t lane = 0; lane < lanes_; ++lane) {
      if (block >= blocks[lane]) continue;
      mask |= 1u << lane;
      const uint8_t* source = inputs[lane].data() + block * rate_;
      std::array<uint8_t, kMaxRate> padded;
      if (block + 1 == blocks[lane]) {
        const std::size_t rest = inputs[lane].size() % rate_;
        std::fill_n(padded.begin(), rate_, uint8_t{0});
        std::copy_n(source, rest, padded.begin());
        padded[rest] ^= domain_suffix(f);
        padded[rate_ - 1] ^= 0x80;
        source = padded.data();
      }
      for (std::size_t w = 0; w < rate_ / 8; ++w) words_[w][lane] ^= load_le64(source + 8 * w);
    }
    permute(mask);
  }
}

void Sponges::permute(unsigned lane_mask) {
  if (permutation_ == Permutation::Portable) {
    detail::portable::permute(words_, lane_mask);
    return;
  }
  // The vector permutation moves every lane; active lanes outside the mask are put back.
  const auto permute_all = [this] {
    permutation_ == Permutation::Avx512 ? detail::avx512::permute(words_) : detail::avx2::permute(words_);
  };
  const unsigned keep = ((1u << lanes_) - 1) & ~lane_mask;
  if (keep == 0) {
    permute_all();
    return;
  }
  const State saved = words_;
  permute_all();
  for (std::size_t lane = 0; lane < lanes_; ++lane) {
    if (!(keep >> lane & 1)) continue;
    for (std::size_t w = 0; w < 25; ++w) words_[w][lane] = saved[w][lane];
  }
}

void Sponges::squeeze(std::span<const std::span<uint8_t>> outputs) {
  if (outputs.size() > lanes_) throw std::invalid_argument("more outputs than Keccak lanes");
  std::array<std::size_t, kMaxLanes> written{};
  for (;;) {
    unsigned exhausted = 0;
    for (std::size_t lane = 0; lane < outputs.size(); ++lane) {
      const std::span<uint8_t> out = outputs[lane];
      if (written[lane] == out.size()) continue;
      if (squeezed_[lane] == rate_) {
        exhausted |= 1u << lane;
        continue;
      }
      const std::size_t n = std::min(rate_ - squeezed_[lane], out.size() - written[lane]);
      extract(words_, lane, squeezed_[lane], out.subspan(written[lane], n));
      squeezed_[lane] += n;
      written[lane] += n;
      if (written[lane] < out.size()) exhausted |= 1u << lane;
    }
    if (exhausted == 0) return;
    permute(exhausted);
    for (std::size_t lane = 0; lane < outputs.size(); ++lane) {
      if (exhausted >> lane & 1) squeezed_[lane] = 0;
    }
  }
}

void Sponges::squeeze_lane(std::size_t lane, std::span<uint8_t> out) {
  if (lane >= lanes_) throw std::invalid_argument("no such Keccak lane");
  std::array<std::span<uint8_t>, kMaxLanes> outputs{};
  outputs[lane] = out;
  squeeze(std::span(outputs).first(lane + 1));
}

void hash(Function f, std::span<const ByteView> inputs, std::span<const std::span<uint8_t>> outputs,
          Permutation permutation) {
  if (outputs.size() != inputs.size()) throw std::invalid_argument("one Keccak output per input");
  const std::size_t digest = digest_size(f);
  for (const auto& out : outputs) {
    if (digest != 0 && out.size() > digest) throw std::invalid_argument("SHA3 output longer than its digest");
  }
  Sponges sponges(f, inputs, permutation);
  sponges.squeeze(outputs);
}

}  // namespace quorvantile_crypto::keccak
