// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
// The strict base64 decoder (eight characters at a time through pre-shifted tables) against the
// plain group-by-group reference: the same bytes or the same message for every text. Inputs are
// also cut to a multiple of four, so most of them reach the group checks.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "../tests/support/text_reference.hpp"
#include "encoding/base64.hpp"

namespace {

void compare(std::string_view text) {
  const auto fast = quorvantile_log::encoding::base64_decode(text);
  const auto reference = qv_test::reference::base64_decode(text);
  if (fast.has_value() != reference.has_value()) std::abort();
  if (fast ? *fast != *reference : fast.error().render() != reference.error().render()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  compare(text);
  compare(text.substr(0, size / 4 * 4));
  return 0;
}
