// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0
// The UTF-8 check (ASCII runs eight bytes at a time) against the reference that decodes one
// scalar value at a time: the same verdict, valid prefix and invalid-sequence length, on the
// input and on the input behind an ASCII run long enough to take the word path.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "../tests/support/text_reference.hpp"
#include "text/utf8.hpp"

namespace {

void compare(std::span<const uint8_t> text) {
  const quorvantile_log::utf8::Check fast = quorvantile_log::utf8::check(text);
  const quorvantile_log::utf8::Check reference = qv_test::reference::utf8_check(text);
  if (fast.valid != reference.valid || fast.valid_up_to != reference.valid_up_to ||
      fast.invalid_length != reference.invalid_length) {
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  compare({data, size});
  std::vector<uint8_t> shifted(13, 'a');
  shifted.insert(shifted.end(), data, data + size);
  compare(shifted);
  return 0;
}
