// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "keytrans/ladder/ladder.hpp"

#include <algorithm>
#include <limits>

namespace quorvantile_log::keytrans::ladder {

std::vector<uint64_t> base_binary_ladder(uint64_t target) {
  std::vector<uint64_t> out;
  out.reserve(2 * 64 + 2);
  uint64_t low = 0;
  uint64_t high = 0;
  bool above = false;
  for (unsigned i = 0; i <= 64; ++i) {
    const uint64_t v = i == 64 ? std::numeric_limits<uint64_t>::max() : (uint64_t{1} << i) - 1;
    out.push_back(v);
    if (v > target) {
      high = v;
      above = true;
      break;
    }
    low = v;
  }
  if (!above) return out;
  while (low + 1 < high) {
    const uint64_t mid = low + (high - low) / 2;
    out.push_back(mid);
    if (mid > target) {
      high = mid;
    } else {
      low = mid;
    }
  }
  return out;
}

std::vector<uint64_t> search_ladder(std::optional<uint32_t> greatest_version) {
  if (!greatest_version) return {0};
  return base_binary_ladder(*greatest_version);
}

std::vector<uint64_t> monitoring_ladder(uint32_t version) {
  std::vector<uint64_t> out = base_binary_ladder(version);
  std::erase_if(out, [version](uint64_t v) { return v > version; });
  return out;
}

}  // namespace quorvantile_log::keytrans::ladder
