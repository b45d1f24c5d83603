// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#include "leaf/context_label.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace quorvantile_log {
namespace {

bool printable_segment(std::string_view piece) {
  return !piece.empty() && std::ranges::all_of(piece, [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x21 && b <= 0x7E;
  });
}

Error label_error(std::string_view what, std::string_view text) {
  std::string detail(what);
  detail += quote(text);
  return Error::malformed_leaf(std::move(detail));
}

}  // namespace

Result<ContextLabel> ContextLabel::parse(std::string_view text) {
  // Split into at most three pieces, noting whether a fourth begins.
  std::array<std::string_view, 3> pieces{};
  std::size_t count = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t slash = text.find('/', start);
    if (count == pieces.size()) return std::unexpected(label_error("context label has too many '/'-segments: ", text));
    pieces[count++] = text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
    if (slash == std::string_view::npos) break;
    start = slash + 1;
  }
  if (!printable_segment(pieces[0]) || !printable_segment(pieces[1])) {
    return std::unexpected(label_error("context label segments must be non-empty printable ASCII: ", text));
  }
  const std::string_view third = pieces[2];
  if (count < 3 || third.empty() || third.front() != 'v') {
    return std::unexpected(label_error("context label version must start with 'v': ", text));
  }
  const std::string_view digits = third.substr(1);
  if (digits.empty() || !std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; })) {
    return std::unexpected(label_error("context label version must be 'v' followed by digits: ", text));
  }
  if (digits.size() >= 2 && digits.front() == '0') {
    return std::unexpected(label_error("context label version must not have leading zeros: ", text));
  }
  uint64_t version = 0;
  for (char c : digits) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (version > (UINT64_MAX - digit) / 10) return std::unexpected(label_error("context label version overflow: ", text));
    version = version * 10 + digit;
  }
  return ContextLabel{std::string(text), pieces[0].size(), pieces[1].size(), version};
}

}  // namespace quorvantile_log
