// SPDX-FileCopyrightText: 2026 The quorvantile_log authors
// SPDX-License-Identifier: Apache-2.0

#pragma once
// An owned list of one-line texts kept in a single block (each line followed by a line feed), so
// a list of many short lines costs its bytes and not an object per line. Lines never contain a
// line feed; an empty line is allowed.
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace quorvantile_log::text {

class TextLines {
 public:
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = std::string_view;

    iterator() = default;
    iterator(std::string_view rest) : rest_(rest) {}
    std::string_view operator*() const { return rest_.substr(0, rest_.find('\n')); }
    iterator& operator++() {
      rest_.remove_prefix(rest_.find('\n') + 1);
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    bool operator==(const iterator& o) const { return rest_.size() == o.rest_.size(); }

   private:
    std::string_view rest_;
  };

  TextLines() = default;
  TextLines(std::initializer_list<std::string_view> lines) : TextLines(lines.begin(), lines.end()) {}
  template <class It>
  TextLines(It first, It last) {
    for (; first != last; ++first) push_back(*first);
  }

  void reserve(std::size_t bytes) { block_.reserve(bytes); }
  void push_back(std::string_view line) {
    block_.append(line);
    block_.push_back('\n');
    ++count_;
  }

  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  iterator begin() const { return iterator(block_); }
  iterator end() const { return iterator(std::string_view(block_).substr(block_.size())); }

  friend bool operator==(const TextLines&, const TextLines&) = default;
  friend bool operator==(const TextLines& a, const std::vector<std::string>& b) {
    if (a.size() != b.size()) return false;
    auto it = a.begin();
    for (const auto& line : b) {
      if (*it++ != line) return false;
    }
    return true;
  }

 private:
  std::string block_;
  std::size_t count_ = 0;
};

}  // namespace quorvantile_log::text
