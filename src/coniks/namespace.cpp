// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "coniks/namespace.hpp"

#include <algorithm>

namespace quorvantile_log {

Result<Namespace> Namespace::parse(std::string_view text) {
  const bool valid = !text.empty() && std::ranges::all_of(text, [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x21 && b <= 0x7E && b != '/';
  });
  if (!valid) {
    return std::unexpected(
        Error::malformed_namespace("namespace must be non-empty printable ASCII without '/': " + quote(text)));
  }
  return Namespace(std::string(text));
}

}  // namespace quorvantile_log
