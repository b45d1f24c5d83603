// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
//
// SHAKE128 over many short inputs squeezed by whole blocks: the AVX2 (four lanes per
// permutation) and AVX-512 (eight lanes) paths against the portable one, on arbitrary inputs.
// Byte 0 gives the lane count (bits 0-2, plus one) and the block count (bits 3-4, plus one); then
// each lane reads a length byte (modulo the rate) and that many input bytes. Any difference aborts.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keccak/keccak.hpp"

namespace {

namespace keccak = quorvantile_crypto::keccak;
using quorvantile_crypto::ByteView;

std::vector<std::vector<uint8_t>> run(std::span<const ByteView> inputs, std::size_t blocks, keccak::Permutation permutation) {
  std::vector<std::vector<uint8_t>> out(inputs.size(), std::vector<uint8_t>(blocks * keccak::kShake128Rate));
  std::array<uint8_t*, keccak::kMaxWideLanes> pointers{};
  for (std::size_t lane = 0; lane < inputs.size(); ++lane) pointers[lane] = out[lane].data();
  keccak::shake128_short_inputs(inputs, blocks, std::span(pointers).first(inputs.size()), permutation);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t lanes = (data[0] & 7) + 1;
  const std::size_t blocks = (data[0] >> 3 & 3) + 1;
  ByteView rest(data + 1, size - 1);
  std::array<ByteView, keccak::kMaxWideLanes> inputs;
  for (std::size_t lane = 0; lane < lanes; ++lane) {
    std::size_t length = 0;
    if (!rest.empty()) {
      length = rest[0] % keccak::kShake128Rate;
      rest = rest.subspan(1);
    }
    inputs[lane] = rest.first(std::min(length, rest.size()));
    rest = rest.subspan(inputs[lane].size());
  }
  const auto used = std::span<const ByteView>(inputs).first(lanes);
  const auto expected = run(used, blocks, keccak::Permutation::Portable);
  for (const auto permutation : {keccak::Permutation::Avx2, keccak::Permutation::Avx512}) {
    if (keccak::available(permutation) && run(used, blocks, permutation) != expected) std::abort();
  }
  return 0;
}
