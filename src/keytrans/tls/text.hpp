// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// Message texts of the key-transparency checks, built from text pieces and decimal integers.
#include <concepts>
#include <string>
#include <string_view>

#include "error/error.hpp"

namespace quorvantile_log::keytrans {

namespace detail {
inline void append(std::string& out, std::string_view piece) { out += piece; }
inline void append(std::string& out, const char* piece) { out += piece; }
template <std::integral T>
void append(std::string& out, T value) {
  out += std::to_string(value);
}
}  // namespace detail

template <class... Pieces>
std::string text(const Pieces&... pieces) {
  std::string out;
  (detail::append(out, pieces), ...);
  return out;
}

// MalformedKeytrans with the concatenated detail.
template <class... Pieces>
Error malformed(const Pieces&... pieces) {
  return Error::malformed_keytrans(text(pieces...));
}

}  // namespace quorvantile_log::keytrans
