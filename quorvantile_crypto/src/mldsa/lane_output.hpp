// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// One lane of a multi-lane SHAKE evaluation, read front to back like XofOutput: the expected
// amount is squeezed up front (for all lanes together, by the caller) into the caller's buffer,
// and a reader that runs past it doubles the available output from the lane's own sponge.
#include <span>
#include <vector>

#include "keccak/keccak.hpp"

namespace quorvantile_crypto::mldsa::detail {

class LaneOutput {
 public:
  // `initial` holds the first bytes already squeezed from `lane` of `sponges`.
  LaneOutput(keccak::Sponges& sponges, std::size_t lane, std::span<const uint8_t> initial)
      : sponges_(sponges), lane_(lane), current_(initial) {}
  LaneOutput(const LaneOutput&) = delete;
  LaneOutput& operator=(const LaneOutput&) = delete;

  const uint8_t* data() const { return current_.data(); }
  std::size_t size() const { return current_.size(); }

  void extend();

 private:
  keccak::Sponges& sponges_;
  std::size_t lane_;
  std::span<const uint8_t> current_;
  std::vector<uint8_t> extended_;
};

}  // namespace quorvantile_crypto::mldsa::detail
