// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// A read-only list of texts that another owner holds, either as strings or as views (the
// boundary lifts a sequence<string> as views into the call's argument buffer, so a list of many
// short texts costs one view each and no copy).
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvantile_log::text {

class TextList {
 public:
  TextList() = default;
  TextList(std::span<const std::string> strings) : strings_(strings) {}
  TextList(std::span<const std::string_view> views) : views_(views), is_views_(true) {}
  TextList(const std::vector<std::string>& strings) : strings_(strings) {}
  TextList(const std::vector<std::string_view>& views) : views_(views), is_views_(true) {}

  std::size_t size() const { return is_views_ ? views_.size() : strings_.size(); }
  bool empty() const { return size() == 0; }
  std::string_view operator[](std::size_t i) const { return is_views_ ? views_[i] : std::string_view(strings_[i]); }

 private:
  std::span<const std::string> strings_;
  std::span<const std::string_view> views_;
  bool is_views_ = false;
};

}  // namespace quorvantile_log::text
