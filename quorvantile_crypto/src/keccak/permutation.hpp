#pragma once
// The Keccak-f[1600] permutation (24 rounds) on four interleaved lanes.
#include <array>
#include <span>

#include "keccak/keccak.hpp"

namespace quorvantile_crypto::keccak::detail {

using State = Sponges::State;

namespace portable {
// Permutes the lanes whose bit is set in lane_mask, one after the other.
void permute(State& state, unsigned lane_mask);
}  // namespace portable

// A lane's first block, padded, as little-endian words: what absorbing a short input XORs into
// the zero state.
using Block = std::array<uint64_t, kShake128Rate / 8>;
Block padded_shake128_block(ByteView input);

// Writes the first blocks * kShake128Rate bytes of SHAKE128 output of each lane to out[lane],
// for out.size() lanes starting from their first blocks.
namespace portable {
void shake128_blocks(std::span<const Block> first, std::size_t blocks, std::span<uint8_t* const> out);
}  // namespace portable

namespace avx2 {
bool available();
// Permutes all four lanes together. Requires available().
void permute(State& state);
// Up to four lanes. Requires available().
void shake128_blocks(std::span<const Block> first, std::size_t blocks, std::span<uint8_t* const> out);
}  // namespace avx2

namespace avx512 {
bool available();  // AVX-512F and AVX-512VL
// Permutes all four lanes together in 256-bit registers. Requires available().
void permute(State& state);
// Up to eight lanes. Requires available().
void shake128_blocks(std::span<const Block> first, std::size_t blocks, std::span<uint8_t* const> out);
}  // namespace avx512

}  // namespace quorvantile_crypto::keccak::detail
