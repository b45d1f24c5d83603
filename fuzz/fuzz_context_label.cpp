// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// ContextLabel::parse and Namespace::parse on arbitrary text. An accepted label has exactly two
// '/' separators, segment lengths that add up, and a version that renders back to its digits;
// a refused one reports the quoted text under the label message prefix.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "coniks/namespace.hpp"
#include "leaf/context_label.hpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto label = quorvantile_log::ContextLabel::parse(text);
  if (label) {
    const std::size_t a = label->first_segment_len, b = label->second_segment_len;
    if (label->label != text || a == 0 || b == 0 || a + b + 2 >= text.size()) __builtin_trap();
    if (text[a] != '/' || text[a + b + 1] != '/' || text[a + b + 2] != 'v') __builtin_trap();
    if (text.substr(a + b + 3) != std::to_string(label->version)) __builtin_trap();
  } else {
    const std::string message = label.error().render();
    if (message.rfind("malformed canonical leaf: context label ", 0) != 0) __builtin_trap();
    if (message.back() != '"') __builtin_trap();
  }
  auto ns = quorvantile_log::Namespace::parse(text);
  if (ns && (ns->text() != text || text.find('/') != std::string_view::npos)) __builtin_trap();
  return 0;
}
