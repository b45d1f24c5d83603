// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A validated three-segment label "segment/segment/v<digits>" that domain-separates hashes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "error/error.hpp"

namespace quorvantile_log {

struct ContextLabel {
  std::string label;  // the whole label, byte-identical to the parsed text
  std::size_t first_segment_len = 0;
  std::size_t second_segment_len = 0;
  uint64_t version = 0;

  // Checks in this order, each failing with MalformedLeaf and the quoted text: more than three
  // segments; first segment empty or not printable ASCII; the same for the second; third segment
  // missing or not starting with 'v'; nothing or a non-digit after the 'v'; a leading zero;
  // a version above 2^64 - 1.
  static Result<ContextLabel> parse(std::string_view text);

  friend bool operator==(const ContextLabel&, const ContextLabel&) = default;
};

// The fixed label of key-history entry hashes.
inline constexpr std::string_view kKeyHistoryLabel = "tarnfel/key-history/v1";

}  // namespace quorvantile_log
