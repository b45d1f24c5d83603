// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

// The quoted form `{x:?}` of error messages. The text is shown between double quotes; backslash,
// double quote, tab, carriage return, line feed and NUL get their short escapes; control,
// non-printable and combining characters are written as \u{h}. Echoed input is not guaranteed to
// be valid UTF-8: each maximal invalid subpart is shown as one U+FFFD replacement character, so the
// message is always valid UTF-8 and no byte beyond the text is read.
#include <algorithm>
#include <cstdio>
#include <span>

#include "error/error.hpp"
#include "text/utf8.hpp"

namespace quorvantile_log {
namespace {

struct Range {
  char32_t lo, hi;
};

constexpr Range kEscaped[] = {
#include "error/unicode_escapes.inc"
};

bool needs_unicode_escape(char32_t cp) {
  const auto it = std::upper_bound(std::begin(kEscaped), std::end(kEscaped), cp,
                                   [](char32_t value, const Range& r) { return value < r.lo; });
  return it != std::begin(kEscaped) && cp <= std::prev(it)->hi;
}

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string quote(std::string_view text) {
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const utf8::Step step = utf8::decode(bytes, pos);
    if (step.length == 0) {
      append_utf8(out, U'\uFFFD');
      pos += step.invalid_length == 0 ? bytes.size() - pos : step.invalid_length;
      continue;
    }
    pos += step.length;
    const char32_t cp = step.code_point;
    switch (cp) {
      case U'\\': out += "\\\\"; continue;
      case U'"': out += "\\\""; continue;
      case U'\t': out += "\\t"; continue;
      case U'\r': out += "\\r"; continue;
      case U'\n': out += "\\n"; continue;
      case U'\0': out += "\\0"; continue;
      default: break;
    }
    if (needs_unicode_escape(cp)) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned>(cp));
      out += buf;
    } else {
      append_utf8(out, cp);
    }
  }
  out.push_back('"');
  return out;
}

}  // namespace quorvantile_log
