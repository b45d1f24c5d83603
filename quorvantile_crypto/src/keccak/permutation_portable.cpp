#include <algorithm>
#include <bit>

#include "keccak/constants.hpp"
#include "keccak/permutation.hpp"
#include "keccak/words.hpp"

namespace quorvantile_crypto::keccak::detail::portable {
namespace {

void permute_one(std::array<uint64_t, 25>& a) {
  for (int round = 0; round < kRounds; ++round) {
    std::array<uint64_t, 5> c;
    for (int x = 0; x < 5; ++x) c[x] = a[x] ^ a[x + 5] ^ a[x + 10] ^ a[x + 15] ^ a[x + 20];
    for (int x = 0; x < 5; ++x) {
      const uint64_t d = c[(x + 4) % 5] ^ std::rotl(c[(x + 1) % 5], 1);
      for (int y = 0; y < 25; y += 5) a[x + y] ^= d;
    }
    std::array<uint64_t, 25> b;
    for (std::size_t w = 0; w < 25; ++w) b[static_cast<std::size_t>(kPiDestination[w])] = std::rotl(a[w], kRhoOffsets[w]);
    for (int y = 0; y < 25; y += 5) {
      for (int x = 0; x < 5; ++x) a[x + y] = b[x + y] ^ (~b[(x + 1) % 5 + y] & b[(x + 2) % 5 + y]);
    }
    a[0] ^= kRoundConstants[static_cast<std::size_t>(round)];
  }
}

}  // namespace

void permute(State& state, unsigned lane_mask) {
  for (std::size_t lane = 0; lane < kMaxLanes; ++lane) {
    if (!(lane_mask >> lane & 1)) continue;
    std::array<uint64_t, 25> a;
    for (std::size_t w = 0; w < 25; ++w) a[w] = state[w][lane];
    permute_one(a);
    for (std::size_t w = 0; w < 25; ++w) state[w][lane] = a[w];
  }
}

void shake128_blocks(std::span<const Block> first, std::size_t blocks, std::span<uint8_t* const> out) {
  for (std::size_t lane = 0; lane < first.size(); ++lane) {
    std::array<uint64_t, 25> a{};
    std::copy(first[lane].begin(), first[lane].end(), a.begin());
    for (std::size_t block = 0; block < blocks; ++block) {
      permute_one(a);
      uint8_t* dest = out[lane] + block * kShake128Rate;
      for (std::size_t w = 0; w < kShake128Rate / 8; ++w) store_le64(dest + 8 * w, a[w]);
    }
  }
}

}  // namespace quorvantile_crypto::keccak::detail::portable
