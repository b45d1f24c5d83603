// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// UTF-8 validation with the positions and lengths the boundary reports for invalid text.
#include <cstddef>
#include <cstdint>
#include <span>

namespace quorvantile_log::utf8 {

// One step of decoding at a position.
struct Step {
  char32_t code_point;  // valid only when `length` > 0
  std::size_t length;   // bytes of a valid scalar value, or 0 when the bytes there are invalid
  // For invalid bytes: the length of the maximal invalid subpart (1 to 3), or 0 when the input ends
  // inside a sequence that could still become valid.
  std::size_t invalid_length;
};

Step decode(std::span<const uint8_t> text, std::size_t pos);

struct Check {
  bool valid;
  std::size_t valid_up_to;     // length of the valid prefix
  std::size_t invalid_length;  // as in Step (0: incomplete at the end)
};

Check check(std::span<const uint8_t> text);

}  // namespace quorvantile_log::utf8
