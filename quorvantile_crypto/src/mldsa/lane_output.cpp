// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "mldsa/lane_output.hpp"

#include <algorithm>

namespace quorvantile_crypto::mldsa::detail {

void LaneOutput::extend() {
  const std::size_t have = current_.size();
  std::vector<uint8_t> longer(have == 0 ? 1 : 2 * have);
  std::copy(current_.begin(), current_.end(), longer.begin());
  sponges_.squeeze_lane(lane_, std::span(longer).subspan(have));
  extended_ = std::move(longer);
  current_ = extended_;
}

}  // namespace quorvantile_crypto::mldsa::detail
