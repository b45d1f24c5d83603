// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A validated directory namespace: non-empty printable ASCII without space or '/'.
#include <string>
#include <string_view>

#include "error/error.hpp"

namespace quorvantile_log {

class Namespace {
 public:
  // Fails with MalformedNamespace at the first byte that is '/' or outside 0x21..0x7E, or for an
  // empty text.
  static Result<Namespace> parse(std::string_view text);

  const std::string& text() const { return text_; }

  friend bool operator==(const Namespace&, const Namespace&) = default;

 private:
  explicit Namespace(std::string text) : text_(std::move(text)) {}

  std::string text_;
};

}  // namespace quorvantile_log
