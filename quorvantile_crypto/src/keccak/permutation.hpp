// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// The Keccak-f[1600] permutation (24 rounds) on four interleaved lanes.
#include "keccak/keccak.hpp"

namespace quorvantile_crypto::keccak::detail {

using State = Sponges::State;

namespace portable {
// Permutes the lanes whose bit is set in lane_mask, one after the other.
void permute(State& state, unsigned lane_mask);
}  // namespace portable

namespace avx2 {
bool available();
// Permutes all four lanes together. Requires available().
void permute(State& state);
}  // namespace avx2

}  // namespace quorvantile_crypto::keccak::detail
