// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
#include <algorithm>
#include <stdexcept>

#include "keccak/keccak.hpp"
#include "keccak/permutation.hpp"
#include "keccak/words.hpp"

namespace quorvantile_crypto::keccak {
namespace detail {

Block padded_shake128_block(ByteView input) {
  std::array<uint8_t, kShake128Rate> bytes{};
  std::copy(input.begin(), input.end(), bytes.begin());
  bytes[input.size()] ^= 0x1f;
  bytes[kShake128Rate - 1] ^= 0x80;
  Block block;
  for (std::size_t w = 0; w < block.size(); ++w) block[w] = load_le64(bytes.data() + 8 * w);
  return block;
}

}  // namespace detail

void shake128_short_inputs(std::span<const ByteView> inputs, std::size_t blocks, std::span<uint8_t* const> outputs,
                           Permutation permutation) {
  if (inputs.empty() || inputs.size() > kMaxWideLanes || outputs.size() != inputs.size()) {
    throw std::invalid_argument("SHAKE128 short inputs: 1 to 8 lanes, one output each");
  }
  if (!available(permutation)) throw std::invalid_argument("this CPU lacks the requested Keccak permutation");
  std::array<detail::Block, kMaxWideLanes> first;
  for (std::size_t lane = 0; lane < inputs.size(); ++lane) {
    if (inputs[lane].size() >= kShake128Rate) throw std::invalid_argument("SHAKE128 short input of a block or more");
    first[lane] = detail::padded_shake128_block(inputs[lane]);
  }
  const auto lanes = std::span<const detail::Block>(first).first(inputs.size());
  // Four-lane permutations take the lanes four at a time.
  const auto in_groups_of = [&](std::size_t group, auto run) {
    for (std::size_t start = 0; start < lanes.size(); start += group) {
      const std::size_t count = std::min(group, lanes.size() - start);
      run(lanes.subspan(start, count), blocks, outputs.subspan(start, count));
    }
  };
  switch (permutation) {
    case Permutation::Portable: detail::portable::shake128_blocks(lanes, blocks, outputs); return;
    case Permutation::Avx2: in_groups_of(kMaxLanes, detail::avx2::shake128_blocks); return;
    case Permutation::Avx512: detail::avx512::shake128_blocks(lanes, blocks, outputs); return;
  }
}

}  // namespace quorvantile_crypto::keccak
